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

InternalBufferAggregator::InternalBufferAggregator() : size(0)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +InternalBufferAggregator (%lx)\r\n", LOGPTR(this));
}

InternalBufferAggregator::~InternalBufferAggregator()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] Start destruction : InternalBufferAggregator (%lx)\r\n",
                       LOGPTR(this));
    // Node by node from the head, each after its release line: the list
    // owns its nodes through their links, and a long list is not released
    // by recursion down them.
    while (first != nullptr) {
        Logged<AggregatorNode> node(first.release(), LoggedDelete{"AggregatorNode"});
        first = std::move(node->next);
    }
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
    std::unique_ptr<AggregatorNode> node(new (std::nothrow)
                                             AggregatorNode(buffer, sz, priority, isEthernal, needEscCR));
    if (node == nullptr)
        return false;
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - AggregatorNode \tPTR: %lx\r\n", LOGPTR(node.get()));
    if (node->buffer == nullptr) {
        // No copy of the bytes: the node is not linked.
        releaseLogged(node, "AggregatorNode");
        return false;
    }
    size += node->size;
    std::unique_ptr<AggregatorNode>& link = previous != nullptr ? previous->next : first;
    node->next = std::move(link);
    link = std::move(node);
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
    for (const AggregatorNode* node = first.get(); node != nullptr; node = node->next.get()) {
        if (node->size > 0) {
            std::memcpy(out + offset, node->buffer, static_cast<size_t>(node->size));
            offset += static_cast<size_t>(node->size);
        }
    }
    return out;
}

void InternalBufferAggregator::RemoveMortal()
{
    std::unique_ptr<AggregatorNode>* link = &first;
    while (*link != nullptr) {
        if ((*link)->isEthernal) {
            link = &(*link)->next;
            continue;
        }
        Logged<AggregatorNode> node(link->release(), LoggedDelete{"AggregatorNode"});
        *link = std::move(node->next);
        size -= node->size;
    }
}

AggregatorNode* InternalBufferAggregator::OrderedLocation(dword priority)
{
    for (AggregatorNode* node = first.get(); node != nullptr; node = node->next.get()) {
        if (priority < node->priority && (node->next == nullptr || priority >= node->next->priority))
            return node;
    }
    return nullptr;
}

} // namespace tavgdi
