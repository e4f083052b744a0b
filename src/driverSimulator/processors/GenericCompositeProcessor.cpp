#include "processors/GenericCompositeProcessor.h"

#include "InternalLog.h"
#include "Windows.h"

namespace tavgdi {

GenericCompositeProcessor::GenericCompositeProcessor(IGDataProcessor* parent_)
    : parent(parent_, LoggedDelete{"IGDataProcessor"})
{
}

GenericCompositeProcessor::~GenericCompositeProcessor()
{
}

bool GenericCompositeProcessor::processNext(bool result, IGDataManager* dataMgr, IGDataMemoryManager* memMgr,
                                            MediaDefinition* media)
{
    if (parent == nullptr || !result)
        return result;
    return parent->process(dataMgr, memMgr, media);
}

} // namespace tavgdi
