#include "pipeline/GrectListNode.h"

#include "Owned.h"
#include "Windows.h"
#include "pipeline/GRect.h"

namespace internalTavgdi {

GrectListNode::GrectListNode(std::unique_ptr<tavgdi::GRect> r) : rect(std::move(r))
{
}

GrectListNode::~GrectListNode()
{
    tavgdi::logFree("GRect", rect.get());
    rect.reset();
}

} // namespace internalTavgdi
