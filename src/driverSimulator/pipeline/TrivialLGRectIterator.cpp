#include "pipeline/TrivialLGRectIterator.h"

#include "InternalLog.h"

namespace tavgdi {

TrivialLGRectIterator::TrivialLGRectIterator(int left, int top, int right, int bottom)
    : singleRect(left, top, right, bottom, 0, -1), onlyOneStep(true)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +TrivialLGRectIterator (%lx)\r\n", LOGPTR(this));
}

TrivialLGRectIterator::~TrivialLGRectIterator()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -TrivialLGRectIterator (%lx)\r\n", LOGPTR(this));
}

bool TrivialLGRectIterator::init()
{
    debug();
    return true;
}

bool TrivialLGRectIterator::isUncompleted()
{
    return onlyOneStep;
}

GRect* TrivialLGRectIterator::getRect()
{
    return &singleRect;
}

void TrivialLGRectIterator::next()
{
    onlyOneStep = false;
}

void TrivialLGRectIterator::debug()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][TrivialLGRectIterator::debug] Trivial Rect list - RECT(%ld, %ld, %ld, "
                       L"%ld)\r\n",
                       (long)singleRect.left, (long)singleRect.top, (long)singleRect.right, (long)singleRect.bottom);
}

} // namespace tavgdi
