// The bitmap reader: memory pictures and files, files the bitmap writer saves
// read back through it, and the custom picture file reader on top of it.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Allocator.h"
#include "BmpFile.h"
#include "GlobalFactory.h"
#include "InternalLog.h"
#include "TestRaster.h"
#include "MediaDefinition.h"
#include "VectorMemoryManager.h"
#include "image/GDMemoryManager.h"
#include "image/IGDataSupervisor.h"
#include "image/IPixel.h"
#include "input/CR80BmpParser.h"
#include "input/FileMonochromeReader.h"
#include "settings/IGDataOptions.h"

using namespace cr80test;
using GraphicalConstants::CardOrientation;
using tavgdi::CR80BmpParser;
using tavgdi::FileMonochromeReader;
using tavgdi::IGDataParser;
using tavgdi::MediaDefinition;

namespace {

dword rowBytes(dword width, bool color)
{
    return color ? (width * 3 + 3) & ~3u : ((width + 31) / 32) * 4;
}

std::vector<byte> picture(dword width, dword height, bool color)
{
    std::vector<byte> p(rowBytes(width, color) * height);
    for (size_t i = 0; i < p.size(); ++i)
        p[i] = static_cast<byte>(i * 31 + i / 977);
    return p;
}

struct MemoryCase {
    const char* name;
    dword width, height;
    bool color;
    tavgdi::AlignmentOutputBuffer alignment;
    bool strict;        // options without stretching: other sizes are refused
    dword missingBytes; // taken off the exact buffer size
    bool ok;
    CardOrientation orientation;
    IGDataParser::GDParserStates state;
    dword cardWidth = 1016, cardHeight = 648; // dots at 300 dpi
};

const CardOrientation Land = GraphicalConstants::Landscape, Port = GraphicalConstants::Portrait;
const IGDataParser::GDParserStates Ok = IGDataParser::GDParser_ok, Refused = IGDataParser::GDParser_parsingerror;
const tavgdi::AlignmentOutputBuffer Aligned = tavgdi::Aligned, Packed = tavgdi::Unaligned;

// The goldens hold a landscape colour page (read in place and copied), a
// 1-bit card picture and a rescaled page.
const MemoryCase kMemoryCases[] = {
    {"portrait", 648, 1016, true, Packed, false, 0, true, Port, Ok},
    {"aligned colour", 1016, 648, true, Aligned, false, 0, true, Land, Ok},
    {"mono aligned portrait", 648, 1016, false, Aligned, false, 0, true, Port, Ok},
    {"rescaled portrait", 31, 50, false, Packed, false, 0, true, Port, Ok},
    {"tie goes landscape", 800, 800, true, Packed, false, 0, true, Land, Ok},
    // One-bit rows of a card whose width is not a multiple of 8 lose their
    // last dots and leave the end of the buffer to the white fill.
    {"21 dots wide", 21, 13, false, Packed, false, 0, true, Land, Ok, 21, 13},
    {"strict page setup", 1000, 640, true, Packed, true, 0, false, Land, Ok},
    {"colour buffer short", 1016, 648, true, Packed, false, 1, false, Land, Refused},
    {"short buffer to rescale", 100, 100, true, Packed, false, 4, false, Land, Refused},
    {"zero width", 0, 648, true, Packed, false, 0, false, Land, Refused},
};

struct FileCase {
    const char* name;
    int bpp;
    std::function<void(std::string&)> mutate;
    IGDataParser::GDParserStates state;
};

// The custom picture goldens and file reader tests hold a small 24-bit file,
// a file of another depth, one cut inside its headers and one cut short.
const FileCase kFileCases[] = {
    {"one bit", 1, [](std::string&) {}, Ok},
    {"bad magic", 24, [](std::string& f) { f[0] = 'X'; }, Refused},
    {"32 bits claiming a huge array", 32, [](std::string& f) { putLE(f, 34, 0xFFFFFFF0u); }, Refused},
    {"compressed", 24, [](std::string& f) { f[30] = 1; }, Refused},
    {"top-down", 24, [](std::string& f) { putLE(f, 22, static_cast<dword>(-10)); }, Refused},
    {"zero width", 24, [](std::string& f) { putLE(f, 18, 0); }, Refused},
    {"huge", 24,
     [](std::string& f) {
         putLE(f, 18, 100000);
         putLE(f, 22, 100000);
     },
     Refused},
    {"pixels beyond the file", 24, [](std::string& f) { putLE(f, 10, 1u << 20); }, Refused},
};

class QuietLog : public testing::Test {
protected:
    void SetUp() override { std::swap(wasEnabled, tavgdi::InternalLog::isEnable); }
    void TearDown() override { tavgdi::InternalLog::isEnable = wasEnabled; }
    bool wasEnabled = false;
};
using BmpOutput = QuietLog;
using FileMonochromeReaderTest = QuietLog;

// A card bitmap the caller owns.
struct Read {
    explicit Read(byte* bitmap) : bitmap(bitmap) {}
    ~Read() { tavgdi::Allocator::desalloc(bitmap); }
    byte* bitmap;
};

// A reader of `name` inside the picture directory `dir`.
struct ReaderIn : FileMonochromeReader {
    ReaderIn(const TempDir& dir, const char* name) : FileMonochromeReader(name)
    {
        setSource(dir.path().c_str(), "IFBlackCustom");
    }
};

struct SaveCase {
    TavFactory::SupervisorType type;
    dword dpi, pictureWidth, pictureHeight;
};

// Rows padded to 4 bytes: at 299 dpi the card is 1013 x 646 dots (24-bit
// rows of 3039 bytes), 1-bit rows of 1016 or 648 dots take 127 or 81 bytes.
const SaveCase Saves[] = {
    {TavFactory::BmpColorSupervisor, 299, 1013, 646},
    {TavFactory::BmpGraySupervisor, 300, 648, 1016},
    {TavFactory::BmpMonochromeSupervisor, 300, 1016, 648},
    {TavFactory::BmpMonochromeSupervisor, 300, 648, 1016},
};

} // namespace

