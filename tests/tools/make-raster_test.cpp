#include <gtest/gtest.h>

#include <sys/stat.h>

#include "FilterRun.h"
#include "TestRaster.h"

using namespace cr80tools;
using cr80test::ProcessResult;
using cr80test::TempDir;

namespace {

// make-raster is built next to the filter.
std::string makeRasterPath()
{
    const std::string filter = cr80test::filterPath();
    return filter.substr(0, filter.rfind('/') + 1) + "make-raster";
}

class MakeRaster : public testing::Test {
protected:
    void SetUp() override
    {
        struct stat st;
        if (stat(makeRasterPath().c_str(), &st) != 0)
            GTEST_SKIP() << "make-raster is not built";
    }

    ProcessResult run(std::vector<std::string> args)
    {
        args.insert(args.begin(), makeRasterPath());
        return cr80test::runCommand(args, 30000);
    }

    TempDir dir;
};

} // namespace

TEST_F(MakeRaster, SeveralPagesSizesResolutionsAndPictures)
{
    const RasterImage pic = cr80test::patternImage(9, 5);
    std::string err;
    ASSERT_TRUE(writePpm(dir.file("p.ppm"), pic, &err)) << err;

    const std::string out = dir.file("m.ras");
    const ProcessResult r = run({"--width", "101", "--height=63", "--dpi", "300x600", "--pages", "2", "--ppm",
                                 dir.file("p.ppm"), "--sample", "-o", out});
    ASSERT_TRUE(r.exitedWith(0)) << r.err;
    std::vector<RawPage> pages;
    ASSERT_TRUE(readRasterBytes(cr80test::readFile(out), pages, &err)) << err;
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].data, pic.rgb);
    EXPECT_EQ(pages[1].data, makeSampleCard(101, 63, 2).rgb);
    EXPECT_EQ(pages[2].data, makeSampleCard(101, 63, 3).rgb);
    for (const RawPage& p : pages) {
        EXPECT_EQ(p.header.HWResolution[0], 300u);
        EXPECT_EQ(p.header.HWResolution[1], 600u);
    }
}
