// A rectangle of dots on a face, with the black level to use inside it and
// the image band it came from. Coordinates are inclusive and never negative.
#pragma once

#include "Windows.h"

namespace tavgdi {

class GRect {
public:
    // Negative coordinates are stored as 0. A level of 0 means "keep the
    // current black level"; a band of -1 or 0 is not part of a band sequence.
    GRect(int l, int t, int r, int b, byte level, int imageBandID);
    GRect(const GRect&) = default;
    GRect& operator=(const GRect&) = default;
    virtual ~GRect();

    dword left;
    dword right;
    dword top;
    dword bottom;
    char blackLevel;
    int relativeImageBandID;
};

} // namespace tavgdi
