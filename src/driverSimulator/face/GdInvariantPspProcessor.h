// Panel shift of one panel across the card: the first and last printed
// columns ("Psp"-family commands), or the configured shifts.
#pragma once

#include "Windows.h"
#include "face/GenericCompositeInvariantProcessor.h"

namespace tavgdi {

class GdInvariantPspProcessor : public GenericCompositeInvariantProcessor {
public:
    // pspCmd1 / pspCmd2: command names for the start and the end column,
    // borrowed constant texts; pspCmd2 may be null (start only). pspMgt is a
    // TavGdiOptions::Values: OptionAuto sends the measured extent,
    // OptionCustom the configured shifts, anything else nothing. Only
    // columns globalPspXS <= w < mediaW - globalPspXE are measured.
    // Takes ownership of p (may be null).
    GdInvariantPspProcessor(const char* pspCmd1, const char* pspCmd2, int pspMgt, int globalPspXS, int globalPspXE,
                            int blackThreshold, int whiteThreshold, dword mediaW, IGDInvariantProcessor* p);
    ~GdInvariantPspProcessor() override;

    void updateInvariantByPixel(int w, int h, IPixel* pixel) override;
    void updateInvariantByColumn(int w, int h0, int count, const byte* y, const byte* m, const byte* c,
                                 ptrdiff_t step, IPixel* scratch) override;
    char* getInvariant() override;
    // Starts the extent afresh and resets the parent.
    void resetCounters() override;

protected:
    int whiteThreshold;
    int blackThreshold; // only logged
    int Wpspf;          // first printed column, mediaW when none
    int Wpspl;          // last printed column, -1 when none
    char output[OwnTextSize];
    int pspMgt;
    int globalPspXS;
    int globalPspXE;
    int endLimitShitfX;
    const char* pspCmd1;
    const char* pspCmd2;

private:
    int mediaWidth; // the start value of Wpspf
};

} // namespace tavgdi
