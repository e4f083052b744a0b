#include "processors/Convert8to7bitProcessor.h"

#include <cstring>

#include "Allocator.h"
#include "InternalLog.h"
#include "MediaDefinition.h"
#include "image/IGDataMemoryManager.h"

namespace tavgdi {

namespace {

// Seven bytes as eight values of 7 bits, each written back as b << 1.
inline void expandGroup(const byte* p, byte* out)
{
    out[0] = static_cast<byte>((p[0] >> 1) << 1);
    out[1] = static_cast<byte>((((p[0] & 1) << 6) | (p[1] >> 2)) << 1);
    out[2] = static_cast<byte>((((p[1] & 3) << 5) | (p[2] >> 3)) << 1);
    out[3] = static_cast<byte>((((p[2] & 7) << 4) | (p[3] >> 4)) << 1);
    out[4] = static_cast<byte>((((p[3] & 15) << 3) | (p[4] >> 5)) << 1);
    out[5] = static_cast<byte>((((p[4] & 31) << 2) | (p[5] >> 6)) << 1);
    out[6] = static_cast<byte>((((p[5] & 63) << 1) | (p[6] >> 7)) << 1);
    out[7] = static_cast<byte>((p[6] & 127) << 1);
}

} // namespace

Convert7to8bitProcessor::Convert7to8bitProcessor(IGDataProcessor* parent)
    : ColourPlanesProcessor("Convert7to8bitProcessor", &expandBuffer, parent)
{
}

bool Convert7to8bitProcessor::expandBuffer(byte* buffer, dword size)
{
    if (size == 0)
        return true;
    if (buffer == nullptr)
        return false;
    // Packed length, counting a final partial group as packed by
    // reduceBuffer: ceil(7 * size / 8), never more than size.
    const unsigned long long packed = (static_cast<unsigned long long>(size) * 7 + 7) >> 3;
    byte* work = Allocator::alloc(size);
    if (work == nullptr)
        return false;

    unsigned long long inPos = 0;
    unsigned long long outPos = 0;
    for (; inPos + 7 <= packed && outPos + 8 <= size; inPos += 7, outPos += 8)
        expandGroup(buffer + inPos, work + outPos);
    if (outPos < size) {
        byte group[7] = {0, 0, 0, 0, 0, 0, 0};
        const unsigned long long available = packed - inPos < 7 ? packed - inPos : 7;
        memcpy(group, buffer + inPos, static_cast<size_t>(available));
        byte values[8];
        expandGroup(group, values);
        const unsigned long long left = size - outPos;
        memcpy(work + outPos, values, static_cast<size_t>(left < 8 ? left : 8));
    }
    memcpy(buffer, work, size);
    Allocator::desalloc(work);
    return true;
}

} // namespace tavgdi
