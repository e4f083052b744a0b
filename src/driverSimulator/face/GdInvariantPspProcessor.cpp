#include "face/GdInvariantPspProcessor.h"

#include "InternalLog.h"
#include "OptionsDefinition.h"
#include "image/IPixel.h"

namespace tavgdi {

GdInvariantPspProcessor::GdInvariantPspProcessor(const char* pspCmd1_, const char* pspCmd2_, int pspMgt_,
                                                 int globalPspXS_, int globalPspXE_, int blackThreshold_,
                                                 int whiteThreshold_, dword mediaW, IGDInvariantProcessor* p)
    : GenericCompositeInvariantProcessor(p), isOverlay(false), whiteThreshold(whiteThreshold_),
      blackThreshold(blackThreshold_), x(globalPspXS_, mediaW, globalPspXE_), y(0, 0, 0), pspMgt(pspMgt_),
      globalPspXE(globalPspXE_), globalPspYE(0), pspCmd1(pspCmd1_), pspCmd2(pspCmd2_)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +GdInvariantPspProcessor (%lx)\r\n", LOGPTR(this));
    output[0] = '\0';
    InternalLog::print(L"[TAVRIN UNIDRIVER][GdInvariantPspProcessor::GdInvariantPspProcessor] k:%d w:%d pspxs:%d "
                       L"pspxe:%d mediaW:%lu endLimitShitfX:%lu\r\n",
                       blackThreshold, whiteThreshold, x.from, globalPspXE, (unsigned long)mediaW,
                       (unsigned long)x.end);
}

GdInvariantPspProcessor::GdInvariantPspProcessor(int pspMgt_, int xs, int xe, int ys, int ye, int blackThreshold_,
                                                 int whiteThreshold_, dword mediaW, dword mediaH,
                                                 IGDInvariantProcessor* p)
    : GenericCompositeInvariantProcessor(p), isOverlay(true), whiteThreshold(whiteThreshold_),
      blackThreshold(blackThreshold_), x(xs, mediaW, xe), y(ys, mediaH, ye), pspMgt(pspMgt_), globalPspXE(xe),
      globalPspYE(ye), pspCmd1(nullptr), pspCmd2(nullptr)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +GdInvariantPspOverlayProcessor (%lx)\r\n", LOGPTR(this));
    output[0] = '\0';
    InternalLog::print(L"[TAVRIN UNIDRIVER][GdInvariantPspOverlayProcessor::GdInvariantPspOverlayProcessor] k:%d w:%d "
                       L"pspxs:%d pspxe:%d pspys:%d pspye:%d mediaW:%lu mediaH:%lu endLimitShitfX:%lu "
                       L"endLimitShitfY:%lu\r\n",
                       blackThreshold, whiteThreshold, xs, xe, ys, ye, (unsigned long)mediaW, (unsigned long)mediaH,
                       (unsigned long)x.end, (unsigned long)y.end);
}

GdInvariantPspProcessor::~GdInvariantPspProcessor()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -%ls (%lx)\r\n", name(), LOGPTR(this));
}

const wchar_t* GdInvariantPspProcessor::name() const
{
    return isOverlay ? L"GdInvariantPspOverlayProcessor" : L"GdInvariantPspProcessor";
}

void GdInvariantPspProcessor::updateInvariantByPixel(int w, int h, IPixel* pixel)
{
    if (pixel == nullptr)
        return;
    if (pspMgt != TavGdiOptions::OptionCustom) {
        const bool inX = x.holds(w);
        const bool inY = y.holds(h);
        if ((inX || inY) && static_cast<int>(pixel->getY()) + pixel->getM() + pixel->getC() > 3LL * whiteThreshold) {
            if (inX)
                x.add(w);
            if (inY)
                y.add(h);
        }
    }
    updateInvariantByPixelNext(w, h, pixel);
}

void GdInvariantPspProcessor::updateInvariantByColumn(int w, int h0, int count, const byte* yp, const byte* mp,
                                                      const byte* cp, ptrdiff_t step, IPixel* scratch)
{
    if (pspMgt != TavGdiOptions::OptionCustom && count > 0) {
        const ColumnInk column(yp, mp, cp, count, step, 3LL * whiteThreshold);
        // The rows of the column inside the measured band: only the first
        // and the last printed one count. The whole column shares w: one
        // printed dot is enough for it.
        const long long first = y.from > h0 ? y.from - h0 : 0;
        const long long end = static_cast<long long>(y.end) - h0 < count ? static_cast<long long>(y.end) - h0 : count;
        bool printedInX = false;
        const long long i = column.firstIn(first, end);
        if (i < end) {
            y.add(static_cast<int>(h0 + i));
            y.add(static_cast<int>(h0 + column.lastIn(i, end)));
            printedInX = x.holds(w);
        } else if (x.holds(w)) {
            // Nothing printed in the band: look at the rest of the column,
            // the dots before the band and those after it.
            const long long before = first < count ? first : count;
            const long long after = end > 0 ? end : 0;
            printedInX = column.firstIn(0, before) < before || column.firstIn(after, count) < count;
        }
        if (printedInX)
            x.add(w);
    }
    updateInvariantByColumnNext(w, h0, count, yp, mp, cp, step, scratch);
}

void GdInvariantPspProcessor::resetCounters()
{
    x.reset();
    y.reset();
    resetCountersNext();
}

char* GdInvariantPspProcessor::getInvariant()
{
    const bool isCustom = pspMgt == TavGdiOptions::OptionCustom;
    const int xs = isCustom ? x.from : x.first;
    const int xe = isCustom ? globalPspXE : x.stop();
    const int ys = isCustom ? y.from : y.first;
    const int ye = isCustom ? globalPspYE : y.stop();
    const bool isSent = pspMgt == TavGdiOptions::OptionAuto || pspMgt == TavGdiOptions::OptionCustom;
    char* text = output;
    output[0] = '\0';
    if (isOverlay) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][GdInvariantPspOverlayProcessor::getInvariant] Pspolc - Mgt : %d - "
                           L"Value : xs:%ld xe:%ld ys:%ld ye:%ld\r\n",
                           pspMgt, (long)xs, (long)xe, (long)ys, (long)ye);
        if (isSent)
            text = formatOwn(output, "\x1bPspolc;x;s;%d\r\x1bPspolc;x;e;%d\r\x1bPspolc;y;s;%d\r\x1bPspolc;y;e;%d\r", xs,
                             xe, ys, ye);
        return getInvariantNext(text);
    }
    const char* cmd1 = pspCmd1 != nullptr ? pspCmd1 : "";
    InternalLog::print(L"[TAVRIN UNIDRIVER][GdInvariantPspProcessor::getInvariant] %S - Mgt : %d - Value : xs:%ld\r\n",
                       cmd1, pspMgt, (long)xs);
    if (pspCmd2 != nullptr)
        InternalLog::print(
            L"[TAVRIN UNIDRIVER][GdInvariantPspProcessor::getInvariant] %S - Mgt : %d - Value : xe:%ld\r\n", pspCmd2,
            pspMgt, (long)xe);
    if (pspCmd1 != nullptr && isSent) {
        if (pspCmd2 != nullptr)
            text = formatOwn(output, "\x1b%s;%d\r\x1b%s;%d\r", pspCmd1, xs, pspCmd2, xe);
        else
            text = formatOwn(output, "\x1b%s;%d\r", pspCmd1, xs);
    }
    return getInvariantNext(text);
}

} // namespace tavgdi
