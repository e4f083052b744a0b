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
    void updateInvariantByColumn(int w, int h0, int count, const byte* y, const byte* m, const byte* c, ptrdiff_t step,
                                 IPixel* scratch) override;
    // "\x1bPida;<white %>;<Y>;<M>;<C>\r" followed by the parent's text.
    char* getInvariant() override;
    void resetCounters() override;
    // False when column measures were taken and a mean lies so near a
    // rounding edge that the dot-by-dot sums could round the other way.
    bool isMeasureExact() override;

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
    // The means as sent: the dot-by-dot sums, or the exact ones when
    // columns were measured.
    void means(double out[3]);

    // Exact ink sums and count of the printed dots, kept by both measures;
    // a column measure keeps only these (the means' dot-by-dot sums are
    // then left behind).
    unsigned long long inkSum[3];
    unsigned long long inkedCount;
    bool isByColumn;
};

} // namespace tavgdi
