// Moves or examines the dots of a source supervisor into a target one, over
// a set of rectangles.
#pragma once

#include "GraphicalConstants.h"

namespace tavgdi {

class IGDataSupervisor;
class IPixel;
class ILGRectIterator;

} // namespace tavgdi

namespace PixelOperation {

// Given the target's current pixel and the source pixel, the pixel to store
// in the target.
typedef tavgdi::IPixel* (*PixelOp)(tavgdi::IPixel* dest, tavgdi::IPixel* src);

} // namespace PixelOperation

namespace tavgdi {

class IGRasterOperation {
public:
    // A null iterator means the whole area.
    virtual bool apply(IGDataSupervisor* s, PixelOperation::PixelOp op, ILGRectIterator* riter,
                       GraphicalConstants::CoordinateTransform Wtransform,
                       GraphicalConstants::CoordinateTransform Htransform) = 0;
    virtual ~IGRasterOperation() {}
};

} // namespace tavgdi
