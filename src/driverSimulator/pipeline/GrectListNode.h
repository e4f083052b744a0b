// One node of a rectangle list.
#pragma once

#include <memory>

namespace tavgdi {
class GRect;
}

namespace internalTavgdi {

class GrectListNode {
public:
    // An unlinked node with its rectangle; the list links it.
    explicit GrectListNode(std::unique_ptr<tavgdi::GRect> rect);
    virtual ~GrectListNode();

    GrectListNode(const GrectListNode&) = delete;
    GrectListNode& operator=(const GrectListNode&) = delete;

    std::unique_ptr<tavgdi::GRect> rect;
    std::unique_ptr<GrectListNode> next; // the rest of the list
};

} // namespace internalTavgdi
