// Halftoning by clustered-dot ordered dither: an 8 x 8 matrix of two 4 x 4
// dot cells per diagonal, scaled to thresholds 0 to 248. Almost-white dots
// (ink 0 to 2) never print.
#pragma once

#include "face/IGRasterOperation.h"

namespace tavgdi {

class OrderedClusteredDotDitheringRasterOperation : public IGRasterOperation {
public:
    explicit OrderedClusteredDotDitheringRasterOperation(IGDataSupervisor* target);
    ~OrderedClusteredDotDitheringRasterOperation() override;

    OrderedClusteredDotDitheringRasterOperation(const OrderedClusteredDotDitheringRasterOperation&) = delete;
    OrderedClusteredDotDitheringRasterOperation& operator=(const OrderedClusteredDotDitheringRasterOperation&) = delete;

    bool apply(IGDataSupervisor* s, PixelOperation::PixelOp op, ILGRectIterator* riter,
               GraphicalConstants::CoordinateTransform Wtransform,
               GraphicalConstants::CoordinateTransform Htransform) override;

private:
    IGDataSupervisor* target; // borrowed
};

} // namespace tavgdi
