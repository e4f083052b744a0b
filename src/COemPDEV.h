// Per-job device state handed to the pipeline with every adapter call.
#pragma once

#include <memory>

#include "Owned.h"
#include "Windows.h"
#include "bmpdecl.h"

namespace tavgdi {
class StatusReporter;
class UniDriverAdapter;
} // namespace tavgdi

class COemPDEV {
public:
    // The job's status lines go to `status`, which outlives this state.
    explicit COemPDEV(tavgdi::StatusReporter& status);
    virtual ~COemPDEV();

    byte* pBufStart; // current face's pixel buffer
    dword dwBufSize;
    TAVBMPFILEHEADER bmFileHeader;
    TAVBMPINFOHEADER bmInfoHeader;
    int cPalColors;
    int cbHeaderOffBits;
    bool bHeadersFilled;
    bool bColorTable;
    void* helper;
    bool isStartDocVisited;
    IExternalInterSettingsReader* interSettings;
    tavgdi::StatusReporter& status;
    tavgdi::Logged<tavgdi::UniDriverAdapter> adapter;
    bool isResetPDEV;
    bool isStartPageVisited;

    COemPDEV(const COemPDEV&) = delete;
    COemPDEV& operator=(const COemPDEV&) = delete;
};
