#include "face/GdInvariantPspProcessor.h"

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

GdInvariantPspProcessor::GdInvariantPspProcessor(const char* pspCmd1_, const char* pspCmd2_, int pspMgt_,
                                                 int globalPspXS_, int globalPspXE_, int blackThreshold_,
                                                 int whiteThreshold_, dword mediaW, IGDInvariantProcessor* p)
    : GenericCompositeInvariantProcessor(p)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +GdInvariantPspProcessor (%lx)\r\n", LOGPTR(this));
    pspCmd1 = pspCmd1_;
    pspCmd2 = pspCmd2_;
    pspMgt = pspMgt_;
    globalPspXS = globalPspXS_;
    globalPspXE = globalPspXE_;
    blackThreshold = blackThreshold_;
    whiteThreshold = whiteThreshold_;
    // A shift wider than the card leaves an empty band.
    endLimitShitfX = clampToInt(static_cast<long long>(mediaW) - globalPspXE);
    mediaWidth = clampToInt(mediaW);
    Wpspf = mediaWidth;
    Wpspl = -1;
    output[0] = '\0';
    InternalLog::print(L"[TAVRIN UNIDRIVER][GdInvariantPspProcessor::GdInvariantPspProcessor] k:%d w:%d pspxs:%d "
                       L"pspxe:%d mediaW:%lu endLimitShitfX:%lu\r\n",
                       blackThreshold, whiteThreshold, globalPspXS, globalPspXE, (unsigned long)mediaW,
                       (unsigned long)endLimitShitfX);
}

GdInvariantPspProcessor::~GdInvariantPspProcessor()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -GdInvariantPspProcessor (%lx)\r\n", LOGPTR(this));
}

void GdInvariantPspProcessor::updateInvariantByPixel(int w, int h, IPixel* pixel)
{
    if (pixel == nullptr)
        return;
    if (pspMgt != TavGdiOptions::OptionCustom && globalPspXS <= w && w < endLimitShitfX) {
        const int sum = static_cast<int>(pixel->getY()) + pixel->getM() + pixel->getC();
        if (sum > 3LL * whiteThreshold) {
            if (w < Wpspf)
                Wpspf = w;
            if (w > Wpspl)
                Wpspl = w;
        }
    }
    updateInvariantByPixelNext(w, h, pixel);
}

void GdInvariantPspProcessor::updateInvariantByColumn(int w, int h0, int count, const byte* y, const byte* m,
                                                      const byte* c, ptrdiff_t step, IPixel* scratch)
{
    // The whole column shares w: one printed dot is enough.
    if (pspMgt != TavGdiOptions::OptionCustom && globalPspXS <= w && w < endLimitShitfX && count > 0) {
        const long long limit = 3LL * whiteThreshold;
        bool printed = false;
        if (step == 1 || step == -1) {
            // The same dots in memory order.
            const ptrdiff_t first = step == 1 ? 0 : -static_cast<ptrdiff_t>(count - 1);
            printed = InkScan::firstAbove(y + first, m + first, c + first, count, InkScan::limitOf(limit)) < count;
        } else {
            for (int i = 0; i < count && !printed; ++i) {
                const ptrdiff_t at = i * step;
                printed = static_cast<int>(y[at]) + m[at] + c[at] > limit;
            }
        }
        if (printed) {
            if (w < Wpspf)
                Wpspf = w;
            if (w > Wpspl)
                Wpspl = w;
        }
    }
    updateInvariantByColumnNext(w, h0, count, y, m, c, step, scratch);
}

void GdInvariantPspProcessor::resetCounters()
{
    Wpspf = mediaWidth;
    Wpspl = -1;
    resetCountersNext();
}

char* GdInvariantPspProcessor::getInvariant()
{
    int xs, xe;
    if (pspMgt == TavGdiOptions::OptionCustom) {
        xs = globalPspXS;
        xe = globalPspXE;
    } else {
        xs = Wpspf;
        xe = Wpspl == -1 ? xs : Wpspl;
    }
    const char* cmd1 = pspCmd1 != nullptr ? pspCmd1 : "";
    InternalLog::print(L"[TAVRIN UNIDRIVER][GdInvariantPspProcessor::getInvariant] %S - Mgt : %d - Value : xs:%ld\r\n",
                       cmd1, pspMgt, (long)xs);
    if (pspCmd2 != nullptr)
        InternalLog::print(
            L"[TAVRIN UNIDRIVER][GdInvariantPspProcessor::getInvariant] %S - Mgt : %d - Value : xe:%ld\r\n", pspCmd2,
            pspMgt, (long)xe);

    char* text = output;
    output[0] = '\0';
    if (pspCmd1 != nullptr && (pspMgt == TavGdiOptions::OptionAuto || pspMgt == TavGdiOptions::OptionCustom)) {
        if (pspCmd2 != nullptr)
            text = formatOwn(output, "\x1b%s;%d\r\x1b%s;%d\r", pspCmd1, xs, pspCmd2, xe);
        else
            text = formatOwn(output, "\x1b%s;%d\r", pspCmd1, xs);
    }
    return getInvariantNext(text);
}

} // namespace tavgdi
