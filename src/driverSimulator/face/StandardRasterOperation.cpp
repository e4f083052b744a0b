#include "face/StandardRasterOperation.h"

#include "InternalLog.h"
#include "MediaDefinition.h"
#include "face/RectWalk.h"
#include "image/IGDataSupervisor.h"
#include "image/IPixel.h"

namespace tavgdi {

StandardRasterOperation::StandardRasterOperation(IGDataSupervisor* target_) : target(target_)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +StandardRasterOperation (%lx) \tDependancy: "
                       L"IGDataSupervisor(%lx)\r\n",
                       LOGPTR(this), LOGPTR(target));
}

StandardRasterOperation::~StandardRasterOperation()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -StandardRasterOperation (%lx)\r\n", LOGPTR(this));
}

bool StandardRasterOperation::apply(IGDataSupervisor* s, PixelOperation::PixelOp op, ILGRectIterator* riter,
                                    GraphicalConstants::CoordinateTransform Wtransform,
                                    GraphicalConstants::CoordinateTransform Htransform)
{
    if (s == nullptr || target == nullptr || op == nullptr || Wtransform == nullptr || Htransform == nullptr)
        return false;
    MediaDefinition* media = target->getMedia();
    if (media == nullptr) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][StandardRasterOperation::apply] WARNING - NULL media - return "
                           L"false\r\n");
        return false;
    }
    const dword W = media->getWidth();
    const dword H = media->getHeight();
    RectWalk walk(riter, W, H);
    if (!walk.init())
        return false;

    IGDataSupervisor* t = target;
    walk.forEachDot([=](dword w, dword h) {
        const int x = static_cast<int>(w);
        const int y = static_cast<int>(h);
        IPixel* dest = t->getPixel(x, y);
        IPixel* src = s->getPixel(static_cast<int>(Wtransform(w, h, W, H)), static_cast<int>(Htransform(w, h, W, H)));
        t->setPixel(x, y, op(dest, src));
    });
    walk.release();
    return true;
}

} // namespace tavgdi
