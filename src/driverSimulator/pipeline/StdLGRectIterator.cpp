#include "pipeline/StdLGRectIterator.h"

#include "Exceptions/NullException.h"
#include "InternalLog.h"
#include "image/IPixel.h"

namespace tavgdi {

using internalTavgdi::GrectListNode;

StdLGRectIterator::StdLGRectIterator(StdLGRect* list)
    : iter(nullptr), savedBlacklevel(static_cast<char>(IPixel::getBlackLevel()))
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +StdLGRectIterator (%lx) \tDependancy: StdLGRect(%lx)\r\n",
                       LOGPTR(this), LOGPTR(list));
    if (list == nullptr)
        throw NullException("StdLGRectIterator: null rectangle list");
    iter = list->getFirst();
}

StdLGRectIterator::~StdLGRectIterator()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -StdLGRectIterator (%lx)\r\n", LOGPTR(this));
}

bool StdLGRectIterator::init()
{
    debug();
    savedBlacklevel = static_cast<char>(IPixel::getBlackLevel());
    return true;
}

bool StdLGRectIterator::isUncompleted()
{
    if (iter == nullptr) {
        IPixel::setBlackLevel(static_cast<byte>(savedBlacklevel));
        return false;
    }
    return true;
}

GRect* StdLGRectIterator::getRect()
{
    if (iter == nullptr)
        return nullptr;
    GRect* rect = iter->rect.get();
    if (rect != nullptr) {
        const char level = rect->blackLevel != 0 ? rect->blackLevel : savedBlacklevel;
        IPixel::setBlackLevel(static_cast<byte>(level));
        InternalLog::print(L"[TAVRIN UNIDRIVER][StdLGRectIterator::getRect] Rect(%d, %d, %d, %d) @ %d, Band ID "
                           L"(%d)\r\n",
                           (int)rect->left, (int)rect->top, (int)rect->right, (int)rect->bottom,
                           (int)static_cast<byte>(rect->blackLevel), rect->relativeImageBandID);
    }
    return rect;
}

void StdLGRectIterator::next()
{
    if (iter != nullptr)
        iter = iter->next.get();
}

void StdLGRectIterator::orientationTransform(GraphicalConstants::CardOrientation cardOrientation, dword mediaWidth,
                                             dword mediaHeight)
{
    for (GrectListNode* node = iter; node != nullptr; node = node->next.get())
        GraphicalConstants::orientationTransform(cardOrientation, node->rect.get(), mediaWidth, mediaHeight);
    debug();
}

void StdLGRectIterator::standardTransform(dword mediaHeight)
{
    for (GrectListNode* node = iter; node != nullptr; node = node->next.get()) {
        GRect* rect = node->rect.get();
        if (rect == nullptr)
            continue;
        if (mediaHeight == 0) {
            rect->top = rect->bottom = 0;
            continue;
        }
        // Rows past the media are cut first, so that no edge wraps round.
        const dword lastRow = mediaHeight - 1;
        if (rect->bottom > lastRow)
            rect->bottom = lastRow;
        if (rect->top > lastRow)
            rect->top = lastRow;
        const dword top = rect->top;
        rect->top = mediaHeight - rect->bottom - 1;
        rect->bottom = mediaHeight - top - 1;
    }
}

void StdLGRectIterator::debug()
{
    if (iter != nullptr)
        InternalLog::print(L"[TAVRIN UNIDRIVER][StdLGRectIterator::debug] Rect list (%lx) :\r\n", LOGPTR(iter));
    else
        InternalLog::print(L"[TAVRIN UNIDRIVER][StdLGRectIterator::debug] Rect list (NULL)\r\n");
    for (GrectListNode* node = iter; node != nullptr; node = node->next.get()) {
        const GRect* rect = node->rect.get();
        if (rect == nullptr)
            continue;
        InternalLog::print(L"[TAVRIN UNIDRIVER][StdLGRectIterator::debug] Rect(%d, %d, %d, %d) @ %d, Band ID (%d)\r\n",
                           (int)rect->left, (int)rect->top, (int)rect->right, (int)rect->bottom,
                           (int)static_cast<byte>(rect->blackLevel), rect->relativeImageBandID);
    }
}

} // namespace tavgdi
