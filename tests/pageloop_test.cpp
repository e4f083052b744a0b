// The filter entry and page loop: command line, refused and truncated pages,
// and the face bitmap layout.
#include <gtest/gtest.h>

#include <cups/raster.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>

#include "COemPDEV.h"
#include "FilterRun.h"
#include "TestRaster.h"
#include "pageloop.h"
#include "pipeline/StatusReporter.h"

using namespace cr80test;

TEST(FilterEntry, WrongArgumentCountsPrintVersionAndUsage)
{
    for (size_t n : {0u, 1u, 4u, 7u, 9u}) {
        FilterJob job;
        job.args = std::vector<std::string>(n, "x");
        ProcessResult r = runFilter(job);
        ASSERT_TRUE(r.exitedWith(0)) << n;
        EXPECT_EQ(r.out, "raster - version 1.0.0\n") << n;
        EXPECT_NE(r.err.find("ZEZ2O1 FATAL: raster job-id user title copies options [file]\n"), std::string::npos);
    }
}

// fillBitmap in process, on rasters written to a file.
class FillBitmap : public ::testing::Test {
protected:
    bool fill(const std::vector<RawPage>& pages)
    {
        std::string path = dir.write("p.ras", rawRasterOf(pages));
        fd = open(path.c_str(), O_RDONLY);
        ras = cupsRasterOpen(fd, CUPS_RASTER_READ);
        if (!cupsRasterReadHeader2(ras, &header))
            return false;
        devobj.pdevOEM = &pdev;
        return static_cast<bool>(fillBitmap(ras, &header, &devobj, nullptr));
    }
    std::vector<uint8_t> bitmap() const
    {
        return std::vector<uint8_t>(pdev.pBufStart, pdev.pBufStart + pdev.bmInfoHeader.biSizeImage);
    }
    void TearDown() override
    {
        free(pdev.pBufStart);
        pdev.pBufStart = nullptr;
        if (ras)
            cupsRasterClose(ras);
        if (fd >= 0)
            close(fd);
    }
    TempDir dir;
    int fd = -1;
    cups_raster_t* ras = nullptr;
    cups_page_header2_t header{};
    tavgdi::StatusReporter status;
    COemPDEV pdev{status};
    DEVOBJ devobj{};
};

TEST_F(FillBitmap, MissingRowsAreWhiteAndComeFirst)
{
    RawPage page = rawPage(patternImage(3, 3));
    std::vector<uint8_t> firstRow(page.data.begin(), page.data.begin() + 9);
    page.data.resize(9); // one row of three
    ASSERT_TRUE(fill({page}));
    std::vector<uint8_t> bmp = bitmap();
    ASSERT_EQ(bmp.size(), 36u); // rows of 9 bytes padded to 12
    const std::vector<uint8_t> white = {255, 255, 255, 255, 255, 255, 255, 255, 255, 0, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(bmp.begin(), bmp.begin() + 12), white);
    EXPECT_EQ(std::vector<uint8_t>(bmp.begin() + 12, bmp.begin() + 24), white);
    EXPECT_EQ(bmp[24], firstRow[2]);
    EXPECT_EQ(bmp[26], firstRow[0]);
}
