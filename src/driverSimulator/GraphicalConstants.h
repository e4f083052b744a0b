// Card orientation and the small pure helpers that map coordinates between a
// picture, the card and the panels. No state, no logging.
#pragma once

#include "Windows.h"

namespace tavgdi {
class GRect;
}

namespace GraphicalConstants {

// A "Flip" orientation is its base orientation turned by 180 degrees.
enum CardOrientation : int {
    Landscape = 0,
    LandscapeFlip = 1,
    Portrait = 2,
    PortraitFlip = 3,
};

// Projection of a dot (x1, x2) in an area of xmax x ymax dots onto one source
// coordinate. Raster operations take them in pairs (pr1, pr2).
typedef dword (*CoordinateTransform)(dword x1, dword x2, dword xmax, dword ymax);

// Every printer command is framed by ESC ... CR.
constexpr char BeginCommandChar = 27;
constexpr char EndCommandChar = 13;

inline dword dwmin(dword a, dword b)
{
    return a < b ? a : b;
}

inline dword dwmax(dword a, dword b)
{
    return a > b ? a : b;
}

// Clamp with unsigned comparisons: a negative value counts as very large and
// yields maxVal.
inline dword clipControl(int val, int minVal, int maxVal)
{
    return dwmin(dwmax(static_cast<dword>(minVal), static_cast<dword>(val)), static_cast<dword>(maxVal));
}

// The projections run per dot; they stay inline here and still decay to
// CoordinateTransform pointers. Subtractions are unsigned 32-bit.
inline dword proj1(dword x1, dword /*x2*/, dword /*xmax*/, dword /*ymax*/)
{
    return x1;
}

inline dword proj2(dword /*x1*/, dword x2, dword /*xmax*/, dword /*ymax*/)
{
    return x2;
}

inline dword negLproj1(dword x1, dword /*x2*/, dword xmax, dword /*ymax*/)
{
    return xmax - x1 - 1;
}

inline dword negLproj2(dword /*x1*/, dword x2, dword /*xmax*/, dword ymax)
{
    return ymax - x2 - 1;
}

// Storage coordinates (*w, *h) of the card dot (W, H) in an area of
// Wmax x Hmax dots. Null outputs are left alone.
void orientationTransform(CardOrientation cardOrientation, int* w, int* h, int W, int H, int Wmax, int Hmax);

// Moves a rectangle given in page coordinates into the storage orientation of
// a mediaWidth x mediaHeight panel, in place. The result is ordered and lies
// on the media; blackLevel and relativeImageBandID are kept.
void orientationTransform(CardOrientation cardOrientation, tavgdi::GRect* rect, dword mediaWidth, dword mediaHeight);

// Sets bit number bit (0 = least significant) of *target when value is
// non-zero and clears it otherwise. False for a null target or a bit number
// outside 0..7 (the target is then unchanged).
inline bool setbit(byte value, int bit, byte* target)
{
    if (target == nullptr || bit < 0 || bit > 7)
        return false;
    const byte mask = static_cast<byte>(1u << bit);
    *target = value != 0 ? static_cast<byte>(*target | mask) : static_cast<byte>(*target & ~mask);
    return true;
}

// The orientation with its flip state set to isFlipped; unknown values are
// returned unchanged.
CardOrientation UpdateOrientation(CardOrientation orientation, bool isFlipped);

} // namespace GraphicalConstants
