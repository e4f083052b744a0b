#include "face/GdInvariantPspOverlayProcessor.h"

#include <climits>

#include "InternalLog.h"
#include "OptionsDefinition.h"
#include "face/InkScan.h"
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
        const int scanLimit = InkScan::limitOf(limit);
        const bool isRun = step == 1 || step == -1;
        // Dot i of the column is at memory index i (step 1) or count - 1 - i
        // (step -1) from here.
        const ptrdiff_t base = step == 1 ? 0 : -static_cast<ptrdiff_t>(count - 1);
        auto printed = [&](long long i) {
            const ptrdiff_t at = static_cast<ptrdiff_t>(i) * step;
            return static_cast<int>(y[at]) + m[at] + c[at] > limit;
        };
        // The first printed dot of [a, b), or b.
        auto firstIn = [&](long long a, long long b) -> long long {
            if (a >= b)
                return b;
            const int n = static_cast<int>(b - a);
            if (isRun && step == 1)
                return a + InkScan::firstAbove(y + a, m + a, c + a, n, scanLimit);
            if (isRun) {
                const ptrdiff_t from = base + static_cast<ptrdiff_t>(count - b);
                const int last = InkScan::lastAbove(y + from, m + from, c + from, n, scanLimit);
                return last < 0 ? b : b - 1 - last;
            }
            long long i = a;
            while (i < b && !printed(i))
                ++i;
            return i;
        };
        // The last printed dot of [a, b), or a - 1.
        auto lastIn = [&](long long a, long long b) -> long long {
            if (a >= b)
                return a - 1;
            const int n = static_cast<int>(b - a);
            if (isRun && step == 1)
                return a + InkScan::lastAbove(y + a, m + a, c + a, n, scanLimit);
            if (isRun) {
                const ptrdiff_t from = base + static_cast<ptrdiff_t>(count - b);
                const int first = InkScan::firstAbove(y + from, m + from, c + from, n, scanLimit);
                return first == n ? a - 1 : b - 1 - first;
            }
            long long j = b - 1;
            while (j >= a && !printed(j))
                --j;
            return j;
        };
        // The rows of the column inside the measured band: only the first
        // and the last printed one count.
        const long long first = globalPspOverlayYS > h0 ? globalPspOverlayYS - h0 : 0;
        const long long end = static_cast<long long>(endLimitShiftY) - h0 < count
                                  ? static_cast<long long>(endLimitShiftY) - h0
                                  : count;
        bool printedInX = false;
        const long long i = firstIn(first, end);
        if (i < end) {
            const long long j = lastIn(i, end);
            if (h0 + i < Hpspf)
                Hpspf = static_cast<int>(h0 + i);
            if (h0 + j > Hpspl)
                Hpspl = static_cast<int>(h0 + j);
            printedInX = inX;
        } else if (inX) {
            // Nothing printed in the band: look at the rest of the column,
            // the dots before the band and those after it.
            const long long before = first < count ? first : count;
            const long long after = end > 0 ? end : 0;
            printedInX = firstIn(0, before) < before || firstIn(after, count) < count;
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
