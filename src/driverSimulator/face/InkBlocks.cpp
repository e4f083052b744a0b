#include "face/InkBlocks.h"

#include "face/RasterAccess.h"

namespace tavgdi {

InkBlocks::InkBlocks(const byte* y, const byte* m, const byte* c, size_t columnLength, dword W, dword H)
    : yp(y), mp(m), cp(c), colLength(columnLength), width(W), height(H), blocks((H + Rows - 1) / Rows),
      tileCount((W + Columns - 1) / Columns), blockMax(static_cast<size_t>(W) * blocks, -1),
      tileMax(static_cast<size_t>(tileCount) * blocks, -1), isDirty(static_cast<size_t>(tileCount) * blocks, false)
{
    for (dword w = 0; w < width; ++w) {
        int16_t* column = blockMax.data() + static_cast<size_t>(w) * blocks;
        int16_t* tiles = tileMax.data() + static_cast<size_t>(w / Columns) * blocks;
        for (dword b = 0; b < blocks; ++b) {
            column[b] = measure(w, b);
            if (column[b] > tiles[b])
                tiles[b] = column[b];
        }
    }
}

int16_t InkBlocks::measure(dword w, dword b) const
{
    const size_t base = static_cast<size_t>(w) * colLength;
    const dword h0 = b * Rows;
    const dword h1 = height - h0 > Rows ? h0 + Rows : height;
    int most = -1;
    forEachLeftIn(w, h0, h1, [&](dword h) {
        const int sum = static_cast<int>(yp[base + h]) + mp[base + h] + cp[base + h];
        most = sum > most ? sum : most;
    });
    return static_cast<int16_t>(most);
}

bool InkBlocks::mayReach(dword w0, dword w1, dword h0, dword h1, int limit) const
{
    w1 = w1 < width ? w1 : width;
    h1 = h1 < height ? h1 : height;
    if (w0 >= w1 || h0 >= h1)
        return false;
    const dword lastTile = (w1 - 1) / Columns;
    const dword firstBlock = h0 / Rows, lastBlock = (h1 - 1) / Rows;
    for (dword t = w0 / Columns; t <= lastTile; ++t) {
        const int16_t* tiles = tileMax.data() + static_cast<size_t>(t) * blocks;
        for (dword b = firstBlock; b <= lastBlock; ++b)
            if (tiles[b] >= limit)
                return true;
    }
    return false;
}

void InkBlocks::changed(dword w, dword h0, dword h1)
{
    h1 = h1 < height ? h1 : height;
    if (w >= width || h0 >= h1)
        return;
    for (dword b = h0 / Rows; b <= (h1 - 1) / Rows; ++b) {
        blockMax[static_cast<size_t>(w) * blocks + b] = measure(w, b);
        const size_t tile = static_cast<size_t>(w / Columns) * blocks + b;
        if (!isDirty[tile]) {
            isDirty[tile] = true;
            dirtyTiles.push_back(static_cast<dword>(tile));
        }
    }
}

void InkBlocks::leaveOut(dword w, dword h)
{
    if (w >= width || h >= height)
        return;
    if (leftOut.empty())
        leftOut.assign((static_cast<size_t>(width) * height + 63) / 64, 0);
    const size_t bit = static_cast<size_t>(w) * height + h;
    leftOut[bit >> 6] |= uint64_t(1) << (bit & 63);
}

void InkBlocks::settle()
{
    for (dword tile : dirtyTiles) {
        const dword t = tile / blocks, b = tile % blocks;
        const dword w1 = (t + 1) * Columns < width ? (t + 1) * Columns : width;
        int16_t most = -1;
        for (dword w = t * Columns; w < w1; ++w) {
            const int16_t v = blockMax[static_cast<size_t>(w) * blocks + b];
            most = v > most ? v : most;
        }
        tileMax[tile] = most;
        isDirty[tile] = false;
    }
    dirtyTiles.clear();
}

ColourPlanes::ColourPlanes(const RasterAccess& colour, bool isFast, dword W, dword H)
    : y(isFast ? colour.data() : nullptr), m(isFast ? y + colour.planeSize() : nullptr),
      c(isFast ? m + colour.planeSize() : nullptr), columnLength(colour.columnLength()), width(W), height(H),
      isWhole(false)
{
    const AffineAxis identityW{1, 0, 0}, identityH{0, 1, 0};
    isWhole = isFast && W != 0 && H != 0 && colour.coversAll(identityW, identityH, 0, W, 0, H);
}

InkBlocksOnDemand::InkBlocksOnDemand(const ColourPlanes& planes) : planes(planes), walked(0)
{
}

InkBlocks* InkBlocksOnDemand::forRect(dword w0, dword w1, dword h0, dword h1)
{
    if (blocks != nullptr || !planes.isWhole)
        return blocks.get();
    if (w1 > w0 && h1 > h0)
        walked += static_cast<unsigned long long>(w1 - w0) * (h1 - h0);
    if (walked > static_cast<unsigned long long>(planes.width) * planes.height)
        blocks =
            std::make_unique<InkBlocks>(planes.y, planes.m, planes.c, planes.columnLength, planes.width, planes.height);
    return blocks.get();
}

} // namespace tavgdi
