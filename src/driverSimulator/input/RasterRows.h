// Rows of the page raster as the page loop stores them: 8-bit RGB dots of a
// CUPS raster row become the B, G, R dots of a 24-bit bitmap row.
#pragma once

#include "Windows.h"

namespace tavgdi {

class RasterRows {
public:
    // dots dots of rgb (R, G, B each) as B, G, R in bgr; the two rows may be
    // the same row but must not overlap otherwise.
    static void toBgr(const byte* rgb, byte* bgr, dword dots);
    // dots 8-bit gray dots (255 white) as B, G, R dots of that gray; the
    // rows must not overlap.
    static void grayToBgr(const byte* gray, byte* bgr, dword dots);

    virtual ~RasterRows() {}
};

} // namespace tavgdi
