#include "processors/AdvancedSmoothingProcessor.h"

#include "InternalLog.h"
#include "Windows.h"

namespace tavgdi {

AdvancedSmoothingProcessor::AdvancedSmoothingProcessor(IGDataProcessor* parent) : GenericCompositeProcessor(parent)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +AdvancedSmoothingProcessor (%lx)\r\n", LOGPTR(this));
}

AdvancedSmoothingProcessor::~AdvancedSmoothingProcessor()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -AdvancedSmoothingProcessor (%lx)\r\n", LOGPTR(this));
}

bool AdvancedSmoothingProcessor::process(IGDataManager* /*dataMgr*/, IGDataMemoryManager* /*memMgr*/)
{
    return false;
}

bool AdvancedSmoothingProcessor::process(IGDataManager* dataMgr, IGDataMemoryManager* memMgr,
                                         MediaDefinition* /*media*/)
{
    return process(dataMgr, memMgr);
}

} // namespace tavgdi
