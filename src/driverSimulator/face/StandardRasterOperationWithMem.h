// Black extraction with colour memory: black source dots go to the target
// (the black panel) and are replaced in the source (the colour panels) by the
// nearest dot before them (smaller h) in the same column and rectangle that
// is not dark, or white when there is none.
#pragma once

#include "face/IGRasterOperation.h"

namespace tavgdi {

class StandardRasterOperationWithMem : public IGRasterOperation {
public:
    explicit StandardRasterOperationWithMem(IGDataSupervisor* target);
    ~StandardRasterOperationWithMem() override;

    StandardRasterOperationWithMem(const StandardRasterOperationWithMem&) = delete;
    StandardRasterOperationWithMem& operator=(const StandardRasterOperationWithMem&) = delete;

    bool apply(IGDataSupervisor* s, PixelOperation::PixelOp op, ILGRectIterator* riter,
               GraphicalConstants::CoordinateTransform Wtransform,
               GraphicalConstants::CoordinateTransform Htransform) override;

private:
    IGDataSupervisor* target; // borrowed
};

} // namespace tavgdi
