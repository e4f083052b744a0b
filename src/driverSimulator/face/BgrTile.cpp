#include "face/BgrTile.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tavgdi {

namespace {

#if defined(__SSE2__)
// Rows r[0..15] of 16 bytes become columns: out[j] holds byte j of every row.
inline void transpose16(const __m128i r[16], __m128i out[16])
{
    __m128i a[16], b[16], c[16];
    // Bytes of row pairs, then words of pairs of pairs, then double words,
    // then quad words: a[2p + k] holds columns 8k..8k+7 of rows 2p, 2p+1.
    for (int p = 0; p < 8; ++p) {
        a[2 * p] = _mm_unpacklo_epi8(r[2 * p], r[2 * p + 1]);
        a[2 * p + 1] = _mm_unpackhi_epi8(r[2 * p], r[2 * p + 1]);
    }
    // b[4q + 2k + m]: columns 8k + 4m .. +3 of rows 4q .. 4q + 3.
    for (int q = 0; q < 4; ++q)
        for (int k = 0; k < 2; ++k) {
            b[4 * q + 2 * k] = _mm_unpacklo_epi16(a[4 * q + k], a[4 * q + 2 + k]);
            b[4 * q + 2 * k + 1] = _mm_unpackhi_epi16(a[4 * q + k], a[4 * q + 2 + k]);
        }
    // c[8o + 2g + n] with g = 2k + m: columns 4g + 2n, 4g + 2n + 1 of rows 8o .. 8o + 7.
    for (int o = 0; o < 2; ++o)
        for (int g = 0; g < 4; ++g) {
            c[8 * o + 2 * g] = _mm_unpacklo_epi32(b[8 * o + g], b[8 * o + 4 + g]);
            c[8 * o + 2 * g + 1] = _mm_unpackhi_epi32(b[8 * o + g], b[8 * o + 4 + g]);
        }
    // Column 2i and 2i + 1 from the two halves of rows.
    for (int i = 0; i < 8; ++i) {
        out[2 * i] = _mm_unpacklo_epi64(c[i], c[8 + i]);
        out[2 * i + 1] = _mm_unpackhi_epi64(c[i], c[8 + i]);
    }
}
#endif

} // namespace

void BgrTile::toPlanes(const byte* first, ptrdiff_t rowStep, bool isReversed, byte* const planes[3],
                       ptrdiff_t columnStep)
{
#if defined(__SSE2__)
    const __m128i ones = _mm_set1_epi8(static_cast<char>(0xFF));
    for (int part = 0; part < 3; ++part) {
        // Bytes 16 * part .. 16 * part + 15 of every row.
        __m128i rows[16], columns[16];
        for (int r = 0; r < Dots; ++r)
            rows[r] =
                _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(first + r * rowStep + 16 * part)), ones);
        transpose16(rows, columns);
        for (int j = 0; j < 16; ++j) {
            const int index = 16 * part + j;
            const int k = index / 3;
            const int column = isReversed ? Dots - 1 - k : k;
            _mm_storeu_si128(reinterpret_cast<__m128i*>(planes[index % 3] + column * columnStep), columns[j]);
        }
    }
#else
    for (int r = 0; r < Dots; ++r) {
        const byte* row = first + r * rowStep;
        for (int k = 0; k < Dots; ++k) {
            const int column = isReversed ? Dots - 1 - k : k;
            for (int c = 0; c < 3; ++c)
                planes[c][column * columnStep + r] = static_cast<byte>(255 - row[3 * k + c]);
        }
    }
#endif
}

} // namespace tavgdi
