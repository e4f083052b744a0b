#include "processors/Convert8to7bitProcessor.h"

#include <cstdint>
#include <cstring>

#include "CpuSupport.h"

#if defined(CR80_HAS_X86_SHUFFLES)
#include <tmmintrin.h>
#endif

#include "InternalLog.h"
#include "MediaDefinition.h"
#include "image/IGDataMemoryManager.h"

namespace tavgdi {

namespace {

// Eight 7-bit values (in the low bits of b) as seven bytes.
inline void packGroup(const byte* b, byte* out)
{
    out[0] = static_cast<byte>((b[0] << 1) | (b[1] >> 6));
    out[1] = static_cast<byte>((b[1] << 2) | (b[2] >> 5));
    out[2] = static_cast<byte>((b[2] << 3) | (b[3] >> 4));
    out[3] = static_cast<byte>((b[3] << 4) | (b[4] >> 3));
    out[4] = static_cast<byte>((b[4] << 5) | (b[5] >> 2));
    out[5] = static_cast<byte>((b[5] << 6) | (b[6] >> 1));
    out[6] = static_cast<byte>((b[6] << 7) | b[7]);
}

// The same packing with 64-bit shifts: the eight values are halved, then
// pairs, quads and halves are closed up until the 56 bits touch.
inline void packGroupWide(const byte* in, byte* out)
{
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    uint64_t x;
    memcpy(&x, in, 8);
    x = __builtin_bswap64((x >> 1) & 0x7F7F7F7F7F7F7F7Full); // first dot in the top byte
    x = ((x & 0xFF00FF00FF00FF00ull) >> 1) | (x & 0x00FF00FF00FF00FFull);
    x = ((x & 0xFFFF0000FFFF0000ull) >> 2) | (x & 0x0000FFFF0000FFFFull);
    x = ((x & 0xFFFFFFFF00000000ull) >> 4) | (x & 0x00000000FFFFFFFFull);
    x = __builtin_bswap64(x << 8);
    memcpy(out, &x, 7);
#else
    byte group[8];
    for (int i = 0; i < 8; ++i)
        group[i] = static_cast<byte>(in[i] >> 1);
    packGroup(group, out);
#endif
}

#if defined(CR80_HAS_X86_SHUFFLES)

// Two groups (16 bytes) at a time: the halved bytes are weighed into pairs
// (v0 * 128 + v1), pairs into quads, quads into the 56-bit group, whose
// bytes are then stored first dot first. Each 16-byte store writes two
// bytes past its 14; only runs followed by at least one more group are done
// here, so that the next group rewrites them. Returns the bytes done.
__attribute__((target("ssse3"))) dword packRuns(const byte* from, byte* to, dword size)
{
    const __m128i low7 = _mm_set1_epi8(0x7F);
    const __m128i pairWeights = _mm_set1_epi16(static_cast<short>(0x0180)); // bytes 128, 1
    const __m128i quadWeights = _mm_set1_epi32(0x00014000);                 // words 16384, 1
    const __m128i order = _mm_setr_epi8(6, 5, 4, 3, 2, 1, 0, 14, 13, 12, 11, 10, 9, 8, -128, -128);
    dword in = 0, out = 0;
    for (; size - in >= 32; in += 16, out += 14) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + in));
        const __m128i v = _mm_and_si128(_mm_srli_epi16(x, 1), low7);
        const __m128i pairs = _mm_maddubs_epi16(pairWeights, v);
        const __m128i quads = _mm_madd_epi16(pairs, quadWeights);
        const __m128i group = _mm_or_si128(_mm_srli_epi64(_mm_slli_epi64(quads, 32), 4), _mm_srli_epi64(quads, 32));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + out), _mm_shuffle_epi8(group, order));
    }
    return in;
}

#endif

} // namespace

Convert8to7bitProcessor::Convert8to7bitProcessor(IGDataProcessor* parent)
    : ColourPlanesProcessor("Convert8to7bitProcessor", &reduceBuffer, parent)
{
}

namespace {

// The packing of reduceBuffer from one buffer into another or the same.
void pack(const byte* from, byte* to, dword size)
{
    byte group[8];
    const byte* in = from;
    byte* out = to;
#if defined(CR80_HAS_X86_SHUFFLES)
    if (CpuSupport::hasSsse3()) {
        const dword done = packRuns(from, to, size);
        in += done;
        out += done / 8 * 7;
        size -= done;
    }
#endif
    // The whole group is read before it is written: out never passes in.
    for (dword n = size >> 3; n != 0; --n, in += 8, out += 7)
        packGroupWide(in, out);
    const dword rest = size & 7;
    if (rest != 0) {
        memset(group, 0, sizeof group);
        for (dword i = 0; i < rest; ++i)
            group[i] = static_cast<byte>(in[i] >> 1);
        byte packed[7];
        packGroup(group, packed);
        memcpy(out, packed, (rest * 7 + 7) >> 3);
    }
}

} // namespace

bool Convert8to7bitProcessor::reduceBuffer(byte* buffer, dword size)
{
    if (buffer == nullptr)
        return true;
    pack(buffer, buffer, size);
    return true;
}

void Convert8to7bitProcessor::reduceCopy(const byte* from, byte* to, dword size)
{
    if (from == nullptr || to == nullptr)
        return;
    pack(from, to, size);
    // What follows the packed bytes is the copy's.
    const dword packed = (size >> 3) * 7 + (((size & 7) * 7 + 7) >> 3);
    if (packed < size)
        memcpy(to + packed, from + packed, size - packed);
}

bool Convert8to7bitProcessor::processInto(IGDataMemoryManager* source, byte* const planes[3], MediaDefinition* media)
{
    if (getParent() != nullptr || source == nullptr || media == nullptr || planes == nullptr ||
        source->getSize() != media->getColorDataSize() || source->getSize() == 0 || source->getBuffer(0) == nullptr)
        return false;
    for (int plane = 0; plane < 3; ++plane)
        if (planes[plane] == nullptr)
            return false;
    logProcess();
    const dword area = media->getArea();
    const byte* from = source->getBuffer(0);
    for (int plane = 0; plane < 3; ++plane)
        pack(from + static_cast<size_t>(plane) * area, planes[plane], area & ~7u);
    return true;
}

bool Convert8to7bitProcessor::canProcessCopy(IGDataMemoryManager* source, IGDataMemoryManager* target,
                                             MediaDefinition* media)
{
    return source != nullptr && target != nullptr && media != nullptr && source != target &&
           source->getSize() == media->getColorDataSize() && target->getSize() == source->getSize() &&
           source->getSize() != 0 && source->getBuffer(0) != nullptr && target->getBuffer(0) != nullptr;
}

bool Convert8to7bitProcessor::processCopy(IGDataManager* dataMgr, IGDataMemoryManager* source,
                                          IGDataMemoryManager* target, MediaDefinition* media)
{
    if (!canProcessCopy(source, target, media)) {
        // The plain way: copy, then process.
        if (source != nullptr && target != nullptr && source->getBuffer(0) != nullptr &&
            target->getBuffer(0) != nullptr)
            memcpy(target->getBuffer(0), source->getBuffer(0),
                   source->getSize() < target->getSize() ? source->getSize() : target->getSize());
        return process(dataMgr, target, media);
    }
    logProcess();
    const dword area = media->getArea();
    const byte* from = source->getBuffer(0);
    byte* to = target->getBuffer(0);
    for (int plane = 0; plane < 3; ++plane)
        reduceCopy(from + static_cast<size_t>(plane) * area, to + static_cast<size_t>(plane) * area, area);
    return processNext(true, dataMgr, target, media);
}

} // namespace tavgdi
