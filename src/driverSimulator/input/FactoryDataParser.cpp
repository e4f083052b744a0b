// The parser for a data supervisor type.
#include "GlobalFactory.h"
#include "InternalLog.h"
#include "Owned.h"
#include "input/CR80BmpParser.h"
#include "input/CR80DBParser.h"

namespace TavFactory {

std::unique_ptr<tavgdi::IGDataParser> FactoryDataParser(SupervisorType type, tavgdi::IGDataMemoryManager* mgr,
                                                        tavgdi::AlignmentOutputBuffer alignement)
{
    switch (type) {
    case BmpColorSupervisor:
    case BmpGraySupervisor:
    case BmpMonochromeSupervisor:
        return tavgdi::makeLogged<tavgdi::CR80BmpParser>(
            L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - CR80BmpParser \tPTR: %lx\r\n", mgr, alignement);
    case DbColorSupervisor:
    case DbMonochromeSupervisor:
    case DbOverlaySupervisor: {
        // The manager is the colour, black or overlay target by type.
        tavgdi::IGDataMemoryManager* none = nullptr;
        return tavgdi::makeLogged<tavgdi::CR80DBParser>(
            L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - CR80DBParser \tPTR: %lx\r\n",
            type == DbColorSupervisor ? mgr : none, type == DbMonochromeSupervisor ? mgr : none,
            type == DbOverlaySupervisor ? mgr : none);
    }
    default:
        return nullptr;
    }
}

} // namespace TavFactory
