#include "processors/RGBToGrayProcessor.h"

#include "CpuSupport.h"

#if defined(CR80_HAS_X86_SHUFFLES)
#include <tmmintrin.h>
#endif

#include "InternalLog.h"
#include "Windows.h"
#include "face/FastKernels.h"
#include "image/ColorPixel.h"
#include "image/IGDataManager.h"

namespace tavgdi {

namespace {

#if defined(CR80_HAS_X86_SHUFFLES)
// Sixteen dots (48 bytes) at a time: the three bytes of each dot are picked
// apart, summed in 16 bits, the ink (765 - sum) / 3 taken as a product by
// 21846 / 65536 (exact for the sums 0 to 765), and the stored byte 255 - ink
// spread back over the three bytes. Returns the dots done.
__attribute__((target("ssse3"))) unsigned long long grayRuns(byte* bytes, unsigned long long dots)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(765);
    const __m128i third = _mm_set1_epi16(21846);
    const __m128i white = _mm_set1_epi16(255);
    // Byte k of each dot from each of the three 16-byte parts (-128: none).
    const __m128i pick[3][3] = {
        {_mm_setr_epi8(0, 3, 6, 9, 12, 15, -128, -128, -128, -128, -128, -128, -128, -128, -128, -128),
         _mm_setr_epi8(-128, -128, -128, -128, -128, -128, 2, 5, 8, 11, 14, -128, -128, -128, -128, -128),
         _mm_setr_epi8(-128, -128, -128, -128, -128, -128, -128, -128, -128, -128, -128, 1, 4, 7, 10, 13)},
        {_mm_setr_epi8(1, 4, 7, 10, 13, -128, -128, -128, -128, -128, -128, -128, -128, -128, -128, -128),
         _mm_setr_epi8(-128, -128, -128, -128, -128, 0, 3, 6, 9, 12, 15, -128, -128, -128, -128, -128),
         _mm_setr_epi8(-128, -128, -128, -128, -128, -128, -128, -128, -128, -128, -128, 2, 5, 8, 11, 14)},
        {_mm_setr_epi8(2, 5, 8, 11, 14, -128, -128, -128, -128, -128, -128, -128, -128, -128, -128, -128),
         _mm_setr_epi8(-128, -128, -128, -128, -128, 1, 4, 7, 10, 13, -128, -128, -128, -128, -128, -128),
         _mm_setr_epi8(-128, -128, -128, -128, -128, -128, -128, -128, -128, -128, 0, 3, 6, 9, 12, 15)},
    };
    // Each gray byte three times over the 48 bytes.
    const __m128i spread[3] = {
        _mm_setr_epi8(0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5),
        _mm_setr_epi8(5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10),
        _mm_setr_epi8(10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15),
    };
    unsigned long long i = 0;
    for (; dots - i >= 16; i += 16, bytes += 48) {
        __m128i part[3];
        for (int p = 0; p < 3; ++p)
            part[p] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * p));
        __m128i lo = zero, hi = zero;
        for (int k = 0; k < 3; ++k) {
            const __m128i v =
                _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(part[0], pick[k][0]), _mm_shuffle_epi8(part[1], pick[k][1])),
                             _mm_shuffle_epi8(part[2], pick[k][2]));
            lo = _mm_add_epi16(lo, _mm_unpacklo_epi8(v, zero));
            hi = _mm_add_epi16(hi, _mm_unpackhi_epi8(v, zero));
        }
        const __m128i grayLo = _mm_sub_epi16(white, _mm_mulhi_epu16(_mm_sub_epi16(full, lo), third));
        const __m128i grayHi = _mm_sub_epi16(white, _mm_mulhi_epu16(_mm_sub_epi16(full, hi), third));
        const __m128i gray = _mm_packus_epi16(grayLo, grayHi);
        for (int p = 0; p < 3; ++p)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes + 16 * p), _mm_shuffle_epi8(gray, spread[p]));
    }
    return i;
}
#endif

} // namespace

RGBToGrayProcessor::RGBToGrayProcessor(IGDataProcessor* parent) : GenericCompositeProcessor(parent)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +RGBToGrayProcessor (%lx)\r\n", LOGPTR(this));
}

RGBToGrayProcessor::~RGBToGrayProcessor()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -RGBToGrayProcessor (%lx)\r\n", LOGPTR(this));
}

bool RGBToGrayProcessor::convertBitmap(IGDataManager* dataMgr)
{
    // The loops below visit every stored dot once, and each dot's gray
    // depends on that dot alone: a 24-bit bitmap held whole in a plain
    // memory manager is converted in storage order instead.
    const RasterAccess bitmap(dataMgr);
    if (FastKernels::choose(FastKernels::GrayConversion, bitmap, bitmap) == nullptr)
        return false;
    const unsigned long long dots =
        static_cast<unsigned long long>(bitmap.storedWidth()) * static_cast<unsigned long long>(bitmap.storedHeight());
    byte* bytes = bitmap.data();
    unsigned long long i = 0;
#if defined(CR80_HAS_X86_SHUFFLES)
    if (CpuSupport::hasSsse3()) {
        i = grayRuns(bytes, dots);
        bytes += 3 * i;
    }
#endif
    for (; i < dots; ++i, bytes += 3) {
        // Stored bytes are 255 minus the ink: blue Y, green M, red C.
        const int ink = ((255 - bytes[2]) + (255 - bytes[1]) + (255 - bytes[0])) / 3;
        const byte stored = static_cast<byte>(255 - ink);
        bytes[0] = bytes[1] = bytes[2] = stored;
    }
    return true;
}

bool RGBToGrayProcessor::process(IGDataManager* dataMgr, IGDataMemoryManager* memMgr, MediaDefinition* media)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][RGBToGrayProcessor::process]\r\n");
    if (dataMgr == nullptr)
        return false;
    ColorPixel pixel(0, 0, 0);
    if (convertBitmap(dataMgr))
        return processNext(true, dataMgr, memMgr, media);
    // Both loops run over card coordinates: in the portrait orientations the
    // stored width is the card height.
    const GraphicalConstants::CardOrientation o = dataMgr->getOrientation();
    const bool portrait = o == GraphicalConstants::Portrait || o == GraphicalConstants::PortraitFlip;
    const int outer = static_cast<int>(portrait ? dataMgr->getHeight() : dataMgr->getWidth());
    const int inner = static_cast<int>(portrait ? dataMgr->getWidth() : dataMgr->getHeight());
    for (int a = 0; a < outer; ++a) {
        for (int b = 0; b < inner; ++b) {
            dataMgr->getPixel(a, b, &pixel);
            const byte g = static_cast<byte>((static_cast<int>(pixel.c) + pixel.m + pixel.y) / 3);
            pixel.set(g, g, g);
            dataMgr->setPixel(a, b, &pixel);
        }
    }
    return processNext(true, dataMgr, memMgr, media);
}

} // namespace tavgdi
