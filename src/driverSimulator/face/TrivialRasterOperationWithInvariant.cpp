#include "face/RasterOperations.h"

#include <cstring>
#include <vector>

#include "InternalLog.h"
#include "MediaDefinition.h"
#include "face/IGDInvariantProcessor.h"
#include "face/RasterAccess.h"
#include "face/RectWalk.h"
#include "image/ColorPixel.h"
#include "image/IGDataSupervisor.h"

namespace tavgdi {

namespace {

// bits[i] for byte i: eight bytes, 255 for each bit set, in memory order the
// dots from the byte's first bit (0x80) to its last, or the other way.
struct BitBytes {
    unsigned long long forward[256];
    unsigned long long backward[256];
    BitBytes()
    {
        for (int b = 0; b < 256; ++b) {
            forward[b] = backward[b] = 0;
            for (int k = 0; k < 8; ++k) {
                if (b & (0x80 >> k))
                    forward[b] |= 0xFFull << (8 * k);
                if (b & (1 << k))
                    backward[b] |= 0xFFull << (8 * k);
            }
        }
    }
};

// count dots of a one-bit row from dot `dot` on, forwards (dot, dot + 1, ...)
// or backwards, as one byte each: ink for a bit set, 255 - ink otherwise.
void expandBits(const byte* row, long long dot, bool isForward, dword count, byte ink, byte* out)
{
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    static const BitBytes table;
#endif
    const unsigned long long flip = ink == 255 ? 0 : ~0ull;
    auto one = [&](long long d) { return ((row[d >> 3] >> (7 - (d & 7))) & 1) ? ink : byte(255 - ink); };
    // Dot by dot up to a whole byte, then eight at a time.
    const long long edge = isForward ? 0 : 7;
    while (count != 0 && (dot & 7) != edge) {
        *out++ = one(dot);
        dot += isForward ? 1 : -1;
        --count;
    }
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    const unsigned long long* bytes = isForward ? table.forward : table.backward;
    for (; count >= 8; count -= 8, out += 8) {
        const unsigned long long v = bytes[row[dot >> 3]] ^ flip;
        memcpy(out, &v, 8);
        dot += isForward ? 8 : -8;
    }
#else
    (void)flip;
#endif
    for (; count != 0; --count) {
        *out++ = one(dot);
        dot += isForward ? 1 : -1;
    }
}

void announce(ILGRectIterator* riter)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][TrivialRasterOperationWithInvariant::apply] TrivialLGRectIterator \tPTR: "
                       L"%lx\r\n",
                       LOGPTR(riter));
}

} // namespace

const RasterKind measureWithInvariant = {"TrivialRasterOperationWithInvariant",
                                         false,
                                         true,
                                         false,
                                         false,
                                         true,
                                         RasterKind::Silent,
                                         RasterKind::NullParameter,
                                         announce,
                                         &RasterJob::measure};

bool RasterJob::measure() const
{
    invariant->resetCounters();
    ColorPixel currentSrcPxl(0, 0, 0);
    auto step = [&](dword w, dword h) {
        t->getPixel(static_cast<int>(Wtransform(w, h, W, H)), static_cast<int>(Htransform(w, h, W, H)), &currentSrcPxl);
        invariant->updateInvariantByPixel(static_cast<int>(w), static_cast<int>(h), &currentSrcPxl);
    };

    // A panel of known layout is measured column by column from its bytes.
    // The rectangles walked are kept, should the measure have to be taken
    // again dot by dot.
    AffineAxis X, Y;
    const RasterAccess panel(t);
    const bool known = isFast(FastKernels::PanelMeasure, panel, panel, X, Y);
    std::vector<GRect> walked;
    auto covers = [&](dword w0, dword w1, dword h0, dword h1) {
        walked.push_back(
            GRect(static_cast<int>(w0), static_cast<int>(h0), static_cast<int>(w1), static_cast<int>(h1), 0, -1));
        return panel.coversAll(X, Y, w0, w1, h0, h1);
    };
    if (known && panel.layout() == RasterAccess::YMCPlanes) {
        const byte* yPlane = panel.data();
        const byte* mPlane = yPlane + panel.planeSize();
        const byte* cPlane = mPlane + panel.planeSize();
        const long long columnLength = panel.columnLength();
        const ptrdiff_t stride = static_cast<ptrdiff_t>(X.dh * columnLength + Y.dh);
        walk->forEachDotFast(
            covers,
            [&](dword w, dword h0, dword h1) {
                const size_t at = static_cast<size_t>(X.at(w, h0) * columnLength + Y.at(w, h0));
                invariant->updateInvariantByColumn(static_cast<int>(w), static_cast<int>(h0), static_cast<int>(h1 - h0),
                                                   yPlane + at, mPlane + at, cPlane + at, stride, &currentSrcPxl);
            },
            step);
    } else if (known && panel.layout() == RasterAccess::OneBit) {
        // Each dot reads as full ink on all three or none.
        AffineAxis sw, sh;
        panel.storageAxes(X, Y, sw, sh);
        const byte* bits = panel.data();
        const bool inkBit = panel.inkBit();
        std::vector<byte> column(H);
        walk->forEachDotFast(
            covers,
            [&](dword w, dword h0, dword h1) {
                long long dotW = sw.at(w, h0), dotH = sh.at(w, h0);
                const byte ink = inkBit ? 255 : 0;
                byte* out = column.data();
                if (sh.dh == 0 && (sw.dh == 1 || sw.dh == -1)) {
                    // The column runs along one stored row.
                    expandBits(bits + panel.bitByte(0, dotH), dotW, sw.dh > 0, h1 - h0, ink, out);
                } else if (sh.dh == 0) {
                    const byte* row = bits + panel.bitByte(0, dotH);
                    for (dword n = h1 - h0; n != 0; --n, dotW += sw.dh)
                        *out++ = ((row[dotW >> 3] >> (7 - (dotW & 7))) & 1) ? ink : byte(255 - ink);
                } else {
                    for (dword h = h0; h < h1; ++h, dotW += sw.dh, dotH += sh.dh) {
                        const bool bit = (bits[panel.bitByte(dotW, dotH)] & (0x80u >> (dotW & 7))) != 0;
                        *out++ = bit == inkBit ? 255 : 0;
                    }
                }
                invariant->updateInvariantByColumn(static_cast<int>(w), static_cast<int>(h0), static_cast<int>(h1 - h0),
                                                   column.data(), column.data(), column.data(), 1, &currentSrcPxl);
            },
            step);
    } else {
        walk->forEachDot(step);
    }
    if (!invariant->isMeasureExact()) {
        invariant->resetCounters();
        for (const GRect& r : walked)
            for (dword w = static_cast<dword>(r.left); w < static_cast<dword>(r.right); ++w)
                for (dword h = static_cast<dword>(r.top); h < static_cast<dword>(r.bottom); ++h)
                    step(w, h);
    }
    return true;
}

} // namespace tavgdi
