#include "pipeline/AggregatorNode.h"

#include <climits>
#include <cstring>

#include "Allocator.h"

namespace internalTavgdi {

static const byte EscByte = 0x1B;
static const byte CrByte = 0x0D;

AggregatorNode::AggregatorNode(const byte* src, int sz, word prio, bool ethernal, bool needEscCR)
    : buffer(nullptr), size(0), priority(prio), isEthernal(ethernal)
{
    const int framing = needEscCR ? 2 : 0;
    if (sz < 0 || sz > INT_MAX - framing || (sz > 0 && src == nullptr))
        return;

    const int total = sz + framing;
    buffer = tavgdi::Allocator::alloc(static_cast<dword>(total));
    if (buffer == nullptr)
        return;

    if (needEscCR) {
        buffer[0] = EscByte;
        if (sz > 0)
            std::memcpy(buffer + 1, src, static_cast<size_t>(sz));
        buffer[sz + 1] = CrByte;
    } else if (sz > 0) {
        std::memcpy(buffer, src, static_cast<size_t>(sz));
    }
    size = total;
}

AggregatorNode::~AggregatorNode()
{
    tavgdi::Allocator::desalloc(buffer);
    buffer = nullptr;
}

} // namespace internalTavgdi
