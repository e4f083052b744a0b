// Custom black and overlay pictures and smoothing through the whole filter,
// checked dot by dot against pictures and values worked out by hand.
#include <gtest/gtest.h>

#include "BmpFile.h"
#include "FilterRun.h"
#include "TestRaster.h"
#include "streamreader.h"

using namespace cr80test;
using cr80tools::RasterImage;
using cr80tools::StreamItem;

namespace {

const unsigned W = 1016, H = 648;

struct Printed {
    ProcessResult run;
    std::vector<StreamItem> panels;
};

Printed print(const std::vector<RasterImage>& pages, const std::string& options)
{
    FilterJob job;
    job.ppd.reset();
    job.options = options;
    job.stdinBytes = rasterOf(pages);
    Printed p;
    p.run = runFilter(job);
    EXPECT_TRUE(p.run.exitedWith(0));
    cr80tools::ParsedStream parsed = cr80tools::parseStream(p.run.out);
    EXPECT_EQ(parsed.error, "");
    for (const StreamItem& item : parsed.items)
        if (item.kind == StreamItem::Panel)
            p.panels.push_back(item);
    return p;
}

const StreamItem* panel(const Printed& p, char which, size_t nth = 0)
{
    for (const StreamItem& item : p.panels)
        if (item.panel == which && nth-- == 0)
            return &item;
    return nullptr;
}

// Card dot (x, y) from the top-left of the printed card, for each mapping of
// the picture onto the card.
enum Placement { Upright, Turned180, PortraitTurned };

bool pictureDot(const DotIsBlack& picture, Placement placement, unsigned x, unsigned y)
{
    switch (placement) {
    case Upright:
        return picture(x, y);
    case Turned180:
        return picture(W - 1 - x, H - 1 - y);
    default:
        // A portrait picture (H wide, W high) lies with its top edge along
        // the right edge of the card, as a portrait page does.
        return picture(y, W - 1 - x);
    }
}

struct PictureCase {
    const char* name;
    const char* options; // the file's option is added
    const char* fileOption;
    char panelName;
    unsigned fileWidth, fileHeight;
    Placement placement;
};

class CustomPicture : public ::testing::TestWithParam<PictureCase> {};

} // namespace

TEST_P(CustomPicture, PanelHoldsThePictureDotForDot)
{
    const PictureCase& c = GetParam();
    TempDir dir;
    const DotIsBlack picture = frameAndDiagonal(c.fileWidth, c.fileHeight);
    const std::string path = dir.write("p.bmp", monoBmp(c.fileWidth, c.fileHeight, picture));
    Printed p = print({cr80tools::makeSampleCard()}, std::string(c.options) + " " + c.fileOption + "=" + path);
    const StreamItem* item = panel(p, c.panelName);
    ASSERT_NE(nullptr, item);
    const std::vector<uint8_t> dots = cr80tools::panelDots(p.run.out, *item);
    ASSERT_EQ(size_t(W) * H, dots.size());
    size_t wrong = 0;
    for (unsigned y = 0; y < H; ++y)
        for (unsigned x = 0; x < W; ++x)
            wrong += (dots[size_t(y) * W + x] != 0) != pictureDot(picture, c.placement, x, y);
    EXPECT_EQ(0u, wrong);
}

INSTANTIATE_TEST_SUITE_P(
    Filter, CustomPicture,
    ::testing::Values(PictureCase{"black", "FBlackManagement=BMPBLACK", "IFBlackCustom", 'k', W, H, Upright},
                      PictureCase{"blackTurnedWithThePage", "FBlackManagement=BMPBLACK FPageRotate180=ON",
                                  "IFBlackCustom", 'k', W, H, Turned180},
                      PictureCase{"blackFromPortraitFile", "FBlackManagement=BMPBLACK", "IFBlackCustom", 'k', H, W,
                                  PortraitTurned},
                      PictureCase{"overlay", "FOverlayManagement=BMPVARNISH", "IFOverlayCustom", 'o', W, H, Upright},
                      PictureCase{"overlayNotTurned", "FOverlayManagement=BMPVARNISH FPageRotate180=ON",
                                  "IFOverlayCustom", 'o', W, H, Upright}),
    [](const ::testing::TestParamInfo<PictureCase>& info) { return std::string(info.param.name); });

