// One node of a rectangle list.
#pragma once

#include <memory>

namespace tavgdi {
class GRect;
}

namespace internalTavgdi {

class GrectListNode {
public:
    // Owns rect; links itself after previous when one is given.
    GrectListNode(tavgdi::GRect* rect, GrectListNode* previous);
    virtual ~GrectListNode();

    GrectListNode(const GrectListNode&) = delete;
    GrectListNode& operator=(const GrectListNode&) = delete;

    std::unique_ptr<tavgdi::GRect> rect;
    GrectListNode* next;
};

} // namespace internalTavgdi
