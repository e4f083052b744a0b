#include <new>

#include "GlobalFactory.h"
#include "InternalLog.h"
#include "processors/FactoryCR80BmpMonoProcessor.h"
#include "processors/FactoryCR80YMCProcessor.h"
#include "processors/FactoryGrayBmpProcessor.h"
#include "processors/FactoryNullProcessor.h"

namespace TavFactory {

tavgdi::IFactoryGDProcessor* FactorySquareGDProcessor(SupervisorType type)
{
    using namespace tavgdi;
    IFactoryGDProcessor* factory = nullptr;
    switch (type) {
    case DbColorSupervisor:
        factory = new FactoryCR80YMCProcessor();
        InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - FactoryCR80YMCProcessor \tPTR: %lx\r\n",
                           LOGPTR(factory));
        break;
    case DbMonochromeSupervisor:
    case DbOverlaySupervisor:
    case BmpColorSupervisor:
        factory = new FactoryNullProcessor();
        InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - FactoryNullProcessor \tPTR: %lx\r\n",
                           LOGPTR(factory));
        break;
    case BmpGraySupervisor:
        factory = new FactoryGrayBmpProcessor();
        InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - FactoryGrayBmpProcessor \tPTR: %lx\r\n",
                           LOGPTR(factory));
        break;
    case BmpMonochromeSupervisor:
        factory = new FactoryCR80BmpMonoProcessor();
        InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - FactoryCR80BmpMonoProcessor \tPTR: %lx\r\n",
                           LOGPTR(factory));
        break;
    default:
        break;
    }
    return factory;
}

} // namespace TavFactory
