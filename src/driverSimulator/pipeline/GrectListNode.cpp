#include "pipeline/GrectListNode.h"

#include "Owned.h"
#include "Windows.h"
#include "pipeline/GRect.h"

namespace internalTavgdi {

GrectListNode::GrectListNode(tavgdi::GRect* r, GrectListNode* previous) : rect(r), next(nullptr)
{
    if (previous != nullptr) {
        next = previous->next;
        previous->next = this;
    }
}

GrectListNode::~GrectListNode()
{
    tavgdi::logFree("GRect", rect.get());
    rect.reset();
}

} // namespace internalTavgdi
