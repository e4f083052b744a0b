// Printer output checked against values worked out by hand from the page,
// read back with the stream inspector (which unpacks the panels on its own).
#include <gtest/gtest.h>

#include <algorithm>

#include "FilterRun.h"
#include "TestRaster.h"
#include "streamreader.h"

using namespace cr80test;
using cr80tools::RasterImage;
using cr80tools::StreamItem;

namespace {

Printed print(const RasterImage& page, const std::string& options)
{
    FilterJob job;
    job.ppd.reset();
    job.options = options;
    job.stdinBytes = rasterOf({page});
    return cr80test::print(job);
}

bool has(const std::vector<std::string>& list, const std::string& what)
{
    return std::find(list.begin(), list.end(), what) != list.end();
}

} // namespace

TEST(Verification, HalfColouredPageGivesItsInkAmountsAndWhiteShare)
{
    // Left half white, right half RGB (55, 155, 255): ink Y = 255 - 255 = 0,
    // M = 255 - 155 = 100, C = 255 - 55 = 200. Half the card is white, so
    // the means over the whole card are 0, 50 and 100.
    RasterImage page(1016, 648);
    for (unsigned y = 0; y < 648; ++y)
        for (unsigned x = 508; x < 1016; ++x) {
            page.at(x, y)[0] = 55;
            page.at(x, y)[1] = 155;
            page.at(x, y)[2] = 255;
        }
    for (const char* mode : {"", "GHighQualityMode=ON"}) {
        Printed p = print(page, mode);
        EXPECT_TRUE(has(p.commands, "Pida;50;0;50;100")) << mode;
        // The yellow panel carries no ink and is not sent.
        ASSERT_EQ(p.panels.size(), 2u) << mode;
        EXPECT_EQ(p.panels[0].panel, 'm');
        EXPECT_EQ(p.panels[1].panel, 'c');
        EXPECT_EQ(p.panels[0].levels, *mode ? 256 : 128);
        const std::vector<uint8_t> m = cr80tools::panelDots(p.run.out, p.panels[0]);
        const std::vector<uint8_t> c = cr80tools::panelDots(p.run.out, p.panels[1]);
        for (unsigned y : {0u, 300u, 647u})
            for (unsigned x : {0u, 507u, 508u, 1015u}) {
                const size_t i = size_t(y) * 1016 + x;
                EXPECT_EQ(m[i], x < 508 ? 0 : 100) << mode << " " << x << "," << y;
                EXPECT_EQ(c[i], x < 508 ? 0 : 200) << mode << " " << x << "," << y;
            }
    }
}

TEST(Verification, BlackRectangleMovesToTheBlackPanel)
{
    // A black rectangle of 100 x 40 dots at (200, 100) on a white card.
    RasterImage page(1016, 648);
    for (unsigned y = 100; y < 140; ++y)
        for (unsigned x = 200; x < 300; ++x)
            page.at(x, y)[0] = page.at(x, y)[1] = page.at(x, y)[2] = 0;
    Printed p = print(page, "FBlackManagement=ALLBLACKPOINT");
    // The colour panels are white once the black is taken out.
    EXPECT_TRUE(has(p.commands, "Pida;100;0;0;0"));
    ASSERT_EQ(p.panels.size(), 1u);
    ASSERT_EQ(p.panels[0].panel, 'k');
    const std::vector<uint8_t> k = cr80tools::panelDots(p.run.out, p.panels[0]);
    size_t inked = 0;
    for (unsigned y = 0; y < 648; ++y)
        for (unsigned x = 0; x < 1016; ++x) {
            const bool inside = x >= 200 && x < 300 && y >= 100 && y < 140;
            inked += k[size_t(y) * 1016 + x] != 0;
            if (k[size_t(y) * 1016 + x] != (inside ? 255 : 0))
                FAIL() << "dot " << x << "," << y;
        }
    EXPECT_EQ(inked, 4000u);
}

