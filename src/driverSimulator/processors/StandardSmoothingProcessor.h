// Sharpens each colour plane with a 5 x 5 kernel (centre 49, every other
// entry -1, divided by 25), leaving a border of two dots as it was.
#pragma once

#include "Windows.h"
#include "processors/GenericCompositeProcessor.h"

namespace tavgdi {

class StandardSmoothingProcessor : public GenericCompositeProcessor {
public:
    static const int PatternSize = 5;
    static const int SharpenPattern[PatternSize][PatternSize];

    explicit StandardSmoothingProcessor(IGDataProcessor* parent);
    ~StandardSmoothingProcessor() override;

    // False unless the buffer is exactly the three colour planes of media.
    bool process(IGDataManager* dataMgr, IGDataMemoryManager* memMgr, MediaDefinition* media) override;

    // Filters one plane stored column by column (dot (x, y) at
    // x * height + y) through lpbDataOut, a work area of area bytes, and
    // copies the result back. Nothing happens when either pointer is null or
    // when width x height does not fit in area.
    static void smooth(byte* colorPanel, byte* lpbDataOut, dword area, dword width, dword height);
};

} // namespace tavgdi
