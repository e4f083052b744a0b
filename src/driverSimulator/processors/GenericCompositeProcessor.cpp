#include "processors/GenericCompositeProcessor.h"

#include "InternalLog.h"
#include "Windows.h"

namespace tavgdi {

GenericCompositeProcessor::GenericCompositeProcessor(IGDataProcessor* parent_) : parent(parent_) {}

GenericCompositeProcessor::~GenericCompositeProcessor()
{
    if (parent != nullptr) {
        InternalLog::print(L"[TAVRIN UNIDRIVER MEM] IGDataProcessor FREE - \t\tPTR: %lx\r\n", LOGPTR(parent));
        delete parent;
    }
}

bool GenericCompositeProcessor::processNext(bool result, IGDataManager* dataMgr, IGDataMemoryManager* memMgr,
                                            MediaDefinition* media)
{
    if (parent == nullptr || !result)
        return result;
    return parent->process(dataMgr, memMgr, media);
}

} // namespace tavgdi
