// Dot addressing over a memory manager: which byte and bit hold the card dot
// (W, H), and how an ink value is stored there.
#pragma once

#include "GraphicalConstants.h"
#include "Windows.h"

namespace tavgdi {

class IPixel;
class MediaDefinition;

class IGDataManager {
public:
    virtual void setOrientation(GraphicalConstants::CardOrientation orientation, MediaDefinition* media) = 0;
    virtual GraphicalConstants::CardOrientation getOrientation() = 0;
    virtual void setPixel(int W, int H, IPixel* p) = 0;
    virtual void getPixel(int W, int H, IPixel* p) = 0;
    virtual dword getWidth() = 0;
    virtual dword getHeight() = 0;
    virtual MediaDefinition* getMedia() = 0;
    virtual bool areValidCoordinates(int a, int b) = 0;
    virtual bool newRaster(MediaDefinition* media, bool fullBlack) = 0;
    virtual IGDataManager* clone() = 0;
    virtual ~IGDataManager() {}
};

} // namespace tavgdi
