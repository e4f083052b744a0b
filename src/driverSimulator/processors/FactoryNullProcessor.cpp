#include "processors/FactoryNullProcessor.h"

#include "InternalLog.h"
#include "Windows.h"
#include "processors/IGDataProcessor.h"

namespace tavgdi {

FactoryNullProcessor::FactoryNullProcessor()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +FactoryNullProcessor (%lx)\r\n", LOGPTR(this));
}

FactoryNullProcessor::~FactoryNullProcessor()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -FactoryNullProcessor (%lx)\r\n", LOGPTR(this));
}

std::unique_ptr<IGDataProcessor> FactoryNullProcessor::build(IGDataOptions* /*options*/, ProcessorType /*type*/)
{
    return nullptr;
}

} // namespace tavgdi
