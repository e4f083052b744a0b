#include "face/RasterOperations.h"

#include "InternalLog.h"
#include "MediaDefinition.h"
#include "face/HalftoneWalk.h"
#include "face/RectWalk.h"
#include "image/IGDataSupervisor.h"
#include "image/IPixel.h"

namespace tavgdi {

namespace {

// Read as 8 rows of 8 (row h mod 8, column w mod 8). Thresholds 0..15 lie in
// the upper-right and lower-left 4 x 4 cells, lowest at their centres; 16..31
// in the other two, highest at their centres.
const int matrix[64] = {
    18, 20, 19, 16, 13, 11, 12, 15, //
    27, 28, 29, 22, 4,  3,  2,  9,  //
    26, 31, 30, 21, 5,  0,  1,  10, //
    23, 25, 24, 17, 8,  6,  7,  14, //
    13, 11, 12, 15, 18, 20, 19, 16, //
    4,  3,  2,  9,  27, 28, 29, 22, //
    5,  0,  1,  10, 26, 31, 30, 21, //
    8,  6,  7,  14, 23, 25, 24, 17, //
};

const int order = 4;                 // the dot-cell size
const int l = 2 * order;             // the matrix side
const int scale = 256 / (l * order); // 8: thresholds 0 to 248

// Ink of an almost-white dot that never prints.
const int maxWhiteInk = 2;

void announce(ILGRectIterator*)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER ][OrderedClusteredDotDitheringRasterOperation::apply]\r\n");
}

} // namespace

const RasterKind clusteredDithering = {"OrderedClusteredDotDitheringRasterOperation",
                                       true,
                                       false,
                                       false,
                                       false,
                                       true,
                                       RasterKind::Silent,
                                       RasterKind::NullParameter,
                                       announce,
                                       &RasterJob::ditherClustered};

bool RasterJob::ditherClustered() const
{
    int table[l * l];
    for (int i = 0; i < l * l; ++i)
        table[i] = matrix[i] * scale;
    return halftone(*this, FastKernels::ClusteredDithering, [&table](dword w, dword h, int c) {
        return c <= maxWhiteInk || !(c >= table[l * (h % l) + (w % l)]);
    });
}

} // namespace tavgdi
