#include "face/RasterOperations.h"

#include "InternalLog.h"
#include "MediaDefinition.h"
#include "face/IGDInvariantProcessor.h"
#include "face/RectWalk.h"
#include "image/ColorPixel.h"
#include "image/IGDataSupervisor.h"

namespace tavgdi {

const RasterKind copyWithInvariant = {"StandardRasterOperationWithInvariant",
                                      true,
                                      true,
                                      false,
                                      false,
                                      true,
                                      RasterKind::Silent,
                                      RasterKind::NullMedia,
                                      nullptr,
                                      &RasterJob::copyAndMeasure};

bool RasterJob::copyAndMeasure() const
{
    invariant->resetCounters();
    // Keeps its previous value where the source coordinates are invalid.
    ColorPixel currentSrcPxl(0, 0, 0);
    walk->forEachDot([&](dword w, dword h) {
        const int x = static_cast<int>(w);
        const int y = static_cast<int>(h);
        s->getPixel(static_cast<int>(Wtransform(w, h, W, H)), static_cast<int>(Htransform(w, h, W, H)), &currentSrcPxl);
        invariant->updateInvariantByPixel(x, y, &currentSrcPxl);
        t->setPixel(x, y, op(t->getPixel(x, y), &currentSrcPxl));
    });
    return true;
}

} // namespace tavgdi
