#include "face/StandardRasterOperationWithFixedColor.h"

#include "InternalLog.h"
#include "MediaDefinition.h"
#include "face/RectWalk.h"
#include "image/ColorPixel.h"
#include "image/IGDataSupervisor.h"
#include "settings/IGDataOptions.h"

namespace tavgdi {

StandardRasterOperationWithFixedColor::StandardRasterOperationWithFixedColor(IGDataSupervisor* target_)
    : target(target_)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +StandardRasterOperationWithFixedColor (%lx) "
                       L"\tDependancy: IGDataSupervisor(%lx)\r\n",
                       LOGPTR(this), LOGPTR(target));
}

StandardRasterOperationWithFixedColor::~StandardRasterOperationWithFixedColor()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -StandardRasterOperationWithFixedColor (%lx)\r\n",
                       LOGPTR(this));
}

bool StandardRasterOperationWithFixedColor::apply(IGDataSupervisor* s, PixelOperation::PixelOp op,
                                                  ILGRectIterator* riter,
                                                  GraphicalConstants::CoordinateTransform Wtransform,
                                                  GraphicalConstants::CoordinateTransform Htransform)
{
    if (s == nullptr || target == nullptr || op == nullptr || Wtransform == nullptr || Htransform == nullptr) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][StandardRasterOperationWithFixedColor::apply] WARNING - NULL input - "
                           L"return false\r\n");
        return false;
    }
    IGDataOptions* options = s->getIGDataOptions();
    if (options == nullptr) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][StandardRasterOperationWithFixedColor::apply] WARNING - NULL Options - "
                           L"return false\r\n");
        return false;
    }
    MediaDefinition* media = s->getMedia();
    if (media == nullptr) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][StandardRasterOperationWithFixedColor::apply] WARNING - NULL media - "
                           L"return false\r\n");
        return false;
    }
    const dword W = media->getWidth();
    const dword H = media->getHeight();
    RectWalk walk(riter, W, H);
    if (!walk.init())
        return false;

    // Option values are taken modulo 256.
    ColorPixel BlackPixelSubstitute(static_cast<byte>(options->getOption(TavGdiOptions::FixedBlackSubY) & 0xFF),
                                    static_cast<byte>(options->getOption(TavGdiOptions::FixedBlackSubM) & 0xFF),
                                    static_cast<byte>(options->getOption(TavGdiOptions::FixedBlackSubC) & 0xFF));
    ColorPixel currentSrcPxl(0, 0, 0);
    InternalLog::print(L"[TAVRIN UNIDRIVER][StandardRasterOperationWithFixedColor::apply] Last Pixel - %u %u %u\r\n",
                       (unsigned)BlackPixelSubstitute.getY(), (unsigned)BlackPixelSubstitute.getM(),
                       (unsigned)BlackPixelSubstitute.getC());
    InternalLog::print(L"[TAVRIN UNIDRIVER][StandardRasterOperationWithFixedColor::apply] BlackLevel - %u\r\n",
                       (unsigned)IPixel::getBlackLevel());

    IGDataSupervisor* t = target;
    walk.forEachRect([&, t](const GRect& r) {
        using GraphicalConstants::dwmax;
        using GraphicalConstants::dwmin;
        const dword Wmin = dwmin(dwmin(r.left, r.right), W);
        const dword Wmax = dwmin(dwmax(r.left, r.right), W);
        const dword Hmin = dwmin(dwmin(r.top, r.bottom), H);
        const dword Hmax = dwmin(dwmax(r.top, r.bottom), H);
        for (dword w = Wmin; w < Wmax; ++w) {
            const int x = static_cast<int>(w);
            for (dword h = Hmin; h < Hmax; ++h) {
                const int y = static_cast<int>(h);
                s->getPixel(x, y, &currentSrcPxl);
                if (!currentSrcPxl.isBlack())
                    continue;
                const int tx = static_cast<int>(Wtransform(w, h, W, H));
                const int ty = static_cast<int>(Htransform(w, h, W, H));
                t->setPixel(tx, ty, op(t->getPixel(tx, ty), &currentSrcPxl));
                s->setPixel(x, y, &BlackPixelSubstitute);
            }
        }
    });
    walk.release();
    return true;
}

} // namespace tavgdi
