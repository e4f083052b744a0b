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
                                 true,
                                 false,
                                 false,
                                 false,
                                 true,
                                 RasterKind::NullParameter,
                                 RasterKind::NullParameter,
                                 announce,
                                 &RasterJob::threshold};

bool RasterJob::threshold() const
{
    // White when the gray level reaches the threshold.
    const int threshold = IPixel::getThreshold();
    return halftone(*this, FastKernels::Thresholding,
                    [threshold](dword, dword, int c) { return 255 - c >= threshold; });
}

} // namespace tavgdi