// Files that cannot give a picture fail their face with the face warning;
// the filter goes on and ends normally, and no card is sent.
TEST(CustomPictureFiles, UnreadableFilesFailTheFaceOnly)
{
    TempDir dir;
    const std::string good = monoBmp(W, H, frameAndDiagonal(W, H));
    std::string eightBit = good;
    eightBit[28] = 8;
    std::string topDown = good;
    topDown[25] = static_cast<char>(0xFF); // negative height
    const struct {
        const char* name;
        std::string path;
    } files[] = {
        {"missing", dir.file("absent.bmp")},
        {"empty", dir.write("empty.bmp", "")},
        {"short header", dir.write("short.bmp", good.substr(0, 40))},
        {"truncated pixels", dir.write("cut.bmp", good.substr(0, good.size() / 2))},
        {"8-bit", dir.write("eight.bmp", eightBit)},
        {"top-down", dir.write("topdown.bmp", topDown)},
        {"not a bitmap", dir.write("text.bmp", std::string(200, 'x'))},
        {"directory", dir.path()},
    };
    const struct {
        const char* options;
        const char* warning;
    } uses[] = {
        {"FBlackManagement=BMPBLACK IFBlackCustom=",
         "[TAVRIN UNIDRIVER][FaceSupervisor::runMonochromeProcessing] WARNING - Failed (reading external data)\r\n"},
        {"FOverlayManagement=BMPVARNISH IFOverlayCustom=",
         "[TAVRIN UNIDRIVER][FaceSupervisor::runOverlayProcessing] WARNING - Failed (reading external data)\r\n"},
    };
    for (const auto& use : uses) {
        for (const auto& file : files) {
            // The overlay shares the reader: two files are enough there.
            if (use.options[0] == 'F' && use.options[1] == 'O' && file.name[0] != 'm' && file.name[0] != 't')
                continue;
            SCOPED_TRACE(std::string(use.options) + " " + file.name);
            Printed p = print({cr80tools::makeSampleCard()}, use.options + file.path);
            EXPECT_EQ("", p.run.out);
            EXPECT_NE(std::string::npos, p.run.err.find(use.warning));
        }
    }
}

// A 24-bit file is made 1-bit with the face's threshold on the gray level:
// with the default threshold (128) gray 127 is black and gray 128 white.
TEST(CustomPictureFiles, ColourFileIsThresholdedOnGray)
{
    TempDir dir;
    const std::string path = dir.write("c.bmp", colourBmp(W, H, [](unsigned x, unsigned) -> uint32_t {
                                           if (x < 300)
                                               return 0x7F7F7F; // gray 127
                                           if (x < 600)
                                               return 0x808080; // gray 128
                                           return 0xFF0000;     // red: (0 + 0 + 255) / 3 = 85
                                       }));
    Printed p = print({cr80tools::makeSampleCard()}, "FBlackManagement=BMPBLACK IFBlackCustom=" + path);
    const StreamItem* k = panel(p, 'k');
    ASSERT_NE(nullptr, k);
    const std::vector<uint8_t> dots = cr80tools::panelDots(p.run.out, *k);
    ASSERT_EQ(size_t(W) * H, dots.size());
    for (unsigned y : {0u, 300u, H - 1})
        for (unsigned x : {0u, 299u, 300u, 599u, 600u, W - 1})
            EXPECT_EQ(x < 300 || x >= 600 ? 255 : 0, dots[size_t(y) * W + x]) << x << "," << y;
}

// Smoothing end to end: a field of ink 120 (gray 135) with one dot of ink
// 100 (gray 155) at (500, 300). One pass gives (49 x 100 - 24 x 120) / 25 = 80
// at the dot and leaves its neighbours at 120 ((3120 - 100) / 25 = 120.8);
// a second pass gives (49 x 80 - 24 x 120) / 25 = 41 at the dot and
// (3120 - 80) / 25 = 121 around it. 7-bit panels drop the lowest bit.
TEST(Smoothing, DotValuesWorkedOutByHand)
{
    RasterImage page(W, H, 135, 135, 135);
    uint8_t* dot = page.at(500, 300);
    dot[0] = dot[1] = dot[2] = 155;
    // The border keeps its input: a dot there is not filtered.
    uint8_t* edge = page.at(1, 1);
    edge[0] = edge[1] = edge[2] = 155;
    const struct {
        const char* options;
        int centre, neighbour;
    } cases[] = {
        {"", 100, 120},
        {"GSmoothing=STDSMOOTH", 80, 120},
        {"GSmoothing=STDSMOOTH GHighQualityMode=ON", 80, 120},
        {"GSmoothing=ADVSMOOTH", 41, 121},
        {"GSmoothing=EXADVSMOOTH", 40, 120},
        {"IPostSmoothing=STDSMOOTH", 80, 120},
        {"IPostSmoothing=ADVSMOOTH", 41, 121},
        {"IPostSmoothing=EXADVSMOOTH GHighQualityMode=ON", 41, 121},
        // Input and output passes add up.
        {"IPostSmoothing=STDSMOOTH GSmoothing=STDSMOOTH GHighQualityMode=ON", 41, 121},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        Printed p = print({page}, c.options);
        for (char plane : {'y', 'm', 'c'}) {
            const StreamItem* item = panel(p, plane);
            ASSERT_NE(nullptr, item);
            const std::vector<uint8_t> dots = cr80tools::panelDots(p.run.out, *item);
            ASSERT_EQ(size_t(W) * H, dots.size());
            EXPECT_EQ(c.centre, dots[300 * W + 500]) << plane;
            EXPECT_EQ(c.neighbour, dots[300 * W + 501]) << plane;
            EXPECT_EQ(c.neighbour, dots[302 * W + 498]) << plane;
            EXPECT_EQ(120, dots[303 * W + 500]) << plane;
            EXPECT_EQ(100, dots[1 * W + 1]) << plane;
        }
    }
}
