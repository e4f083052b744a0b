// Panel shift of the overlay panel in both directions: the first and last
// printed columns and rows ("Pspolc" commands), or the configured shifts.
#pragma once

#include "Windows.h"
#include "face/GenericCompositeInvariantProcessor.h"

namespace tavgdi {

class GdInvariantPspOverlayProcessor : public GenericCompositeInvariantProcessor {
public:
    // pspMgt is a TavGdiOptions::Values (OptionAuto: measured extent,
    // OptionCustom: configured shifts, anything else: no command). Columns
    // XS <= w < mediaW - XE and rows YS <= h < mediaH - YE are measured,
    // independently. Takes ownership of p (may be null).
    GdInvariantPspOverlayProcessor(int pspMgt, int globalPspOverlayXS, int globalPspOverlayXE,
                                   int globalPspOverlayYS, int globalPspOverlayYE, int blackThreshold,
                                   int whiteThreshold, dword mediaW, dword mediaH, IGDInvariantProcessor* p);
    ~GdInvariantPspOverlayProcessor() override;

    void updateInvariantByPixel(int w, int h, IPixel* pixel) override;
    void updateInvariantByColumn(int w, int h0, int count, const byte* y, const byte* m, const byte* c,
                                 ptrdiff_t step, IPixel* scratch) override;
    char* getInvariant() override;
    // Starts the extents afresh and resets the parent.
    void resetCounters() override;

protected:
    int whiteThreshold;
    int blackThreshold; // only logged
    int Wpspf;          // first printed column, mediaW when none
    int Hpspf;          // first printed row, mediaH when none
    int Wpspl;          // last printed column, -1 when none
    int Hpspl;          // last printed row, -1 when none
    char output[OwnTextSize];
    int pspMgt;
    int globalPspOverlayXS;
    int globalPspOverlayXE;
    int globalPspOverlayYS;
    int globalPspOverlayYE;
    int endLimitShitfX;
    int endLimitShiftY;

private:
    int mediaWidth;  // the start value of Wpspf
    int mediaHeight; // the start value of Hpspf
};

} // namespace tavgdi
