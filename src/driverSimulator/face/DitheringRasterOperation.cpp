#include "face/RasterOperations.h"

#include "InternalLog.h"
#include "MediaDefinition.h"
#include "face/HalftoneWalk.h"
#include "face/RectWalk.h"
#include "image/IGDataSupervisor.h"
#include "image/IPixel.h"

namespace tavgdi {

namespace {

// Row h mod 8, column w mod 8: a dot prints when its gray level is at most
// the entry.
const int DitherPattern1[8][8] = {
    {0, 112, 28, 140, 7, 119, 35, 147},    {168, 56, 196, 84, 175, 63, 203, 78},   {42, 154, 14, 126, 49, 161, 21, 114},
    {210, 98, 182, 70, 217, 105, 189, 77}, {11, 123, 39, 151, 4, 116, 32, 143},    {179, 67, 207, 95, 172, 59, 200, 88},
    {53, 165, 24, 137, 46, 158, 18, 111},  {221, 109, 193, 81, 214, 102, 159, 74},
};

} // namespace

const RasterKind dithering = {
    "DitheringRasterOperation", true, false, false, false, true, RasterKind::Silent, RasterKind::NullMedia, nullptr,
    &RasterJob::dither};

bool RasterJob::dither() const
{
    return halftone(*this, FastKernels::Dithering,
                    [](dword w, dword h, int c) { return 255 - c > DitherPattern1[h % 8][w % 8]; });
}

} // namespace tavgdi
