// Where the colour planes can hold a dot whose ink sum y + m + c reaches a
// limit: the largest ink sum of each block of Rows rows of each column, and
// of each tile of Columns such blocks side by side. A walk over many text
// rectangles, which may overlap and repeat one another, asks first whether a
// rectangle can hold such a dot at all and then looks only at the blocks
// that can, so that its cost follows the dots it has to change rather than
// the rectangles times their dots.
//
// Dots can be left out of the measures (a dot whose work is done); a block
// without dots left in measures -1. After changing dots the walk reports
// them with changed() and brings the tiles up to date with settle() before
// it asks again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "Windows.h"

namespace tavgdi {

class InkBlocks {
public:
    static const dword Rows = 64;
    static const dword Columns = 64;

    // The planes y, m, c hold the dot (w, h) at w * columnLength + h, for
    // the W x H dots measured here.
    InkBlocks(const byte* y, const byte* m, const byte* c, size_t columnLength, dword W, dword H);
    virtual ~InkBlocks() {}

    // False when no dot of [w0, w1) x [h0, h1) that is not left out has an
    // ink sum of at least limit.
    bool mayReach(dword w0, dword w1, dword h0, dword h1, int limit) const;

    // span(a, b) for each run [a, b) of the rows [h0, h1) of column w whose
    // blocks may hold a dot reaching limit, top down.
    template <class Span>
    void forEachSpan(dword w, dword h0, dword h1, int limit, Span&& span) const
    {
        h1 = h1 < height ? h1 : height;
        if (w >= width || h0 >= h1)
            return;
        const dword last = (h1 - 1) / Rows;
        const int16_t* column = blockMax.data() + static_cast<size_t>(w) * blocks;
        const int16_t* tiles = tileMax.data() + static_cast<size_t>(w / Columns) * blocks;
        dword runStart = 0;
        bool isInRun = false;
        for (dword b = h0 / Rows; b <= last; ++b) {
            const bool may = tiles[b] >= limit && column[b] >= limit;
            if (may && !isInRun) {
                runStart = b * Rows > h0 ? b * Rows : h0;
                isInRun = true;
            } else if (!may && isInRun) {
                span(runStart, b * Rows);
                isInRun = false;
            }
        }
        if (isInRun)
            span(runStart, h1);
    }

    // The rows [h0, h1) of column w were rewritten.
    void changed(dword w, dword h0, dword h1);
    // The dot (w, h) no longer counts; it still needs changed().
    void leaveOut(dword w, dword h);
    // dot(h) for each row h of [h0, h1) of column w whose dot is not left
    // out, top down.
    template <class Dot>
    void forEachLeftIn(dword w, dword h0, dword h1, Dot&& dot) const
    {
        h1 = h1 < height ? h1 : height;
        if (w >= width || h0 >= h1)
            return;
        if (leftOut.empty()) {
            for (dword h = h0; h < h1; ++h)
                dot(h);
            return;
        }
        // Up to 64 rows at a time, from one word or two.
        const size_t base = static_cast<size_t>(w) * height;
        for (dword from = h0; from < h1; from += 64) {
            const dword count = h1 - from < 64 ? h1 - from : 64;
            const size_t bit = base + from;
            uint64_t out = leftOut[bit >> 6] >> (bit & 63);
            if ((bit & 63) != 0 && (bit >> 6) + 1 < leftOut.size())
                out |= leftOut[(bit >> 6) + 1] << (64 - (bit & 63));
            uint64_t in = ~out;
            if (count < 64)
                in &= (uint64_t(1) << count) - 1;
            for (; in != 0; in &= in - 1)
                dot(from + static_cast<dword>(__builtin_ctzll(in)));
        }
    }
    // Brings the tiles up to date with the blocks changed since the last call.
    void settle();

private:
    int16_t measure(dword w, dword b) const;

    const byte* yp;
    const byte* mp;
    const byte* cp;
    size_t colLength;
    dword width;
    dword height;
    dword blocks;
    dword tileCount;
    std::vector<int16_t> blockMax; // [w * blocks + b]
    std::vector<int16_t> tileMax;  // [(w / Columns) * blocks + b]
    std::vector<uint64_t> leftOut; // bit w * height + h; empty until a dot is left out
    std::vector<dword> dirtyTiles; // tile indexes changed since settle()
    std::vector<bool> isDirty;     // per tile
};

class RasterAccess;

// The colour planes of a W x H walk on the fast path (all null when the walk
// is not on it), and whether they hold every dot of the walk's area.
struct ColourPlanes {
    ColourPlanes(const RasterAccess& colour, bool isFast, dword W, dword H);

    byte* y;
    byte* m;
    byte* c;
    size_t columnLength;
    dword width;
    dword height;
    bool isWhole;
};

// The blocks of a walk, measured only once the rectangles walked add up to
// more dots than the whole area: a walk over a few rectangles never pays for
// measuring all of it.
class InkBlocksOnDemand {
public:
    explicit InkBlocksOnDemand(const ColourPlanes& planes);
    virtual ~InkBlocksOnDemand() {}

    // For the next rectangle of the walk, [w0, w1) x [h0, h1) within the
    // area: the blocks, or null while they are not worth measuring.
    InkBlocks* forRect(dword w0, dword w1, dword h0, dword h1);

private:
    const ColourPlanes planes;
    unsigned long long walked;
    std::unique_ptr<InkBlocks> blocks;
};

} // namespace tavgdi
