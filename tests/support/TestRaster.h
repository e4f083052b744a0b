#pragma once
// Raster fixtures for tests: temporary directories, raster bytes built from
// pictures or from hand-made pages, and small file helpers. Failures are
// reported as GoogleTest failures (ADD_FAILURE) and give empty results.

#include "rasterwriter.h"

#include <string>
#include <vector>

namespace cr80test {

using cr80tools::RasterImage;
using cr80tools::RawPage;

// A fresh directory under $TMPDIR (or /tmp), removed with its content when the
// object goes away.
class TempDir {
public:
    TempDir();
    virtual ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return dirPath; }
    // The path of `name` inside the directory (nothing is created).
    std::string file(const std::string& name) const;
    // Writes `bytes` to `name` inside the directory and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;

private:
    std::string dirPath;
};

// A picture whose every dot differs from its neighbours (a deterministic
// pseudo-random pattern from `seed`), good for spotting swapped or shifted bytes.
RasterImage patternImage(unsigned width, unsigned height, unsigned seed = 1);

// A page as the filter expects it: the header of makeHeader and the picture's bytes.
RawPage rawPage(const RasterImage& image, unsigned dpiX = cr80tools::DefaultDpi, unsigned dpiY = cr80tools::DefaultDpi);

// Raster streams as bytes (to feed standard input or write to a file).
std::string rasterOf(const std::vector<RasterImage>& pages, unsigned dpiX = cr80tools::DefaultDpi,
                     unsigned dpiY = cr80tools::DefaultDpi);
std::string rawRasterOf(const std::vector<RawPage>& pages);
// `pages` sample cards of the given size, numbered when there are several.
std::string sampleRaster(unsigned pages = 1, unsigned width = cr80tools::CardWidthDots,
                         unsigned height = cr80tools::CardHeightDots);

// How many times `what` occurs in `text` (overlaps included).
size_t count(const std::string& text, const std::string& what);

// Whole-file helpers; readFile gives "" (and a test failure) when unreadable.
std::string readFile(const std::string& path);
bool writeFile(const std::string& path, const std::string& bytes);

} // namespace cr80test
