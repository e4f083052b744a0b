#include "face/RasterOperations.h"

#include <cstring>
#include <vector>

#include "InternalLog.h"
#include "MediaDefinition.h"
#include "face/InkBlocks.h"
#include "face/InkScan.h"
#include "face/PixelOperation.h"
#include "face/RasterAccess.h"
#include "face/RectWalk.h"
#include "image/ColorPixel.h"
#include "image/IGDataSupervisor.h"

namespace tavgdi {

namespace {

// Sets the black panel's dot for the card dot (w, h) as its data manager
// would for a black pixel; dots the manager ignores are left alone.
struct BlackDotWriter {
    const RasterAccess& panel;
    AffineAxis sw;
    AffineAxis sh;

    void operator()(long long w, long long h) const
    {
        const long long dotW = sw.at(w, h);
        const long long index = panel.bitByte(dotW, sh.at(w, h));
        if (index < 0)
            return;
        const byte mask = static_cast<byte>(0x80u >> (dotW & 7));
        byte* target = panel.data() + index;
        *target = panel.inkBit() ? static_cast<byte>(*target | mask) : static_cast<byte>(*target & ~mask);
    }

    // The dots (w, h) to (w, h + n - 1). Where they lie side by side in one
    // panel row (the black panel stored turned, as it is), the bits are set
    // as a run, whole bytes at once; otherwise dot by dot.
    void run(long long w, long long h, long long n) const
    {
        const long long first = sw.at(w, h), last = sw.at(w, h + n - 1);
        const long long row = sh.at(w, h);
        const bool isRowRun = sh.dh == 0 && (sw.dh == 1 || sw.dh == -1);
        const long long lo = first < last ? first : last, hi = first < last ? last : first;
        if (!isRowRun || panel.bitByte(lo, row) < 0 || panel.bitByte(hi, row) < 0) {
            for (long long i = 0; i < n; ++i)
                (*this)(w, h + i);
            return;
        }
        byte* bits = panel.data() + panel.bitByte(0, row);
        const byte whole = panel.inkBit() ? 0xFF : 0x00;
        for (long long dot = lo; dot <= hi;) {
            if ((dot & 7) == 0 && hi - dot >= 7) {
                bits[dot >> 3] = whole;
                dot += 8;
                continue;
            }
            const byte mask = static_cast<byte>(0x80u >> (dot & 7));
            bits[dot >> 3] =
                panel.inkBit() ? static_cast<byte>(bits[dot >> 3] | mask) : static_cast<byte>(bits[dot >> 3] & ~mask);
            ++dot;
        }
    }
};

// One column of the colour planes (dots h0 to h1 - 1 of yp, mp, cp): every
// dot whose ink sum reaches blackLimit is handed to black(h) and takes the
// colour of the last dot before it that is not dark (ink sum below
// darkLimit), white until there is one; the first dot counts as that colour
// unless it is black itself.
//
// The black dots are looked for only in the spanCount runs of rows of
// spans, top down within [h0, h1), which hold every black dot of the column. They are found 16 at a time; the
// colour a black dot takes is looked up backwards from it only when one is
// found, over dots that still hold what they were read as (every dot before
// them was dealt with). When a black dot is always dark (blackLimit >=
// darkLimit), a run of black dots all take the same colour: blackRun(h, n)
// gets the run's n dots from h at once; otherwise a run of black dots that
// are not dark moves down by one dot (blackRun gets it too) and black(h)
// gets each other black dot.
struct RowSpan {
    dword from;
    dword to;
};

template <class Black, class BlackRun>
void extractBlackColumn(byte* yp, byte* mp, byte* cp, dword h0, int blackLimit, int darkLimit, const RowSpan* spans,
                        size_t spanCount, Black&& black, BlackRun&& blackRun)
{
    auto sum = [&](dword h) { return static_cast<int>(yp[h]) + mp[h] + cp[h]; };
    // The colour known to hold just before dot `known`.
    byte ly = yp[h0], lm = mp[h0], lc = cp[h0];
    if (sum(h0) >= blackLimit)
        ly = lm = lc = 0;
    dword known = h0;
    // The colour just before dot h (h >= known), from the dots in between.
    auto colourBefore = [&](dword h) {
        for (dword j = h; j > known;) {
            --j;
            if (sum(j) < darkLimit) {
                ly = yp[j];
                lm = mp[j];
                lc = cp[j];
                break;
            }
        }
        known = h + 1;
    };
    auto atBlack = [&](dword h) {
        colourBefore(h);
        const byte cy = yp[h], cm = mp[h], cc = cp[h];
        black(h);
        yp[h] = ly;
        mp[h] = lm;
        cp[h] = lc;
        // The dot itself, as read, is next in line.
        if (static_cast<int>(cy) + cm + cc < darkLimit) {
            ly = cy;
            lm = cm;
            lc = cc;
        }
        known = h + 1;
    };
    // A run of black dots that are all dark: one colour for all of them.
    auto atRun = [&](dword a, dword n) {
        colourBefore(a);
        blackRun(a, n);
        for (dword i = a; i < a + n; ++i) {
            yp[i] = ly;
            mp[i] = lm;
            cp[i] = lc;
        }
        known = a + n;
    };
    // A run of black dots none of which is dark: each takes the dot before
    // it as read (that dot is the last one not dark), the first the colour
    // before the run.
    auto atShift = [&](dword a, dword n) {
        colourBefore(a);
        blackRun(a, n);
        const dword end = a + n - 1;
        const byte ny = yp[end], nm = mp[end], nc = cp[end];
        memmove(yp + a + 1, yp + a, n - 1);
        memmove(mp + a + 1, mp + a, n - 1);
        memmove(cp + a + 1, cp + a, n - 1);
        yp[a] = ly;
        mp[a] = lm;
        cp[a] = lc;
        ly = ny;
        lm = nm;
        lc = nc;
        known = a + n;
    };
    // A black dot found by its 16-dot run, or one by one in the last dots
    // of a span.
    auto forEachRun = [&](auto&& run16) {
        for (size_t i = 0; i < spanCount; ++i) {
            const dword b = spans[i].to;
            dword h = spans[i].from;
            for (; b - h >= InkScan::Run; h += InkScan::Run)
                run16(h, InkScan::above(yp + h, mp + h, cp + h, blackLimit - 1));
            for (; h < b; ++h)
                if (sum(h) >= blackLimit)
                    atBlack(h);
        }
    };
    if (blackLimit >= darkLimit) {
        forEachRun([&](dword h, unsigned mask) {
            while (mask != 0) {
                const unsigned first = static_cast<unsigned>(__builtin_ctz(mask));
                const unsigned n = static_cast<unsigned>(__builtin_ctz(~(mask >> first)));
                atRun(h + first, n);
                mask &= ~(((1u << n) - 1) << first);
            }
        });
        return;
    }
    // Black dots may be light enough not to be dark: runs of those move down
    // by one dot at once, the others go one by one.
    forEachRun([&](dword h, unsigned mask) {
        const unsigned dark = InkScan::above(yp + h, mp + h, cp + h, darkLimit - 1);
        while (mask != 0) {
            const unsigned first = static_cast<unsigned>(__builtin_ctz(mask));
            const unsigned n = static_cast<unsigned>(__builtin_ctz(~(mask >> first)));
            const unsigned run = ((1u << n) - 1) << first;
            mask &= ~run;
            if ((dark & run) == 0) {
                atShift(h + first, n);
                continue;
            }
            for (unsigned bits = run; bits != 0; bits &= bits - 1)
                atBlack(h + static_cast<dword>(__builtin_ctz(bits)));
        }
    });
}

// The column rows h0 to h1 - 1 after `passes` more walks like the one just
// done over them, at the same limits, when black dots are not always dark
// (blackLimit < darkLimit). After one walk those rows hold no dark dot, so
// each further walk moves every run of black dots down by one dot, its first
// dot taking the dot before the run (white on row h0): after n walks the
// run's first n dots hold that colour and the others what was n dots above.
// The rows changed are [from, to); the black panel has every dot already.
void repeatBlackRuns(byte* yp, byte* mp, byte* cp, dword h0, dword h1, int blackLimit, unsigned long long passes,
                     dword& from, dword& to)
{
    auto isBlack = [&](dword h) { return static_cast<int>(yp[h]) + mp[h] + cp[h] >= blackLimit; };
    for (dword h = h0; h < h1;) {
        const dword s = h + static_cast<dword>(
                                InkScan::firstAbove(yp + h, mp + h, cp + h, static_cast<int>(h1 - h), blackLimit - 1));
        if (s >= h1)
            return;
        dword e = s + 1;
        while (e < h1 && isBlack(e))
            ++e;
        const dword moved = passes < e - s ? static_cast<dword>(passes) : e - s;
        const byte fy = s > h0 ? yp[s - 1] : 0, fm = s > h0 ? mp[s - 1] : 0, fc = s > h0 ? cp[s - 1] : 0;
        memmove(yp + s + moved, yp + s, e - s - moved);
        memmove(mp + s + moved, mp + s, e - s - moved);
        memmove(cp + s + moved, cp + s, e - s - moved);
        memset(yp + s, fy, moved);
        memset(mp + s, fm, moved);
        memset(cp + s, fc, moved);
        from = from < s ? from : s;
        to = e;
        h = e;
    }
}

} // namespace

const RasterKind blackWithMemory = {"StandardRasterOperationWithMem",
                                    true,
                                    false,
                                    false,
                                    true,
                                    true,
                                    RasterKind::Silent,
                                    RasterKind::NullMedia,
                                    nullptr,
                                    &RasterJob::extractBlack};

bool RasterJob::extractBlack() const
{
    ColorPixel lastNonBlackPixel(0, 0, 0);
    ColorPixel currentSrcPxl(0, 0, 0);
    announceBlack(blackWithMemory, lastNonBlackPixel);

    // Colour panels into a black panel, both of known layout: raw loops.
    const RasterAccess colour(s);
    const RasterAccess black(t);
    AffineAxis tX, tY;
    const bool isFast = this->isFast(FastKernels::BlackWithMemory, colour, black, tX, tY);
    BlackDotWriter writeBlack{black, AffineAxis(), AffineAxis()};
    if (isFast)
        black.storageAxes(tX, tY, writeBlack.sw, writeBlack.sh);
    const int darkLimit = 3 * static_cast<int>(IPixel::getDarkLevel());
    const AffineAxis identityW{1, 0, 0}, identityH{0, 1, 0};
    const ColourPlanes planes(colour, isFast, W, H);
    byte *yPlane = planes.y, *mPlane = planes.m, *cPlane = planes.c;
    const size_t columnLength = planes.columnLength;
    // Many rectangles, overlapping or repeated, look only where black dots
    // can still be.
    InkBlocksOnDemand inkBlocks(planes);

    InkBlocks* blocks = nullptr;
    // Columns do not depend on one another. Per column, the rows and limit
    // of the last walk over it: the same walk again right after finds
    // nothing left to do when black dots are dark; otherwise it is counted,
    // and the count done at once before anything else touches the column.
    struct ColumnWalk {
        dword h0, h1;
        int limit;
        unsigned long long repeats;
    };
    std::vector<ColumnWalk> lastWalk(isFast ? W : 0, ColumnWalk{0, 0, -1, 0});
    // The rows of a column that can hold black dots (at most one run per
    // block of rows), made once for the walk->
    std::vector<RowSpan> spans;
    if (isFast)
        spans.reserve(H / InkBlocks::Rows + 2);
    auto catchUp = [&](dword w) {
        ColumnWalk& c = lastWalk[w];
        if (c.repeats != 0) {
            const size_t column = w * columnLength;
            dword changedFrom = c.h1, changedTo = c.h0;
            repeatBlackRuns(yPlane + column, mPlane + column, cPlane + column, c.h0, c.h1, c.limit, c.repeats,
                            changedFrom, changedTo);
            if (blocks != nullptr && changedFrom < changedTo)
                blocks->changed(w, changedFrom, changedTo);
        }
        c = ColumnWalk{0, 0, -1, 0};
    };
    // The rectangle walked last, and how many times it came again right
    // after (counted here, not per column, until another one comes).
    struct {
        dword w0, w1, h0, h1;
        int limit;
        unsigned long long repeats;
    } previous = {0, 0, 0, 0, -1, 0};
    auto handOutRepeats = [&]() {
        if (previous.repeats != 0)
            for (dword w = previous.w0; w < previous.w1; ++w)
                lastWalk[w].repeats += previous.repeats;
        previous.repeats = 0;
    };

    walk->forEachArea([&](dword Wmin, dword Wmax, dword Hmin, dword Hmax) {
        using GraphicalConstants::dwmin;
        if (isFast && colour.coversAll(identityW, identityH, Wmin, Wmax, Hmin, Hmax)) {
            // Black as the rectangle's own level says: the iterator sets it
            // as it hands the rectangle out.
            const int blackLimit = 3 * static_cast<int>(IPixel::getBlackLevel());
            if (blackLimit == previous.limit && Wmin == previous.w0 && Wmax == previous.w1 && Hmin == previous.h0 &&
                Hmax == previous.h1) {
                if (blackLimit < darkLimit)
                    ++previous.repeats;
                return;
            }
            handOutRepeats();
            previous = {Wmin, Wmax, Hmin, Hmax, blackLimit, 0};
            // Columns walked the same way just before are only counted; the
            // others first catch up with what they were counted.
            bool isAnyNew = false;
            for (dword w = Wmin; w < Wmax; ++w) {
                ColumnWalk& c = lastWalk[w];
                if (c.limit == blackLimit && c.h0 == Hmin && c.h1 == Hmax) {
                    if (blackLimit < darkLimit)
                        ++c.repeats;
                    continue;
                }
                catchUp(w);
                c.limit = -2; // walked below
                isAnyNew = true;
            }
            if (!isAnyNew)
                return;
            if (InkBlocks* measured = inkBlocks.forRect(Wmin, Wmax, Hmin, Hmax))
                blocks = measured;
            if (blocks != nullptr)
                blocks->settle();
            // With no black dot in the rectangle the walk changes nothing.
            const bool mayHaveBlack = blocks == nullptr || blocks->mayReach(Wmin, Wmax, Hmin, Hmax, blackLimit);
            for (dword w = Wmin; w < Wmax; ++w) {
                if (lastWalk[w].limit != -2)
                    continue;
                lastWalk[w] = ColumnWalk{Hmin, Hmax, blackLimit, 0};
                if (!mayHaveBlack)
                    continue;
                const size_t column = w * columnLength;
                dword changedFrom = Hmax, changedTo = Hmin;
                spans.clear();
                if (blocks != nullptr)
                    blocks->forEachSpan(w, Hmin, Hmax, blackLimit, [&](dword from, dword to) {
                        spans.push_back(RowSpan{from, to});
                    });
                else
                    spans.push_back(RowSpan{Hmin, Hmax});
                extractBlackColumn(
                    yPlane + column, mPlane + column, cPlane + column, Hmin, blackLimit, darkLimit, spans.data(),
                    spans.size(),
                    [&](dword h) {
                        writeBlack(w, h);
                        changedFrom = dwmin(changedFrom, h);
                        changedTo = h + 1;
                    },
                    [&](dword h, dword n) {
                        writeBlack.run(w, h, n);
                        changedFrom = dwmin(changedFrom, h);
                        changedTo = h + n;
                    });
                if (blocks != nullptr && changedFrom < changedTo)
                    blocks->changed(w, changedFrom, changedTo);
            }
            if (blocks != nullptr)
                blocks->settle();
            return;
        }
        handOutRepeats();
        previous.limit = -1;
        for (dword w = Wmin; w < Wmax && w < lastWalk.size(); ++w)
            catchUp(w);
        for (dword w = Wmin; w < Wmax; ++w) {
            const int x = static_cast<int>(w);
            // The colour a black dot takes: the last dot before it that is
            // not dark, white until there is one.
            s->getPixel(x, static_cast<int>(Hmin), &lastNonBlackPixel);
            if (lastNonBlackPixel.isBlack())
                lastNonBlackPixel.set(false);
            for (dword h = Hmin; h < Hmax; ++h) {
                const int y = static_cast<int>(h);
                s->getPixel(x, y, &currentSrcPxl);
                if (currentSrcPxl.isBlack()) {
                    const int tx = static_cast<int>(Wtransform(w, h, W, H));
                    const int ty = static_cast<int>(Htransform(w, h, W, H));
                    t->setPixel(tx, ty, op(t->getPixel(tx, ty), &currentSrcPxl));
                    s->setPixel(x, y, &lastNonBlackPixel);
                }
                if (!currentSrcPxl.isDark())
                    lastNonBlackPixel.set(currentSrcPxl.getY(), currentSrcPxl.getM(), currentSrcPxl.getC());
            }
        }
    });
    handOutRepeats();
    for (dword w = 0; w < lastWalk.size(); ++w)
        catchUp(w);
    return true;
}

} // namespace tavgdi
