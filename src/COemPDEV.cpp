#include "COemPDEV.h"

#include <cstring>

#include "InternalLog.h"
#include "pageloop.h"
#include "pipeline/UniDriverAdapter.h"

using tavgdi::InternalLog;

COemPDEV::COemPDEV()
    : pBufStart(nullptr), dwBufSize(0), cPalColors(0), cbHeaderOffBits(0), bHeadersFilled(false),
      bColorTable(false), helper(nullptr), isStartDocVisited(false), interSettings(nullptr), adapter(nullptr),
      isResetPDEV(false), isStartPageVisited(false)
{
    memset(&bmFileHeader, 0, sizeof(bmFileHeader));
    memset(&bmInfoHeader, 0, sizeof(bmInfoHeader));
    adapter = new tavgdi::UniDriverAdapter(fileWriter);
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] adapter ALLOC - \t\tPTR: %lx\r\n", LOGPTR(adapter));
    InternalLog::print(L"[TAVRIN UNIDRIVER] CALL COemPDEV constructor (%lx)\r\n", LOGPTR(this));
}

COemPDEV::~COemPDEV()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER] CALL COemPDEV destructor (%lx)\r\n", LOGPTR(this));
    if (!isResetPDEV && adapter != nullptr) {
        InternalLog::print(L"[TAVRIN UNIDRIVER MEM] FREE - \t\tPTR: %lx\r\n", LOGPTR(adapter));
        delete adapter;
        adapter = nullptr;
    }
}
