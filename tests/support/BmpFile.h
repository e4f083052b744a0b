#pragma once
// Small Windows bitmap files made in code for tests of custom black and
// overlay pictures: 1-bit (bit 1 white, colour table black then white) or
// 24-bit, bottom row first, rows padded to 4 bytes, 40-byte info header.

#include <cstdint>
#include <functional>
#include <string>

namespace cr80test {

// Pictures are described dot by dot, x from the left and y from the top.
using DotIsBlack = std::function<bool(unsigned x, unsigned y)>;
using DotColour = std::function<uint32_t(unsigned x, unsigned y)>; // 0xRRGGBB

std::string monoBmp(unsigned width, unsigned height, const DotIsBlack& isBlack);
std::string colourBmp(unsigned width, unsigned height, const DotColour& rgb);

// A test picture of width x height: a frame `border` dots wide, the diagonal
// from the top-left to the bottom-right corner (one dot per column, at
// y = x * (height - 1) / (width - 1)) and a 40 x 20 block whose top-left
// corner is at (width - 66, 20), so that a turned or mirrored print shows.
DotIsBlack frameAndDiagonal(unsigned width, unsigned height, unsigned border = 4);

// A bitmap file of any depth for bad-input cases: 54 bytes of headers (no
// colour table) and a fixed pattern of pixels; a negative height is
// top-down; `pixels` false writes the headers alone (the file then claims
// more than it holds). putLE changes a header field in place.
std::string rawBmp(int32_t width, int32_t height, int bpp, bool pixels = true);
void putLE(std::string& file, size_t at, uint32_t value, int bytes = 4);

// Writes an all-black 1-bit bitmap of width x height to `path` as a sparse
// file (the header, then a hole up to the full size), so that pictures of
// tens of MiB cost no disk space; returns its size in bytes, or 0 when the
// file cannot be written.
unsigned long long writeSparseBlackBmp(const std::string& path, unsigned width, unsigned height);

} // namespace cr80test
