#include "face/ThresholdingRasterOperation.h"

#include "InternalLog.h"
#include "MediaDefinition.h"
#include "face/HalftoneWalk.h"
#include "face/RectWalk.h"
#include "image/IGDataSupervisor.h"
#include "image/IPixel.h"

namespace tavgdi {

ThresholdingRasterOperation::ThresholdingRasterOperation(IGDataSupervisor* target_) : target(target_)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +ThresholdingRasterOperation (%lx) \tDependancy: "
                       L"IGDataSupervisor(%lx)\r\n",
                       LOGPTR(this), LOGPTR(target));
}

ThresholdingRasterOperation::~ThresholdingRasterOperation()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -ThresholdingRasterOperation (%lx)\r\n", LOGPTR(this));
}

bool ThresholdingRasterOperation::apply(IGDataSupervisor* s, PixelOperation::PixelOp op, ILGRectIterator* riter,
                                        GraphicalConstants::CoordinateTransform Wtransform,
                                        GraphicalConstants::CoordinateTransform Htransform)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][ThresholdingRasterOperation::apply] (threshold value:%d)\r\n",
                       (int)IPixel::getThreshold());
    MediaDefinition* media = target != nullptr ? target->getMedia() : nullptr;
    if (s == nullptr || op == nullptr || Wtransform == nullptr || Htransform == nullptr || media == nullptr) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][ThresholdingRasterOperation::apply] WARNING - NULL Parameter - return "
                           L"false\r\n");
        return false;
    }
    const dword W = media->getWidth();
    const dword H = media->getHeight();
    RectWalk walk(riter, W, H);
    if (!walk.init())
        return false;

    IGDataSupervisor* t = target;
    auto step = [=](dword w, dword h) {
        IPixel* p = s->getPixel(static_cast<int>(Wtransform(w, h, W, H)), static_cast<int>(Htransform(w, h, W, H)));
        if (p == nullptr)
            return;
        // White (set(true)) when the gray level reaches the threshold.
        p->set(255 - static_cast<int>(p->getC()) >= static_cast<int>(IPixel::getThreshold()));
        const int x = static_cast<int>(w);
        const int y = static_cast<int>(h);
        t->setPixel(x, y, op(t->getPixel(x, y), p));
    };
    const int threshold = IPixel::getThreshold();
    if (!halftoneWalk(walk, s, t, op, Wtransform, Htransform, W, H,
                      [threshold](dword, dword, int c) { return 255 - c >= threshold; }, step))
        walk.forEachDot(step);
    walk.release();
    return true;
}

} // namespace tavgdi
