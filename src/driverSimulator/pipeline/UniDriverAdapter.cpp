#include "pipeline/UniDriverAdapter.h"

#include "InternalLog.h"

namespace tavgdi {

UniDriverAdapter::UniDriverAdapter(PFN_WriteBuffer w)
    : writer(w), isStartDocTaggedVisited(false), media(nullptr)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +UniDriverAdapter (%lx)\r\n", LOGPTR(this));
}

UniDriverAdapter::~UniDriverAdapter()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] Start destruction : UniDriverAdapter (%lx)\r\n",
                       LOGPTR(this));
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -UniDriverAdapter (%lx)\r\n", LOGPTR(this));
}

bool UniDriverAdapter::startDoc(char* docName, dword, PDEVOBJ pDevObj, IPrintOemDriverUni*, int, bool)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][UniDriverAdapter::startDoc] (prt:%lx, pdevobj:%lx)\r\n", LOGPTR(this),
                       LOGPTR(pDevObj));
    InternalLog::print(L"[TAVRIN UNIDRIVER][UniDriverAdapter::startDoc] (doc:%s)\r\n", docName ? docName : "(null)");
    isStartDocTaggedVisited = true;
    return true;
}

bool UniDriverAdapter::newFace(PDEVOBJ pDevObj, bool flush)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][UniDriverAdapter::newFace] (prt:%lx, pdevobj:%lx)\r\n", LOGPTR(this),
                       LOGPTR(pDevObj));
    InternalLog::print(L"[TAVRIN UNIDRIVER][UniDriverAdapter::newFace] flush:%d\r\n", flush ? 1 : 0);
    return isStartDocTaggedVisited;
}

bool UniDriverAdapter::endDoc(PDEVOBJ pDevObj)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][UniDriverAdapter::endDoc] (prt:%lx, pdevobj:%lx)\r\n", LOGPTR(this),
                       LOGPTR(pDevObj));
    (void)writer;
    return isStartDocTaggedVisited;
}

MediaDefinition* UniDriverAdapter::getMedia()
{
    return media;
}

} // namespace tavgdi
