#pragma once
// Writing (and reading back) CUPS raster streams for the helper programs and
// the tests. Pages are 8-bit RGB chunky pictures, the layout the filter reads;
// the stream itself is produced by libcups's own writer (uncompressed, mode
// CUPS_RASTER_WRITE), so what the filter sees is exactly what CUPS would hand it.

#include <cups/raster.h>

#include <cstdint>
#include <string>
#include <vector>

namespace cr80tools {

// A picture: rows top-down, each row `width` RGB triples, no padding.
struct RasterImage {
    unsigned width = 0;
    unsigned height = 0;
    std::vector<uint8_t> rgb;

    RasterImage() = default;
    // A picture of the given size filled with one colour (white by default).
    RasterImage(unsigned w, unsigned h, uint8_t r = 255, uint8_t g = 255, uint8_t b = 255);

    bool isConsistent() const { return rgb.size() == size_t(width) * height * 3; }
    uint8_t* at(unsigned x, unsigned y) { return &rgb[(size_t(y) * width + x) * 3]; }
    const uint8_t* at(unsigned x, unsigned y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};

// One page as it goes into the stream: a header written as given and the pixel
// bytes written as given. Nothing is checked, so a test can craft odd pages:
// wrong depth or colour space, odd widths, zero sizes, or fewer bytes than the
// header announces (a truncated page).
struct RawPage {
    cups_page_header2_t header;
    std::vector<uint8_t> data;
};

constexpr unsigned CardWidthDots = 1016; // CR80 card at 300 dpi
constexpr unsigned CardHeightDots = 648;
constexpr unsigned DefaultDpi = 300;

// Pictures larger than this (in dots per side) are refused by the readers.
constexpr unsigned MaxImageSide = 30000;

// The built-in sample card: white background, a coloured banner along the top,
// a photo-like portrait with smooth colour gradients on the left, lines of
// black "text" bars on the right and a gray ramp along the bottom. Drawn in
// proportion to the size asked for, identical on every run. A non-zero
// `pageNumber` is drawn in white digits at the right end of the banner, so
// the pages of a multi-page sample tell themselves apart.
RasterImage makeSampleCard(unsigned width = CardWidthDots, unsigned height = CardHeightDots, unsigned pageNumber = 0);

// Binary PPM (P6) with a maxval of 255; comments are allowed in the header.
// Anything else (ASCII P3, 16-bit samples, missing data, absurd sizes) is
// refused with a message in *err and `out` left untouched.
bool readPpm(const std::string& path, RasterImage& out, std::string* err);
bool parsePpm(const std::string& bytes, RasterImage& out, std::string* err);
// Writes a P6 file (handy for looking at a picture); false on I/O failure.
bool writePpm(const std::string& path, const RasterImage& image, std::string* err);

// The page header for `image`: 8 bits per colour, 24 bits per dot, chunky
// RGB, one copy, uncompressed, PageSize in points from the resolution.
// A resolution of 0 leaves the page size at 0.
cups_page_header2_t makeHeader(const RasterImage& image, unsigned dpiX, unsigned dpiY);

// Whole rasters from pictures. Every picture must be consistent and non-empty
// and the resolution non-zero; otherwise nothing is written and *err says why.
bool writeRaster(int fd, const std::vector<RasterImage>& pages, unsigned dpiX, unsigned dpiY, std::string* err);
bool writeRasterFile(const std::string& path, const std::vector<RasterImage>& pages, unsigned dpiX, unsigned dpiY,
                     std::string* err);
bool rasterBytes(const std::vector<RasterImage>& pages, unsigned dpiX, unsigned dpiY, std::string& out,
                 std::string* err);

// Rasters from raw pages. Fails only on I/O errors or when libcups refuses to
// write (for instance pixel data under a header whose cupsBytesPerLine is 0).
bool writeRawRaster(int fd, const std::vector<RawPage>& pages, std::string* err);
bool writeRawRasterFile(const std::string& path, const std::vector<RawPage>& pages, std::string* err);
bool rawRasterBytes(const std::vector<RawPage>& pages, std::string& out, std::string* err);

// Reads a raster back with libcups (header by header, all the pixel bytes each
// header announces). A page whose data ends early is kept with the bytes that
// could be read, and reading stops there. Pages whose data would exceed
// MaxImageSide squared RGB dots are refused.
bool readRaster(int fd, std::vector<RawPage>& pages, std::string* err);
bool readRasterBytes(const std::string& bytes, std::vector<RawPage>& pages, std::string* err);

} // namespace cr80tools
