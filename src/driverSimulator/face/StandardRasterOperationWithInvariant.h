// Copy and measure: each projected source dot is handed to the invariant
// processor, then stored into the target through op.
#pragma once

#include "face/IGRasterOperation.h"

namespace tavgdi {

class IGDInvariantProcessor;

class StandardRasterOperationWithInvariant : public IGRasterOperation {
public:
    StandardRasterOperationWithInvariant(IGDataSupervisor* target, IGDInvariantProcessor* invariant);
    ~StandardRasterOperationWithInvariant() override;

    StandardRasterOperationWithInvariant(const StandardRasterOperationWithInvariant&) = delete;
    StandardRasterOperationWithInvariant& operator=(const StandardRasterOperationWithInvariant&) = delete;

    bool apply(IGDataSupervisor* s, PixelOperation::PixelOp op, ILGRectIterator* riter,
               GraphicalConstants::CoordinateTransform Wtransform,
               GraphicalConstants::CoordinateTransform Htransform) override;

private:
    IGDataSupervisor* target;         // borrowed
    IGDInvariantProcessor* invariant; // borrowed
};

} // namespace tavgdi
