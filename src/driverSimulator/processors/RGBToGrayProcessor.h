// Turns a colour bitmap to gray: every dot gets the mean of its three inks
// (rounded down) in all three.
#pragma once

#include "processors/GenericCompositeProcessor.h"

namespace tavgdi {

class RGBToGrayProcessor : public GenericCompositeProcessor {
public:
    explicit RGBToGrayProcessor(IGDataProcessor* parent);
    ~RGBToGrayProcessor() override;

    // False without a data manager.
    bool process(IGDataManager* dataMgr, IGDataMemoryManager* memMgr, MediaDefinition* media) override;
};

} // namespace tavgdi
