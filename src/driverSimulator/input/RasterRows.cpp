#include "input/RasterRows.h"

#include "CpuSupport.h"

#if defined(CR80_HAS_X86_SHUFFLES)
#include <tmmintrin.h>
#endif

namespace tavgdi {

namespace {

// Dots from `from` on, one at a time.
void swapDots(const byte* rgb, byte* bgr, dword from, dword dots)
{
    for (dword i = 3 * from; i < 3 * dots; i += 3) {
        const byte r = rgb[i], g = rgb[i + 1], b = rgb[i + 2];
        bgr[i] = b;
        bgr[i + 1] = g;
        bgr[i + 2] = r;
    }
}

#if defined(CR80_HAS_X86_SHUFFLES)
// Five dots per 16-byte move: the sixteenth byte is stored as it was read
// and rewritten by the next move (or by the dot-by-dot end), so the two rows
// may be the same. Returns the first dot not done.
__attribute__((target("ssse3"))) dword swapRuns(const byte* rgb, byte* bgr, dword dots)
{
    const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
    const unsigned long long bytes = 3ull * dots;
    unsigned long long i = 0;
    for (; i + 16 <= bytes; i += 15) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rgb + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(bgr + i), _mm_shuffle_epi8(v, order));
    }
    return static_cast<dword>(i / 3);
}

#endif

} // namespace

void RasterRows::toBgr(const byte* rgb, byte* bgr, dword dots)
{
    dword done = 0;
#if defined(CR80_HAS_X86_SHUFFLES)
    if (CpuSupport::hasSsse3())
        done = swapRuns(rgb, bgr, dots);
#endif
    swapDots(rgb, bgr, done, dots);
}

void RasterRows::grayToBgr(const byte* gray, byte* bgr, dword dots)
{
    for (dword i = 0; i < dots; ++i, bgr += 3)
        bgr[0] = bgr[1] = bgr[2] = gray[i];
}

} // namespace tavgdi
