#include "pipeline/StdLGRectManager.h"

#include "InternalLog.h"
#include "Owned.h"

namespace tavgdi {

StdLGRectManager::StdLGRectManager()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +StdLGRectManager (%lx)\r\n", LOGPTR(this));
}

StdLGRectManager::~StdLGRectManager()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] start destruction : StdLGRectManager (%lx)\r\n",
                       LOGPTR(this));
    cleanUp();
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -StdLGRectManager (%lx)\r\n", LOGPTR(this));
}

bool StdLGRectManager::Add(GRect* given, bool isFrontFace)
{
    std::unique_ptr<GRect> r(given);
    InternalLog::print(L"[TAVRIN UNIDRIVER][StdLGRectManager::Add] PTR: %lx face:%d\t\tRECT: %lx\r\n", LOGPTR(this),
                       isFrontFace ? 1 : 0, LOGPTR(given));
    StdLGRect* list = isFrontFace ? frontFaceLRect.get() : backFaceLRect.get();
    if (list == nullptr) {
        logFree("GRect", r.get(), "null list");
        r.reset();
        InternalLog::print(L"[TAVRIN UNIDRIVER][StdLGRectManager::Add] WARNING - NULL list\r\n");
        return false;
    }
    return list->Add(r.release());
}

StdLGRect* StdLGRectManager::get(bool face)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][StdLGRectManager::get] PTR: %lx, face:%d \r\n", LOGPTR(this), face ? 1 : 0);
    return face ? frontFaceLRect.get() : backFaceLRect.get();
}

void StdLGRectManager::create(StdLGRectManager* initialRectManager)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][StdLGRectManager::create] PTR: %lx \r\n", LOGPTR(this));

    // Refilling a manager from itself copies its lists before dropping them.
    std::unique_ptr<StdLGRect> ownFront;
    std::unique_ptr<StdLGRect> ownBack;
    if (initialRectManager == this) {
        ownFront = frontFaceLRect != nullptr ? frontFaceLRect->clone() : nullptr;
        ownBack = backFaceLRect != nullptr ? backFaceLRect->clone() : nullptr;
    }
    if (frontFaceLRect != nullptr || backFaceLRect != nullptr)
        cleanUp();

    if (initialRectManager == this)
        frontFaceLRect = std::move(ownFront);
    else if (initialRectManager != nullptr && initialRectManager->frontFaceLRect != nullptr)
        frontFaceLRect = initialRectManager->frontFaceLRect->clone();
    if (frontFaceLRect == nullptr) {
        frontFaceLRect = makeLogged<StdLGRect>(
            L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - new StdLGRect - frontFaceLRect \tPTR: %lx\r\n");
    }

    if (initialRectManager == this)
        backFaceLRect = std::move(ownBack);
    else if (initialRectManager != nullptr && initialRectManager->backFaceLRect != nullptr)
        backFaceLRect = initialRectManager->backFaceLRect->clone();
    if (backFaceLRect == nullptr) {
        backFaceLRect = makeLogged<StdLGRect>(
            L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - new StdLGRect - backFaceLRect \tPTR: %lx\r\n");
    }
}

void StdLGRectManager::cleanUp()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][StdLGRectManager::cleanUp] PTR: %lx \r\n", LOGPTR(this));
    logFree("StdLGRect", frontFaceLRect.get());
    frontFaceLRect.reset();
    logFree("StdLGRect", backFaceLRect.get());
    backFaceLRect.reset();
}

void StdLGRectManager::debug()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][StdLGRectManager::debug] PTR: %lx\r\n", LOGPTR(this));
    InternalLog::print(L"[TAVRIN UNIDRIVER][StdLGRectManager::debug] Rect - frontFaceLRect \tPTR: %lx\r\n",
                       LOGPTR(frontFaceLRect.get()));
    InternalLog::print(L"[TAVRIN UNIDRIVER][StdLGRectManager::debug] Rect - backFaceLRect \tPTR: %lx\r\n",
                       LOGPTR(backFaceLRect.get()));
}

} // namespace tavgdi
