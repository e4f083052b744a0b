// The parser for a data supervisor type.
#include "GlobalFactory.h"
#include "InternalLog.h"
#include "input/CR80BmpParser.h"
#include "input/CR80DBParser.h"

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
    case DbOverlaySupervisor: {
        // The manager is the colour, black or overlay target by type.
        tavgdi::IGDataParser* parser =
            new tavgdi::CR80DBParser(type == DbColorSupervisor ? mgr : nullptr,
                                     type == DbMonochromeSupervisor ? mgr : nullptr,
                                     type == DbOverlaySupervisor ? mgr : nullptr);
        tavgdi::InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - CR80DBParser \tPTR: %lx\r\n",
                                   LOGPTR(parser));
        return parser;
    }
    default:
        return nullptr;
    }
}

} // namespace TavFactory
