// Halftoning by ordered dither with an 8 x 8 matrix anchored at panel dot
// (0, 0): a dot prints when its gray level is at most the matrix entry.
#pragma once

#include "face/IGRasterOperation.h"

namespace tavgdi {

class DitheringRasterOperation : public IGRasterOperation {
public:
    explicit DitheringRasterOperation(IGDataSupervisor* target);
    ~DitheringRasterOperation() override;

    DitheringRasterOperation(const DitheringRasterOperation&) = delete;
    DitheringRasterOperation& operator=(const DitheringRasterOperation&) = delete;

    bool apply(IGDataSupervisor* s, PixelOperation::PixelOp op, ILGRectIterator* riter,
               GraphicalConstants::CoordinateTransform Wtransform,
               GraphicalConstants::CoordinateTransform Htransform) override;

private:
    IGDataSupervisor* target; // borrowed
};

} // namespace tavgdi
