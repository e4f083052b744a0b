#include "face/GdInvariantPspOverlayProcessor.h"

#include <climits>

#include "InternalLog.h"
#include "OptionsDefinition.h"
#include "image/IPixel.h"

namespace tavgdi {

namespace {

int clampToInt(long long value)
{
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

} // namespace

GdInvariantPspOverlayProcessor::GdInvariantPspOverlayProcessor(int pspMgt_, int xs, int xe, int ys, int ye,
                                                               int blackThreshold_, int whiteThreshold_,
                                                               dword mediaW, dword mediaH, IGDInvariantProcessor* p)
    : GenericCompositeInvariantProcessor(p)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +GdInvariantPspOverlayProcessor (%lx)\r\n",
                       LOGPTR(this));
    pspMgt = pspMgt_;
    globalPspOverlayXS = xs;
    globalPspOverlayXE = xe;
    globalPspOverlayYS = ys;
    globalPspOverlayYE = ye;
    blackThreshold = blackThreshold_;
    whiteThreshold = whiteThreshold_;
    // A shift wider than the card leaves an empty band.
    endLimitShitfX = clampToInt(static_cast<long long>(mediaW) - xe);
    endLimitShiftY = clampToInt(static_cast<long long>(mediaH) - ye);
    mediaWidth = clampToInt(mediaW);
    mediaHeight = clampToInt(mediaH);
    Wpspf = mediaWidth;
    Hpspf = mediaHeight;
    Wpspl = -1;
    Hpspl = -1;
    output[0] = '\0';
    InternalLog::print(L"[TAVRIN UNIDRIVER][GdInvariantPspOverlayProcessor::GdInvariantPspOverlayProcessor] k:%d w:%d "
                       L"pspxs:%d pspxe:%d pspys:%d pspye:%d mediaW:%lu mediaH:%lu endLimitShitfX:%lu "
                       L"endLimitShitfY:%lu\r\n",
                       blackThreshold, whiteThreshold, xs, xe, ys, ye, (unsigned long)mediaW, (unsigned long)mediaH,
                       (unsigned long)endLimitShitfX, (unsigned long)endLimitShiftY);
}

GdInvariantPspOverlayProcessor::~GdInvariantPspOverlayProcessor()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -GdInvariantPspOverlayProcessor (%lx)\r\n",
                       LOGPTR(this));
}

void GdInvariantPspOverlayProcessor::updateInvariantByPixel(int w, int h, IPixel* pixel)
{
    if (pixel == nullptr)
        return;
    if (pspMgt != TavGdiOptions::OptionCustom) {
        const bool inX = globalPspOverlayXS <= w && w < endLimitShitfX;
        const bool inY = globalPspOverlayYS <= h && h < endLimitShiftY;
        if (inX || inY) {
            const int sum = static_cast<int>(pixel->getY()) + pixel->getM() + pixel->getC();
            if (sum > 3LL * whiteThreshold) {
                if (inX) {
                    if (w < Wpspf)
                        Wpspf = w;
                    if (w > Wpspl)
                        Wpspl = w;
                }
                if (inY) {
                    if (h < Hpspf)
                        Hpspf = h;
                    if (h > Hpspl)
                        Hpspl = h;
                }
            }
        }
    }
    updateInvariantByPixelNext(w, h, pixel);
}

void GdInvariantPspOverlayProcessor::updateInvariantByColumn(int w, int h0, int count, const byte* y, const byte* m,
                                                             const byte* c, ptrdiff_t step, IPixel* scratch)
{
    if (pspMgt != TavGdiOptions::OptionCustom && count > 0) {
        const bool inX = globalPspOverlayXS <= w && w < endLimitShitfX;
        const long long limit = 3LL * whiteThreshold;
        auto printed = [&](long long i) {
            const ptrdiff_t at = static_cast<ptrdiff_t>(i) * step;
            return static_cast<int>(y[at]) + m[at] + c[at] > limit;
        };
        // The rows of the column inside the measured band: only the first
        // and the last printed one count.
        const long long first = globalPspOverlayYS > h0 ? globalPspOverlayYS - h0 : 0;
        const long long end = static_cast<long long>(endLimitShiftY) - h0 < count
                                  ? static_cast<long long>(endLimitShiftY) - h0
                                  : count;
        bool printedInX = false;
        long long i = first;
        while (i < end && !printed(i))
            ++i;
        if (i < end) {
            long long j = end - 1;
            while (!printed(j))
                --j;
            if (h0 + i < Hpspf)
                Hpspf = static_cast<int>(h0 + i);
            if (h0 + j > Hpspl)
                Hpspl = static_cast<int>(h0 + j);
            printedInX = inX;
        } else if (inX) {
            // Nothing printed in the band: look at the rest of the column.
            for (long long k = 0; k < count && !printedInX; ++k)
                printedInX = (k < first || k >= end) && printed(k);
        }
        if (printedInX) {
            if (w < Wpspf)
                Wpspf = w;
            if (w > Wpspl)
                Wpspl = w;
        }
    }
    updateInvariantByColumnNext(w, h0, count, y, m, c, step, scratch);
}

void GdInvariantPspOverlayProcessor::resetCounters()
{
    Wpspf = mediaWidth;
    Hpspf = mediaHeight;
    Wpspl = -1;
    Hpspl = -1;
    resetCountersNext();
}

char* GdInvariantPspOverlayProcessor::getInvariant()
{
    int xs, xe, ys, ye;
    if (pspMgt == TavGdiOptions::OptionCustom) {
        xs = globalPspOverlayXS;
        xe = globalPspOverlayXE;
        ys = globalPspOverlayYS;
        ye = globalPspOverlayYE;
    } else {
        xs = Wpspf;
        xe = Wpspl == -1 ? xs : Wpspl;
        ys = Hpspf;
        ye = Hpspl == -1 ? ys : Hpspl;
    }
    InternalLog::print(L"[TAVRIN UNIDRIVER][GdInvariantPspOverlayProcessor::getInvariant] Pspolc - Mgt : %d - Value : "
                       L"xs:%ld xe:%ld ys:%ld ye:%ld\r\n",
                       pspMgt, (long)xs, (long)xe, (long)ys, (long)ye);

    char* text = output;
    output[0] = '\0';
    if (pspMgt == TavGdiOptions::OptionAuto || pspMgt == TavGdiOptions::OptionCustom)
        text = formatOwn(output, "\x1bPspolc;x;s;%d\r\x1bPspolc;x;e;%d\r\x1bPspolc;y;s;%d\r\x1bPspolc;y;e;%d\r", xs,
                         xe, ys, ye);
    return getInvariantNext(text);
}

} // namespace tavgdi