TEST(CR80BmpParser, MemoryPictures)
{
    for (const MemoryCase& c : kMemoryCases) {
        SCOPED_TRACE(c.name);
        MediaDefinition media(300, 300, c.cardWidth, c.cardHeight);
        std::vector<byte> src = picture(c.width, c.height, c.color);
        // An exact-size heap copy, so that any read past it is caught.
        const dword size = static_cast<dword>(src.size()) - c.missingBytes;
        std::unique_ptr<byte[]> buffer(new byte[size > 0 ? size : 1]);
        if (size > 0)
            memcpy(buffer.get(), src.data(), size);
        VectorMemoryManager mem;
        std::unique_ptr<tavgdi::IGDataOptions> opts(
            c.strict ? TavFactory::FactoryDataOptions(TavFactory::BmpColorSupervisor) : nullptr);
        CR80BmpParser parser(&mem, c.alignment);

        EXPECT_EQ(c.ok, parser.parse(buffer.get(), size, c.width, c.height, c.color, opts.get(), &media));
        EXPECT_EQ(c.state, parser.getState());
        EXPECT_EQ(c.ok, parser.isDataAvailable());
        if (!c.ok) {
            EXPECT_EQ(0u, mem.getSize());
            continue;
        }
        EXPECT_EQ(c.orientation, parser.getCardOrientation());
        // The plain memory manager (not filled before the copy) ends with the
        // same bytes, the dots the picture leaves white.
        tavgdi::GDMemoryManager plain;
        CR80BmpParser plainParser(&plain, c.alignment);
        ASSERT_TRUE(plainParser.parse(buffer.get(), size, c.width, c.height, c.color, opts.get(), &media));
        ASSERT_EQ(plain.getSize(), mem.getSize());
        EXPECT_EQ(0, memcmp(plain.getBuffer(0), mem.bytes.data(), mem.getSize()));
        EXPECT_EQ(media.getWidth(), parser.getWidth());
        EXPECT_EQ(media.getHeight(), parser.getHeight());
        const dword expectedSize = c.color                 ? media.getColorDataSize()
                                   : c.alignment == Packed ? media.getMonochromeDataSize()
                                                           : media.getBMPMonochromeDataSize();
        ASSERT_EQ(expectedSize, mem.getSize());

        // A picture of the card's size is copied row by row, without padding
        // when unaligned.
        const bool portrait = c.orientation == Port;
        const dword w = portrait ? media.getHeight() : media.getWidth();
        if (c.width != w)
            continue;
        const dword srcRow = rowBytes(c.width, c.color);
        const dword dstRow = c.alignment == Aligned ? srcRow : c.color ? c.width * 3 : c.width / 8;
        for (dword h = 0; h < c.height && (h + 1) * dstRow <= mem.getSize(); h += 7)
            ASSERT_EQ(0, memcmp(mem.bytes.data() + h * dstRow, src.data() + h * srcRow, dstRow)) << "row " << h;
    }
}

