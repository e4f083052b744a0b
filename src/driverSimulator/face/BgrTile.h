// A 16 x 16 dot tile of a 24-bit bitmap (three bytes per dot) turned into
// the column-ordered colour planes as ink (255 minus each byte): the colour
// copy's inner block, done with 16-byte vector moves where the processor
// has them.
#pragma once

#include <cstddef>

#include "Windows.h"

namespace tavgdi {

class BgrTile {
public:
    static const int Dots = 16;

    // Row r (0..15) of the tile starts at first + r * rowStep: 16 dots of
    // three bytes in memory order. Byte c (0..2) of the dot k-th in memory
    // order goes, as 255 minus it, to planes[c] + column * columnStep + r,
    // where column is k, or 15 - k when isReversed.
    static void toPlanes(const byte* first, ptrdiff_t rowStep, bool isReversed, byte* const planes[3],
                         ptrdiff_t columnStep);

    virtual ~BgrTile() {}
};

} // namespace tavgdi
