#include "processors/FactoryCR80BmpMonoProcessor.h"

#include "InternalLog.h"
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

IGDataProcessor* FactoryCR80BmpMonoProcessor::build(IGDataOptions* /*options*/, ProcessorType type)
{
    if (type != outputProcessor)
        return nullptr;
    IGDataProcessor* processor = new RasterToMonoBmpProcessor(nullptr);
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - RasterToMonoBmpProcessor \tPTR: %lx\r\n", LOGPTR(processor));
    return processor;
}

} // namespace tavgdi
