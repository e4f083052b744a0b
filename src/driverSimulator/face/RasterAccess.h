// Direct access to the bytes behind a data supervisor whose concrete types
// are known (the data supervisor with one of the three CR80 data managers),
// so that a raster operation can run its dot loop over raw buffers instead of
// a virtual getPixel/setPixel pair per dot. Each address computed here is the
// one the data manager itself would use for the same dot.
#pragma once

#include "GraphicalConstants.h"
#include "Windows.h"

namespace tavgdi {

class IGDataManager;
class IGDataMemoryManager;
class IGDataSupervisor;

// A coordinate that is affine in the dot (w, h) a raster operation visits:
// dw * w + dh * h + c.
struct AffineAxis {
    long long dw = 0;
    long long dh = 0;
    long long c = 0;

    long long at(long long w, long long h) const { return dw * w + dh * h + c; }
};

// The value of a projection (proj1, proj2, negLproj1, negLproj2) for an area
// of W x H dots; false for any other transform.
bool projectionAxis(GraphicalConstants::CoordinateTransform t, dword W, dword H, AffineAxis& out);

class RasterAccess {
public:
    enum Layout {
        None = 0,      // not a known supervisor: use the generic path
        YMCPlanes = 1, // CR80YMCManager: three planes, column by column
        BgrBitmap = 2, // CR80ColorBmpManager: three bytes per dot, no padding
        OneBit = 3,    // CR80MonoDataManager: rows of rowBytes bytes, MSB first
    };

    // Recognises the supervisor; layout() is None when it cannot be read raw.
    explicit RasterAccess(IGDataSupervisor* supervisor);
    // The data manager alone (no supervisor around it).
    explicit RasterAccess(IGDataManager* manager);

    Layout layout() const { return kind; }
    byte* data() const { return buffer; }
    unsigned long long size() const { return bufferSize; }

    // Storage coordinates of the manager's dot (X, Y) when X and Y are the
    // given axes (BgrBitmap and OneBit only): the manager's orientation
    // transform applied to affine axes.
    void storageAxes(const AffineAxis& X, const AffineAxis& Y, AffineAxis& sw, AffineAxis& sh) const;

    // True when every dot (X, Y) of the rectangle [w0, w1) x [h0, h1) (not
    // empty) is a dot the manager reads from its buffer (not a dot off the
    // image or beyond the buffer).
    bool coversAll(const AffineAxis& X, const AffineAxis& Y, long long w0, long long w1, long long h0,
                   long long h1) const;

    // YMCPlanes: dots (x, y) at x * columnLength + y of each plane.
    dword columnLength() const { return colLength; }
    dword planeSize() const { return area; }
    dword mediaWidth() const { return mediaW; }
    // BgrBitmap and OneBit: stored width and height.
    int storedWidth() const { return cardWidth; }
    int storedHeight() const { return cardHeight; }
    // OneBit: bytes per row and the value of the bit that means ink.
    int rowBytes() const { return rowLength; }
    bool inkBit() const { return isInkOne; }

    // OneBit: byte index of the stored dot (sw, sh), or -1 when the manager
    // ignores that dot (off the rows or beyond the buffer).
    long long bitByte(long long sw, long long sh) const
    {
        if (sw < 0 || sh < 0 || (sw >> 3) >= rowLength || sh >= cardHeight)
            return -1;
        const long long index = (sw >> 3) + static_cast<long long>(rowLength) * sh;
        return index < static_cast<long long>(bufferSize) ? index : -1;
    }

private:
    void recognise(Layout layout, IGDataManager* mgr, IGDataMemoryManager* mem);

    Layout kind = None;
    byte* buffer = nullptr;
    unsigned long long bufferSize = 0;
    GraphicalConstants::CardOrientation orientation = GraphicalConstants::Landscape;
    dword colLength = 0;
    dword mediaW = 0;
    dword area = 0;
    int cardWidth = 0;
    int cardHeight = 0;
    int rowLength = 0;
    bool isInkOne = false;
};

} // namespace tavgdi
