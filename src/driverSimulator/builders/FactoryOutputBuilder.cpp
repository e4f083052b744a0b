// The output builder for a data supervisor type.
#include "GlobalFactory.h"
#include "InternalLog.h"
#include "builders/CR80BmpOutputBuilder.h"
#include "builders/CR80MonoDbOutputBuilder.h"
#include "builders/CR80YMCOutputBuilder.h"
#include "image/IGDataManager.h"

namespace TavFactory {

tavgdi::IGDataOutputBuilder* FactoryOutputBuilder(SupervisorType type, tavgdi::IGDataOptions* options,
                                                  tavgdi::IGDataMemoryManager* memMgr, tavgdi::IGDataManager* dataMgr)
{
    // The builders take their media from the data manager.
    if (dataMgr == nullptr)
        return nullptr;
    tavgdi::IGDataOutputBuilder* builder = nullptr;
    switch (type) {
    case DbColorSupervisor:
        builder = new tavgdi::CR80YMCOutputBuilder(options, memMgr, dataMgr->getMedia());
        tavgdi::InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - CR80YMCOutputBuilder \tPTR: %lx\r\n",
                                   LOGPTR(builder));
        return builder;
    case DbMonochromeSupervisor:
    case DbOverlaySupervisor:
        builder = new tavgdi::CR80MonoDbOutputBuilder(type, options, memMgr, dataMgr->getMedia());
        tavgdi::InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - CR80MonoDbOutputBuilder \tPTR: %lx\r\n",
                                   LOGPTR(builder));
        return builder;
    case BmpColorSupervisor:
    case BmpGraySupervisor:
    case BmpMonochromeSupervisor:
        builder = new tavgdi::CR80BmpOutputBuilder(type, options, memMgr, dataMgr, dataMgr->getMedia());
        tavgdi::InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - CR80BmpOutputBuilder \tPTR: %lx\r\n",
                                   LOGPTR(builder));
        return builder;
    default:
        return nullptr;
    }
}

} // namespace TavFactory
