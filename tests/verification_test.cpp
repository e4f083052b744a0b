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

struct Printed {
    std::string bytes;
    std::vector<StreamItem> panels;
    std::vector<std::string> commands;
};

Printed print(const RasterImage& page, const std::string& options)
{
    FilterJob job;
    job.ppd.reset();
    job.options = options;
    job.stdinBytes = rasterOf({page});
    ProcessResult r = runFilter(job);
    EXPECT_TRUE(r.exitedWith(0));
    Printed p;
    p.bytes = r.out;
    cr80tools::ParsedStream parsed = cr80tools::parseStream(r.out);
    EXPECT_EQ(parsed.error, "");
    for (const StreamItem& item : parsed.items) {
        if (item.kind == StreamItem::Panel)
            p.panels.push_back(item);
        else if (item.kind == StreamItem::Command)
            p.commands.push_back(item.text);
    }
    return p;
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
        const std::vector<uint8_t> m = cr80tools::panelDots(p.bytes, p.panels[0]);
        const std::vector<uint8_t> c = cr80tools::panelDots(p.bytes, p.panels[1]);
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
    const std::vector<uint8_t> k = cr80tools::panelDots(p.bytes, p.panels[0]);
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
