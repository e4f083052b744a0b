#include "input/resizers.h"

#include <cstring>

#include "Allocator.h"
#include "InternalLog.h"
#include "MediaDefinition.h"

using tavgdi::Allocator;
using tavgdi::InternalLog;
using tavgdi::MediaDefinition;

namespace resizers {

namespace {

// The opening of a resize: the log line, the target buffer (rows of
// dstRowLength bytes) and the factors from target to source index; false
// when a dimension is not positive or the target would not fit in 32 bits.
bool prepare(const char* name, const char* depth, byte* pSrc, int srcWidth, int srcHeight, byte** pDst, int dstWidth,
             int dstHeight, unsigned long long dstRowLength, double& sx, double& sy)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][%s] (%s) ptr:%p srcW:%lu srcH:%lu dstW:%lu dstH:%lu\r\n", name, depth,
                       static_cast<void*>(pSrc), (unsigned long)srcWidth, (unsigned long)srcHeight,
                       (unsigned long)dstWidth, (unsigned long)dstHeight);
    if (pDst == nullptr)
        return false;
    *pDst = nullptr;
    if (pSrc == nullptr || srcWidth <= 0 || srcHeight <= 0 || dstWidth <= 0 || dstHeight <= 0)
        return false;
    const unsigned long long total = dstRowLength * static_cast<unsigned long long>(dstHeight);
    if (total == 0 || total > 0xFFFFFFFFull)
        return false;
    *pDst = Allocator::alloc(static_cast<dword>(total));
    if (*pDst == nullptr)
        return false;
    // Row padding is sent as it stands by the aligned copy: keep it defined.
    memset(*pDst, 0, static_cast<size_t>(total));
    sx = static_cast<double>(srcWidth) / dstWidth;
    sy = static_cast<double>(srcHeight) / dstHeight;
    return true;
}

// Source index of target index i; never reaches the source length, whatever
// the rounding of the factor.
inline int sourceIndex(int i, double factor, int srcLength)
{
    const int s = static_cast<int>(i * factor);
    return s < srcLength ? s : srcLength - 1;
}

} // namespace

bool resize(ResizeAlgorithms algorithm, byte* pSrc, int srcWidth, int srcHeight, bool isColor, byte** pDst,
            int dstWidth, int dstHeight)
{
    if (pDst != nullptr)
        *pDst = nullptr;
    switch (algorithm) {
    case WindowsInternal:
        if (!isColor) {
            InternalLog::print(
                L"[TAVRIN UNIDRIVER][resize] WARNING - not implemented for 1bpp bitmap - return false\r\n");
            return false;
        }
        return resize_win(pSrc, srcWidth, srcHeight, pDst, dstWidth, dstHeight);
    case NearestNeighbour:
        if (isColor)
            return resize_nearest_neighbour_color(pSrc, srcWidth, srcHeight, pDst, dstWidth, dstHeight);
        return resize_nearest_neighbour_mono(pSrc, srcWidth, srcHeight, pDst, dstWidth, dstHeight);
    default:
        return false;
    }
}

bool resize_win(byte* /*pSrc*/, int /*srcWidth*/, int /*srcHeight*/, byte** pDst, int /*dstWidth*/, int /*dstHeight*/)
{
    if (pDst != nullptr)
        *pDst = nullptr;
    InternalLog::print(
        L"[TAVRIN UNIDRIVER][resize_win] WARNING - not implemented on this plateform - return false\r\n");
    return false;
}

bool resize_nearest_neighbour_color(byte* pSrc, int srcWidth, int srcHeight, byte** pDst, int dstWidth, int dstHeight)
{
    const unsigned long long dstRow =
        dstWidth > 0 ? (3ull * static_cast<unsigned long long>(dstWidth) + 3ull) & ~3ull : 0;
    double sx, sy;
    if (!prepare("resize_nearest_neighbour_color", "24bpp", pSrc, srcWidth, srcHeight, pDst, dstWidth, dstHeight,
                 dstRow, sx, sy))
        return false;
    const size_t srcRow = (3u * static_cast<size_t>(srcWidth) + 3u) & ~static_cast<size_t>(3);
    byte* dst = *pDst;
    for (int h = 0; h < dstHeight; ++h) {
        const byte* srcLine = pSrc + static_cast<size_t>(sourceIndex(h, sy, srcHeight)) * srcRow;
        byte* dstLine = dst + static_cast<size_t>(h) * static_cast<size_t>(dstRow);
        for (int w = 0; w < dstWidth; ++w) {
            const byte* s = srcLine + static_cast<size_t>(sourceIndex(w, sx, srcWidth)) * 3u;
            dstLine[3 * static_cast<size_t>(w)] = s[0];
            dstLine[3 * static_cast<size_t>(w) + 1] = s[1];
            dstLine[3 * static_cast<size_t>(w) + 2] = s[2];
        }
    }
    return true;
}

bool resize_nearest_neighbour_mono(byte* pSrc, int srcWidth, int srcHeight, byte** pDst, int dstWidth, int dstHeight)
{
    const unsigned long long dstRow =
        dstWidth > 0 ? static_cast<unsigned long long>(MediaDefinition::ComputeRWidth(dstWidth)) : 0;
    double sx, sy;
    if (!prepare("resize_nearest_neighbour_mono", "1bpp", pSrc, srcWidth, srcHeight, pDst, dstWidth, dstHeight, dstRow,
                 sx, sy))
        return false;
    const int srcRow = MediaDefinition::ComputeRWidth(srcWidth);
    for (int h = 0; h < dstHeight; ++h) {
        const int sh = sourceIndex(h, sy, srcHeight);
        for (int w = 0; w < dstWidth; ++w)
            setMonoPixel(w, h, static_cast<int>(dstRow), *pDst,
                         getMonoPixel(sourceIndex(w, sx, srcWidth), sh, srcRow, pSrc));
    }
    return true;
}

} // namespace resizers
