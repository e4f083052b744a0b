// make-raster: writes an 8-bit RGB CUPS raster file, one page per card face,
// from the built-in sample card and/or binary PPM pictures.

#include "rasterwriter.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using cr80tools::RasterImage;

namespace {

const char* const Usage = "Usage: make-raster [OPTIONS] -o OUT\n"
                          "Writes a CUPS raster file (8 bits per colour, chunky RGB, uncompressed),\n"
                          "one page per card face, for the rastertocr80 filter.\n"
                          "\n"
                          "Pages, in the order given (default: one sample card):\n"
                          "  --sample          add the built-in sample card (--pages times)\n"
                          "  --ppm FILE        add one page from a binary PPM (P6, maxval 255)\n"
                          "\n"
                          "Settings:\n"
                          "  --pages N         copies of the sample card per --sample (default 1);\n"
                          "                    in a document of several pages every sample card\n"
                          "                    shows its page number in the banner\n"
                          "  --width W         sample card width in dots (default 1016)\n"
                          "  --height H        sample card height in dots (default 648)\n"
                          "  --dpi N|XxY       resolution in the page headers (default 300)\n"
                          "  -o, --output OUT  file to write; \"-\" is standard output\n"
                          "  -h, --help        show this help\n"
                          "\n"
                          "Options taking a value also accept --name=value. The exit status is 0 on\n"
                          "success, 1 when a file cannot be read or written, 2 on a usage error.\n"
                          "\n"
                          "Example: make-raster --sample -o out/sample.ras\n";

int usageError(const std::string& text)
{
    std::fprintf(stderr, "make-raster: %s\nTry 'make-raster --help'.\n", text.c_str());
    return 2;
}

// A whole decimal number in [lo, hi].
bool parseNumber(const std::string& text, unsigned lo, unsigned hi, unsigned& value)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const unsigned long n = std::strtoul(text.c_str(), nullptr, 10);
    if (n < lo || n > hi)
        return false;
    value = unsigned(n);
    return true;
}

struct Source {
    bool isSample;
    std::string path;
};

} // namespace

int main(int argc, char** argv)
{
    std::vector<Source> sources;
    std::string output;
    unsigned pages = 1, width = cr80tools::CardWidthDots, height = cr80tools::CardHeightDots;
    unsigned dpiX = cr80tools::DefaultDpi, dpiY = cr80tools::DefaultDpi;

    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i], value;
        bool hasInlineValue = false;
        const size_t eq = arg.find('=');
        if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
            hasInlineValue = true;
        }
        auto takeValue = [&](std::string& into) {
            if (hasInlineValue) {
                into = value;
                return true;
            }
            if (i + 1 >= argc)
                return false;
            into = argv[++i];
            return true;
        };
        const bool takesValue = arg == "--ppm" || arg == "--pages" || arg == "--width" || arg == "--height" ||
                                arg == "--dpi" || arg == "-o" || arg == "--output";
        if (hasInlineValue && !takesValue)
            return usageError("option " + arg + " takes no value");
        if (takesValue && !takeValue(value))
            return usageError("option " + arg + " needs a value");

        if (arg == "-h" || arg == "--help") {
            std::fputs(Usage, stdout);
            return 0;
        } else if (arg == "--sample") {
            sources.push_back({true, ""});
        } else if (arg == "--ppm") {
            sources.push_back({false, value});
        } else if (arg == "--pages") {
            if (!parseNumber(value, 1, 1000, pages))
                return usageError("--pages needs a number from 1 to 1000");
        } else if (arg == "--width") {
            if (!parseNumber(value, 1, cr80tools::MaxImageSide, width))
                return usageError("--width needs a number of dots from 1 to " +
                                  std::to_string(cr80tools::MaxImageSide));
        } else if (arg == "--height") {
            if (!parseNumber(value, 1, cr80tools::MaxImageSide, height))
                return usageError("--height needs a number of dots from 1 to " +
                                  std::to_string(cr80tools::MaxImageSide));
        } else if (arg == "--dpi") {
            const size_t x = value.find('x');
            const bool ok = x == std::string::npos
                                ? parseNumber(value, 1, 10000, dpiX) && parseNumber(value, 1, 10000, dpiY)
                                : parseNumber(value.substr(0, x), 1, 10000, dpiX) &&
                                      parseNumber(value.substr(x + 1), 1, 10000, dpiY);
            if (!ok)
                return usageError("--dpi needs N or XxY, from 1 to 10000 dpi");
        } else if (arg == "-o" || arg == "--output") {
            output = value;
        } else {
            return usageError("unknown argument '" + arg + "'");
        }
    }
    if (output.empty())
        return usageError("no output file given (-o OUT)");
    if (sources.empty())
        sources.push_back({true, ""});

    size_t total = 0;
    for (const Source& s : sources)
        total += s.isSample ? pages : 1;

    std::vector<RasterImage> images;
    images.reserve(total);
    for (const Source& s : sources) {
        if (s.isSample) {
            for (unsigned p = 0; p < pages; ++p)
                images.push_back(cr80tools::makeSampleCard(width, height, total > 1 ? unsigned(images.size() + 1) : 0));
        } else {
            RasterImage img;
            std::string err;
            if (!cr80tools::readPpm(s.path, img, &err)) {
                std::fprintf(stderr, "make-raster: %s\n", err.c_str());
                return 1;
            }
            images.push_back(std::move(img));
        }
    }

    std::string err;
    const bool ok = output == "-" ? cr80tools::writeRaster(STDOUT_FILENO, images, dpiX, dpiY, &err)
                                  : cr80tools::writeRasterFile(output, images, dpiX, dpiY, &err);
    if (!ok) {
        if (output != "-")
            std::remove(output.c_str()); // no half-written raster left behind
        std::fprintf(stderr, "make-raster: %s\n", err.c_str());
        return 1;
    }
    return 0;
}
