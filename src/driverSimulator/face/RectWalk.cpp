#include "face/RectWalk.h"

#include "InternalLog.h"
#include "pipeline/TrivialLGRectIterator.h"

namespace tavgdi {

RectWalk::RectWalk(ILGRectIterator* given, dword W, dword H)
    : iter(given), isOwnIterator(false), width(W), height(H)
{
    if (iter == nullptr) {
        iter = new TrivialLGRectIterator(0, 0, static_cast<int>(W), static_cast<int>(H));
        isOwnIterator = true;
        InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - TrivialLGRectIterator \tPTR: %lx\r\n",
                           LOGPTR(iter));
    }
}

RectWalk::~RectWalk()
{
    release();
}

bool RectWalk::init()
{
    if (iter == nullptr)
        return false;
    if (iter->init())
        return true;
    release();
    return false;
}

void RectWalk::release()
{
    if (!isOwnIterator)
        return;
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ILGRectIterator FREE - \t\tPTR: %lx\r\n", LOGPTR(iter));
    delete iter;
    iter = nullptr;
    isOwnIterator = false;
}

} // namespace tavgdi
