#include <gtest/gtest.h>

#include <cstring>

#include "TestRaster.h"
#include "rasterwriter.h"

using namespace cr80tools;
using cr80test::patternImage;
using cr80test::TempDir;

namespace {

std::vector<RawPage> readBack(const std::string& bytes)
{
    std::vector<RawPage> pages;
    std::string err;
    EXPECT_TRUE(readRasterBytes(bytes, pages, &err)) << err;
    return pages;
}

bool sameHeader(const cups_page_header2_t& a, const cups_page_header2_t& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

TEST(RasterWriter, PagesReadBackUnchanged)
{
    struct Case {
        const char* name;
        std::vector<RasterImage> pages;
        unsigned dpiX, dpiY;
    };
    const Case cases[] = {
        {"sample card", {makeSampleCard()}, 300, 300},
        {"odd widths, three pages", {patternImage(7, 3, 1), patternImage(333, 5, 2), patternImage(1, 9, 3)}, 300, 300},
        {"unequal resolution", {patternImage(101, 64, 4)}, 300, 600},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<RawPage> back = readBack(cr80test::rasterOf(c.pages, c.dpiX, c.dpiY));
        ASSERT_EQ(back.size(), c.pages.size());
        for (size_t i = 0; i < back.size(); ++i) {
            EXPECT_TRUE(sameHeader(back[i].header, makeHeader(c.pages[i], c.dpiX, c.dpiY))) << "page " << i;
            EXPECT_EQ(back[i].data, c.pages[i].rgb) << "page " << i;
        }
    }
}

TEST(RasterWriter, RawPagesCraftTruncatedAndOddRasters)
{
    const RasterImage img = patternImage(6, 4);
    RawPage truncated = cr80test::rawPage(img);
    truncated.data.resize(2 * 18);  // two of four rows
    std::vector<RawPage> back = readBack(cr80test::rawRasterOf({cr80test::rawPage(patternImage(3, 2)), truncated}));
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[1].header.cupsHeight, 4u);
    EXPECT_EQ(back[1].data, std::vector<uint8_t>(img.rgb.begin(), img.rgb.begin() + 36));

    // An all-zero header is written; pixel data under it cannot be.
    RawPage empty;
    std::memset(&empty.header, 0, sizeof empty.header);
    std::string bytes, err;
    EXPECT_TRUE(rawRasterBytes({empty}, bytes, &err)) << err;
    EXPECT_EQ(bytes.size(), 4 + sizeof(cups_page_header2_t));
    empty.data.assign(3, 1);
    EXPECT_FALSE(rawRasterBytes({empty}, bytes, &err));
    EXPECT_NE(err.find("pixels of page 1"), std::string::npos) << err;
}


TEST(Ppm, RefusesWhatItCannotRead)
{
    const std::pair<std::string, const char*> cases[] = {
        {"P3\n1 1\n255\n1 2 3\n", "P3"},
        {"hello", "not a PPM"},
        {"P6\n1 1\n65535\n\x01\x02\x03\x04\x05\x06", "maxval 65535"},
        {"P6\n2 2\n255\n\x01\x02\x03\x04\x05", "truncated"},
        {"P6\n1 1\n255", "whitespace"},
        {"P6\n-1 1\n255\n\x01\x02\x03", "width"},
        {"P6\n1 99999999999999999999\n255\n", "absurdly large"},
        {"P6\n30000 30000\n255\n\x01", "truncated"},
    };
    for (const auto& [bytes, message] : cases) {
        RasterImage img(1, 1, 9, 9, 9);
        std::string err;
        EXPECT_FALSE(parsePpm(bytes, img, &err)) << message;
        EXPECT_NE(err.find(message), std::string::npos) << err;
        EXPECT_EQ(img.rgb, (std::vector<uint8_t>{9, 9, 9})) << message;
    }

    // Files: a cut file names itself; a missing one cannot be opened.
    TempDir dir;
    std::string err;
    ASSERT_TRUE(writePpm(dir.file("p.ppm"), patternImage(13, 7), &err)) << err;
    const std::string whole = cr80test::readFile(dir.file("p.ppm"));
    cr80test::writeFile(dir.file("cut.ppm"), whole.substr(0, whole.size() - 1));
    RasterImage back;
    EXPECT_FALSE(readPpm(dir.file("cut.ppm"), back, &err));
    EXPECT_NE(err.find("cut.ppm: "), std::string::npos) << err;
    EXPECT_NE(err.find("truncated"), std::string::npos) << err;
    EXPECT_FALSE(readPpm(dir.file("none.ppm"), back, &err));
    EXPECT_NE(err.find("cannot open"), std::string::npos) << err;
}
