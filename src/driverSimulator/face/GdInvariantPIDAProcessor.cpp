#include "face/GdInvariantPIDAProcessor.h"

#include <cmath>

#include "InternalLog.h"
#include "face/InkScan.h"
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
    inkSum[0] = inkSum[1] = inkSum[2] = 0;
    inkedCount = 0;
    isByColumn = false;
    output[0] = '\0';
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
        inkSum[0] += static_cast<unsigned>(y);
        inkSum[1] += static_cast<unsigned>(m);
        inkSum[2] += static_cast<unsigned>(c);
        ++inkedCount;
    } else {
        ++whitePixelCount;
    }
    updateInvariantByPixelNext(w, h, pixel);
}

void GdInvariantPIDAProcessor::updateInvariantByColumn(int w, int h0, int count, const byte* y, const byte* m,
                                                       const byte* c, ptrdiff_t step, IPixel* scratch)
{
    // Exact sums: the means are worked out from them in the end (see
    // isMeasureExact for the rare case where they would round otherwise).
    if (count > 0) {
        const long long limit = 3LL * whiteThreshold;
        unsigned long long inked = 0;
        if (step == 1 || step == -1) {
            const ptrdiff_t first = step == 1 ? 0 : -static_cast<ptrdiff_t>(count - 1);
            inked = InkScan::sumAbove(y + first, m + first, c + first, count, InkScan::limitOf(limit), inkSum);
        } else {
            for (int i = 0; i < count; ++i) {
                const ptrdiff_t at = i * step;
                const int yv = y[at], mv = m[at], cv = c[at];
                if (yv + mv + cv > limit) {
                    inkSum[0] += static_cast<unsigned>(yv);
                    inkSum[1] += static_cast<unsigned>(mv);
                    inkSum[2] += static_cast<unsigned>(cv);
                    ++inked;
                }
            }
        }
        inkedCount += inked;
        whitePixelCount += static_cast<dword>(static_cast<unsigned long long>(count) - inked);
        pixelCount += static_cast<dword>(count);
        isByColumn = true;
    }
    updateInvariantByColumnNext(w, h0, count, y, m, c, step, scratch);
}

void GdInvariantPIDAProcessor::resetCounters()
{
    whitePixelCount = 0;
    pixelCount = 0;
    yellowMeanValue = 0;
    magentaMeanValue = 0;
    cyanMeanValue = 0;
    inkSum[0] = inkSum[1] = inkSum[2] = 0;
    inkedCount = 0;
    isByColumn = false;
    resetCountersNext();
}

void GdInvariantPIDAProcessor::means(double out[3])
{
    if (!isByColumn) {
        out[0] = yellowMeanValue;
        out[1] = magentaMeanValue;
        out[2] = cyanMeanValue;
        return;
    }
    for (int i = 0; i < 3; ++i)
        out[i] = area != 0 ? static_cast<double>(inkSum[i]) / area : 0.0;
}

bool GdInvariantPIDAProcessor::isMeasureExact()
{
    if (!isByColumn || area == 0)
        return isMeasureExactNext();
    // The dot-by-dot sum adds inkedCount shares of at most the final mean
    // each, every addition and every share rounded by at most half an ulp
    // of the running sum: far less than this bound. Only a mean that close
    // to a half can round another way when printed to a whole number.
    double mean[3];
    means(mean);
    for (double value : mean) {
        const double bound = (static_cast<double>(inkedCount) + 4.0) * (value + 1.0) * 0x1p-51;
        const double half = std::floor(value) + 0.5;
        if (std::fabs(value - half) <= bound)
            return false;
    }
    return isMeasureExactNext();
}

char* GdInvariantPIDAProcessor::getInvariant()
{
    // With no dot measured the card is blank: all white.
    double pcb = 100.0;
    if (pixelCount != 0)
        pcb = static_cast<double>(whitePixelCount) / pixelCount * 100.0;
    double mean[3];
    means(mean);
    InternalLog::print(L"[TAVRIN UNIDRIVER][GdInvariantPIDAProcessor::getInvariant] Pida - PcPB:%.0lf ; Y:%.0lf ; "
                       L"M:%.0lf ; C:%.0lf\r\n",
                       pcb, mean[0], mean[1], mean[2]);
    InternalLog::print(L"[TAVRIN UNIDRIVER][GdInvariantPIDAProcessor::getInvariant] Pida - NPB:%lu ; NPT:%lu\r\n",
                       (unsigned long)whitePixelCount, (unsigned long)pixelCount);
    char* text = formatOwn(output, "\x1bPida;%.0lf;%.0lf;%.0lf;%.0lf\r", pcb, mean[0], mean[1], mean[2]);
    return getInvariantNext(text);
}

} // namespace tavgdi
