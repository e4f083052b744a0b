// Halftoning by a fixed threshold: a dot prints when its gray level is below
// IPixel's Threshold.
#pragma once

#include "face/IGRasterOperation.h"

namespace tavgdi {

class ThresholdingRasterOperation : public IGRasterOperation {
public:
    explicit ThresholdingRasterOperation(IGDataSupervisor* target);
    ~ThresholdingRasterOperation() override;

    ThresholdingRasterOperation(const ThresholdingRasterOperation&) = delete;
    ThresholdingRasterOperation& operator=(const ThresholdingRasterOperation&) = delete;

    bool apply(IGDataSupervisor* s, PixelOperation::PixelOp op, ILGRectIterator* riter,
               GraphicalConstants::CoordinateTransform Wtransform,
               GraphicalConstants::CoordinateTransform Htransform) override;

private:
    IGDataSupervisor* target; // borrowed
};

} // namespace tavgdi
