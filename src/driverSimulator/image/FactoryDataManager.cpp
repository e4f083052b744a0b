#include <new>

#include "GlobalFactory.h"
#include "InternalLog.h"
#include "image/CR80ColorBmpManager.h"
#include "image/CR80MonoDataManager.h"
#include "image/CR80YMCManager.h"

namespace TavFactory {

tavgdi::IGDataManager* FactoryDataManager(SupervisorType type, tavgdi::IGDataMemoryManager* memMgr,
                                          tavgdi::MediaDefinition* media)
{
    using namespace tavgdi;
    if (media == nullptr) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][FactoryDataManager] WARNING - null media - return NULL\r\n");
        return nullptr;
    }
    switch (type) {
    case DbColorSupervisor: {
        IGDataManager* mgr = new CR80YMCManager(memMgr, media);
        InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - NEW CR80YMCManager \tPTR: %lx\r\n", LOGPTR(mgr));
        return mgr;
    }
    case BmpColorSupervisor:
    case BmpGraySupervisor: {
        IGDataManager* mgr = new CR80ColorBmpManager(memMgr, media);
        InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - NEW CR80ColorBmpManager \tPTR: %lx\r\n",
                           LOGPTR(mgr));
        return mgr;
    }
    case DbMonochromeSupervisor:
    case DbOverlaySupervisor:
    case BmpMonochromeSupervisor: {
        IGDataManager* mgr = new CR80MonoDataManager(type, memMgr, media);
        InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - NEW CR80MonoDataManager \tPTR: %lx\r\n",
                           LOGPTR(mgr));
        return mgr;
    }
    default:
        return nullptr;
    }
}

} // namespace TavFactory
