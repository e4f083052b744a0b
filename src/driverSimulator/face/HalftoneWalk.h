// The raw-buffer walk shared by the ordered halftoning operations: a gray
// picture (24-bit bitmap) into a one-bit panel, each dot white or printed by
// a rule on its ink amount and position.
#pragma once

#include <type_traits>

#include "face/PixelOperation.h"
#include "face/RasterAccess.h"
#include "face/RasterOperations.h"
#include "face/RectWalk.h"
#include "image/IGDataSupervisor.h"
#include "image/IPixel.h"

namespace tavgdi {

// What a panel dot becomes when the picture dot was judged white or not:
// the picture's shared pixel is set to white (set(true), full ink on all
// three) or printed (set(false)), then op stores it through the panel's
// data manager. False when op is not one of the two pixel operations known
// here.
inline bool halftoneInk(PixelOperation::PixelOp op, bool inkBit, bool isWhite, bool& bit)
{
    // A pixel of ink v on all three is black when v reaches the black level.
    const bool isBlack = (isWhite ? 255 : 0) >= static_cast<int>(IPixel::getBlackLevel());
    bool storedBlack;
    if (op == &PixelOperation::copyColorBW)
        storedBlack = !isBlack;
    else if (op == &PixelOperation::copy)
        storedBlack = isBlack;
    else
        return false;
    bit = storedBlack == inkBit;
    return true;
}

// Runs the job's walk over picture -> panel with isWhite(w, h, c) deciding each dot
// from its cyan ink c, when both supervisors are of known layout; step is the
// operation's own dot step, used for the dots the raw loops cannot take.
// False (nothing done) when the raw path does not apply.
template <class IsWhite, class Step>
bool halftoneWalk(const RasterJob& job, FastKernels::Operation operation, IsWhite&& isWhite, Step&& step)
{
    const RasterAccess from(job.s);
    const RasterAccess to(job.t);
    AffineAxis X, Y;
    bool bits[2];
    if (!job.isFast(operation, from, to, X, Y) || !halftoneInk(job.op, to.inkBit(), false, bits[0]) ||
        !halftoneInk(job.op, to.inkBit(), true, bits[1]))
        return false;
    AffineAxis sw, sh, tw, th;
    from.storageAxes(X, Y, sw, sh);
    to.storageAxes(AffineAxis{1, 0, 0}, AffineAxis{0, 1, 0}, tw, th);
    // The rule as a value of the loops' own: what it holds stays in
    // registers across their stores.
    const std::decay_t<IsWhite> rule(isWhite);
    const byte* src = from.data();
    const long long srcWidth = from.storedWidth();
    const long long srcStep = 3 * (sw.dh + srcWidth * sh.dh);
    byte* dst = to.data();
    // A panel stored turned (the black panel): a column of the walk is a run
    // of neighbouring bits of one panel row.
    const bool isRowRun = th.dh == 0 && (tw.dh == 1 || tw.dh == -1);
    auto column = [&](dword w, dword h0, dword h1) {
        // The red byte holds 255 minus the cyan ink.
        long long in = 3 * (sw.at(w, h0) + srcWidth * sh.at(w, h0)) + 2;
        long long dotW = tw.at(w, h0), dotH = th.at(w, h0);
        const long long lastW = tw.at(w, h1 - 1);
        if (isRowRun && h1 > h0 && to.bitByte(dotW, dotH) >= 0 && to.bitByte(lastW, dotH) >= 0) {
            // The bits of a byte are gathered, then the byte stored once.
            byte* row = dst + to.bitByte(0, dotH);
            const bool isForward = tw.dh > 0;
            for (dword h = h0; h < h1;) {
                const long long at = dotW >> 3;
                const dword inByte = static_cast<dword>(isForward ? 8 - (dotW & 7) : (dotW & 7) + 1);
                const dword n = inByte < h1 - h ? inByte : h1 - h;
                unsigned value = row[at];
                unsigned mask = 0x80u >> (dotW & 7);
                // One loop per direction, the direction a constant of each.
                auto gather = [&](auto forward) {
                    for (dword k = 0; k < n; ++k, in += srcStep) {
                        const int c = 255 - src[in];
                        const unsigned ink = bits[rule(w, h + k, c) ? 1 : 0] ? mask : 0u;
                        value = (value & ~mask) | ink;
                        mask = forward ? mask >> 1 : mask << 1;
                    }
                };
                if (isForward)
                    gather(std::true_type());
                else
                    gather(std::false_type());
                row[at] = static_cast<byte>(value);
                dotW += isForward ? static_cast<long long>(n) : -static_cast<long long>(n);
                h += n;
            }
            return;
        }
        for (dword h = h0; h < h1; ++h, in += srcStep, dotW += tw.dh, dotH += th.dh) {
            const int c = 255 - src[in];
            const long long index = to.bitByte(dotW, dotH);
            if (index < 0)
                continue;
            const byte mask = static_cast<byte>(0x80u >> (dotW & 7));
            if (bits[rule(w, h, c) ? 1 : 0])
                dst[index] = static_cast<byte>(dst[index] | mask);
            else
                dst[index] = static_cast<byte>(dst[index] & ~mask);
        }
    };
    // Each dot is decided by its own ink and position: the walk goes in
    // bands of 64 rows, so that a picture read across its rows for each
    // column is read from cache.
    const dword tileW = 16, tileH = 64;
    job.walk->forEachDotInTiles(
        tileW, tileH, [&](dword w0, dword w1, dword h0, dword h1) { return from.coversAll(X, Y, w0, w1, h0, h1); },
        [&](dword w0, dword h0) {
            for (dword w = w0; w < w0 + tileW; ++w)
                column(w, h0, h0 + tileH);
        },
        column, step);
    return true;
}

// An ordered halftoning: each dot of the job white or printed as
// isWhite(w, h, c) says from its cyan ink c, by the raw loops when they
// apply, else dot by dot (the picture's shared pixel set, then stored
// through op).
template <class IsWhite>
bool halftone(const RasterJob& job, FastKernels::Operation operation, IsWhite&& isWhite)
{
    auto step = [&](dword w, dword h) {
        IPixel* p = job.s->getPixel(static_cast<int>(job.Wtransform(w, h, job.W, job.H)),
                                    static_cast<int>(job.Htransform(w, h, job.W, job.H)));
        if (p == nullptr)
            return;
        p->set(isWhite(w, h, static_cast<int>(p->getC())));
        const int x = static_cast<int>(w);
        const int y = static_cast<int>(h);
        job.t->setPixel(x, y, job.op(job.t->getPixel(x, y), p));
    };
    if (!halftoneWalk(job, operation, isWhite, step))
        job.walk->forEachDot(step);
    return true;
}

} // namespace tavgdi
