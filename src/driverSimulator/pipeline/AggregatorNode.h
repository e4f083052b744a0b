// One command fragment of an aggregator list.
#pragma once

#include <memory>

#include "Windows.h"

namespace internalTavgdi {

class AggregatorNode {
public:
    // Copies size bytes of buffer, framed by ESC and CR when needEscCR is
    // true. A node whose copy could not be made (allocation failure or a size
    // that cannot be held) keeps a null buffer and a size of 0. The list
    // links the node.
    AggregatorNode(const byte* buffer, int size, word priority, bool isEthernal, bool needEscCR);
    virtual ~AggregatorNode();

    AggregatorNode(const AggregatorNode&) = delete;
    AggregatorNode& operator=(const AggregatorNode&) = delete;

    byte* buffer;  // own copy of the bytes, framing included
    int size;      // bytes in buffer
    word priority; // ordering key, highest first
    bool isEthernal;
    std::unique_ptr<AggregatorNode> next; // the rest of the list
};

} // namespace internalTavgdi
