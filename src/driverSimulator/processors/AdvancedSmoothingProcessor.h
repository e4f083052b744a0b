// Placeholder for a finer smoothing; no factory builds it (the advanced
// setting is served by two standard passes). It does nothing and fails.
#pragma once

#include "processors/GenericCompositeProcessor.h"

namespace tavgdi {

class AdvancedSmoothingProcessor : public GenericCompositeProcessor {
public:
    explicit AdvancedSmoothingProcessor(IGDataProcessor* parent);
    ~AdvancedSmoothingProcessor() override;

    bool process(IGDataManager* dataMgr, IGDataMemoryManager* memMgr);
    bool process(IGDataManager* dataMgr, IGDataMemoryManager* memMgr, MediaDefinition* media) override;
};

} // namespace tavgdi
