#include "face/RectWalk.h"

#include "InternalLog.h"
#include "pipeline/TrivialLGRectIterator.h"

namespace tavgdi {

RectWalk::RectWalk(ILGRectIterator* given, dword W, dword H) : iter(given), width(W), height(H)
{
    if (iter == nullptr) {
        ownIterator =
            logged<ILGRectIterator>(makeLogged<TrivialLGRectIterator>(
                                        L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - TrivialLGRectIterator \tPTR: %lx\r\n",
                                        0, 0, static_cast<int>(W), static_cast<int>(H)),
                                    "ILGRectIterator");
        iter = ownIterator.get();
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
    if (ownIterator == nullptr)
        return;
    ownIterator.reset();
    iter = nullptr;
}

} // namespace tavgdi
