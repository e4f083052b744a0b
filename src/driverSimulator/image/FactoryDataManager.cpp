#include "GlobalFactory.h"
#include "InternalLog.h"
#include "Owned.h"
#include "image/CR80ColorBmpManager.h"
#include "image/CR80MonoDataManager.h"
#include "image/CR80YMCManager.h"

namespace TavFactory {

std::unique_ptr<tavgdi::IGDataManager> FactoryDataManager(SupervisorType type, tavgdi::IGDataMemoryManager* memMgr,
                                                          tavgdi::MediaDefinition* media)
{
    using namespace tavgdi;
    if (media == nullptr) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][FactoryDataManager] WARNING - null media - return NULL\r\n");
        return nullptr;
    }
    switch (type) {
    case DbColorSupervisor:
        return makeLogged<CR80YMCManager>(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - NEW CR80YMCManager \tPTR: %lx\r\n",
                                          memMgr, media);
    case BmpColorSupervisor:
    case BmpGraySupervisor:
        return makeLogged<CR80ColorBmpManager>(
            L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - NEW CR80ColorBmpManager \tPTR: %lx\r\n", memMgr, media);
    case DbMonochromeSupervisor:
    case DbOverlaySupervisor:
    case BmpMonochromeSupervisor:
        return makeLogged<CR80MonoDataManager>(
            L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - NEW CR80MonoDataManager \tPTR: %lx\r\n", type, memMgr, media);
    default:
        return nullptr;
    }
}

} // namespace TavFactory
