// Custom black and overlay pictures and smoothing through the whole filter,
// checked dot by dot against pictures and values worked out by hand.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <optional>

#include "BmpFile.h"
#include "FilterRun.h"
#include "TestRaster.h"
#include "streamreader.h"

using namespace cr80test;
using cr80tools::RasterImage;
using cr80tools::StreamItem;

namespace {

const unsigned W = 1016, H = 648;

// The pages printed with `options`, custom pictures named inside `pictureDir`.
Printed print(const std::vector<RasterImage>& pages, const std::string& options, const std::string& pictureDir = "")
{
    FilterJob job;
    job.ppd.reset();
    job.options = options;
    job.stdinBytes = rasterOf(pages);
    if (!pictureDir.empty())
        job.env.emplace_back("CR80_PICTURE_DIR", pictureDir);
    return cr80test::print(job);
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
    dir.write("p.bmp", monoBmp(c.fileWidth, c.fileHeight, picture));
    Printed p =
        print({cr80tools::makeSampleCard()}, std::string(c.options) + " " + c.fileOption + "=p.bmp", dir.path());
    const StreamItem* item = p.panel(c.panelName);
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

// Names and files that cannot give a picture fail their face with the face
// warning and a CUPS error naming the setting (never the name the job
// gave); the filter goes on and ends normally, and no card is sent. A FIFO
// does not hold the job up. Names leave the picture directory by no means,
// not even to reach a good picture.
TEST(CustomPictureFiles, UnreadableOrRefusedFilesFailTheFaceOnly)
{
    TempDir dir;
    const std::string base = dir.path().substr(dir.path().rfind('/') + 1);
    const std::string good = monoBmp(W, H, frameAndDiagonal(W, H));
    dir.write("good.bmp", good);
    dir.write("empty.bmp", "");
    dir.write("cut.bmp", good.substr(0, good.size() / 2));
    ASSERT_EQ(0, mkdir(dir.file("sub").c_str(), 0755));
    ASSERT_EQ(0, mkfifo(dir.file("fifo.bmp").c_str(), 0644));
    ASSERT_EQ(0, symlink("/dev/zero", dir.file("zero.bmp").c_str()));
    // One row more than 64 MiB of pixels allow.
    ASSERT_GT(writeSparseBlackBmp(dir.file("huge.bmp"), 32768, 16384), 64ull << 20);
    const struct {
        const char* name;
        std::string picture;
        bool isForOverlayToo;
    } files[] = {
        {"missing", "absent.bmp", true},
        {"empty", "empty.bmp", false},
        {"truncated pixels", "cut.bmp", false},
        {"directory", "sub", false},
        {"FIFO", "fifo.bmp", true},
        {"symbolic link to /dev/zero", "zero.bmp", false},
        {"sparse file over 64 MiB", "huge.bmp", false},
        {"absolute name of a good file", dir.file("good.bmp"), true},
        {"parent of the directory", "../" + base + "/good.bmp", true},
        {"out through a subdirectory", "sub/../../" + base + "/good.bmp", false},
        {"dot-dot staying inside", "sub/../good.bmp", false},
        {"bare dot-dot", "..", false},
    };
    const struct {
        const char* options;
        const char* warning;
        const char* error;
    } uses[] = {
        {"FBlackManagement=BMPBLACK IFBlackCustom=",
         "[TAVRIN UNIDRIVER][FaceSupervisor::runMonochromeProcessing] WARNING - Failed (reading external data)\r\n",
         "ERROR: Page 1 was not printed: the custom black picture chosen for it (IFBlackCustom) cannot be read\n"},
        {"FOverlayManagement=BMPVARNISH IFOverlayCustom=",
         "[TAVRIN UNIDRIVER][FaceSupervisor::runOverlayProcessing] WARNING - Failed (reading external data)\r\n",
         "ERROR: Page 1 was not printed: the custom overlay picture chosen for it (IFOverlayCustom) cannot be read\n"},
    };
    for (const auto& use : uses) {
        for (const auto& file : files) {
            // The overlay shares the reader: a few files are enough there.
            if (use.options[1] == 'O' && !file.isForOverlayToo)
                continue;
            SCOPED_TRACE(std::string(use.options) + " " + file.name);
            FilterJob job;
            job.ppd.reset();
            job.options = use.options + file.picture;
            job.stdinBytes = rasterOf({cr80tools::makeSampleCard()});
            job.env.emplace_back("CR80_PICTURE_DIR", dir.path());
            job.timeoutMs = 30000;
            Printed p = cr80test::print(job);
            ASSERT_FALSE(p.run.timedOut);
            EXPECT_EQ("", p.run.out);
            EXPECT_NE(std::string::npos, p.run.err.find(use.warning));
            EXPECT_EQ(use.error, statusLines(p.run.err, {"ERROR: "}));
        }
    }
    // The picture in the directory prints (the control for the names above).
    Printed p = print({cr80tools::makeSampleCard()}, "FBlackManagement=BMPBLACK IFBlackCustom=good.bmp", dir.path());
    EXPECT_NE(nullptr, p.panel('k'));

    // Two-sided: when the back face is read, SIGTERM is already ignored; a
    // FIFO there must not hold the job up either.
    FilterJob job;
    job.ppd.reset();
    job.options = "GDuplexMode=DUPLEX_CC BBlackManagement=BMPBLACK IBBlackCustom=fifo.bmp";
    job.stdinBytes = rasterOf({cr80tools::makeSampleCard(), cr80tools::makeSampleCard()});
    job.env.emplace_back("CR80_PICTURE_DIR", dir.path());
    job.timeoutMs = 30000;
    p = cr80test::print(job);
    ASSERT_FALSE(p.run.timedOut);
    EXPECT_EQ("", p.run.out);
    EXPECT_EQ("ERROR: Page 2 was not printed: the custom black picture chosen for it (IBBlackCustom) cannot be read\n",
              statusLines(p.run.err, {"ERROR: "}));
}

// The picture directory is CR80_PICTURE_DIR, else the PPD's *cr80PictureDir,
// else the filter's working directory; a job option cannot choose it. A
// picture just under 64 MiB is read.
TEST(CustomPictureFiles, NamesAreLookedUpInThePictureDirectory)
{
    TempDir envDir, ppdDir, workDir, other;
    // The same name in each directory, each picture with its own black columns.
    const auto columns = [](unsigned n) { return [n](unsigned x, unsigned) { return x < n; }; };
    envDir.write("p.bmp", monoBmp(W, H, columns(100)));
    ppdDir.write("p.bmp", monoBmp(W, H, columns(200)));
    workDir.write("p.bmp", monoBmp(W, H, columns(300)));
    other.write("p.bmp", monoBmp(W, H, columns(400)));
    ASSERT_LT(writeSparseBlackBmp(envDir.file("big.bmp"), 32768, 16000), 64ull << 20);
    const std::string plainPpd = readFile(defaultPpdPath());
    const std::string ppdWithDirectory =
        envDir.write("dir.ppd", plainPpd + "*cr80PictureDir: \"" + ppdDir.path() + "\"\n");
    const std::string ppdWithout = envDir.write("plain.ppd", plainPpd);
    const struct {
        const char* name;
        std::optional<std::string> variable;
        std::string ppd;
        std::string options;
        unsigned long blackDots;
    } cases[] = {
        {"variable first", envDir.path(), ppdWithDirectory, "", 100ul * H},
        {"then the PPD", std::nullopt, ppdWithDirectory, "", 200ul * H},
        {"an empty variable counts as none", std::string(), ppdWithDirectory, "", 200ul * H},
        {"then the working directory", std::nullopt, ppdWithout, "", 300ul * H},
        {"not from a job option", std::nullopt, ppdWithout, " cr80PictureDir=" + other.path(), 300ul * H},
        {"nearly 64 MiB", envDir.path(), ppdWithout,
         " IBBlackCustom=big.bmp BBlackManagement=BMPBLACK "
         "GDuplexMode=DUPLEX_CC",
         100ul * H},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FilterJob job;
        job.ppd = c.ppd;
        job.options = "FBlackManagement=BMPBLACK IFBlackCustom=p.bmp" + c.options;
        const bool isTwoSided = c.options.find("DUPLEX") != std::string::npos;
        job.stdinBytes =
            rasterOf(isTwoSided ? std::vector<RasterImage>{cr80tools::makeSampleCard(), cr80tools::makeSampleCard()}
                                : std::vector<RasterImage>{cr80tools::makeSampleCard()});
        job.env.emplace_back("CR80_PICTURE_DIR", c.variable);
        job.workingDirectory = workDir.path();
        Printed p = cr80test::print(job);
        const StreamItem* k = p.panel('k');
        ASSERT_NE(nullptr, k) << p.run.err.substr(p.run.err.size() > 3000 ? p.run.err.size() - 3000 : 0);
        const std::vector<uint8_t> dots = cr80tools::panelDots(p.run.out, *k);
        EXPECT_EQ(c.blackDots, static_cast<unsigned long>(std::count(dots.begin(), dots.end(), 255)));
        if (isTwoSided) {
            const StreamItem* back = p.panel('k', 1);
            ASSERT_NE(nullptr, back);
            const std::vector<uint8_t> backDots = cr80tools::panelDots(p.run.out, *back);
            EXPECT_EQ(static_cast<long>(backDots.size()), std::count(backDots.begin(), backDots.end(), 255));
        }
    }
}

// A 24-bit file is made 1-bit with the face's threshold on the gray level:
// with the default threshold (128) gray 127 is black and gray 128 white.
TEST(CustomPictureFiles, ColourFileIsThresholdedOnGray)
{
    TempDir dir;
    dir.write("c.bmp", colourBmp(W, H, [](unsigned x, unsigned) -> uint32_t {
                  if (x < 300)
                      return 0x7F7F7F; // gray 127
                  if (x < 600)
                      return 0x808080; // gray 128
                  return 0xFF0000;     // red: (0 + 0 + 255) / 3 = 85
              }));
    Printed p = print({cr80tools::makeSampleCard()}, "FBlackManagement=BMPBLACK IFBlackCustom=c.bmp", dir.path());
    const StreamItem* k = p.panel('k');
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
            const StreamItem* item = p.panel(plane);
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
