#include "pipeline/GrectListNode.h"

#include "InternalLog.h"
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
    tavgdi::InternalLog::print(L"[TAVRIN UNIDRIVER MEM] GRect FREE - \t\tPTR: %lx\r\n", LOGPTR(rect));
    delete rect;
    rect = nullptr;
}

} // namespace internalTavgdi
