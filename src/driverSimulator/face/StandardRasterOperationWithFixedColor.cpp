#include "face/RasterOperations.h"

#include <climits>
#include <vector>

#include "InternalLog.h"
#include "MediaDefinition.h"
#include "face/InkBlocks.h"
#include "face/PixelOperation.h"
#include "face/RasterAccess.h"
#include "face/RectWalk.h"
#include "image/ColorPixel.h"
#include "image/IGDataSupervisor.h"
#include "settings/IGDataOptions.h"

namespace tavgdi {

const RasterKind blackWithFixedColour = {"StandardRasterOperationWithFixedColor",
                                         true,
                                         false,
                                         true,
                                         true,
                                         true,
                                         RasterKind::NullInput,
                                         RasterKind::NullMedia,
                                         nullptr,
                                         &RasterJob::substituteBlack};

bool RasterJob::substituteBlack() const
{
    IGDataOptions* options = s->getIGDataOptions();
    // Option values are taken modulo 256.
    ColorPixel BlackPixelSubstitute(static_cast<byte>(options->getOption(TavGdiOptions::FixedBlackSubY) & 0xFF),
                                    static_cast<byte>(options->getOption(TavGdiOptions::FixedBlackSubM) & 0xFF),
                                    static_cast<byte>(options->getOption(TavGdiOptions::FixedBlackSubC) & 0xFF));
    ColorPixel currentSrcPxl(0, 0, 0);
    announceBlack(blackWithFixedColour, BlackPixelSubstitute);

    // Colour panels into a black panel, both of known layout: raw loops.
    const RasterAccess colour(s);
    const RasterAccess black(t);
    AffineAxis tX, tY, bw, bh;
    const bool isFast = this->isFast(FastKernels::BlackWithFixedColour, colour, black, tX, tY);
    if (isFast)
        black.storageAxes(tX, tY, bw, bh);
    const AffineAxis identityW{1, 0, 0}, identityH{0, 1, 0};
    const ColourPlanes planes(colour, isFast, W, H);
    byte *yPlane = planes.y, *mPlane = planes.m, *cPlane = planes.c;
    const size_t columnLength = planes.columnLength;
    // Many rectangles, overlapping or repeated, look only where black dots
    // can still be. A dot once replaced is done with: the substitute may
    // count as black too, but replacing it again changes nothing.
    InkBlocksOnDemand inkBlocks(planes);
    const byte sy = BlackPixelSubstitute.getY(), sm = BlackPixelSubstitute.getM(), sc = BlackPixelSubstitute.getC();
    // A dot is only ever replaced, once and by the same colour. So rows of
    // a column that a walk at some limit went over hold nothing for a later
    // walk at that limit or above to change, however the walks in between
    // went: per column, the latest such rows and their limit.
    struct Done {
        dword h0, h1;
        int limit;
    };
    std::vector<Done> done(isFast ? W : 0, Done{0, 0, INT_MAX});
    // The rectangle walked last: the same again changes nothing.
    struct {
        dword w0, w1, h0, h1;
        int limit;
    } last = {0, 0, 0, 0, -1};

    walk->forEachArea([&](dword Wmin, dword Wmax, dword Hmin, dword Hmax) {
        using GraphicalConstants::dwmin;
        if (isFast && colour.coversAll(identityW, identityH, Wmin, Wmax, Hmin, Hmax)) {
            // Black as the rectangle's own level says: the iterator sets it
            // as it hands the rectangle out.
            const int blackLimit = 3 * static_cast<int>(IPixel::getBlackLevel());
            if (blackLimit == last.limit && Wmin == last.w0 && Wmax == last.w1 && Hmin == last.h0 && Hmax == last.h1)
                return;
            last = {Wmin, Wmax, Hmin, Hmax, blackLimit};
            InkBlocks* blocks = inkBlocks.forRect(Wmin, Wmax, Hmin, Hmax);
            // With no black dot left in the rectangle the walk changes nothing.
            const bool mayHaveBlack = blocks == nullptr || blocks->mayReach(Wmin, Wmax, Hmin, Hmax, blackLimit);
            for (dword w = Wmin; w < Wmax; ++w) {
                Done& d = done[w];
                if (d.limit <= blackLimit && d.h0 <= Hmin && Hmax <= d.h1)
                    continue;
                d = Done{Hmin, Hmax, blackLimit};
                if (!mayHaveBlack)
                    continue;
                const size_t column = w * columnLength;
                dword changedFrom = Hmax, changedTo = Hmin;
                auto dot = [&](dword h) {
                    const size_t at = column + h;
                    if (yPlane[at] + mPlane[at] + cPlane[at] < blackLimit)
                        return;
                    const long long dotW = bw.at(w, h);
                    const long long index = black.bitByte(dotW, bh.at(w, h));
                    if (index >= 0) {
                        const byte mask = static_cast<byte>(0x80u >> (dotW & 7));
                        byte* bits = black.data() + index;
                        *bits = black.inkBit() ? static_cast<byte>(*bits | mask) : static_cast<byte>(*bits & ~mask);
                    }
                    yPlane[at] = sy;
                    mPlane[at] = sm;
                    cPlane[at] = sc;
                    if (blocks != nullptr) {
                        blocks->leaveOut(w, h);
                        changedFrom = dwmin(changedFrom, h);
                        changedTo = h + 1;
                    }
                };
                // Dots already replaced are left alone: replacing them again
                // changes nothing.
                if (blocks != nullptr)
                    blocks->forEachSpan(w, Hmin, Hmax, blackLimit,
                                        [&](dword h0, dword h1) { blocks->forEachLeftIn(w, h0, h1, dot); });
                else
                    for (dword h = Hmin; h < Hmax; ++h)
                        dot(h);
                if (changedFrom < changedTo)
                    blocks->changed(w, changedFrom, changedTo);
            }
            if (blocks != nullptr)
                blocks->settle();
            return;
        }
        last.limit = -1;
        for (dword w = Wmin; w < Wmax; ++w) {
            const int x = static_cast<int>(w);
            for (dword h = Hmin; h < Hmax; ++h) {
                const int y = static_cast<int>(h);
                s->getPixel(x, y, &currentSrcPxl);
                if (!currentSrcPxl.isBlack())
                    continue;
                const int tx = static_cast<int>(Wtransform(w, h, W, H));
                const int ty = static_cast<int>(Htransform(w, h, W, H));
                t->setPixel(tx, ty, op(t->getPixel(tx, ty), &currentSrcPxl));
                s->setPixel(x, y, &BlackPixelSubstitute);
            }
        }
    });
    return true;
}

} // namespace tavgdi
