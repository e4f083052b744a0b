#include "face/StandardRasterOperationWithInvariant.h"

#include "InternalLog.h"
#include "MediaDefinition.h"
#include "face/IGDInvariantProcessor.h"
#include "face/RectWalk.h"
#include "image/ColorPixel.h"
#include "image/IGDataSupervisor.h"

namespace tavgdi {

StandardRasterOperationWithInvariant::StandardRasterOperationWithInvariant(IGDataSupervisor* target_,
                                                                           IGDInvariantProcessor* invariant_)
    : target(target_), invariant(invariant_)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +StandardRasterOperationWithInvariant (%lx) \tDependancy: "
                       L"IGDataSupervisor(%lx), IGDInvariantProcessor(%lx)\r\n",
                       LOGPTR(this), LOGPTR(target), LOGPTR(invariant));
}

StandardRasterOperationWithInvariant::~StandardRasterOperationWithInvariant()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -StandardRasterOperationWithInvariant (%lx)\r\n",
                       LOGPTR(this));
}

bool StandardRasterOperationWithInvariant::apply(IGDataSupervisor* s, PixelOperation::PixelOp op,
                                                 ILGRectIterator* riter,
                                                 GraphicalConstants::CoordinateTransform Wtransform,
                                                 GraphicalConstants::CoordinateTransform Htransform)
{
    if (s == nullptr)
        return false;
    if (target == nullptr || op == nullptr || Wtransform == nullptr || Htransform == nullptr)
        return false;
    if (invariant == nullptr)
        return false;
    MediaDefinition* media = target->getMedia();
    if (media == nullptr) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][StandardRasterOperationWithInvariant::apply] WARNING - NULL media - "
                           L"return false\r\n");
        return false;
    }
    const dword W = media->getWidth();
    const dword H = media->getHeight();
    RectWalk walk(riter, W, H);
    if (!walk.init())
        return false;

    invariant->resetCounters();
    // Keeps its previous value where the source coordinates are invalid.
    ColorPixel currentSrcPxl(0, 0, 0);
    IGDataSupervisor* t = target;
    IGDInvariantProcessor* inv = invariant;
    walk.forEachDot([&, t, inv](dword w, dword h) {
        const int x = static_cast<int>(w);
        const int y = static_cast<int>(h);
        s->getPixel(static_cast<int>(Wtransform(w, h, W, H)), static_cast<int>(Htransform(w, h, W, H)),
                    &currentSrcPxl);
        inv->updateInvariantByPixel(x, y, &currentSrcPxl);
        t->setPixel(x, y, op(t->getPixel(x, y), &currentSrcPxl));
    });
    walk.release();
    return true;
}

} // namespace tavgdi
