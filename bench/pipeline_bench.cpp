// Cards per second through the whole document pipeline, in process: the
// sample card as the page loop hands it over (a bottom-up BGR bitmap), one
// card per iteration, the printer stream thrown away. The pipeline log goes
// to standard error, buffered as in the filter; run with 2>/dev/null.
#include <benchmark/benchmark.h>
#include <cups/cups.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <string>
#include <vector>

#include "COemPDEV.h"
#include "pipeline/StatusReporter.h"
#include "pipeline/UniDriverAdapter.h"
#include "rasterwriter.h"
#include "settings/CupsExternalInterSettingsReader.h"

namespace {

struct Resolution {
    const char* name;    // shown in the table
    const char* setting; // the Resolution setting
    unsigned dpiX;
    unsigned dpiY;
};

const Resolution Resolutions[] = {
    {"300", "DPI300", 300, 300},
    {"600", "DPI600", 600, 600},
    {"1200x300", "DPI1200300", 1200, 300},
};

struct Case {
    const char* name;
    std::string options;
};

// n text regions, ';' between them, each made by region(i).
template <class Region>
std::string textRegions(int n, Region region)
{
    std::string value;
    for (int i = 0; i < n; ++i)
        value += (i == 0 ? "" : ";") + region(i);
    return value;
}

// 7000 text regions (an option of 126 KB): the whole card at black level
// 128 over and over; and as many overlapping regions of many sizes, places
// and levels.
const std::string ManyWholeCard = "FBlackManagement=TEXTINBLACK IFTextRegion=" +
                                  textRegions(7000, [](int) { return std::string("0x0x5000x5000(128)"); });
const std::string ManyOverlapping =
    "FBlackManagement=TEXTINBLACK IFTextRegion=" + textRegions(7000, [](int i) {
        const unsigned x = static_cast<unsigned>(i) * 2654435761u;
        const unsigned left = x % 1000, top = (x >> 10) % 640, level = (x >> 20) % 4 == 0 ? (x >> 8) % 256 : 0;
        return std::to_string(left) + "x" + std::to_string(top) + "x" + std::to_string(left + 20 + (x >> 4) % 300) +
               "x" + std::to_string(top + 8 + (x >> 14) % 120) + (level != 0 ? "(" + std::to_string(level) + ")" : "");
    });

const Case Cases[] = {
    {"a.colour-default", ""},
    {"b.allblack-fullvarnish", "FBlackManagement=ALLBLACKPOINT FOverlayManagement=FULLVARNISH"},
    {"c.textinblack-3-regions",
     "FBlackManagement=TEXTINBLACK IFTextRegion=386x140x900x240;386x300x700x340;60x420x960x600"},
    {"d.mono-threshold", "GRibbonType=RM_KO FHalftoning=THRESHOLD"},
    {"d.mono-dithering", "GRibbonType=RM_KO FHalftoning=DITHERING"},
    {"d.mono-floyd", "GRibbonType=RM_KO FHalftoning=FLOYD"},
    {"d.mono-clustered", "GRibbonType=RM_KO FHalftoning=CLUSTERED_DITHERING"},
    {"e.textinblack-7000-whole", ManyWholeCard},
    {"f.textinblack-7000-overlap", ManyOverlapping},
};

dword nullWriter(void*, void*, dword cbSize)
{
    return cbSize;
}

// The page as the page loop makes it: rows bottom-up, B G R, padded to 4 bytes.
std::vector<byte> bottomUpBitmap(const cr80tools::RasterImage& image)
{
    const size_t stride = (3 * size_t(image.width) + 3) & ~size_t(3);
    std::vector<byte> bitmap(stride * image.height, 0);
    for (unsigned y = 0; y < image.height; ++y) {
        byte* dst = bitmap.data() + size_t(image.height - y - 1) * stride;
        const uint8_t* src = image.at(0, y);
        for (unsigned x = 0; x < image.width; ++x) {
            dst[3 * x] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x];
        }
    }
    return bitmap;
}

void runCards(benchmark::State& state, const Resolution& res, const Case& c)
{
    const unsigned width = cr80tools::CardWidthDots * res.dpiX / 300;
    const unsigned height = cr80tools::CardHeightDots * res.dpiY / 300;
    std::vector<byte> bitmap = bottomUpBitmap(cr80tools::makeSampleCard(width, height));

    std::string settings = std::string("Resolution=") + res.setting + " " + c.options;
    cups_option_t* options = nullptr;
    const int count = cupsParseOptions(settings.c_str(), 0, &options);
    {
        tavgdi::StatusReporter status;
        COemPDEV pdev(status);
        pdev.interSettings = new CupsExternalInterSettingsReader(options, count, nullptr);
        tavgdi::UniDriverAdapter adapter(nullWriter, status);
        DEVOBJ devobj;
        devobj.hPrinter = nullptr;
        devobj.pdevOEM = &pdev;
        devobj.interSettings = pdev.interSettings;
        devobj.pPublicDM = nullptr;
        char title[] = "bench";
        adapter.startDoc(title, 1, &devobj, nullptr, 0, false);

        pdev.pBufStart = bitmap.data();
        pdev.bmInfoHeader.biBitCount = 24;
        pdev.bmInfoHeader.biSizeImage = static_cast<dword>(bitmap.size());
        pdev.bmInfoHeader.biWidth = static_cast<int32_t>(width);
        pdev.bmInfoHeader.biHeight = static_cast<int32_t>(height);
        for (auto _ : state) {
            if (!adapter.newFace(&devobj, false)) {
                state.SkipWithError("newFace failed");
                break;
            }
        }
        pdev.pBufStart = nullptr;
        adapter.endDoc(&devobj);
        delete pdev.interSettings;
        pdev.interSettings = nullptr;
    }
    cupsFreeOptions(count, options);
    fflush(stderr);
    state.SetItemsProcessed(state.iterations());
}

} // namespace

int main(int argc, char** argv)
{
    // The filter's own standard error buffering and allocator settings.
    static char stderrBuffer[1 << 16];
    setvbuf(stderr, stderrBuffer, _IOFBF, sizeof stderrBuffer);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    setenv("SOURCE_DATE_EPOCH", "1767225600", 0);
    for (const Resolution& res : Resolutions)
        for (const Case& c : Cases)
            benchmark::RegisterBenchmark((std::string(res.name) + "/" + c.name).c_str(),
                                         [&res, &c](benchmark::State& s) { runCards(s, res, c); })
                ->Unit(benchmark::kMillisecond)
                ->MinTime(0.5);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fflush(stderr);
    return 0;
}