TEST(CR80BmpParser, BitmapFiles)
{
    MediaDefinition media(300, 300, 1016, 648);
    TempDir dir;
    for (const FileCase& c : kFileCases) {
        SCOPED_TRACE(c.name);
        std::string file = rawBmp(21, 10, c.bpp);
        c.mutate(file);
        const std::string path = dir.write("p.bmp", file);
        VectorMemoryManager mem;
        CR80BmpParser parser(&mem, Packed);
        const bool ok = c.state == Ok;
        EXPECT_EQ(ok, parser.parse(path.c_str(), nullptr, &media));
        EXPECT_EQ(c.state, parser.getState());
        // A small picture is always stretched to the card.
        EXPECT_EQ(ok ? (c.bpp == 1 ? media.getMonochromeDataSize() : media.getColorDataSize()) : 0u, mem.getSize());
    }
}

// A saved picture has the headers of a plain bitmap file and, read back with
// the bitmap parser, the same dots as the supervisor it came from.
TEST_F(BmpOutput, SavedFilesReadBackDotForDot)
{
    TempDir dir;
    for (const SaveCase& c : Saves) {
        SCOPED_TRACE(std::to_string(c.type) + " " + std::to_string(c.pictureWidth) + " at " + std::to_string(c.dpi));
        MediaDefinition media(c.dpi, c.dpi, 1016, 648);
        const bool colour = c.type != TavFactory::BmpMonochromeSupervisor;
        std::vector<byte> raster = picture(c.pictureWidth, c.pictureHeight, colour);
        std::unique_ptr<tavgdi::IGDataSupervisor> original(TavFactory::FactoryGDataSupervisor(c.type, &media, nullptr));
        ASSERT_TRUE(original->setRaster(raster.data(), static_cast<dword>(raster.size()), c.pictureWidth,
                                        c.pictureHeight, colour));
        std::string path = dir.file("saved.bmp");
        ASSERT_TRUE(original->save(&path[0]));

        // The headers of a plain bitmap file of that size, 300 in both
        // resolution fields and, for 1-bit files, black then white.
        const std::string file = readFile(path);
        const std::string plain =
            rawBmp(static_cast<int32_t>(c.pictureWidth), static_cast<int32_t>(c.pictureHeight), colour ? 24 : 1);
        const uint32_t headerSize = colour ? 54 : 62;
        ASSERT_EQ(plain.size() - 54 + headerSize, file.size());
        std::string headers = plain.substr(0, 54);
        putLE(headers, 2, static_cast<uint32_t>(file.size()));
        putLE(headers, 10, headerSize);
        putLE(headers, 38, 300);
        putLE(headers, 42, 300);
        EXPECT_EQ(headers, file.substr(0, 54));
        if (!colour) {
            EXPECT_EQ(std::string("\0\0\0\0\xFF\xFF\xFF\0", 8), file.substr(54, 8));
        }

        std::unique_ptr<tavgdi::IGDataSupervisor> copy(TavFactory::FactoryGDataSupervisor(c.type, &media, nullptr));
        ASSERT_TRUE(copy->load(&path[0], false));
        ASSERT_EQ(original->getOrientation(), copy->getOrientation());
        std::unique_ptr<tavgdi::IPixel> a(TavFactory::FactoryPixel(c.type, 0, 0, 0));
        std::unique_ptr<tavgdi::IPixel> b(TavFactory::FactoryPixel(c.type, 0, 0, 0));
        size_t differing = 0, inked = 0;
        for (int y = 0; y < static_cast<int>(media.getHeight()); ++y)
            for (int x = 0; x < static_cast<int>(media.getWidth()); ++x) {
                original->getPixel(x, y, a.get());
                copy->getPixel(x, y, b.get());
                differing += a->getY() != b->getY() || a->getM() != b->getM() || a->getC() != b->getC() ||
                             a->isBlack() != b->isBlack();
                inked += colour ? a->getY() != 0 && a->getC() != 0 : a->isBlack();
            }
        EXPECT_EQ(0u, differing);
        EXPECT_GT(inked, media.getArea() / 4); // the comparison saw real content
    }
}

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

    Read first(reader.read(&media));
    ASSERT_NE(nullptr, first.bitmap);
    dir.write("p.bmp", "not a bitmap either");
    Read second(reader.read(&media));
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
    Read third(reader.read(&media));
    ASSERT_NE(nullptr, third.bitmap);
    EXPECT_EQ(0, memcmp(first.bitmap, third.bitmap, size));

    // The same directory again keeps the picture; another one reads there.
    reader.setSource(dir.path().c_str(), "IFBlackCustom");
    EXPECT_NE(nullptr, Read(reader.read(&media)).bitmap);
    reader.setSource(otherDir.path().c_str(), "IFBlackCustom");
    EXPECT_EQ(nullptr, reader.read(&media));
}
