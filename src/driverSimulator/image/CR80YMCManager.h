// The three colour panels of a face: planes Y, M, C of one byte of ink per
// dot, each stored column by column (dot (x, y) at x * cardHeight + y).
#pragma once

#include "image/GenericDataManager.h"

namespace tavgdi {

class CR80YMCManager : public GenericDataManager {
public:
    CR80YMCManager(IGDataMemoryManager* memMgr, MediaDefinition* media);

    // The orientation is kept but does not change the addressing.
    void setOrientation(GraphicalConstants::CardOrientation orientation, MediaDefinition* media) override;
    // W is the card column x, H the card row y.
    void setPixel(int W, int H, IPixel* p) override;
    void getPixel(int W, int H, IPixel* p) override;
    // The panel is seen in portrait: width is the card height.
    dword getWidth() override;
    dword getHeight() override;
    // White (no ink) unless fullBlack.
    bool newRaster(MediaDefinition* media, bool fullBlack) override;

private:
    // The dot's index in the first plane and the plane size, or false when
    // the dot is off the panel.
    bool locate(int W, int H, dword& index, dword& area);
};

} // namespace tavgdi
