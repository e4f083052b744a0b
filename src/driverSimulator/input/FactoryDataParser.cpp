// The parser for a data supervisor type.
#include "GlobalFactory.h"
#include "InternalLog.h"
#include "input/CR80BmpParser.h"

namespace TavFactory {

tavgdi::IGDataParser* FactoryDataParser(SupervisorType type, tavgdi::IGDataMemoryManager* mgr,
                                        tavgdi::AlignmentOutputBuffer alignement)
{
    switch (type) {
    case BmpColorSupervisor:
    case BmpGraySupervisor:
    case BmpMonochromeSupervisor: {
        tavgdi::IGDataParser* parser = new tavgdi::CR80BmpParser(mgr, alignement);
        tavgdi::InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - CR80BmpParser \tPTR: %lx\r\n",
                                   LOGPTR(parser));
        return parser;
    }
    case DbColorSupervisor:
    case DbMonochromeSupervisor:
    case DbOverlaySupervisor:
        // The panel download reader (YMC, K or O target) is not built yet:
        // these types get no parser, so loading a panel file fails cleanly.
        return nullptr;
    default:
        return nullptr;
    }
}

} // namespace TavFactory
