// Runs of 16 dots of three ink planes tested at once: the dots whose ink sum
// y + m + c is above a limit. Used by the column loops of the black
// extraction and of the panel measures.
#pragma once

#include <cstddef>

#include "Windows.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tavgdi {

class InkScan {
public:
    static const int Run = 16;

    // Bit i set when y[i] + m[i] + c[i] > limit, for i in 0..15.
    static unsigned above(const byte* y, const byte* m, const byte* c, int limit)
    {
        // An ink sum lies in 0..765.
        if (limit < 0)
            return 0xFFFFu;
        if (limit >= 765)
            return 0;
#if defined(__SSE2__)
        const __m128i zero = _mm_setzero_si128();
        const __m128i yv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y));
        const __m128i mv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m));
        const __m128i cv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c));
        const __m128i lo = _mm_add_epi16(_mm_add_epi16(_mm_unpacklo_epi8(yv, zero), _mm_unpacklo_epi8(mv, zero)),
                                         _mm_unpacklo_epi8(cv, zero));
        const __m128i hi = _mm_add_epi16(_mm_add_epi16(_mm_unpackhi_epi8(yv, zero), _mm_unpackhi_epi8(mv, zero)),
                                         _mm_unpackhi_epi8(cv, zero));
        const __m128i l = _mm_set1_epi16(static_cast<short>(limit));
        return static_cast<unsigned>(
            _mm_movemask_epi8(_mm_packs_epi16(_mm_cmpgt_epi16(lo, l), _mm_cmpgt_epi16(hi, l))));
#else
        unsigned mask = 0;
        for (int i = 0; i < Run; ++i)
            if (static_cast<int>(y[i]) + m[i] + c[i] > limit)
                mask |= 1u << i;
        return mask;
#endif
    }

    // A limit as an int for above(): values beyond the range of ink sums
    // mean the same as the range's ends.
    static int limitOf(long long limit)
    {
        return limit < -1 ? -1 : limit > 765 ? 765 : static_cast<int>(limit);
    }

    // Index of the first dot of count (from y, m, c, one byte apart) whose
    // ink sum is above limit, or count.
    static int firstAbove(const byte* y, const byte* m, const byte* c, int count, int limit)
    {
        int i = 0;
        for (; count - i >= Run; i += Run) {
            const unsigned mask = above(y + i, m + i, c + i, limit);
            if (mask != 0)
                return i + __builtin_ctz(mask);
        }
        for (; i < count; ++i)
            if (static_cast<int>(y[i]) + m[i] + c[i] > limit)
                return i;
        return count;
    }

    // Index of the last such dot, or -1.
    static int lastAbove(const byte* y, const byte* m, const byte* c, int count, int limit)
    {
        int i = count;
        for (; i >= Run; i -= Run) {
            const unsigned mask = above(y + i - Run, m + i - Run, c + i - Run, limit);
            if (mask != 0)
                return i - Run + 31 - __builtin_clz(mask);
        }
        for (; i > 0; --i)
            if (static_cast<int>(y[i - 1]) + m[i - 1] + c[i - 1] > limit)
                return i - 1;
        return -1;
    }

    // Adds to sums[0], sums[1], sums[2] the y, m and c of the dots of count
    // (one byte apart) whose ink sum is above limit; returns how many such
    // dots there are.
    static unsigned long long sumAbove(const byte* y, const byte* m, const byte* c, int count, int limit,
                                       unsigned long long sums[3])
    {
        int i = 0;
        unsigned long long n = 0;
#if defined(__SSE2__)
        if (limit >= -1 && limit < 765) {
            const __m128i zero = _mm_setzero_si128();
            const __m128i l = _mm_set1_epi16(static_cast<short>(limit));
            const __m128i one = _mm_set1_epi8(1);
            __m128i sy = zero, sm = zero, sc = zero, inked = zero;
            for (; count - i >= Run; i += Run) {
                const __m128i yv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y + i));
                const __m128i mv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m + i));
                const __m128i cv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c + i));
                const __m128i lo =
                    _mm_add_epi16(_mm_add_epi16(_mm_unpacklo_epi8(yv, zero), _mm_unpacklo_epi8(mv, zero)),
                                  _mm_unpacklo_epi8(cv, zero));
                const __m128i hi =
                    _mm_add_epi16(_mm_add_epi16(_mm_unpackhi_epi8(yv, zero), _mm_unpackhi_epi8(mv, zero)),
                                  _mm_unpackhi_epi8(cv, zero));
                const __m128i printed = _mm_packs_epi16(_mm_cmpgt_epi16(lo, l), _mm_cmpgt_epi16(hi, l));
                // Sums of eight bytes each, in 64-bit lanes.
                sy = _mm_add_epi64(sy, _mm_sad_epu8(_mm_and_si128(yv, printed), zero));
                sm = _mm_add_epi64(sm, _mm_sad_epu8(_mm_and_si128(mv, printed), zero));
                sc = _mm_add_epi64(sc, _mm_sad_epu8(_mm_and_si128(cv, printed), zero));
                inked = _mm_add_epi64(inked, _mm_sad_epu8(_mm_and_si128(printed, one), zero));
            }
            unsigned long long lanes[2];
            _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes), sy);
            sums[0] += lanes[0] + lanes[1];
            _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes), sm);
            sums[1] += lanes[0] + lanes[1];
            _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes), sc);
            sums[2] += lanes[0] + lanes[1];
            _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes), inked);
            n += lanes[0] + lanes[1];
        }
#endif
        for (; i < count; ++i) {
            if (static_cast<int>(y[i]) + m[i] + c[i] > limit) {
                sums[0] += y[i];
                sums[1] += m[i];
                sums[2] += c[i];
                ++n;
            }
        }
        return n;
    }

    virtual ~InkScan()
    {
    }
};

} // namespace tavgdi
