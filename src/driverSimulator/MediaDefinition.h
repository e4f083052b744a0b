// The card one face is printed on: its size in dots at the job's resolution,
// derived from lengths given at 300 dpi, and the byte sizes of the buffers
// that hold one face. Also the row-width and 7-bit packing arithmetic.
#pragma once

#include "GraphicalConstants.h"
#include "Windows.h"

namespace tavgdi {

class MediaDefinition {
public:
    // Card lengths in dots at the standard resolution (StdDpi).
    static const dword CR80Width = 1016;
    static const dword CR80Height = 648;
    static const dword CR109X54Width = 1296;
    static const dword CR109X54Height = 648;
    static const dword CR128X54Width = 1520;
    static const dword CR128X54Height = 648;
    static const dword CR140X54Width = 1664;
    static const dword CR140X54Height = 648;
    static const dword CR165X54Width = 1960;
    static const dword CR165X54Height = 648;
    static const dword CR210X54Width = 2488;
    static const dword CR210X54Height = 648;
    static const dword CR86X50Width = 1024;
    static const dword CR86X50Height = 600;
    static const dword CR109X50Width = 1296;
    static const dword CR109X50Height = 600;
    static const dword CR120X50Width = 1424;
    static const dword CR120X50Height = 600;
    static const dword CR128X50Width = 1520;
    static const dword CR128X50Height = 600;
    static const dword CR140X50Width = 1664;
    static const dword CR140X50Height = 600;
    static const dword CR150X50Width = 1784;
    static const dword CR150X50Height = 600;
    static const dword StdDpi = 300;
    // Largest card side accepted, in dots (the largest card of the size
    // table at 1200 dpi is 9952 dots wide).
    static const dword MaxCardSideDots = 10000;

    MediaDefinition(dword dpiX, dword dpiY, dword CRWidth, dword CRHeight);
    MediaDefinition(const MediaDefinition& other);
    MediaDefinition& operator=(const MediaDefinition&) = default;
    virtual ~MediaDefinition();

    // Stores the resolution and the card lengths at 300 dpi and recomputes
    // every derived size.
    void setResolution(dword dpiX, dword dpiY, dword CRWidth, dword CRHeight);

    dword getWidth() const { return _Width; }
    dword getHeight() const { return _Height; }
    dword getArea() const { return _Area; }
    dword getColorDataSize() const { return _ColorDataSize; }
    dword getMonochromeDataSize() const { return _MonochromeDataSize; }
    dword getDpiX() const { return _DpiX; }
    dword getDpiY() const { return _DpiY; }
    dword getCRWidth() const { return _CRWidth; }
    dword getCRHeight() const { return _CRHeight; }

    // Bytes of a face as a 1-bit bitmap with rows padded to 4 bytes.
    dword getBMPMonochromeDataSize() const;

    // True when the picture size is the card in landscape or portrait.
    // Otherwise the sizes and orientation are rewritten to the nearest card
    // setup (computeBestPageSetup) and the result is false.
    bool isCompatibleFormat(dword& width, dword& height, GraphicalConstants::CardOrientation& orientation);

    // Squared distance of (x, y) from the card size; saturates at INT32_MAX.
    int computeError(dword x, dword y) const;

    // Fits a picture size to the card in landscape (ties included) or portrait.
    void computeBestPageSetup(dword& width, dword& height, GraphicalConstants::CardOrientation& orientation);

    // Smallest multiple of 4 not below num (24-bit bitmap rows).
    static int Next4Multiple(int num);
    // Bytes of a 1-bit bitmap row padded to a 32-bit boundary.
    static int ComputeRWidth(int width);
    // Bytes taken by size 7-bit values packed together (whole groups of 8).
    static dword to7bits(dword size);
    // Length in dots at dpi of a length given at 300 dpi, rounded up.
    static dword ComputeLengthFromDpi(dword stdLength, dword dpi);
    // The same conversion with the divisor varMedia; 0 for a divisor of 0.
    static dword ComputeLengthFromDpiWithVarMedia(dword stdLength, dword dpi, dword varMedia);

private:
    typedef __int128 WideError;
    WideError squaredError(dword x, dword y) const;

    dword _Width;
    dword _Height;
    dword _Area;
    dword _ColorDataSize;
    dword _MonochromeDataSize;
    dword _DpiX;
    dword _DpiY;
    dword _CRWidth;
    dword _CRHeight;
};

} // namespace tavgdi
