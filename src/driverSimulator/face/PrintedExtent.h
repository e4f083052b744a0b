// What the panel shift measures share: where a panel prints along one axis,
// and the printed dots of one panel column.
#pragma once

#include <climits>
#include <cstddef>

#include "Windows.h"
#include "face/InkScan.h"

namespace tavgdi {

inline int clampToInt(long long value)
{
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

// The first and last printed place (column or row) inside the measured band
// from <= v < size - shiftEnd; first is size and last -1 while there is none.
// A shift wider than the card leaves an empty band.
struct PrintedExtent {
    int from;
    int end;
    int size;
    int first;
    int last;

    PrintedExtent(int from_, long long size_, int shiftEnd)
        : from(from_), end(clampToInt(size_ - shiftEnd)), size(clampToInt(size_)), first(size), last(-1)
    {
    }
    void reset()
    {
        first = size;
        last = -1;
    }
    bool holds(long long v) const { return from <= v && v < end; }
    void add(int v)
    {
        if (v < first)
            first = v;
        if (v > last)
            last = v;
    }
    // The extent as sent: the last place is the first when nothing printed.
    int stop() const { return last == -1 ? first : last; }
};

// A column of count dots, dot i at i * step from y, m and c; a dot prints
// when its ink sum is above limit.
class ColumnInk {
public:
    ColumnInk(const byte* y_, const byte* m_, const byte* c_, int count_, ptrdiff_t step_, long long limit_)
        : y(y_), m(m_), c(c_), count(count_), step(step_), limit(limit_), scanLimit(InkScan::limitOf(limit_)),
          isRun(step_ == 1 || step_ == -1), base(step_ == 1 ? 0 : -static_cast<ptrdiff_t>(count_ - 1))
    {
    }

    // The first printed dot of [a, b), or b.
    long long firstIn(long long a, long long b) const
    {
        if (a >= b)
            return b;
        const int n = static_cast<int>(b - a);
        if (isRun && step == 1)
            return a + InkScan::firstAbove(y + a, m + a, c + a, n, scanLimit);
        if (isRun) {
            // Dot i is at memory index count - 1 - i from base.
            const ptrdiff_t from = base + static_cast<ptrdiff_t>(count - b);
            const int last = InkScan::lastAbove(y + from, m + from, c + from, n, scanLimit);
            return last < 0 ? b : b - 1 - last;
        }
        long long i = a;
        while (i < b && !printed(i))
            ++i;
        return i;
    }

    // The last printed dot of [a, b), or a - 1.
    long long lastIn(long long a, long long b) const
    {
        if (a >= b)
            return a - 1;
        const int n = static_cast<int>(b - a);
        if (isRun && step == 1)
            return a + InkScan::lastAbove(y + a, m + a, c + a, n, scanLimit);
        if (isRun) {
            const ptrdiff_t from = base + static_cast<ptrdiff_t>(count - b);
            const int first = InkScan::firstAbove(y + from, m + from, c + from, n, scanLimit);
            return first == n ? a - 1 : b - 1 - first;
        }
        long long j = b - 1;
        while (j >= a && !printed(j))
            --j;
        return j;
    }

private:
    bool printed(long long i) const
    {
        const ptrdiff_t at = static_cast<ptrdiff_t>(i) * step;
        return static_cast<int>(y[at]) + m[at] + c[at] > limit;
    }

    const byte* y;
    const byte* m;
    const byte* c;
    int count;
    ptrdiff_t step;
    long long limit;
    int scanLimit;
    bool isRun;
    ptrdiff_t base;
};

} // namespace tavgdi
