#include "face/GdInvariantPIDAProcessor.h"

#include "InternalLog.h"
#include "image/IPixel.h"

namespace tavgdi {

GdInvariantPIDAProcessor::GdInvariantPIDAProcessor(dword area_, int whiteThreshold_, IGDInvariantProcessor* p)
    : GenericCompositeInvariantProcessor(p)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +GdInvariantPIDAProcessor (%lx)\r\n", LOGPTR(this));
    whitePixelCount = 0;
    yellowMeanValue = 0;
    magentaMeanValue = 0;
    cyanMeanValue = 0;
    pixelCount = 0;
    whiteThreshold = whiteThreshold_;
    area = area_;
    output[0] = '\0';
    for (int v = 0; v < 256; ++v)
        share[v] = area != 0 ? static_cast<double>(v) / area : 0.0;
    InternalLog::print(L"[TAVRIN UNIDRIVER][GdInvariantPIDAProcessor::GdInvariantPIDAProcessor] w:%d area:%lu\r\n",
                       whiteThreshold, (unsigned long)area);
}

GdInvariantPIDAProcessor::~GdInvariantPIDAProcessor()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -GdInvariantPIDAProcessor (%lx)\r\n", LOGPTR(this));
}

void GdInvariantPIDAProcessor::updateInvariantByPixel(int w, int h, IPixel* pixel)
{
    if (pixel == nullptr)
        return;
    const int y = pixel->getY();
    const int m = pixel->getM();
    const int c = pixel->getC();
    ++pixelCount;
    if (y + m + c > 3LL * whiteThreshold) {
        // Each dot adds its share of the whole card, so white dots count as
        // no ink. Without an area there is no card to share.
        if (area != 0) {
            yellowMeanValue += static_cast<double>(y) / area;
            magentaMeanValue += static_cast<double>(m) / area;
            cyanMeanValue += static_cast<double>(c) / area;
        }
    } else {
        ++whitePixelCount;
    }
    updateInvariantByPixelNext(w, h, pixel);
}

void GdInvariantPIDAProcessor::updateInvariantByColumn(int w, int h0, int count, const byte* y, const byte* m,
                                                       const byte* c, ptrdiff_t step, IPixel* scratch)
{
    // The means are summed dot by dot in the same order as above, so that
    // they round the same way.
    const long long limit = 3LL * whiteThreshold;
    double yellow = yellowMeanValue, magenta = magentaMeanValue, cyan = cyanMeanValue;
    dword white = whitePixelCount;
    for (int i = 0; i < count; ++i) {
        const ptrdiff_t at = i * step;
        const int yv = y[at], mv = m[at], cv = c[at];
        if (yv + mv + cv > limit) {
            if (area != 0) {
                yellow += share[yv];
                magenta += share[mv];
                cyan += share[cv];
            }
        } else {
            ++white;
        }
    }
    if (count > 0)
        pixelCount += static_cast<dword>(count);
    yellowMeanValue = yellow;
    magentaMeanValue = magenta;
    cyanMeanValue = cyan;
    whitePixelCount = white;
    updateInvariantByColumnNext(w, h0, count, y, m, c, step, scratch);
}

void GdInvariantPIDAProcessor::resetCounters()
{
    whitePixelCount = 0;
    pixelCount = 0;
    yellowMeanValue = 0;
    magentaMeanValue = 0;
    cyanMeanValue = 0;
    resetCountersNext();
}

char* GdInvariantPIDAProcessor::getInvariant()
{
    // With no dot measured the card is blank: all white.
    double pcb = 100.0;
    if (pixelCount != 0)
        pcb = static_cast<double>(whitePixelCount) / pixelCount * 100.0;
    InternalLog::print(L"[TAVRIN UNIDRIVER][GdInvariantPIDAProcessor::getInvariant] Pida - PcPB:%.0lf ; Y:%.0lf ; "
                       L"M:%.0lf ; C:%.0lf\r\n",
                       pcb, yellowMeanValue, magentaMeanValue, cyanMeanValue);
    InternalLog::print(L"[TAVRIN UNIDRIVER][GdInvariantPIDAProcessor::getInvariant] Pida - NPB:%lu ; NPT:%lu\r\n",
                       (unsigned long)whitePixelCount, (unsigned long)pixelCount);
    char* text = formatOwn(output, "\x1bPida;%.0lf;%.0lf;%.0lf;%.0lf\r", pcb, yellowMeanValue, magentaMeanValue,
                           cyanMeanValue);
    return getInvariantNext(text);
}

} // namespace tavgdi
