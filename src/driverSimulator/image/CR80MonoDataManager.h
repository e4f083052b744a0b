// A one-bit panel or bitmap: rows of cardWidth / 8 bytes, the leftmost dot
// in the most significant bit. The black panel and the overlay panel are
// stored in portrait with bit 1 for ink; the one-bit bitmap in landscape,
// bottom row first, with bit 1 for white.
#pragma once

#include "GlobalFactory.h"
#include "image/GenericDataManager.h"

namespace tavgdi {

class CR80MonoDataManager : public OrientedDataManager {
public:
    CR80MonoDataManager(TavFactory::SupervisorType type, IGDataMemoryManager* memMgr, MediaDefinition* media);

    // The rows' byte length follows the stored width.
    void setOrientation(GraphicalConstants::CardOrientation orientation, MediaDefinition* media) override;
    // Rows hold whole bytes only: when cardWidth is not a multiple of 8 the
    // last cardWidth % 8 dots of a stored row are not kept (they read white),
    // so that a row never spills into the next one.
    void setPixel(int W, int H, IPixel* p) override;
    void getPixel(int W, int H, IPixel* p) override;
    // White unless fullBlack.
    bool newRaster(MediaDefinition* media, bool fullBlack) override;

    byte getWhiteValue() const { return whiteValue; }
    int getRowBytes() const { return cardRWidth; }

private:
    int cardRWidth;
    byte whiteValue;
};

} // namespace tavgdi
