#include "pipeline/StdLGRectManager.h"

#include "InternalLog.h"

namespace tavgdi {

StdLGRectManager::StdLGRectManager() : frontFaceLRect(nullptr), backFaceLRect(nullptr)
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

bool StdLGRectManager::Add(GRect* r, bool isFrontFace)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][StdLGRectManager::Add] PTR: %lx face:%d\t\tRECT: %lx\r\n", LOGPTR(this),
                       isFrontFace ? 1 : 0, LOGPTR(r));
    StdLGRect* list = isFrontFace ? frontFaceLRect : backFaceLRect;
    if (list == nullptr) {
        InternalLog::print(L"[TAVRIN UNIDRIVER MEM] GRect FREE (null list) - \t\tPTR: %lx\r\n", LOGPTR(r));
        delete r;
        InternalLog::print(L"[TAVRIN UNIDRIVER][StdLGRectManager::Add] WARNING - NULL list\r\n");
        return false;
    }
    return list->Add(r);
}

StdLGRect* StdLGRectManager::get(bool face)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][StdLGRectManager::get] PTR: %lx, face:%d \r\n", LOGPTR(this),
                       face ? 1 : 0);
    return face ? frontFaceLRect : backFaceLRect;
}

void StdLGRectManager::create(StdLGRectManager* initialRectManager)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][StdLGRectManager::create] PTR: %lx \r\n", LOGPTR(this));

    // Refilling a manager from itself copies its lists before dropping them.
    StdLGRect* ownFront = nullptr;
    StdLGRect* ownBack = nullptr;
    if (initialRectManager == this) {
        ownFront = frontFaceLRect != nullptr ? frontFaceLRect->clone() : nullptr;
        ownBack = backFaceLRect != nullptr ? backFaceLRect->clone() : nullptr;
    }
    if (frontFaceLRect != nullptr || backFaceLRect != nullptr)
        cleanUp();

    if (initialRectManager == this)
        frontFaceLRect = ownFront;
    else if (initialRectManager != nullptr && initialRectManager->frontFaceLRect != nullptr)
        frontFaceLRect = initialRectManager->frontFaceLRect->clone();
    if (frontFaceLRect == nullptr) {
        frontFaceLRect = new StdLGRect();
        InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - new StdLGRect - frontFaceLRect \tPTR: %lx\r\n",
                           LOGPTR(frontFaceLRect));
    }

    if (initialRectManager == this)
        backFaceLRect = ownBack;
    else if (initialRectManager != nullptr && initialRectManager->backFaceLRect != nullptr)
        backFaceLRect = initialRectManager->backFaceLRect->clone();
    if (backFaceLRect == nullptr) {
        backFaceLRect = new StdLGRect();
        InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - new StdLGRect - backFaceLRect \tPTR: %lx\r\n",
                           LOGPTR(backFaceLRect));
    }
}

void StdLGRectManager::cleanUp()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][StdLGRectManager::cleanUp] PTR: %lx \r\n", LOGPTR(this));
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] StdLGRect FREE - \t\tPTR: %lx\r\n", LOGPTR(frontFaceLRect));
    delete frontFaceLRect;
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] StdLGRect FREE - \t\tPTR: %lx\r\n", LOGPTR(backFaceLRect));
    delete backFaceLRect;
    frontFaceLRect = nullptr;
    backFaceLRect = nullptr;
}

void StdLGRectManager::debug()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][StdLGRectManager::debug] PTR: %lx\r\n", LOGPTR(this));
    InternalLog::print(L"[TAVRIN UNIDRIVER][StdLGRectManager::debug] Rect - frontFaceLRect \tPTR: %lx\r\n",
                       LOGPTR(frontFaceLRect));
    InternalLog::print(L"[TAVRIN UNIDRIVER][StdLGRectManager::debug] Rect - backFaceLRect \tPTR: %lx\r\n",
                       LOGPTR(backFaceLRect));
}

} // namespace tavgdi
