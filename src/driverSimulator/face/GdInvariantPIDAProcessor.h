// Ink usage of the colour panels: the share of white dots and the mean
// yellow, magenta and cyan amounts over the card ("Pida" command).
#pragma once

#include "Windows.h"
#include "face/GenericCompositeInvariantProcessor.h"

namespace tavgdi {

class GdInvariantPIDAProcessor : public GenericCompositeInvariantProcessor {
public:
    // area: the card area in dots; a dot is printed when its ink sum is
    // above 3 x whiteThreshold. Takes ownership of p (may be null).
    GdInvariantPIDAProcessor(dword area, int whiteThreshold, IGDInvariantProcessor* p);
    ~GdInvariantPIDAProcessor() override;

    void updateInvariantByPixel(int w, int h, IPixel* pixel) override;
    void updateInvariantByColumn(int w, int h0, int count, const byte* y, const byte* m, const byte* c,
                                 ptrdiff_t step, IPixel* scratch) override;
    // "\x1bPida;<white %>;<Y>;<M>;<C>\r" followed by the parent's text.
    char* getInvariant() override;
    void resetCounters() override;

protected:
    dword whitePixelCount;
    double yellowMeanValue;
    double magentaMeanValue;
    double cyanMeanValue;
    int whiteThreshold;
    dword pixelCount;
    dword area;
    char output[OwnTextSize];

private:
    // share[v] = v / area, the amount a dot of ink v adds to a mean.
    double share[256];
};

} // namespace tavgdi
