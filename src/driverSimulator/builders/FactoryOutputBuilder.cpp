// The output builder for a data supervisor type.
#include "GlobalFactory.h"
#include "InternalLog.h"
#include "Owned.h"
#include "builders/CR80BmpOutputBuilder.h"
#include "builders/CR80MonoDbOutputBuilder.h"
#include "builders/CR80YMCOutputBuilder.h"
#include "image/IGDataManager.h"

namespace TavFactory {

std::unique_ptr<tavgdi::IGDataOutputBuilder> FactoryOutputBuilder(SupervisorType type, tavgdi::IGDataOptions* options,
                                                                  tavgdi::IGDataMemoryManager* memMgr,
                                                                  tavgdi::IGDataManager* dataMgr)
{
    using tavgdi::makeLogged;
    // The builders take their media from the data manager.
    if (dataMgr == nullptr)
        return nullptr;
    switch (type) {
    case DbColorSupervisor:
        return makeLogged<tavgdi::CR80YMCOutputBuilder>(
            L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - CR80YMCOutputBuilder \tPTR: %lx\r\n", options, memMgr,
            dataMgr->getMedia());
    case DbMonochromeSupervisor:
    case DbOverlaySupervisor:
        return makeLogged<tavgdi::CR80MonoDbOutputBuilder>(
            L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - CR80MonoDbOutputBuilder \tPTR: %lx\r\n", type, options, memMgr,
            dataMgr->getMedia());
    case BmpColorSupervisor:
    case BmpGraySupervisor:
    case BmpMonochromeSupervisor:
        return makeLogged<tavgdi::CR80BmpOutputBuilder>(
            L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - CR80BmpOutputBuilder \tPTR: %lx\r\n", type, options, memMgr,
            dataMgr, dataMgr->getMedia());
    default:
        return nullptr;
    }
}

} // namespace TavFactory
