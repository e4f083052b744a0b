// Black extraction with a fixed colour: black source dots go to the target
// (the black panel) and are replaced in the source by the colour of the
// options FixedBlackSubY, FixedBlackSubM, FixedBlackSubC.
#pragma once

#include "face/IGRasterOperation.h"

namespace tavgdi {

class StandardRasterOperationWithFixedColor : public IGRasterOperation {
public:
    explicit StandardRasterOperationWithFixedColor(IGDataSupervisor* target);
    ~StandardRasterOperationWithFixedColor() override;

    StandardRasterOperationWithFixedColor(const StandardRasterOperationWithFixedColor&) = delete;
    StandardRasterOperationWithFixedColor& operator=(const StandardRasterOperationWithFixedColor&) = delete;

    bool apply(IGDataSupervisor* s, PixelOperation::PixelOp op, ILGRectIterator* riter,
               GraphicalConstants::CoordinateTransform Wtransform,
               GraphicalConstants::CoordinateTransform Htransform) override;

private:
    IGDataSupervisor* target; // borrowed
};

} // namespace tavgdi
