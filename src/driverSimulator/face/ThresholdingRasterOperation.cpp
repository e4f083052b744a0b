#include "face/RasterOperations.h"

#include "InternalLog.h"
#include "MediaDefinition.h"
#include "face/HalftoneWalk.h"
#include "face/RectWalk.h"
#include "image/IGDataSupervisor.h"
#include "image/IPixel.h"

namespace tavgdi {

namespace {

void announce(ILGRectIterator*)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][ThresholdingRasterOperation::apply] (threshold value:%d)\r\n",
                       (int)IPixel::getThreshold());
}

} // namespace

const RasterKind thresholding = {"ThresholdingRasterOperation",
    true, false, false, false, true,
    RasterKind::NullParameter, RasterKind::NullParameter, announce, &RasterJob::threshold};

bool RasterJob::threshold() const
{

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
    if (!halftoneWalk(*this, FastKernels::Thresholding,
                      [threshold](dword, dword, int c) { return 255 - c >= threshold; }, step))
        walk->forEachDot(step);
    return true;
}

} // namespace tavgdi
