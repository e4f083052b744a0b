// A face's text rectangles in insertion order. A rectangle of band n > 0 that
// lines up under the rectangle of band n - 1 extends it instead of being added.
#pragma once

#include <memory>

#include "pipeline/GRect.h"
#include "pipeline/GrectListNode.h"

namespace tavgdi {

class StdLGRect {
public:
    StdLGRect();
    virtual ~StdLGRect();

    StdLGRect(const StdLGRect&) = delete;
    StdLGRect& operator=(const StdLGRect&) = delete;

    // Takes ownership of rect: merged into the rectangle of the preceding band
    // (and deleted) or appended. A null rect is ignored. Always true.
    bool Add(GRect* rect);
    // A list of its own with copies of every rectangle.
    std::unique_ptr<StdLGRect> clone();
    // Null for an empty list.
    internalTavgdi::GrectListNode* getFirst();

private:
    std::unique_ptr<internalTavgdi::GrectListNode> first; // owns the list
    internalTavgdi::GrectListNode* last;
};

} // namespace tavgdi
