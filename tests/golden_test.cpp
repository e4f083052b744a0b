// Whole-filter golden tests: a raster in, the printer stream out, pinned by a
// text digest of the stream (every command, and each panel's size, hash and
// inked-dot count). Set CR80_UPDATE_GOLDEN=1 to rewrite the digests after a
// deliberate change of output, and review the difference.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "FilterRun.h"
#include "TestRaster.h"
#include "streaminspect.h"

using namespace cr80test;
using cr80tools::RasterImage;

namespace {

struct GoldenCase {
    const char* name;
    const char* options;
    std::function<std::vector<RasterImage>()> pages;
};

std::vector<RasterImage> sample()
{
    return {cr80tools::makeSampleCard()};
}

std::string goldenPath(const std::string& name)
{
    return std::string(CR80_TEST_DATA_DIR) + "/golden/" + name + ".digest";
}

std::string runCase(const GoldenCase& c)
{
    FilterJob job;
    job.ppd.reset(); // settings come from the command line and the defaults only
    job.options = c.options;
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
    {"fixed-black-substitution", "FBlackManagement=ALLBLACKPOINT IGBlackSub=204060", sample},
    {"fullvarnish", "FOverlayManagement=FULLVARNISH", sample},
    {"rotate180", "FPageRotate180=ON FBlackManagement=ALLBLACKPOINT", sample},
    {"portrait-page", "FBlackManagement=ALLBLACKPOINT", [] { return std::vector<RasterImage>{cr80tools::makeSampleCard(648, 1016)}; }},
    {"rescaled-page", "", [] { return std::vector<RasterImage>{cr80tools::makeSampleCard(800, 500)}; }},
    {"mono-threshold", "GRibbonType=RM_KO FHalftoning=THRESHOLD", sample},
    {"mono-dithering", "GRibbonType=RM_KO FHalftoning=DITHERING", sample},
    {"mono-floyd", "GRibbonType=RM_KO FHalftoning=FLOYD", sample},
    {"mono-clustered", "GRibbonType=RM_KO FHalftoning=CLUSTERED_DITHERING", sample},
    {"two-sided-colour-mono", "GDuplexMode=DUPLEX_CM BHalftoning=THRESHOLD",
     [] { return std::vector<RasterImage>{cr80tools::makeSampleCard(1016, 648, 1), cr80tools::makeSampleCard(1016, 648, 2)}; }},
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
