// Measures a finished panel dot by dot and formats the commands that
// describe it (panel shifts, ink usage).
#pragma once

#include <cstddef>

#include "Windows.h"

namespace tavgdi {

class IPixel;

class IGDInvariantProcessor {
public:
    virtual void updateInvariantByPixel(int w, int h, IPixel* pixel) = 0;
    // The dots (w, h0), (w, h0 + 1), ..., (w, h0 + count - 1) of one column,
    // dot i with the ink amounts y[i * step], m[i * step] and c[i * step]:
    // the same measure as updateInvariantByPixel on each dot in turn. This
    // one sets scratch to each dot and calls updateInvariantByPixel; a
    // processor may measure the whole column at once instead.
    virtual void updateInvariantByColumn(int w, int h0, int count, const byte* y, const byte* m, const byte* c,
                                         ptrdiff_t step, IPixel* scratch);
    // False when the measures taken since resetCounters, some of them by
    // column, might give another text than the same dots measured one by
    // one with updateInvariantByPixel (a column measure may sum in another
    // order); the caller then measures them again, dot by dot.
    virtual bool isMeasureExact() { return true; }
    // The command text, or null when there is none.
    virtual char* getInvariant() = 0;
    virtual void resetCounters() = 0;
    virtual ~IGDInvariantProcessor() {}
};

} // namespace tavgdi
