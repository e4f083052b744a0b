#include "pipeline/StdLGRect.h"

#include "InternalLog.h"
#include "Owned.h"

namespace tavgdi {

using internalTavgdi::GrectListNode;

StdLGRect::StdLGRect() : last(nullptr)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +StdLGRect (%lx)\r\n", LOGPTR(this));
}

StdLGRect::~StdLGRect()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] start destruction : StdLGRect (%lx)\r\n", LOGPTR(this));
    // Node by node from the head, each after its line (no recursion down a
    // long list).
    while (first != nullptr) {
        Logged<GrectListNode> node(first.release(), LoggedDelete{"GrectListNode"});
        first = std::move(node->next);
    }
    last = nullptr;
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -StdLGRect (%lx)\r\n", LOGPTR(this));
}

bool StdLGRect::Add(GRect* given)
{
    std::unique_ptr<GRect> rect(given);
    if (rect == nullptr)
        return true;

    if (rect->relativeImageBandID > 0) {
        for (GrectListNode* node = first.get(); node != nullptr; node = node->next.get()) {
            GRect* r = node->rect.get();
            if (r == nullptr || r->relativeImageBandID != rect->relativeImageBandID - 1 || r->left != rect->left ||
                r->right != rect->right || rect->top > r->bottom)
                continue;
            InternalLog::print(L"[TAVRIN UNIDRIVER][StdLGRect::Add] Update Rect in StdLGRect (%lx) (%lu, %lu, %lu, "
                               L"%lu), Band ID (%d) with (%lu, %lu, %lu, %lu), Band ID (%d)  \r\n",
                               LOGPTR(this), (unsigned long)r->left, (unsigned long)r->top, (unsigned long)r->right,
                               (unsigned long)r->bottom, r->relativeImageBandID, (unsigned long)r->left,
                               (unsigned long)r->top, (unsigned long)r->right, (unsigned long)rect->bottom,
                               rect->relativeImageBandID);
            r->relativeImageBandID = rect->relativeImageBandID;
            r->bottom = rect->bottom;
            releaseLogged(rect, "GRect");
            return true;
        }
    }

    InternalLog::print(L"[TAVRIN UNIDRIVER][StdLGRect::Add] Add Rect in StdLGRect (%lx) (%lu, %lu, %lu, %lu), Band "
                       L"ID (%d)\r\n",
                       LOGPTR(this), (unsigned long)rect->left, (unsigned long)rect->top, (unsigned long)rect->right,
                       (unsigned long)rect->bottom, rect->relativeImageBandID);
    const GRect* added = rect.get();
    std::unique_ptr<GrectListNode> node = std::make_unique<GrectListNode>(std::move(rect));
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - GrectListNode \tPTR: %lx\r\n", LOGPTR(node.get()));
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ADD GRECT TO LIST - List: %lx Grect:%lx\r\n", LOGPTR(this),
                       LOGPTR(added));
    GrectListNode* appended = node.get();
    (last != nullptr ? last->next : first) = std::move(node);
    last = appended;
    return true;
}

std::unique_ptr<StdLGRect> StdLGRect::clone()
{
    std::unique_ptr<StdLGRect> copy =
        makeLogged<StdLGRect>(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - new StdLGRect - clone \tPTR: %lx\r\n");
    for (GrectListNode* node = first.get(); node != nullptr; node = node->next.get()) {
        if (node->rect == nullptr) {
            InternalLog::print(L"[TAVRIN UNIDRIVER][StdLGRect::clone] NULL Rect in StdLGRect(%lx)\r\n", LOGPTR(this));
            continue;
        }
        copy->Add(makeLogged<GRect>(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - new GRect - add clone rect\tPTR: %lx\r\n",
                                    *node->rect)
                      .release());
    }
    return copy;
}

GrectListNode* StdLGRect::getFirst()
{
    return first.get();
}

} // namespace tavgdi
