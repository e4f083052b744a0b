// Picture scaling for bitmaps that do not have the card's size: 24-bit rows
// padded to 4 bytes, or 1-bit rows padded to 32 bits, bottom row first.
#pragma once

#include <cstddef>

#include "Windows.h"

namespace resizers {

enum ResizeAlgorithms {
    WindowsInternal = 0,
    NearestNeighbour = 1,
    Unkown = 2,
};

// Scales pSrc (srcWidth x srcHeight) into a new picture of dstWidth x
// dstHeight stored in *pDst, owned by the caller (Allocator::desalloc). On
// failure *pDst is null.
bool resize(ResizeAlgorithms algorithm, byte* pSrc, int srcWidth, int srcHeight, bool isColor, byte** pDst,
            int dstWidth, int dstHeight);
bool resize_win(byte* pSrc, int srcWidth, int srcHeight, byte** pDst, int dstWidth, int dstHeight);
bool resize_nearest_neighbour_color(byte* pSrc, int srcWidth, int srcHeight, byte** pDst, int dstWidth, int dstHeight);
bool resize_nearest_neighbour_mono(byte* pSrc, int srcWidth, int srcHeight, byte** pDst, int dstWidth, int dstHeight);

// Dot x of row y in 1-bit rows of rowLength bytes, most significant bit first.
inline int getMonoPixel(int x, int y, int rowLength, const byte* buffer)
{
    const byte b = buffer[static_cast<size_t>(y) * static_cast<size_t>(rowLength) + static_cast<size_t>(x >> 3)];
    return (b >> (7 - (x & 7))) & 1;
}

inline void setMonoPixel(int x, int y, int rowLength, byte* buffer, int value)
{
    if (buffer == nullptr)
        return;
    byte& b = buffer[static_cast<size_t>(y) * static_cast<size_t>(rowLength) + static_cast<size_t>(x >> 3)];
    const byte mask = static_cast<byte>(0x80 >> (x & 7));
    if (value != 0)
        b = static_cast<byte>(b | mask);
    else
        b = static_cast<byte>(b & ~mask);
}

} // namespace resizers
