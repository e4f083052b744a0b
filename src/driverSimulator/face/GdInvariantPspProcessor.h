// Panel shift of one panel across the card: the first and last printed
// columns ("Psp"-family commands), or the configured shifts. The overlay
// panel's measure (GdInvariantPspOverlayProcessor) takes the rows as well.
#pragma once

#include "Windows.h"
#include "face/GenericCompositeInvariantProcessor.h"
#include "face/PrintedExtent.h"

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
    void updateInvariantByColumn(int w, int h0, int count, const byte* y, const byte* m, const byte* c, ptrdiff_t step,
                                 IPixel* scratch) override;
    char* getInvariant() override;
    // Starts the extents afresh and resets the parent.
    void resetCounters() override;

protected:
    // The overlay panel: columns XS <= w < mediaW - XE and rows
    // YS <= h < mediaH - YE, independently ("Pspolc" commands).
    GdInvariantPspProcessor(int pspMgt, int globalPspOverlayXS, int globalPspOverlayXE, int globalPspOverlayYS,
                            int globalPspOverlayYE, int blackThreshold, int whiteThreshold, dword mediaW, dword mediaH,
                            IGDInvariantProcessor* p);

private:
    const wchar_t* name() const;

    bool isOverlay;
    int whiteThreshold;
    int blackThreshold; // only logged
    PrintedExtent x;    // the printed columns
    PrintedExtent y;    // the printed rows; an empty band but for the overlay
    char output[OwnTextSize];
    int pspMgt;
    int globalPspXE;
    int globalPspYE;
    const char* pspCmd1;
    const char* pspCmd2;
};

// Panel shift of the overlay panel in both directions: the first and last
// printed columns and rows, or the configured shifts.
class GdInvariantPspOverlayProcessor : public GdInvariantPspProcessor {
public:
    GdInvariantPspOverlayProcessor(int pspMgt, int xs, int xe, int ys, int ye, int blackThreshold, int whiteThreshold,
                                   dword mediaW, dword mediaH, IGDInvariantProcessor* p)
        : GdInvariantPspProcessor(pspMgt, xs, xe, ys, ye, blackThreshold, whiteThreshold, mediaW, mediaH, p)
    {
    }
};

} // namespace tavgdi
