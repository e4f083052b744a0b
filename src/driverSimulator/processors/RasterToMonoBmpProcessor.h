// Gives the rows of a one-bit bitmap the 4-byte padding of the bitmap file
// format, just before the bitmap is written out.
#pragma once

#include "Windows.h"
#include "processors/GenericCompositeProcessor.h"

namespace tavgdi {

class RasterToMonoBmpProcessor : public GenericCompositeProcessor {
public:
    explicit RasterToMonoBmpProcessor(IGDataProcessor* parent);
    ~RasterToMonoBmpProcessor() override;

    // False unless the buffer is exactly the unpadded one-bit image of media
    // (an already padded image is left alone).
    bool process(IGDataManager* dataMgr, IGDataMemoryManager* memMgr, MediaDefinition* media) override;

    // Copies rowCount rows of sourceRowBytes bytes into rows of
    // destinationRowBytes bytes; false when a destination row is shorter.
    static bool AlignData(const byte* source, byte* destination, dword sourceRowBytes, dword destinationRowBytes,
                          dword rowCount);
};

} // namespace tavgdi