TEST(Verification, EachTextRegionTakesBlackAtItsOwnLevel)
{
    // Gray blocks of ink 255, 247, 230 and 190 (10, 20, 30 and 40 dots wide,
    // 20 rows high: 200, 400, 600 and 800 dots) in four zones of a white
    // card: a region at level 240, one at 200, one at the face's level (249)
    // and no region at all. A dot is black where its ink reaches the level:
    //   level 240: 255, 247          -> 600 dots to the black panel
    //   level 200: 255, 247, 230     -> 1200 dots
    //   level 249: 255               -> 200 dots
    //   no region: nothing           -> 0 dots
    // 2000 dots in all; the other 6000 block dots stay in the colour panels.
    struct Zone {
        unsigned x, y; // where its blocks start
        int level;     // 256: outside every region
    };
    const Zone zones[] = {{120, 150, 240}, {520, 150, 200}, {120, 350, 249}, {520, 350, 256}};
    const struct {
        unsigned dx, width;
        uint8_t ink;
    } blocks[] = {{0, 10, 255}, {30, 20, 247}, {70, 30, 230}, {120, 40, 190}};
    const char* const regions = "FBlackManagement=TEXTINBLACK "
                                "IFTextRegion=100x100x400x250(240);500x100x800x250(200);100x300x400x450";

    RasterImage page(1016, 648);
    std::vector<uint8_t> ink(1016 * 648, 0), black(1016 * 648, 0);
    for (const Zone& z : zones)
        for (const auto& b : blocks)
            for (unsigned y = z.y; y < z.y + 20; ++y)
                for (unsigned x = z.x + b.dx; x < z.x + b.dx + b.width; ++x) {
                    page.at(x, y)[0] = page.at(x, y)[1] = page.at(x, y)[2] = uint8_t(255 - b.ink);
                    ink[size_t(y) * 1016 + x] = b.ink;
                    black[size_t(y) * 1016 + x] = b.ink >= z.level;
                }

    // What a black dot leaves in the colour panels: white (the dot above it
    // in its region is white) or the fixed substitute Y 0x20, M 0x40, C 0x60.
    const struct {
        const char* name;
        const char* options;
        uint8_t left[3];
    } modes[] = {
        {"7-bit, colour memory", "", {0, 0, 0}},
        {"8-bit, colour memory", "GHighQualityMode=ON", {0, 0, 0}},
        {"8-bit, fixed substitute", "GHighQualityMode=ON IGBlackSub=204060", {0x20, 0x40, 0x60}},
    };
    for (const auto& mode : modes) {
        Printed p = print(page, std::string(regions) + " " + mode.options);
        ASSERT_EQ(p.panels.size(), 4u) << mode.name;
        const std::vector<uint8_t> k = cr80tools::panelDots(p.run.out, p.panels[3]);
        ASSERT_EQ(p.panels[3].panel, 'k') << mode.name;
        size_t toBlack = 0, colourLeft = 0, wrong = 0;
        for (size_t i = 0; i < ink.size(); ++i) {
            toBlack += k[i] != 0;
            wrong += k[i] != (black[i] ? 255 : 0);
        }
        for (int c = 0; c < 3; ++c) {
            const StreamItem& panel = p.panels[c];
            ASSERT_EQ(panel.panel, "ymc"[c]) << mode.name;
            const uint8_t mask = panel.levels == 128 ? 0xFE : 0xFF;
            const std::vector<uint8_t> dots = cr80tools::panelDots(p.run.out, panel);
            for (size_t i = 0; i < ink.size(); ++i) {
                wrong += dots[i] != ((black[i] ? mode.left[c] : ink[i]) & mask);
                colourLeft += c == 0 && !black[i] && dots[i] != 0;
            }
        }
        EXPECT_EQ(toBlack, 2000u) << mode.name;
        EXPECT_EQ(colourLeft, 6000u) << mode.name;
        EXPECT_EQ(wrong, 0u) << mode.name;
    }
}
