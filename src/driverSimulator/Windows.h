// Record shapes of the driver model the pipeline is written against. No
// operating-system driver interface is called: these are plain records.
#pragma once

#include <cstdint>

typedef uint8_t byte;
typedef uint16_t word;
typedef uint32_t dword;

// Output callback: (opaque object, buffer, byte count) -> bytes written.
typedef dword (*PFN_WriteBuffer)(void* obj, void* pBuffer, dword cbSize);

// Device-mode record of the hosting driver; never filled in this filter.
struct DEVMODE {
    short dmCopies;
};
typedef DEVMODE* PDEVMODE;

// Interface of the hosting driver's helper; opaque here.
class IPrintOemDriverUni;

class COemPDEV;
typedef COemPDEV* POEMPDEV;

class IExternalInterSettingsReader;

struct _DEVOBJ_ {
    void* hPrinter;                              // always null here
    POEMPDEV pdevOEM;                            // per-job device state
    PDEVMODE pPublicDM;                          // always null here
    IExternalInterSettingsReader* interSettings; // job-settings reader
};
typedef _DEVOBJ_ DEVOBJ;
typedef _DEVOBJ_* PDEVOBJ;

// Pointers are logged with "%lx".
#define LOGPTR(p) ((unsigned long)(uintptr_t)(p))
