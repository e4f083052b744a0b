#include "TestRaster.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace cr80test {

TempDir::TempDir()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/cr80test.XXXXXX";
    if (mkdtemp(&pattern[0]))
        dirPath = pattern;
    else
        ADD_FAILURE() << "cannot create a temporary directory from " << pattern;
}

TempDir::~TempDir()
{
    if (!dirPath.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(dirPath, ec);
    }
}

std::string TempDir::file(const std::string& name) const
{
    return dirPath + "/" + name;
}

std::string TempDir::write(const std::string& name, const std::string& bytes) const
{
    const std::string p = file(name);
    writeFile(p, bytes);
    return p;
}

RasterImage patternImage(unsigned width, unsigned height, unsigned seed)
{
    RasterImage img(width, height);
    uint32_t state = seed * 2654435761u + 12345u;
    for (uint8_t& b : img.rgb) {
        state = state * 1664525u + 1013904223u;
        b = uint8_t(state >> 24);
    }
    return img;
}

RawPage rawPage(const RasterImage& image, unsigned dpiX, unsigned dpiY)
{
    return RawPage{cr80tools::makeHeader(image, dpiX, dpiY), image.rgb};
}

std::string rasterOf(const std::vector<RasterImage>& pages, unsigned dpiX, unsigned dpiY)
{
    std::string bytes, err;
    if (!cr80tools::rasterBytes(pages, dpiX, dpiY, bytes, &err)) {
        ADD_FAILURE() << "cannot build a raster: " << err;
        return "";
    }
    return bytes;
}

std::string rawRasterOf(const std::vector<RawPage>& pages)
{
    std::string bytes, err;
    if (!cr80tools::rawRasterBytes(pages, bytes, &err)) {
        ADD_FAILURE() << "cannot build a raw raster: " << err;
        return "";
    }
    return bytes;
}

std::string sampleRaster(unsigned pages, unsigned width, unsigned height)
{
    std::vector<RasterImage> images;
    for (unsigned p = 0; p < pages; ++p)
        images.push_back(cr80tools::makeSampleCard(width, height, pages > 1 ? p + 1 : 0));
    return rasterOf(images);
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ADD_FAILURE() << "cannot read " << path;
        return "";
    }
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    out.close();
    if (!out) {
        ADD_FAILURE() << "cannot write " << path;
        return false;
    }
    return true;
}

size_t count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1))
        ++n;
    return n;
}

} // namespace cr80test
