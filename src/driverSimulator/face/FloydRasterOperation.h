// Halftoning by error diffusion (Floyd-Steinberg weights, integer arithmetic)
// over the whole panel, row by row, left to right. Any rectangle iterator is
// ignored.
#pragma once

#include "face/IGRasterOperation.h"

namespace tavgdi {

class FloydRasterOperation : public IGRasterOperation {
public:
    explicit FloydRasterOperation(IGDataSupervisor* target);
    ~FloydRasterOperation() override;

    FloydRasterOperation(const FloydRasterOperation&) = delete;
    FloydRasterOperation& operator=(const FloydRasterOperation&) = delete;

    bool apply(IGDataSupervisor* s, PixelOperation::PixelOp op, ILGRectIterator* riter,
               GraphicalConstants::CoordinateTransform Wtransform,
               GraphicalConstants::CoordinateTransform Htransform) override;

private:
    IGDataSupervisor* target; // borrowed
};

} // namespace tavgdi
