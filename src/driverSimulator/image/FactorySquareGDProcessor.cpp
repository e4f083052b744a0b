#include "GlobalFactory.h"
#include "InternalLog.h"
#include "Owned.h"
#include "processors/FactoryCR80BmpMonoProcessor.h"
#include "processors/FactoryCR80YMCProcessor.h"
#include "processors/FactoryGrayBmpProcessor.h"
#include "processors/FactoryNullProcessor.h"

namespace TavFactory {

std::unique_ptr<tavgdi::IFactoryGDProcessor> FactorySquareGDProcessor(SupervisorType type)
{
    using namespace tavgdi;
    switch (type) {
    case DbColorSupervisor:
        return makeLogged<FactoryCR80YMCProcessor>(
            L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - FactoryCR80YMCProcessor \tPTR: %lx\r\n");
    case DbMonochromeSupervisor:
    case DbOverlaySupervisor:
    case BmpColorSupervisor:
        return makeLogged<FactoryNullProcessor>(
            L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - FactoryNullProcessor \tPTR: %lx\r\n");
    case BmpGraySupervisor:
        return makeLogged<FactoryGrayBmpProcessor>(
            L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - FactoryGrayBmpProcessor \tPTR: %lx\r\n");
    case BmpMonochromeSupervisor:
        return makeLogged<FactoryCR80BmpMonoProcessor>(
            L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - FactoryCR80BmpMonoProcessor \tPTR: %lx\r\n");
    default:
        return nullptr;
    }
}

} // namespace TavFactory
