// Measure only: each projected dot of the target is handed to the invariant
// processor. The source and op are not used; nothing is written.
#pragma once

#include "face/IGRasterOperation.h"

namespace tavgdi {

class IGDInvariantProcessor;

class TrivialRasterOperationWithInvariant : public IGRasterOperation {
public:
    TrivialRasterOperationWithInvariant(IGDataSupervisor* target, IGDInvariantProcessor* invariant);
    ~TrivialRasterOperationWithInvariant() override;

    TrivialRasterOperationWithInvariant(const TrivialRasterOperationWithInvariant&) = delete;
    TrivialRasterOperationWithInvariant& operator=(const TrivialRasterOperationWithInvariant&) = delete;

    bool apply(IGDataSupervisor* s, PixelOperation::PixelOp op, ILGRectIterator* riter,
               GraphicalConstants::CoordinateTransform Wtransform,
               GraphicalConstants::CoordinateTransform Htransform) override;

private:
    IGDataSupervisor* target;         // borrowed
    IGDInvariantProcessor* invariant; // borrowed
};

} // namespace tavgdi
