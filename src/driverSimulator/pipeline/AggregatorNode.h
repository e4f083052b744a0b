// One command fragment of an aggregator list.
#pragma once

#include "Windows.h"

namespace internalTavgdi {

class AggregatorNode {
public:
    // Copies size bytes of buffer, framed by ESC and CR when needEscCR is
    // true. A node whose copy could not be made (allocation failure or a size
    // that cannot be held) keeps a null buffer, a size of 0 and is not linked.
    // Otherwise it links itself after previousNode when one is given.
    AggregatorNode(const byte* buffer, int size, word priority, bool isEthernal, bool needEscCR,
                   AggregatorNode* previousNode);
    virtual ~AggregatorNode();

    AggregatorNode(const AggregatorNode&) = delete;
    AggregatorNode& operator=(const AggregatorNode&) = delete;

    byte* buffer;  // own copy of the bytes, framing included
    int size;      // bytes in buffer
    word priority; // ordering key, highest first
    bool isEthernal;
    AggregatorNode* next;
};

} // namespace internalTavgdi
