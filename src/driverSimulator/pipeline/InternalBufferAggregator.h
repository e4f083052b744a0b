// Command fragments of one printing position, ordered by priority.
#pragma once

#include "Windows.h"
#include "pipeline/AggregatorNode.h"

namespace tavgdi {

// Singly linked list in non-increasing order of priority; among equal
// priorities the fragment added last comes first.
class InternalBufferAggregator {
public:
    InternalBufferAggregator();
    virtual ~InternalBufferAggregator();

    InternalBufferAggregator(const InternalBufferAggregator&) = delete;
    InternalBufferAggregator& operator=(const InternalBufferAggregator&) = delete;

    // Copies sz bytes (framed by ESC and CR with needEscCR) into a new
    // fragment. The caller keeps buffer. False when the copy cannot be made
    // or the size is negative or would overflow the list's total.
    bool add(const byte* buffer, int sz, word priority, bool isEthernal, bool needEscCR);
    // Bytes of all fragments together.
    int getAggregateSize();
    // A new array (Allocator) with every fragment in list order, owned by
    // the caller; null when the list is empty.
    byte* aggregate();
    // Drops the fragments that are not eternal, keeping the others' order.
    void RemoveMortal();
    // The node after which a fragment of this priority goes; null: the head.
    internalTavgdi::AggregatorNode* OrderedLocation(dword priority);

private:
    std::unique_ptr<internalTavgdi::AggregatorNode> first; // owns the list
    int size;
};

} // namespace tavgdi
