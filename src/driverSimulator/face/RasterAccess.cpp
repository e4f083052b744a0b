#include "face/RasterAccess.h"

#include <algorithm>

#include "MediaDefinition.h"
#include "face/FastKernels.h"
#include "image/CR80MonoDataManager.h"
#include "image/IGDataMemoryManager.h"

namespace tavgdi {

using namespace GraphicalConstants;

bool projectionAxis(CoordinateTransform t, dword W, dword H, AffineAxis& out)
{
    out = AffineAxis();
    if (t == &proj1) {
        out.dw = 1;
    } else if (t == &proj2) {
        out.dh = 1;
    } else if (t == &negLproj1) {
        out.dw = -1;
        out.c = static_cast<long long>(W) - 1;
    } else if (t == &negLproj2) {
        out.dh = -1;
        out.c = static_cast<long long>(H) - 1;
    } else {
        return false;
    }
    return true;
}

RasterAccess::RasterAccess(IGDataSupervisor* supervisor)
{
    IGDataManager* mgr = nullptr;
    IGDataMemoryManager* mem = nullptr;
    const Layout layout = FastKernels::layoutOf(supervisor, mgr, mem);
    recognise(layout, mgr, mem);
}

RasterAccess::RasterAccess(IGDataManager* manager)
{
    IGDataMemoryManager* mem = nullptr;
    const Layout layout = FastKernels::layoutOf(manager, mem);
    recognise(layout, manager, mem);
}

void RasterAccess::recognise(Layout layout, IGDataManager* mgr, IGDataMemoryManager* mem)
{
    if (layout == None)
        return;
    byte* bytes = mem->getBuffer(0);
    if (bytes == nullptr)
        return;
    const unsigned long long bytesSize = mem->getSize();
    MediaDefinition* media = mgr->getMedia();
    if (media == nullptr)
        return;

    if (layout == YMCPlanes) {
        colLength = media->getHeight();
        mediaW = media->getWidth();
        area = media->getArea();
        // Every dot of the three planes must lie in the buffer.
        if (bytesSize < 3ull * area || static_cast<unsigned long long>(colLength) * mediaW != area)
            return;
        kind = YMCPlanes;
    } else if (layout == BgrBitmap) {
        cardWidth = static_cast<int>(mgr->getWidth());
        cardHeight = static_cast<int>(mgr->getHeight());
        if (cardWidth <= 0 || cardHeight <= 0 ||
            bytesSize < 3ull * static_cast<unsigned long long>(cardWidth) * static_cast<unsigned long long>(cardHeight))
            return;
        kind = BgrBitmap;
    } else {
        CR80MonoDataManager* mono = static_cast<CR80MonoDataManager*>(mgr);
        cardWidth = static_cast<int>(mono->getWidth());
        cardHeight = static_cast<int>(mono->getHeight());
        rowLength = mono->getRowBytes();
        isInkOne = mono->getWhiteValue() == 0;
        if (cardWidth < 0 || cardHeight < 0 || rowLength < 0)
            return;
        kind = OneBit;
    }
    orientation = mgr->getOrientation();
    buffer = bytes;
    bufferSize = bytesSize;
}

void RasterAccess::storageAxes(const AffineAxis& X, const AffineAxis& Y, AffineAxis& sw, AffineAxis& sh) const
{
    // The data managers' orientationTransform, term by term.
    auto mirror = [](const AffineAxis& a, long long max) {
        AffineAxis m;
        m.dw = -a.dw;
        m.dh = -a.dh;
        m.c = max - 1 - a.c;
        return m;
    };
    switch (orientation) {
    case Landscape:
        sw = X;
        sh = mirror(Y, cardHeight);
        break;
    case LandscapeFlip:
        sw = mirror(X, cardWidth);
        sh = Y;
        break;
    case Portrait:
        sw = mirror(Y, cardWidth);
        sh = mirror(X, cardHeight);
        break;
    case PortraitFlip:
    default:
        sw = Y;
        sh = X;
        break;
    }
}

bool RasterAccess::coversAll(const AffineAxis& X, const AffineAxis& Y, long long w0, long long w1, long long h0,
                             long long h1) const
{
    if (w0 >= w1 || h0 >= h1)
        return false;
    // Affine axes reach their extremes at the corners.
    auto range = [&](const AffineAxis& a, long long& lo, long long& hi) {
        const long long v[4] = {a.at(w0, h0), a.at(w1 - 1, h0), a.at(w0, h1 - 1), a.at(w1 - 1, h1 - 1)};
        lo = *std::min_element(v, v + 4);
        hi = *std::max_element(v, v + 4);
    };
    long long xlo, xhi, ylo, yhi;
    switch (kind) {
    case YMCPlanes:
        range(X, xlo, xhi);
        range(Y, ylo, yhi);
        return xlo >= 0 && xhi < static_cast<long long>(mediaW) && ylo >= 0 && yhi < static_cast<long long>(colLength);
    case BgrBitmap:
    case OneBit: {
        AffineAxis sw, sh;
        storageAxes(X, Y, sw, sh);
        range(sw, xlo, xhi);
        range(sh, ylo, yhi);
        if (xlo < 0 || ylo < 0 || yhi >= cardHeight)
            return false;
        if (kind == BgrBitmap)
            return xhi < cardWidth;
        return (xhi >> 3) < rowLength && bitByte(xhi, yhi) >= 0;
    }
    default:
        return false;
    }
}

} // namespace tavgdi
