#include "processors/FactoryCR80BmpMonoProcessor.h"

#include "InternalLog.h"
#include "Owned.h"
#include "Windows.h"
#include "processors/RasterToMonoBmpProcessor.h"

namespace tavgdi {

FactoryCR80BmpMonoProcessor::FactoryCR80BmpMonoProcessor()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +FactoryCR80BmpMonoProcessor (%lx)\r\n", LOGPTR(this));
}

FactoryCR80BmpMonoProcessor::~FactoryCR80BmpMonoProcessor()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -FactoryCR80BmpMonoProcessor (%lx)\r\n", LOGPTR(this));
}

std::unique_ptr<IGDataProcessor> FactoryCR80BmpMonoProcessor::build(IGDataOptions* /*options*/, ProcessorType type)
{
    if (type != outputProcessor)
        return nullptr;
    return makeLogged<RasterToMonoBmpProcessor>(
        L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - RasterToMonoBmpProcessor \tPTR: %lx\r\n", nullptr);
}

} // namespace tavgdi
