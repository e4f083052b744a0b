// Whole-filter golden tests: a raster in, the printer stream out, pinned by a
// text digest of the stream (every command, and each panel's size, hash and
// inked-dot count). Set CR80_UPDATE_GOLDEN=1 to rewrite the digests after a
// deliberate change of output, and review the difference.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "BmpFile.h"
#include "FilterRun.h"
#include "TestRaster.h"
#include "streamreader.h"

using namespace cr80test;
using cr80tools::RasterImage;

namespace {

// Optional preparation of a case: writes files (custom bitmaps) into the
// case's temporary directory, which is the job's picture directory, and
// returns options naming them, appended to the case's options.
using Prepare = std::function<std::string(const TempDir&)>;

struct GoldenCase {
    const char* name;
    const char* options;
    std::function<std::vector<RasterImage>()> pages;
    Prepare prepare = nullptr;
};

std::vector<RasterImage> sample()
{
    return {cr80tools::makeSampleCard()};
}

std::string goldenPath(const std::string& name)
{
    return std::string(CR80_TEST_DATA_DIR) + "/golden/" + name + ".digest";
}

// A custom picture file of the card's size (or turned) with a frame, a
// diagonal and a block near the top-right corner, named `option`=<file>.
Prepare customPicture(const char* option, const char* file, unsigned width = 1016, unsigned height = 648,
                      bool colour = false)
{
    return [=](const TempDir& dir) {
        const DotIsBlack black = frameAndDiagonal(width, height);
        const std::string bytes = colour ? colourBmp(width, height,
                                                     [&](unsigned x, unsigned y) -> uint32_t {
                                                         // Dark blue for the drawing, light yellow around it.
                                                         return black(x, y) ? 0x101060u : 0xF0F0A0u;
                                                     })
                                         : monoBmp(width, height, black);
        dir.write(file, bytes);
        return std::string(option) + "=" + file;
    };
}

Prepare both(Prepare a, Prepare b)
{
    return [=](const TempDir& dir) { return a(dir) + " " + b(dir); };
}

std::vector<RasterImage> twoFaces()
{
    return {cr80tools::makeSampleCard(1016, 648, 1), cr80tools::makeSampleCard(1016, 648, 2)};
}

std::string runCase(const GoldenCase& c)
{
    FilterJob job;
    job.ppd.reset(); // settings come from the command line and the defaults only
    job.options = c.options;
    TempDir dir;
    if (c.prepare)
        job.options += " " + c.prepare(dir);
    job.env.emplace_back("CR80_PICTURE_DIR", dir.path());
    job.stdinBytes = rasterOf(c.pages());
    ProcessResult r = runFilter(job);
    EXPECT_TRUE(r.exitedWith(0)) << c.name << "\n" << r.err.substr(r.err.size() > 3000 ? r.err.size() - 3000 : 0);
    char line[128];
    snprintf(line, sizeof(line), "STREAM bytes=%zu fnv=%016llx\n", r.out.size(),
             static_cast<unsigned long long>(
                 cr80tools::fnv1a(reinterpret_cast<const uint8_t*>(r.out.data()), r.out.size())));
    return line + cr80tools::digest(r.out);
}

const GoldenCase Cases[] = {
    {"colour-7bit", "", sample},
    {"colour-8bit", "GHighQualityMode=ON", sample},
    {"allblackpoint", "FBlackManagement=ALLBLACKPOINT", sample},
    {"textinblack-two-regions", "FBlackManagement=TEXTINBLACK IFTextRegion=386x140x900x240;386x300x700x340", sample},
    // The right end of the gray ramp in two regions of their own black levels.
    {"textinblack-region-levels",
     "FBlackManagement=TEXTINBLACK IFTextRegion=800x540x900x600(200);900x540x1016x600(240)", sample},
    {"fixed-black-substitution", "FBlackManagement=ALLBLACKPOINT IGBlackSub=204060", sample},
    {"fullvarnish", "FOverlayManagement=FULLVARNISH", sample},
    {"rotate180", "FPageRotate180=ON FBlackManagement=ALLBLACKPOINT", sample},
    {"portrait-page", "FBlackManagement=ALLBLACKPOINT",
     [] { return std::vector<RasterImage>{cr80tools::makeSampleCard(648, 1016)}; }},
    {"rescaled-page", "", [] { return std::vector<RasterImage>{cr80tools::makeSampleCard(800, 500)}; }},
    {"mono-threshold", "GRibbonType=RM_KO FHalftoning=THRESHOLD", sample},
    {"mono-dithering", "GRibbonType=RM_KO FHalftoning=DITHERING", sample},
    {"mono-floyd", "GRibbonType=RM_KO FHalftoning=FLOYD", sample},
    {"mono-clustered", "GRibbonType=RM_KO FHalftoning=CLUSTERED_DITHERING", sample},
    {"two-sided-colour-mono", "GDuplexMode=DUPLEX_CM BHalftoning=THRESHOLD",
     [] {
         return std::vector<RasterImage>{cr80tools::makeSampleCard(1016, 648, 1),
                                         cr80tools::makeSampleCard(1016, 648, 2)};
     }},
    {"panel-shift-auto",
     "FBlackManagement=ALLBLACKPOINT FOverlayManagement=FULLVARNISH GShortPanelManagement=AUTO "
     "GColorPanelManagement=AUTO GMonoPanelManagement=AUTO GOverlayPanelManagement=AUTO",
     sample},
    {"panel-shift-custom",
     "FBlackManagement=ALLBLACKPOINT GShortPanelManagement=CUSTOM IShortPanelShift=7 GColorPanelManagement=CUSTOM "
     "IColorPanelShiftXS=11 IColorPanelShiftXE=13 GMonoPanelManagement=CUSTOM IMonoPanelShiftXS=-2 "
     "IMonoPanelShiftXE=5 GOverlayPanelManagement=CUSTOM IOverlayPanelShiftXS=1 IOverlayPanelShiftXE=2 "
     "IOverlayPanelShiftYS=3 IOverlayPanelShiftYE=4",
     sample},
    {"custom-black", "FBlackManagement=BMPBLACK", sample, customPicture("IFBlackCustom", "k.bmp")},
    {"custom-black-rotate180", "FBlackManagement=BMPBLACK FPageRotate180=ON", sample,
     customPicture("IFBlackCustom", "k.bmp")},
    {"custom-black-portrait-file", "FBlackManagement=BMPBLACK", sample,
     customPicture("IFBlackCustom", "k.bmp", 648, 1016)},
    {"custom-black-24bit-rescaled", "FBlackManagement=BMPBLACK", sample,
     customPicture("IFBlackCustom", "k.bmp", 508, 324, true)},
    // The first card's back fails (no file): that card is dropped, and the
    // third page, a card of its own, is printed.
    {"custom-overlay-missing-back-file",
     "GDuplexMode=DUPLEX_CC FOverlayManagement=BMPVARNISH BOverlayManagement=BMPVARNISH",
     [] {
         return std::vector<RasterImage>{cr80tools::makeSampleCard(1016, 648, 1),
                                         cr80tools::makeSampleCard(1016, 648, 2),
                                         cr80tools::makeSampleCard(1016, 648, 3)};
     },
     [](const TempDir& dir) { return customPicture("IFOverlayCustom", "o.bmp")(dir) + " IBOverlayCustom=absent.bmp"; }},
    {"custom-overlay-two-sided", "GDuplexMode=DUPLEX_CC FOverlayManagement=BMPVARNISH BOverlayManagement=BMPVARNISH",
     twoFaces, both(customPicture("IFOverlayCustom", "o.bmp"), customPicture("IBOverlayCustom", "bo.bmp", 648, 1016))},
    {"smoothing-standard", "GSmoothing=STDSMOOTH", sample},
    {"smoothing-advanced", "GSmoothing=ADVSMOOTH", sample},
    {"post-smoothing-standard", "IPostSmoothing=STDSMOOTH FBlackManagement=ALLBLACKPOINT", sample},
    {"post-smoothing-advanced", "IPostSmoothing=EXADVSMOOTH", sample},
};

class Golden : public ::testing::TestWithParam<GoldenCase> {};

} // namespace

TEST_P(Golden, StreamMatchesItsDigest)
{
    const GoldenCase& c = GetParam();
    const std::string actual = runCase(c);
    if (getenv("CR80_UPDATE_GOLDEN") != nullptr) {
        ASSERT_TRUE(writeFile(goldenPath(c.name), actual));
        return;
    }
    EXPECT_EQ(actual, readFile(goldenPath(c.name))) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Filter, Golden, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<GoldenCase>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (!isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });
