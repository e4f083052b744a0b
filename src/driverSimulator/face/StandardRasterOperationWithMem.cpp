#include "face/StandardRasterOperationWithMem.h"

#include "InternalLog.h"
#include "MediaDefinition.h"
#include "face/RectWalk.h"
#include "image/ColorPixel.h"
#include "image/IGDataSupervisor.h"

namespace tavgdi {

StandardRasterOperationWithMem::StandardRasterOperationWithMem(IGDataSupervisor* target_) : target(target_)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +StandardRasterOperationWithMem (%lx) \tDependancy: "
                       L"IGDataSupervisor(%lx)\r\n",
                       LOGPTR(this), LOGPTR(target));
}

StandardRasterOperationWithMem::~StandardRasterOperationWithMem()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -StandardRasterOperationWithMem (%lx)\r\n", LOGPTR(this));
}

bool StandardRasterOperationWithMem::apply(IGDataSupervisor* s, PixelOperation::PixelOp op, ILGRectIterator* riter,
                                           GraphicalConstants::CoordinateTransform Wtransform,
                                           GraphicalConstants::CoordinateTransform Htransform)
{
    if (s == nullptr)
        return false;
    if (target == nullptr || op == nullptr || Wtransform == nullptr || Htransform == nullptr)
        return false;
    MediaDefinition* media = s->getMedia();
    if (media == nullptr) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][StandardRasterOperationWithMem::apply] WARNING - NULL media - return "
                           L"false\r\n");
        return false;
    }
    const dword W = media->getWidth();
    const dword H = media->getHeight();
    RectWalk walk(riter, W, H);
    if (!walk.init())
        return false;

    ColorPixel lastNonBlackPixel(0, 0, 0);
    ColorPixel currentSrcPxl(0, 0, 0);
    InternalLog::print(L"[TAVRIN UNIDRIVER][StandardRasterOperationWithMem::apply] Last Pixel - %u %u %u\r\n",
                       (unsigned)lastNonBlackPixel.getY(), (unsigned)lastNonBlackPixel.getM(),
                       (unsigned)lastNonBlackPixel.getC());
    InternalLog::print(L"[TAVRIN UNIDRIVER][StandardRasterOperationWithMem::apply] BlackLevel - %u\r\n",
                       (unsigned)IPixel::getBlackLevel());

    IGDataSupervisor* t = target;
    walk.forEachRect([&, t](const GRect& r) {
        using GraphicalConstants::dwmax;
        using GraphicalConstants::dwmin;
        // A rectangle given the wrong way round is taken as its normalised
        // form, and whatever reaches beyond the panel is cut off.
        const dword Wmin = dwmin(dwmin(r.left, r.right), W);
        const dword Wmax = dwmin(dwmax(r.left, r.right), W);
        const dword Hmin = dwmin(dwmin(r.top, r.bottom), H);
        const dword Hmax = dwmin(dwmax(r.top, r.bottom), H);
        if (Hmin >= Hmax)
            return;
        for (dword w = Wmin; w < Wmax; ++w) {
            const int x = static_cast<int>(w);
            // The colour a black dot takes: the last dot before it that is
            // not dark, white until there is one.
            s->getPixel(x, static_cast<int>(Hmin), &lastNonBlackPixel);
            if (lastNonBlackPixel.isBlack())
                lastNonBlackPixel.set(false);
            for (dword h = Hmin; h < Hmax; ++h) {
                const int y = static_cast<int>(h);
                s->getPixel(x, y, &currentSrcPxl);
                if (currentSrcPxl.isBlack()) {
                    const int tx = static_cast<int>(Wtransform(w, h, W, H));
                    const int ty = static_cast<int>(Htransform(w, h, W, H));
                    t->setPixel(tx, ty, op(t->getPixel(tx, ty), &currentSrcPxl));
                    s->setPixel(x, y, &lastNonBlackPixel);
                }
                if (!currentSrcPxl.isDark())
                    lastNonBlackPixel.set(currentSrcPxl.getY(), currentSrcPxl.getM(), currentSrcPxl.getC());
            }
        }
    });
    walk.release();
    return true;
}

} // namespace tavgdi
