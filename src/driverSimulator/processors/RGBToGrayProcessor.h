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

private:
    // The whole conversion straight on the bytes of a plain 24-bit bitmap;
    // false (nothing done) for any other manager.
    static bool convertBitmap(IGDataManager* dataMgr);
};

} // namespace tavgdi
