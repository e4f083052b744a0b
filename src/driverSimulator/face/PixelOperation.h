// The pixel operations a raster operation applies at each dot: given the
// target's current pixel and the source pixel, the pixel to store in the
// target. They run per dot: no logging, no allocation.
#pragma once

#include "face/IGRasterOperation.h"

namespace PixelOperation {

// The target receives the source pixel.
tavgdi::IPixel* copy(tavgdi::IPixel* dest, tavgdi::IPixel* src);

// A black source dot sets the target dot black; any other leaves it as is.
tavgdi::IPixel* copyBlackPoint(tavgdi::IPixel* dest, tavgdi::IPixel* src);

// Inverts: a source dot marked black (set(true)) gives a white target dot,
// any other a black one. A null source leaves the target dot as is.
tavgdi::IPixel* copyColorBW(tavgdi::IPixel* dest, tavgdi::IPixel* src);

} // namespace PixelOperation
