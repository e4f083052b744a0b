#include "face/TrivialRasterOperationWithInvariant.h"

#include "InternalLog.h"
#include "MediaDefinition.h"
#include "face/IGDInvariantProcessor.h"
#include "face/RectWalk.h"
#include "image/ColorPixel.h"
#include "image/IGDataSupervisor.h"

namespace tavgdi {

TrivialRasterOperationWithInvariant::TrivialRasterOperationWithInvariant(IGDataSupervisor* target_,
                                                                         IGDInvariantProcessor* invariant_)
    : target(target_), invariant(invariant_)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +TrivialRasterOperationWithInvariant (%lx) \tDependancy: "
                       L"IGDataSupervisor(%lx), IGDInvariantProcessor(%lx)\r\n",
                       LOGPTR(this), LOGPTR(target), LOGPTR(invariant));
}

TrivialRasterOperationWithInvariant::~TrivialRasterOperationWithInvariant()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -TrivialRasterOperationWithInvariant (%lx)\r\n",
                       LOGPTR(this));
}

bool TrivialRasterOperationWithInvariant::apply(IGDataSupervisor* /*s*/, PixelOperation::PixelOp op,
                                                ILGRectIterator* riter,
                                                GraphicalConstants::CoordinateTransform Wtransform,
                                                GraphicalConstants::CoordinateTransform Htransform)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][TrivialRasterOperationWithInvariant::apply] TrivialLGRectIterator \tPTR: "
                       L"%lx\r\n",
                       LOGPTR(riter));
    if (target == nullptr || op == nullptr || Wtransform == nullptr || Htransform == nullptr)
        return false;
    if (invariant == nullptr)
        return false;
    MediaDefinition* media = target->getMedia();
    if (media == nullptr) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][TrivialRasterOperationWithInvariant::apply] WARNING - NULL Parameter - "
                           L"return false\r\n");
        return false;
    }
    const dword W = media->getWidth();
    const dword H = media->getHeight();
    RectWalk walk(riter, W, H);
    if (!walk.init())
        return false;

    invariant->resetCounters();
    ColorPixel currentSrcPxl(0, 0, 0);
    IGDataSupervisor* t = target;
    IGDInvariantProcessor* inv = invariant;
    walk.forEachDot([&, t, inv](dword w, dword h) {
        t->getPixel(static_cast<int>(Wtransform(w, h, W, H)), static_cast<int>(Htransform(w, h, W, H)),
                    &currentSrcPxl);
        inv->updateInvariantByPixel(static_cast<int>(w), static_cast<int>(h), &currentSrcPxl);
    });
    walk.release();
    return true;
}

} // namespace tavgdi
