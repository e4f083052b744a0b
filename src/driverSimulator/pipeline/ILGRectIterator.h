// Walk over the rectangles a raster operation works in:
//   init(); while (isUncompleted()) { r = getRect(); ...; next(); }
#pragma once

#include "GraphicalConstants.h"
#include "Windows.h"

namespace tavgdi {

class GRect;

class ILGRectIterator {
public:
    virtual bool init() = 0;
    virtual bool isUncompleted() = 0;
    // The current rectangle (may be null); owned by the iterated list.
    virtual GRect* getRect() = 0;
    virtual void next() = 0;
    // Moves the remaining rectangles into a panel's storage orientation;
    // rectangles already in storage coordinates are left as they are.
    virtual void orientationTransform(GraphicalConstants::CardOrientation /*cardOrientation*/, dword /*mediaWidth*/,
                                      dword /*mediaHeight*/)
    {
    }
    // Flips the remaining rectangles from top-down rows to bottom-up rows
    // (likewise).
    virtual void standardTransform(dword /*mediaHeight*/) {}
    virtual void debug() = 0;
    virtual ~ILGRectIterator() {}
};

} // namespace tavgdi
