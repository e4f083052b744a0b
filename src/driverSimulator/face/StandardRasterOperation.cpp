#include "face/RasterOperations.h"

#include "InternalLog.h"
#include "MediaDefinition.h"
#include "face/BgrTile.h"
#include "face/PixelOperation.h"
#include "face/RasterAccess.h"
#include "face/RectWalk.h"
#include "image/IGDataSupervisor.h"
#include "image/IPixel.h"

namespace tavgdi {

const RasterKind standardCopy = {
    "StandardRasterOperation", true,    false,           false, false, true, RasterKind::Silent,
    RasterKind::NullMedia,     nullptr, &RasterJob::copy};

bool RasterJob::copy() const
{
    auto step = [=](dword w, dword h) {
        const int x = static_cast<int>(w);
        const int y = static_cast<int>(h);
        IPixel* dest = t->getPixel(x, y);
        IPixel* src = s->getPixel(static_cast<int>(Wtransform(w, h, W, H)), static_cast<int>(Htransform(w, h, W, H)));
        t->setPixel(x, y, op(dest, src));
    };

    // The colour picture copied into the colour panels: raw loops over the
    // bitmap and the three planes.
    AffineAxis X, Y;
    const RasterAccess from(s);
    const RasterAccess to(t);
    if (isFast(FastKernels::ColourCopy, from, to, X, Y)) {
        AffineAxis sw, sh;
        from.storageAxes(X, Y, sw, sh);
        const AffineAxis identityW{1, 0, 0}, identityH{0, 1, 0};
        const byte* src = from.data();
        const long long srcWidth = from.storedWidth();
        const ptrdiff_t srcStep = static_cast<ptrdiff_t>(3 * (sw.dh + srcWidth * sh.dh));
        byte* yPlane = to.data();
        byte* mPlane = yPlane + to.planeSize();
        byte* cPlane = mPlane + to.planeSize();
        const dword columnLength = to.columnLength();
        // Where the bitmap's rows run along the panel's columns (landscape
        // pictures), 16 x 16 tiles are turned over at once; elsewhere, and
        // at the edges, column by column.
        const bool isTiled = (sw.dw == 1 || sw.dw == -1) && sw.dh == 0 && sh.dw == 0;
        const ptrdiff_t srcStepW = static_cast<ptrdiff_t>(3 * sw.dw);
        auto column = [&](dword w, dword h0, dword h1) {
            const byte* in = src + 3 * (sw.at(w, h0) + srcWidth * sh.at(w, h0));
            const size_t at = static_cast<size_t>(w) * columnLength + h0;
            byte* yOut = yPlane + at;
            byte* mOut = mPlane + at;
            byte* cOut = cPlane + at;
            for (dword n = h1 - h0; n != 0; --n, in += srcStep) {
                *yOut++ = static_cast<byte>(255 - in[0]);
                *mOut++ = static_cast<byte>(255 - in[1]);
                *cOut++ = static_cast<byte>(255 - in[2]);
            }
        };
        const dword tile = BgrTile::Dots;
        walk->forEachDotInTiles(
            tile, tile,
            [&](dword w0, dword w1, dword h0, dword h1) {
                return from.coversAll(X, Y, w0, w1, h0, h1) && to.coversAll(identityW, identityH, w0, w1, h0, h1);
            },
            [&](dword w0, dword h0) {
                if (!isTiled) {
                    for (dword w = w0; w < w0 + tile; ++w)
                        column(w, h0, h0 + tile);
                    return;
                }
                // The dot first in memory: the tile's left or right column.
                const dword first = srcStepW > 0 ? w0 : w0 + tile - 1;
                const size_t at = static_cast<size_t>(w0) * columnLength + h0;
                byte* const planes[3] = {yPlane + at, mPlane + at, cPlane + at};
                BgrTile::toPlanes(src + 3 * (sw.at(first, h0) + srcWidth * sh.at(first, h0)), srcStep, srcStepW < 0,
                                  planes, static_cast<ptrdiff_t>(columnLength));
            },
            column, step);
    } else {
        walk->forEachDot(step);
    }
    return true;
}

} // namespace tavgdi
