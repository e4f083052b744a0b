// Per-job device state handed to the pipeline with every adapter call.
#pragma once

#include "Windows.h"
#include "bmpdecl.h"

namespace tavgdi {
class UniDriverAdapter;
}

class COemPDEV {
public:
    COemPDEV();
    virtual ~COemPDEV();

    byte* pBufStart;          // current face's pixel buffer
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
    tavgdi::UniDriverAdapter* adapter;
    bool isResetPDEV;
    bool isStartPageVisited;

    COemPDEV(const COemPDEV&) = delete;
    COemPDEV& operator=(const COemPDEV&) = delete;
};
