// A link of a processor chain: does its own work, then hands over to its
// parent. Deleting the head of a chain deletes the whole chain.
#pragma once

#include "Owned.h"
#include "processors/IGDataProcessor.h"

namespace tavgdi {

class GenericCompositeProcessor : public IGDataProcessor {
public:
    // The parent (may be null) is owned from now on.
    explicit GenericCompositeProcessor(IGDataProcessor* parent);
    GenericCompositeProcessor(const GenericCompositeProcessor&) = delete;
    GenericCompositeProcessor& operator=(const GenericCompositeProcessor&) = delete;
    ~GenericCompositeProcessor() override;

    IGDataProcessor* getParent() const { return parent.get(); }

protected:
    // result when there is no parent or result is false, else the parent's.
    bool processNext(bool result, IGDataManager* dataMgr, IGDataMemoryManager* memMgr, MediaDefinition* media);

private:
    Logged<IGDataProcessor> parent;
};

} // namespace tavgdi
