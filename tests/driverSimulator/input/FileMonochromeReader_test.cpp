#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "Allocator.h"
#include "BmpFile.h"
#include "InternalLog.h"
#include "MediaDefinition.h"
#include "TestRaster.h"
#include "image/IPixel.h"
#include "input/FileMonochromeReader.h"

using tavgdi::FileMonochromeReader;
using tavgdi::MediaDefinition;
using namespace cr80test;

namespace {

// Black dot (x, y) from the top-left of a landscape card bitmap as read:
// rows padded to 4 bytes, bottom row first, bit 0 black.
bool isBlackAt(const byte* bitmap, const MediaDefinition& media, unsigned x, unsigned y)
{
    const size_t row = static_cast<size_t>(MediaDefinition::ComputeRWidth(static_cast<int>(media.getWidth())));
    const byte b = bitmap[(media.getHeight() - 1 - y) * row + x / 8];
    return ((b >> (7 - x % 8)) & 1) == 0;
}

struct Read {
    byte* bitmap = nullptr;
    ~Read() { tavgdi::Allocator::desalloc(bitmap); }
};

struct FileCase {
    const char* name;
    unsigned width, height;
    bool colour;
    // The expected card dot for the picture's predicate p.
    std::function<bool(const DotIsBlack& p, unsigned x, unsigned y)> expected;
};

const FileCase Files[] = {
    {"landscape 1-bit", 1016, 648, false, [](const DotIsBlack& p, unsigned x, unsigned y) { return p(x, y); }},
    // The top edge of a portrait picture runs along the right edge of the card.
    {"portrait 1-bit", 648, 1016, false, [](const DotIsBlack& p, unsigned x, unsigned y) { return p(y, 1015 - x); }},
    {"landscape 24-bit", 1016, 648, true, [](const DotIsBlack& p, unsigned x, unsigned y) { return p(x, y); }},
    {"portrait 24-bit", 648, 1016, true, [](const DotIsBlack& p, unsigned x, unsigned y) { return p(y, 1015 - x); }},
    // Half size: each dot of the file covers 2 x 2 dots of the card.
    {"half size 1-bit", 508, 324, false, [](const DotIsBlack& p, unsigned x, unsigned y) { return p(x / 2, y / 2); }},
};

class FileMonochromeReaderTest : public testing::Test {
protected:
    void SetUp() override
    {
        wasEnabled = tavgdi::InternalLog::isEnable;
        tavgdi::InternalLog::isEnable = false;
    }
    void TearDown() override
    {
        tavgdi::InternalLog::isEnable = wasEnabled;
        tavgdi::IPixel::setThreshold(tavgdi::IPixel::DefaultThreshold);
    }
    bool wasEnabled = true;
};

} // namespace

TEST_F(FileMonochromeReaderTest, ReadsEveryDepthAndOrientationAsALandscapeCardBitmap)
{
    MediaDefinition media(300, 300, 1016, 648);
    tavgdi::IPixel::setThreshold(128);
    TempDir dir;
    for (const FileCase& c : Files) {
        SCOPED_TRACE(c.name);
        const DotIsBlack picture = frameAndDiagonal(c.width, c.height);
        const std::string bytes =
            c.colour ? colourBmp(c.width, c.height,
                                 [&](unsigned x, unsigned y) -> uint32_t { return picture(x, y) ? 0x202020 : 0xE0E0E0; })
                     : monoBmp(c.width, c.height, picture);
        FileMonochromeReader reader(dir.write("p.bmp", bytes).c_str());
        Read r;
        r.bitmap = reader.read(&media);
        ASSERT_NE(nullptr, r.bitmap);
        size_t wrong = 0;
        for (unsigned y = 0; y < 648; ++y)
            for (unsigned x = 0; x < 1016; ++x)
                wrong += isBlackAt(r.bitmap, media, x, y) != c.expected(picture, x, y);
        EXPECT_EQ(0u, wrong);
        // The padding of every row (the last byte of 128) is white.
        for (unsigned row = 0; row < 648; ++row)
            ASSERT_EQ(0xFF, r.bitmap[row * 128 + 127]) << row;
    }
}

TEST_F(FileMonochromeReaderTest, ColourDotsAreBlackBelowTheThreshold)
{
    MediaDefinition media(300, 300, 1016, 648);
    TempDir dir;
    // Gray levels 100 | 101 | 200 across the card; red is gray (0+0+255)/3 = 85.
    const std::string path = dir.write("c.bmp", colourBmp(1016, 648, [](unsigned x, unsigned) -> uint32_t {
                                           return x < 300 ? 0x646464 : x < 600 ? 0x656565 : x < 900 ? 0xC8C8C8 : 0xFF0000;
                                       }));
    const struct {
        int threshold;
        bool at100, at101, at200, red;
    } cases[] = {{101, true, false, false, true}, {201, true, true, true, true}, {0, false, false, false, false}, {86, false, false, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.threshold);
        tavgdi::IPixel::setThreshold(static_cast<byte>(c.threshold));
        FileMonochromeReader reader(path.c_str());
        Read r;
        r.bitmap = reader.read(&media);
        ASSERT_NE(nullptr, r.bitmap);
        EXPECT_EQ(c.at100, isBlackAt(r.bitmap, media, 0, 0));
        EXPECT_EQ(c.at101, isBlackAt(r.bitmap, media, 300, 5));
        EXPECT_EQ(c.at200, isBlackAt(r.bitmap, media, 899, 647));
        EXPECT_EQ(c.red, isBlackAt(r.bitmap, media, 1015, 100));
    }
}

// Unreadable files give nothing, and the two temporary objects are released
// with their log lines, the parser first.
TEST_F(FileMonochromeReaderTest, UnreadableFilesGiveNullAndReleaseEverything)
{
    MediaDefinition media(300, 300, 1016, 648);
    TempDir dir;
    const std::string good = monoBmp(1016, 648, frameAndDiagonal(1016, 648));
    std::string fourBit = good;
    fourBit[28] = 4;
    const std::string paths[] = {dir.file("absent.bmp"), dir.write("cut.bmp", good.substr(0, good.size() - 1)),
                                 dir.write("four.bmp", fourBit), dir.write("head.bmp", good.substr(0, 53)), ""};
    tavgdi::InternalLog::isEnable = true;
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        FileMonochromeReader reader(path.c_str());
        testing::internal::CaptureStderr();
        byte* bitmap = reader.read(&media);
        const std::string log = std::regex_replace(testing::internal::GetCapturedStderr(),
                                                   std::regex("PTR: [0-9a-f]+"), "PTR: P");
        EXPECT_EQ(nullptr, bitmap);
        tavgdi::Allocator::desalloc(bitmap);
        const size_t parser = log.find("[TAVRIN UNIDRIVER MEM] IGDataParser FREE - \t\tPTR: P\r\n");
        const size_t manager = log.find("[TAVRIN UNIDRIVER MEM] IGDataMemoryManager FREE - \t\tPTR: P\r\n");
        EXPECT_NE(std::string::npos, parser);
        EXPECT_NE(std::string::npos, manager);
        EXPECT_LT(parser, manager);
        EXPECT_EQ(std::string::npos, log.find("FileMonochromeReader::read"));
    }
    tavgdi::InternalLog::isEnable = false;
    FileMonochromeReader reader(dir.file("absent.bmp").c_str());
    EXPECT_EQ(nullptr, reader.read(nullptr));
}
