#include "InternalLog.h"
#include "MediaDefinition.h"
#include "face/RasterOperations.h"
#include "face/RectWalk.h"
#include "image/IGDataSupervisor.h"
#include "image/IPixel.h"

namespace tavgdi {

GRasterOperation::GRasterOperation(const RasterKind& kind_, IGDataSupervisor* target_,
                                   IGDInvariantProcessor* invariant_)
    : kind(kind_), target(target_), invariant(invariant_)
{
    if (kind.usesInvariant)
        InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +%s (%lx) \tDependancy: IGDataSupervisor(%lx), "
                           L"IGDInvariantProcessor(%lx)\r\n",
                           kind.name, LOGPTR(this), LOGPTR(target), LOGPTR(invariant));
    else
        InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +%s (%lx) \tDependancy: IGDataSupervisor(%lx)\r\n",
                           kind.name, LOGPTR(this), LOGPTR(target));
}

GRasterOperation::~GRasterOperation()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -%s (%lx)\r\n", kind.name, LOGPTR(this));
}

void GRasterOperation::warn(RasterKind::Warning w) const
{
    static const char* const what[] = {nullptr, "input", "Parameter", "media", "Options"};
    if (w != RasterKind::Silent)
        InternalLog::print(L"[TAVRIN UNIDRIVER][%s::apply] WARNING - NULL %s - return false\r\n", kind.name, what[w]);
}

bool RasterJob::isFast(FastKernels::Operation operation, const RasterAccess& from, const RasterAccess& to,
                       AffineAxis& X, AffineAxis& Y) const
{
    FastKernels::Projection p{Wtransform, Htransform, W, H, AffineAxis(), AffineAxis()};
    if (FastKernels::choose(operation, from, to, op, &p) == nullptr)
        return false;
    X = p.X;
    Y = p.Y;
    return true;
}

void RasterJob::announceBlack(const RasterKind& kind, IPixel& replacement)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][%s::apply] Last Pixel - %u %u %u\r\n", kind.name,
                       (unsigned)replacement.getY(), (unsigned)replacement.getM(), (unsigned)replacement.getC());
    InternalLog::print(L"[TAVRIN UNIDRIVER][%s::apply] BlackLevel - %u\r\n", kind.name,
                       (unsigned)IPixel::getBlackLevel());
}

bool GRasterOperation::apply(IGDataSupervisor* s, PixelOperation::PixelOp op, ILGRectIterator* riter,
                             GraphicalConstants::CoordinateTransform Wtransform,
                             GraphicalConstants::CoordinateTransform Htransform)
{
    if (kind.announce != nullptr)
        kind.announce(riter);
    if ((s == nullptr && kind.usesSource) || target == nullptr || op == nullptr || Wtransform == nullptr ||
        Htransform == nullptr || (invariant == nullptr && kind.usesInvariant)) {
        warn(kind.nullArgument);
        return false;
    }
    if (kind.needsOptions && s->getIGDataOptions() == nullptr) {
        warn(RasterKind::NullOptions);
        return false;
    }
    MediaDefinition* media = (kind.isAreaOfSource ? s : target)->getMedia();
    if (media == nullptr) {
        warn(kind.nullMedia);
        return false;
    }
    RasterJob job{s, target, invariant, op, Wtransform, Htransform, media->getWidth(), media->getHeight(), nullptr};
    if (!kind.walks)
        return (job.*kind.run)();
    RectWalk walk(riter, job.W, job.H);
    if (!walk.init())
        return false;
    job.walk = &walk;
    const bool done = (job.*kind.run)();
    walk.release();
    return done;
}

} // namespace tavgdi
