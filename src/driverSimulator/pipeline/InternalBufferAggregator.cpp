#include "pipeline/InternalBufferAggregator.h"

#include <climits>
#include <cstring>
#include <new>

#include "Allocator.h"
#include "InternalLog.h"
#include "Owned.h"

using internalTavgdi::AggregatorNode;

namespace tavgdi {

static const char* const SourcePath = "driverSimulator/InternalBufferAggregator";

InternalBufferAggregator::InternalBufferAggregator() : first(nullptr), size(0)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +InternalBufferAggregator (%lx)\r\n", LOGPTR(this));
}

InternalBufferAggregator::~InternalBufferAggregator()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] Start destruction : InternalBufferAggregator (%lx)\r\n",
                       LOGPTR(this));
    AggregatorNode* node = first;
    while (node != nullptr) {
        AggregatorNode* following = node->next;
        LoggedDelete{"AggregatorNode"}(node);
        node = following;
    }
    first = nullptr;
    size = 0;
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -InternalBufferAggregator (%lx)\r\n", LOGPTR(this));
}

bool InternalBufferAggregator::add(const byte* buffer, int sz, word priority, bool isEthernal, bool needEscCR)
{
    // Refuse what cannot be copied or counted: a negative size, missing
    // bytes, or a total that would no longer fit the list's size.
    const long long nodeSize = static_cast<long long>(sz) + (needEscCR ? 2 : 0);
    if (sz < 0 || (sz > 0 && buffer == nullptr) || nodeSize > static_cast<long long>(INT_MAX) - size) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][InternalBufferAggregator::add] WARNING - (prt:%lx) - refused "
                           L"fragment buffer:%lx size:%d total:%d (%S::%d)\r\n",
                           LOGPTR(this), LOGPTR(buffer), sz, size, SourcePath, __LINE__);
        return false;
    }

    AggregatorNode* previous = OrderedLocation(priority);
    std::unique_ptr<AggregatorNode> made(
        new (std::nothrow) AggregatorNode(buffer, sz, priority, isEthernal, needEscCR, previous));
    if (made == nullptr)
        return false;
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - AggregatorNode \tPTR: %lx\r\n", LOGPTR(made.get()));
    if (made->buffer == nullptr) {
        // The node did not link itself: nothing to undo in the list.
        releaseLogged(made, "AggregatorNode");
        return false;
    }
    // Linked: the list owns its nodes from first on.
    AggregatorNode* node = made.release();
    if (previous == nullptr) {
        node->next = first;
        first = node;
    }
    size += node->size;
    return true;
}

int InternalBufferAggregator::getAggregateSize()
{
    return size;
}

byte* InternalBufferAggregator::aggregate()
{
    if (size <= 0)
        return nullptr;
    byte* out = Allocator::alloc(static_cast<dword>(size));
    if (out == nullptr)
        return nullptr;
    size_t offset = 0;
    for (AggregatorNode* node = first; node != nullptr; node = node->next) {
        if (node->size > 0) {
            std::memcpy(out + offset, node->buffer, static_cast<size_t>(node->size));
            offset += static_cast<size_t>(node->size);
        }
    }
    return out;
}

void InternalBufferAggregator::RemoveMortal()
{
    AggregatorNode** link = &first;
    while (*link != nullptr) {
        AggregatorNode* node = *link;
        if (node->isEthernal) {
            link = &node->next;
            continue;
        }
        *link = node->next;
        size -= node->size;
        LoggedDelete{"AggregatorNode"}(node);
    }
}

AggregatorNode* InternalBufferAggregator::OrderedLocation(dword priority)
{
    for (AggregatorNode* node = first; node != nullptr; node = node->next) {
        if (priority < node->priority && (node->next == nullptr || priority >= node->next->priority))
            return node;
    }
    return nullptr;
}

} // namespace tavgdi
