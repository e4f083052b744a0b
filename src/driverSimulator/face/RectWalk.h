// The rectangles a raster operation walks over: the caller's iterator, or one
// rectangle over the whole W x H area, made and released here.
#pragma once

#include "GraphicalConstants.h"
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
    template <class Step> void forEachRect(Step&& step)
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

    // step(w, h) column by column (w outer, h increasing), right and bottom
    // edges excluded. Dots beyond the W x H area are not visited.
    template <class Step> void forEachDot(Step&& step)
    {
        const dword W = width;
        const dword H = height;
        forEachRect([&step, W, H](const GRect& r) {
            const dword right = GraphicalConstants::dwmin(r.right, W);
            const dword bottom = GraphicalConstants::dwmin(r.bottom, H);
            for (dword w = r.left; w < right; ++w)
                for (dword h = r.top; h < bottom; ++h)
                    step(w, h);
        });
    }

    // The same walk as forEachDot, with a fast path: for a rectangle that
    // covers(left, right, top, bottom) accepts (edges excluded, already cut
    // to the area), column(w, hBegin, hEnd) does the dots (w, hBegin) to
    // (w, hEnd - 1) in one go, except the rectangle's very last dot, which
    // step does as usual so that whatever state step leaves behind (shared
    // pixels, last values) is left exactly as the dot-by-dot walk leaves it.
    // Other rectangles go dot by dot through step.
    template <class Covers, class Column, class Step> void forEachDotFast(Covers&& covers, Column&& column, Step&& step)
    {
        const dword W = width;
        const dword H = height;
        forEachRect([&](const GRect& r) {
            const dword right = GraphicalConstants::dwmin(r.right, W);
            const dword bottom = GraphicalConstants::dwmin(r.bottom, H);
            if (r.left >= right || r.top >= bottom)
                return;
            if (!covers(r.left, right, r.top, bottom)) {
                for (dword w = r.left; w < right; ++w)
                    for (dword h = r.top; h < bottom; ++h)
                        step(w, h);
                return;
            }
            for (dword w = r.left; w + 1 < right; ++w)
                column(w, r.top, bottom);
            if (bottom - 1 > r.top)
                column(right - 1, r.top, bottom - 1);
            step(right - 1, bottom - 1);
        });
    }

private:
    ILGRectIterator* iter;
    bool isOwnIterator;
    dword width;
    dword height;
};

} // namespace tavgdi
