// A 24-bit colour bitmap without row padding: three bytes per dot, the
// complement of the ink (blue = 255 - Y, green = 255 - M, red = 255 - C);
// in Landscape the bottom card row comes first.
#pragma once

#include "image/GenericDataManager.h"

namespace tavgdi {

class CR80ColorBmpManager : public OrientedDataManager {
public:
    CR80ColorBmpManager(IGDataMemoryManager* memMgr, MediaDefinition* media);

    void setPixel(int W, int H, IPixel* p) override;
    void getPixel(int W, int H, IPixel* p) override;
    // White unless fullBlack.
    bool newRaster(MediaDefinition* media, bool fullBlack) override;

private:
    // Byte index of the dot's first byte, or false when it is off the image.
    bool locate(int W, int H, dword& index);
};

} // namespace tavgdi
