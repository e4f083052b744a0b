// A 24-bit colour bitmap without row padding: three bytes per dot, the
// complement of the ink (blue = 255 - Y, green = 255 - M, red = 255 - C);
// in Landscape the bottom card row comes first.
#pragma once

#include "image/GenericDataManager.h"

namespace tavgdi {

class CR80ColorBmpManager : public GenericDataManager {
public:
    CR80ColorBmpManager(IGDataMemoryManager* memMgr, MediaDefinition* media);
    ~CR80ColorBmpManager() override;

    // The portrait orientations swap the stored width and height.
    void setOrientation(GraphicalConstants::CardOrientation orientation, MediaDefinition* media) override;
    void setPixel(int W, int H, IPixel* p) override;
    void getPixel(int W, int H, IPixel* p) override;
    dword getWidth() override { return static_cast<dword>(cardWidth); }
    dword getHeight() override { return static_cast<dword>(cardHeight); }
    // White unless fullBlack.
    bool newRaster(MediaDefinition* media, bool fullBlack) override;

private:
    // Byte index of the dot's first byte, or false when it is off the image.
    bool locate(int W, int H, dword& index);

    int cardWidth;
    int cardHeight;
};

} // namespace tavgdi
