#include "processors/FactoryGrayBmpProcessor.h"

#include "InternalLog.h"
#include "Windows.h"
#include "processors/RGBToGrayProcessor.h"

namespace tavgdi {

FactoryGrayBmpProcessor::FactoryGrayBmpProcessor()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +FactoryGrayBmpProcessor (%lx)\r\n", LOGPTR(this));
}

FactoryGrayBmpProcessor::~FactoryGrayBmpProcessor()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -FactoryGrayBmpProcessor (%lx)\r\n", LOGPTR(this));
}

IGDataProcessor* FactoryGrayBmpProcessor::build(IGDataOptions* /*options*/, ProcessorType type)
{
    if (type != inputProcessor)
        return nullptr;
    IGDataProcessor* processor = new RGBToGrayProcessor(nullptr);
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - RGBToGrayProcessor \tPTR: %lx\r\n", LOGPTR(processor));
    return processor;
}

} // namespace tavgdi
