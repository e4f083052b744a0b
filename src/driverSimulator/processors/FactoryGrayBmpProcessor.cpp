#include "processors/FactoryGrayBmpProcessor.h"

#include "InternalLog.h"
#include "Owned.h"
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

std::unique_ptr<IGDataProcessor> FactoryGrayBmpProcessor::build(IGDataOptions* /*options*/, ProcessorType type)
{
    if (type != inputProcessor)
        return nullptr;
    return makeLogged<RGBToGrayProcessor>(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - RGBToGrayProcessor \tPTR: %lx\r\n",
                                          nullptr);
}

} // namespace tavgdi
