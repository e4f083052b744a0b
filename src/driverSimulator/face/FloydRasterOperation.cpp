#include "face/RasterOperations.h"

#include <cstring>

#include "Allocator.h"
#include "InternalLog.h"
#include "face/HalftoneWalk.h"
#include "MediaDefinition.h"
#include "image/IGDataSupervisor.h"
#include "image/IPixel.h"

namespace tavgdi {

namespace {

// Spare entries past the last column: they absorb the error pushed to the
// right of the row and are never read.
const dword spareEntries = 16;

int* allocRow(dword entries)
{
    return reinterpret_cast<int*>(Allocator::alloc(entries * static_cast<dword>(sizeof(int))));
}

void freeRow(int* row)
{
    Allocator::desalloc(reinterpret_cast<byte*>(row));
}

} // namespace

const RasterKind floydDiffusion = {
    "FloydRasterOperation",  true, false, false, false, false, RasterKind::Silent, RasterKind::NullMedia, nullptr,
    &RasterJob::diffuseError};

bool RasterJob::diffuseError() const
{
    const dword hmax = H;
    const dword wmax = W;
    // A width whose rows cannot be sized in 32 bits is an allocation failure.
    const bool isSizable = wmax <= (0xFFFFFFFFu / sizeof(int)) - spareEntries;
    const dword errorDim = wmax + spareEntries;
    int* Error = isSizable ? allocRow(errorDim) : nullptr;
    int* NextError = isSizable ? allocRow(errorDim) : nullptr;
    if (Error == nullptr || NextError == nullptr) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][FloydRasterOperation::apply] ERROR - Allocation Error - return "
                           L"false\r\n");
        freeRow(Error);
        freeRow(NextError);
        return false;
    }
    const size_t rowBytes = static_cast<size_t>(errorDim) * sizeof(int);
    std::memset(Error, 0, rowBytes);
    std::memset(NextError, 0, rowBytes);

    // Integer division rounds toward zero; what it leaves goes below right
    // with the nominal 1/16.
    auto diffuse = [&](dword w, int Cerror) {
        const int CE3 = Cerror * 3 / 16;
        const int CE5 = Cerror * 5 / 16;
        const int CE7 = Cerror * 7 / 16;
        const int CE1 = Cerror - CE3 - CE5 - CE7;
        NextError[w] += CE5;
        Error[w + 1] += CE7;
        NextError[w + 1] += CE1;
        if (w > 0)
            NextError[w - 1] += CE3;
    };
    auto step = [&](dword w, dword h) {
        IPixel* p =
            s->getPixel(static_cast<int>(Wtransform(w, h, wmax, hmax)), static_cast<int>(Htransform(w, h, wmax, hmax)));
        if (p == nullptr)
            return;
        const int gray = static_cast<int>(p->getC()) + Error[w];
        int k = 0;
        if (gray > 127) {
            k = 255;
            p->set(false); // printed
        } else {
            p->set(true); // stays white
        }
        const int x = static_cast<int>(w);
        const int y = static_cast<int>(h);
        t->setPixel(x, y, op(t->getPixel(x, y), p));
        diffuse(w, gray - k);
    };

    // A gray picture into a one-bit panel, both of known layout: raw loops
    // for every dot but the very last, which goes through step so that the
    // picture's shared pixel ends as the dot-by-dot loop leaves it.
    const RasterAccess from(s);
    const RasterAccess to(t);
    AffineAxis X, Y, sw, sh, tw, th;
    bool bits[2] = {false, false};
    const bool isFast = wmax > 0 && hmax > 0 && this->isFast(FastKernels::ErrorDiffusion, from, to, X, Y) &&
                        from.coversAll(X, Y, 0, wmax, 0, hmax) && halftoneInk(op, to.inkBit(), false, bits[0]) &&
                        halftoneInk(op, to.inkBit(), true, bits[1]);
    if (isFast) {
        from.storageAxes(X, Y, sw, sh);
        to.storageAxes(AffineAxis{1, 0, 0}, AffineAxis{0, 1, 0}, tw, th);
    }
    const byte* src = from.data();
    byte* dst = to.data();
    const long long srcWidth = from.storedWidth();
    const long long srcStep = 3 * (sw.dw + srcWidth * sh.dw);

    for (dword h = 0; h < hmax; ++h) {
        const dword fastEnd = !isFast ? 0 : h + 1 < hmax ? wmax : wmax - 1;
        // The red byte holds 255 minus the cyan ink.
        long long in = 3 * (sw.at(0, h) + srcWidth * sh.at(0, h)) + 2;
        long long dotW = tw.at(0, h), dotH = th.at(0, h);
        // The error carried to the right and the two next-row entries still
        // being summed are kept in registers: p for w - 1, q for w. Each dot
        // then waits only for the one before it, not for a store and a load.
        int carry = fastEnd > 0 ? Error[0] : 0;
        int p = 0, q = NextError[0];
        for (dword w = 0; w < fastEnd; ++w, in += srcStep, dotW += tw.dw, dotH += th.dw) {
            const int gray = (255 - src[in]) + carry;
            const bool isWhite = !(gray > 127);
            const long long index = to.bitByte(dotW, dotH);
            if (index >= 0) {
                // Without a branch on the dot's value: a dithered panel has no
                // pattern a branch could learn.
                const unsigned mask = 0x80u >> (dotW & 7);
                const unsigned ink = mask & (0u - static_cast<unsigned>(bits[isWhite ? 1 : 0]));
                dst[index] = static_cast<byte>((dst[index] & ~mask) | ink);
            }
            // diffuse(), term by term.
            const int Cerror = gray - (isWhite ? 0 : 255);
            const int CE3 = Cerror * 3 / 16;
            const int CE5 = Cerror * 5 / 16;
            const int CE7 = Cerror * 7 / 16;
            const int CE1 = Cerror - CE3 - CE5 - CE7;
            if (w > 0) {
                NextError[w - 1] = p + CE3;
            }
            p = q + CE5;
            q = NextError[w + 1] + CE1;
            carry = Error[w + 1] + CE7;
        }
        if (fastEnd > 0) {
            // What the loop kept in registers, where diffuse() keeps it.
            NextError[fastEnd - 1] = p;
            NextError[fastEnd] = q;
            Error[fastEnd] = carry;
        }
        for (dword w = fastEnd; w < wmax; ++w)
            step(w, h);
        std::memcpy(Error, NextError, rowBytes);
        std::memset(NextError, 0, rowBytes);
    }

    freeRow(Error);
    freeRow(NextError);
    return true;
}

} // namespace tavgdi
