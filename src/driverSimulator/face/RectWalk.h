// The rectangles a raster operation walks over: the caller's iterator, or one
// rectangle over the whole W x H area, made and released here.
#pragma once

#include "GraphicalConstants.h"
#include "Owned.h"
#include "Windows.h"
#include "pipeline/GRect.h"
#include "pipeline/ILGRectIterator.h"

namespace tavgdi {

class RectWalk {
public:
    // A null iterator means the whole area: an own TrivialLGRectIterator.
    RectWalk(ILGRectIterator* given, dword W, dword H);
    // Releases an own iterator that is still held.
    virtual ~RectWalk();

    RectWalk(const RectWalk&) = delete;
    RectWalk& operator=(const RectWalk&) = delete;

    // The iterator's init; when it fails an own iterator is released at once.
    bool init();
    // Logs and deletes an own iterator; a caller's iterator stays the caller's.
    void release();

    // step(rect) for each rectangle the iterator hands out; an empty list
    // node is skipped.
    template <class Step>
    void forEachRect(Step&& step)
    {
        if (iter == nullptr)
            return;
        while (iter->isUncompleted()) {
            GRect* r = iter->getRect();
            if (r != nullptr)
                step(*r);
            iter->next();
        }
    }

    // step(Wmin, Wmax, Hmin, Hmax) for each rectangle that holds dots: a
    // rectangle given the wrong way round is taken as its normalised form,
    // and whatever reaches beyond the area is cut off.
    template <class Step>
    void forEachArea(Step&& step)
    {
        using GraphicalConstants::dwmax;
        using GraphicalConstants::dwmin;
        const dword W = width;
        const dword H = height;
        forEachRect([&step, W, H](const GRect& r) {
            const dword Wmin = dwmin(dwmin(r.left, r.right), W);
            const dword Wmax = dwmin(dwmax(r.left, r.right), W);
            const dword Hmin = dwmin(dwmin(r.top, r.bottom), H);
            const dword Hmax = dwmin(dwmax(r.top, r.bottom), H);
            if (Hmin < Hmax && Wmin < Wmax)
                step(Wmin, Wmax, Hmin, Hmax);
        });
    }

    // step(w, h) column by column (w outer, h increasing), right and bottom
    // edges excluded. Dots beyond the W x H area are not visited.
    template <class Step>
    void forEachDot(Step&& step)
    {
        forEachCut([](dword, dword, dword, dword) { return false; }, [](dword, dword, dword, dword) {}, step);
    }

    // The same walk as forEachDot, with a fast path: for a rectangle that
    // covers(left, right, top, bottom) accepts (edges excluded, already cut
    // to the area), column(w, hBegin, hEnd) does the dots (w, hBegin) to
    // (w, hEnd - 1) in one go, except the rectangle's very last dot, which
    // step does as usual so that whatever state step leaves behind (shared
    // pixels, last values) is left exactly as the dot-by-dot walk leaves it.
    // Other rectangles go dot by dot through step.
    template <class Covers, class Column, class Step>
    void forEachDotFast(Covers&& covers, Column&& column, Step&& step)
    {
        forEachCut(
            covers,
            [&](dword left, dword right, dword top, dword bottom) {
                for (dword w = left; w + 1 < right; ++w)
                    column(w, top, bottom);
                if (bottom - 1 > top)
                    column(right - 1, top, bottom - 1);
                step(right - 1, bottom - 1);
            },
            step);
    }

    // forEachDotFast for operations whose dots do not depend on one another
    // (each dot read and written once, in buffers that do not overlap): a
    // covered rectangle is cut into blocks of blockW columns (whole tiles),
    // each block done from the top down in bands of tileH rows, tile by
    // tile, tile(w0, h0) doing the tileW x tileH dots from (w0, h0). A band
    // shorter than tileH at the bottom, and the columns left over at the
    // right end, go through column. The tile holding the rectangle's last
    // dot is done by columns too, and the last dot itself through step,
    // after all the others. Blocks keep what a band reads and writes (rows
    // of the source, lines of column-ordered panels) within the caches.
    template <class Covers, class Tile, class Column, class Step>
    void forEachDotInTiles(dword tileW, dword tileH, Covers&& covers, Tile&& tile, Column&& column, Step&& step,
                           dword blockW = 256)
    {
        const dword tw = tileW != 0 ? tileW : 1;
        const dword th = tileH != 0 ? tileH : 1;
        forEachCut(
            covers,
            [&](dword left, dword right, dword top, dword bottom) {
                auto columns = [&](dword w0, dword w1, dword h0, dword h1) {
                    for (dword w = w0; w < w1; ++w) {
                        const dword end = (h1 == bottom && w + 1 == right) ? bottom - 1 : h1;
                        if (end > h0)
                            column(w, h0, end);
                    }
                };
                // Blocks of whole tiles across, each done top to bottom; the
                // columns left over at the right end after all of them.
                const dword tilesAcross = (right - left) / tw;
                const dword blockTiles = blockW / tw != 0 ? blockW / tw : 1;
                for (dword t0 = 0; t0 < tilesAcross; t0 += blockTiles) {
                    const dword b0 = left + t0 * tw;
                    const dword b1 = left + (t0 + blockTiles < tilesAcross ? t0 + blockTiles : tilesAcross) * tw;
                    for (dword h0 = top; h0 < bottom;) {
                        const dword h1 = bottom - h0 >= th ? h0 + th : bottom;
                        if (h1 - h0 < th) {
                            columns(b0, b1, h0, h1);
                        } else {
                            for (dword w0 = b0; w0 < b1; w0 += tw) {
                                if (h1 == bottom && w0 + tw == right)
                                    columns(w0, right, h0, h1);
                                else
                                    tile(w0, h0);
                            }
                        }
                        h0 = h1;
                    }
                }
                columns(left + tilesAcross * tw, right, top, bottom);
                step(right - 1, bottom - 1);
            },
            step);
    }

private:
    // Each rectangle cut to the area (right and bottom edges excluded): one
    // that holds dots and that covers(left, right, top, bottom) accepts goes
    // to fast(left, right, top, bottom), any other dot by dot through step.
    template <class Covers, class Fast, class Step>
    void forEachCut(Covers&& covers, Fast&& fast, Step&& step)
    {
        const dword W = width;
        const dword H = height;
        forEachRect([&](const GRect& r) {
            const dword right = GraphicalConstants::dwmin(r.right, W);
            const dword bottom = GraphicalConstants::dwmin(r.bottom, H);
            if (r.left < right && r.top < bottom && covers(r.left, right, r.top, bottom)) {
                fast(r.left, right, r.top, bottom);
                return;
            }
            for (dword w = r.left; w < right; ++w)
                for (dword h = r.top; h < bottom; ++h)
                    step(w, h);
        });
    }

    ILGRectIterator* iter;
    Logged<ILGRectIterator> ownIterator;
    dword width;
    dword height;
};

} // namespace tavgdi
