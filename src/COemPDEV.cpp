#include "COemPDEV.h"

#include <cstring>

#include "InternalLog.h"
#include "pageloop.h"
#include "pipeline/UniDriverAdapter.h"

using tavgdi::InternalLog;

COemPDEV::COemPDEV(tavgdi::StatusReporter& reporter)
    : pBufStart(nullptr), dwBufSize(0), cPalColors(0), cbHeaderOffBits(0), bHeadersFilled(false), bColorTable(false),
      helper(nullptr), isStartDocVisited(false), interSettings(nullptr), status(reporter),
      adapter(tavgdi::logged(std::make_unique<tavgdi::UniDriverAdapter>(fileWriter, reporter), "")), isResetPDEV(false),
      isStartPageVisited(false)
{
    memset(&bmFileHeader, 0, sizeof(bmFileHeader));
    memset(&bmInfoHeader, 0, sizeof(bmInfoHeader));
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] adapter ALLOC - \t\tPTR: %lx\r\n", LOGPTR(adapter.get()));
    InternalLog::print(L"[TAVRIN UNIDRIVER] CALL COemPDEV constructor (%lx)\r\n", LOGPTR(this));
}

COemPDEV::~COemPDEV()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER] CALL COemPDEV destructor (%lx)\r\n", LOGPTR(this));
    // After a reset of the device state the adapter is no longer this
    // state's to release.
    if (!isResetPDEV)
        adapter.reset();
    else
        (void)adapter.release();
}
