#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "Allocator.h"
#include "BmpFile.h"
#include "InternalLog.h"
#include "MediaDefinition.h"
#include "TestRaster.h"
#include "input/FileMonochromeReader.h"

using tavgdi::FileMonochromeReader;
using tavgdi::MediaDefinition;
using namespace cr80test;

namespace {

struct Read {
    byte* bitmap = nullptr;
    ~Read() { tavgdi::Allocator::desalloc(bitmap); }
};

// A reader of `name` inside the picture directory `dir`.
struct ReaderIn : FileMonochromeReader {
    ReaderIn(const TempDir& dir, const char* name) : FileMonochromeReader(name)
    {
        setSource(dir.path().c_str(), "IFBlackCustom");
    }
};

class FileMonochromeReaderTest : public testing::Test {
protected:
    void SetUp() override { std::swap(wasEnabled, tavgdi::InternalLog::isEnable); }
    void TearDown() override { tavgdi::InternalLog::isEnable = wasEnabled; }
    bool wasEnabled = false;
};

} // namespace

// Unreadable files give nothing. Names that leave the picture directory are
// refused before anything is made or opened.
TEST_F(FileMonochromeReaderTest, UnreadableFilesAndRefusedNamesGiveNull)
{
    MediaDefinition media(300, 300, 1016, 648);
    TempDir dir;
    const std::string good = monoBmp(1016, 648, frameAndDiagonal(1016, 648));
    std::string fourBit = good;
    fourBit[28] = 4;
    dir.write("good.bmp", good);
    dir.write("cut.bmp", good.substr(0, good.size() - 1));
    dir.write("four.bmp", fourBit);
    dir.write("head.bmp", good.substr(0, 53));
    const std::string base = dir.path().substr(dir.path().rfind('/') + 1);
    const struct {
        std::string name;
        bool isRefused;
        // clang-format off
    } cases[] = {
        {"absent.bmp", false}, {"cut.bmp", false}, {"four.bmp", false}, {"head.bmp", false},
        {"", true}, {dir.file("good.bmp"), true}, {"../" + base + "/good.bmp", true}, {"./../" + base + "/good.bmp", true},
    };
    // clang-format on
    tavgdi::InternalLog::isEnable = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReaderIn reader(dir, c.name.c_str());
        testing::internal::CaptureStderr();
        byte* bitmap = reader.read(&media);
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_EQ(nullptr, bitmap);
        tavgdi::Allocator::desalloc(bitmap);
        EXPECT_EQ(c.isRefused, log.find("picture name refused") != std::string::npos);
        EXPECT_EQ(c.isRefused, log.find("IGDataMemoryManager FREE") == std::string::npos);
    }
}

// A job reads each picture file once: later cards get a copy of the card
// bitmap kept from the first, and a file that failed is not tried again, so
// every card of the job gets the same. A new name, a new directory or
// another card size reads the file again.
TEST_F(FileMonochromeReaderTest, ReadsTheFileOncePerJob)
{
    MediaDefinition media(300, 300, 1016, 648);
    const size_t size = media.getBMPMonochromeDataSize();
    TempDir dir, otherDir;
    const std::string good = monoBmp(1016, 648, frameAndDiagonal(1016, 648));
    dir.write("p.bmp", good);
    otherDir.write("p.bmp", "not a bitmap");
    ReaderIn reader(dir, "p.bmp");

    Read first, second;
    first.bitmap = reader.read(&media);
    ASSERT_NE(nullptr, first.bitmap);
    dir.write("p.bmp", "not a bitmap either");
    second.bitmap = reader.read(&media);
    ASSERT_NE(nullptr, second.bitmap);
    EXPECT_NE(first.bitmap, second.bitmap); // each card owns its buffer
    EXPECT_EQ(0, memcmp(first.bitmap, second.bitmap, size));

    // Another card: the file is read again, and its failure is kept.
    MediaDefinition half(300, 300, 508, 324);
    EXPECT_EQ(nullptr, reader.read(&half));
    dir.write("p.bmp", good);
    EXPECT_EQ(nullptr, reader.read(&half));

    // Named again: read again.
    reader.update(nullptr, "p.bmp");
    Read third;
    third.bitmap = reader.read(&media);
    ASSERT_NE(nullptr, third.bitmap);
    EXPECT_EQ(0, memcmp(first.bitmap, third.bitmap, size));

    // The same directory again keeps the picture; another one reads there.
    reader.setSource(dir.path().c_str(), "IFBlackCustom");
    Read fourth;
    fourth.bitmap = reader.read(&media);
    EXPECT_NE(nullptr, fourth.bitmap);
    reader.setSource(otherDir.path().c_str(), "IFBlackCustom");
    EXPECT_EQ(nullptr, reader.read(&media));
}
