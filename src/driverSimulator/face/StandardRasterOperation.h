// The plain copy: every target dot receives op(target dot, projected source dot).
#pragma once

#include "face/IGRasterOperation.h"

namespace tavgdi {

class StandardRasterOperation : public IGRasterOperation {
public:
    explicit StandardRasterOperation(IGDataSupervisor* target);
    ~StandardRasterOperation() override;

    StandardRasterOperation(const StandardRasterOperation&) = delete;
    StandardRasterOperation& operator=(const StandardRasterOperation&) = delete;

    bool apply(IGDataSupervisor* s, PixelOperation::PixelOp op, ILGRectIterator* riter,
               GraphicalConstants::CoordinateTransform Wtransform,
               GraphicalConstants::CoordinateTransform Htransform) override;

private:
    IGDataSupervisor* target; // borrowed
};

} // namespace tavgdi
