#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "GlobalFactory.h"
#include "MediaDefinition.h"
#include "VectorMemoryManager.h"
#include "image/GDMemoryManager.h"
#include "input/CR80BmpParser.h"
#include "settings/IGDataOptions.h"

using GraphicalConstants::CardOrientation;
using tavgdi::CR80BmpParser;
using tavgdi::IGDataParser;
using tavgdi::MediaDefinition;

namespace {

dword rowBytes(dword width, bool color)
{
    return color ? (width * 3 + 3) & ~3u : ((width + 31) / 32) * 4;
}

std::vector<byte> picture(dword width, dword height, bool color, byte seed = 0)
{
    std::vector<byte> p(rowBytes(width, color) * height);
    for (size_t i = 0; i < p.size(); ++i)
        p[i] = static_cast<byte>(i * 31 + i / 977 + seed);
    return p;
}

void put32(std::vector<byte>& f, size_t at, dword v)
{
    for (int i = 0; i < 4; ++i)
        f[at + i] = static_cast<byte>(v >> (8 * i));
}

// A bottom-up bitmap file of the given depth.
std::vector<byte> bitmapFile(int32_t width, int32_t height, int bpp)
{
    const bool color = bpp != 1;
    const dword w = static_cast<dword>(width), h = static_cast<dword>(height < 0 ? -height : height);
    std::vector<byte> pixels = picture(w, h, color, 3);
    std::vector<byte> f(54 + pixels.size(), 0);
    f[0] = 'B';
    f[1] = 'M';
    put32(f, 2, static_cast<dword>(54 + pixels.size()));
    put32(f, 10, 54);
    put32(f, 14, 40);
    put32(f, 18, static_cast<dword>(width));
    put32(f, 22, static_cast<dword>(height));
    f[26] = 1;
    f[28] = static_cast<byte>(bpp);
    put32(f, 34, static_cast<dword>(pixels.size()));
    if (!pixels.empty())
        memcpy(f.data() + 54, pixels.data(), pixels.size());
    return f;
}

std::string tempPath(const char* name)
{
    return testing::TempDir() + "cr80bmpparser_" + std::to_string(getpid()) + "_" + name + ".bmp";
}

void writeFile(const std::string& path, const std::vector<byte>& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    if (!bytes.empty())
        fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

enum PageSetup { NoOptions, Strict, Stretch };

std::unique_ptr<tavgdi::IGDataOptions> options(PageSetup setup)
{
    if (setup == NoOptions)
        return nullptr;
    std::unique_ptr<tavgdi::IGDataOptions> o(TavFactory::FactoryDataOptions(TavFactory::BmpColorSupervisor));
    if (setup == Stretch)
        o->setOption(TavGdiOptions::StrictPageSetup, TavGdiOptions::StretchImage);
    return o;
}

struct MemoryCase {
    const char* name;
    dword dpiY; // the card is CR80 at 300 dpi across
    dword width, height;
    bool color;
    tavgdi::AlignmentOutputBuffer alignment;
    PageSetup setup;
    dword missingBytes; // taken off the exact buffer size
    bool ok;
    CardOrientation orientation;
    IGDataParser::GDParserStates state;
};

const MemoryCase kMemoryCases[] = {
    {"landscape", 300, 1016, 648, true, tavgdi::Unaligned, NoOptions, 0, true, GraphicalConstants::Landscape,
     IGDataParser::GDParser_ok},
    {"portrait", 300, 648, 1016, true, tavgdi::Unaligned, NoOptions, 0, true, GraphicalConstants::Portrait,
     IGDataParser::GDParser_ok},
    {"portrait padded rows", 299, 646, 1016, true, tavgdi::Unaligned, NoOptions, 0, true,
     GraphicalConstants::Portrait, IGDataParser::GDParser_ok},
    {"aligned colour", 300, 1016, 648, true, tavgdi::Aligned, NoOptions, 0, true, GraphicalConstants::Landscape,
     IGDataParser::GDParser_ok},
    {"mono unaligned", 300, 1016, 648, false, tavgdi::Unaligned, Strict, 0, true, GraphicalConstants::Landscape,
     IGDataParser::GDParser_ok},
    {"mono aligned portrait", 300, 648, 1016, false, tavgdi::Aligned, NoOptions, 0, true,
     GraphicalConstants::Portrait, IGDataParser::GDParser_ok},
    {"rescaled without options", 300, 1000, 640, true, tavgdi::Unaligned, NoOptions, 0, true,
     GraphicalConstants::Landscape, IGDataParser::GDParser_ok},
    {"rescaled when stretching", 300, 1000, 640, true, tavgdi::Unaligned, Stretch, 0, true,
     GraphicalConstants::Landscape, IGDataParser::GDParser_ok},
    {"rescaled portrait", 300, 31, 50, false, tavgdi::Unaligned, NoOptions, 0, true, GraphicalConstants::Portrait,
     IGDataParser::GDParser_ok},
    {"tie goes landscape", 300, 800, 800, true, tavgdi::Unaligned, NoOptions, 0, true,
     GraphicalConstants::Landscape, IGDataParser::GDParser_ok},
    {"strict page setup", 300, 1000, 640, true, tavgdi::Unaligned, Strict, 0, false, GraphicalConstants::Landscape,
     IGDataParser::GDParser_ok},
    {"colour buffer short", 300, 1016, 648, true, tavgdi::Unaligned, NoOptions, 1, false,
     GraphicalConstants::Landscape, IGDataParser::GDParser_parsingerror},
    {"mono buffer short", 300, 1016, 648, false, tavgdi::Aligned, NoOptions, 1, false,
     GraphicalConstants::Landscape, IGDataParser::GDParser_parsingerror},
    {"short buffer to rescale", 300, 100, 100, true, tavgdi::Unaligned, NoOptions, 4, false,
     GraphicalConstants::Landscape, IGDataParser::GDParser_parsingerror},
    {"zero width", 300, 0, 648, true, tavgdi::Unaligned, NoOptions, 0, false, GraphicalConstants::Landscape,
     IGDataParser::GDParser_parsingerror},
};

} // namespace

TEST(CR80BmpParser, MemoryPictures)
{
    for (const MemoryCase& c : kMemoryCases) {
        SCOPED_TRACE(c.name);
        MediaDefinition media(300, c.dpiY, 1016, 648);
        std::vector<byte> src = picture(c.width, c.height, c.color);
        // An exact-size heap copy, so that any read past it is caught.
        const dword size = static_cast<dword>(src.size()) - c.missingBytes;
        std::unique_ptr<byte[]> buffer(new byte[size > 0 ? size : 1]);
        if (size > 0)
            memcpy(buffer.get(), src.data(), size);
        VectorMemoryManager mem;
        auto opts = options(c.setup);
        CR80BmpParser parser(&mem, c.alignment);

        EXPECT_EQ(c.ok, parser.parse(buffer.get(), size, c.width, c.height, c.color, opts.get(), &media));
        EXPECT_EQ(c.state, parser.getState());
        EXPECT_EQ(c.ok, parser.isDataAvailable());
        if (!c.ok) {
            EXPECT_EQ(0u, mem.getSize());
            continue;
        }
        EXPECT_EQ(c.orientation, parser.getCardOrientation());
        {
            // The plain memory manager (not filled before the copy) ends
            // with the same bytes, the dots the picture leaves white.
            tavgdi::GDMemoryManager plain;
            CR80BmpParser plainParser(&plain, c.alignment);
            ASSERT_TRUE(plainParser.parse(buffer.get(), size, c.width, c.height, c.color, opts.get(), &media));
            ASSERT_EQ(plain.getSize(), mem.getSize());
            EXPECT_EQ(0, memcmp(plain.getBuffer(0), mem.bytes.data(), mem.getSize()));
        }
        EXPECT_EQ(media.getWidth(), parser.getWidth());
        EXPECT_EQ(media.getHeight(), parser.getHeight());
        const dword expectedSize = c.color ? media.getColorDataSize()
                                   : c.alignment == tavgdi::Unaligned ? media.getMonochromeDataSize()
                                                                      : media.getBMPMonochromeDataSize();
        ASSERT_EQ(expectedSize, mem.getSize());

        // A picture of the card's size is copied row by row, without padding
        // when unaligned.
        const bool portrait = c.orientation == GraphicalConstants::Portrait;
        const dword w = portrait ? media.getHeight() : media.getWidth();
        if (c.width != w)
            continue;
        const dword srcRow = rowBytes(c.width, c.color);
        const dword dstRow = c.alignment == tavgdi::Aligned ? srcRow : c.color ? c.width * 3 : c.width / 8;
        for (dword h = 0; h < c.height && (h + 1) * dstRow <= mem.getSize(); h += 7)
            ASSERT_EQ(0, memcmp(mem.bytes.data() + h * dstRow, src.data() + h * srcRow, dstRow)) << "row " << h;
    }
}

// One-bit rows of a card whose width is not a multiple of 8 lose their last
// dots and leave the end of the buffer to the white fill.
TEST(CR80BmpParser, RowsThatLeaveTheBufferEndFillItWhite)
{
    MediaDefinition media(300, 300, 21, 13);
    std::vector<byte> src = picture(21, 13, false);
    VectorMemoryManager vector;
    tavgdi::GDMemoryManager plain;
    CR80BmpParser toVector(&vector, tavgdi::Unaligned), toPlain(&plain, tavgdi::Unaligned);
    ASSERT_TRUE(toVector.parse(src.data(), static_cast<dword>(src.size()), 21, 13, false, nullptr, &media));
    ASSERT_TRUE(toPlain.parse(src.data(), static_cast<dword>(src.size()), 21, 13, false, nullptr, &media));
    ASSERT_EQ(plain.getSize(), vector.getSize());
    ASSERT_GT(plain.getSize(), 13u * 2u);
    EXPECT_EQ(std::vector<byte>(plain.getBuffer(0), plain.getBuffer(0) + plain.getSize()), vector.bytes);
    EXPECT_EQ(plain.getByte(plain.getSize() - 1), 255);
}

TEST(CR80BmpParser, RescaleIsNearestNeighbourAndLogged)
{
    MediaDefinition media(300, 300, 1016, 648);
    std::vector<byte> src = picture(508, 324, true);
    VectorMemoryManager mem;
    CR80BmpParser parser(&mem, tavgdi::Unaligned);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(parser.parse(src.data(), static_cast<dword>(src.size()), 508, 324, true, nullptr, &media));
    std::string log = testing::internal::GetCapturedStderr();
    log = std::regex_replace(log, std::regex("ptr:[0-9a-fx]+"), "ptr:P");
    EXPECT_NE(std::string::npos,
              log.find("[TAVRIN UNIDRIVER][CR80BmpParser::resize] ptr:P srcW:508 srcH:324 bpp:24 dstW:1016 dstH:648\r\n"));
    for (dword y : {0u, 1u, 333u, 647u})
        for (dword x : {0u, 1u, 555u, 1015u})
            for (int k = 0; k < 3; ++k)
                ASSERT_EQ(src[(y / 2) * 1524 + (x / 2) * 3 + k], mem.bytes[y * 3048 + x * 3 + k]) << x << "," << y;
}

TEST(CR80BmpParser, MemoryFormRefusals)
{
    MediaDefinition media(300, 300, 1016, 648);
    std::vector<byte> src = picture(1016, 648, true);
    VectorMemoryManager mem;
    CR80BmpParser parser(&mem, tavgdi::Unaligned);
    EXPECT_FALSE(parser.parse(static_cast<byte*>(nullptr), 10, 1016, 648, true, nullptr, &media));
    EXPECT_EQ(IGDataParser::GDParser_parsingerror, parser.getState());
    EXPECT_FALSE(parser.parse(src.data(), static_cast<dword>(src.size()), 1016, 648, true, nullptr, nullptr));

    mem.failAllocate = true;
    CR80BmpParser full(&mem, tavgdi::Unaligned);
    EXPECT_FALSE(full.parse(src.data(), static_cast<dword>(src.size()), 1016, 648, true, nullptr, &media));
    EXPECT_EQ(IGDataParser::GDParser_overflow, full.getState());

    // Without a target the picture is checked but stored nowhere.
    CR80BmpParser noTarget(nullptr, tavgdi::Unaligned);
    EXPECT_TRUE(noTarget.parse(src.data(), static_cast<dword>(src.size()), 1016, 648, true, nullptr, &media));
}

namespace {

struct FileCase {
    const char* name;
    int bpp;
    std::function<void(std::vector<byte>&)> mutate;
    IGDataParser::GDParserStates state;
};

const FileCase kFileCases[] = {
    {"colour", 24, [](std::vector<byte>&) {}, IGDataParser::GDParser_ok},
    {"one bit", 1, [](std::vector<byte>&) {}, IGDataParser::GDParser_ok},
    {"OS/2 magic", 24, [](std::vector<byte>& f) { f[1] = 'A'; }, IGDataParser::GDParser_ok},
    {"bad magic", 24, [](std::vector<byte>& f) { f[0] = 'X'; }, IGDataParser::GDParser_parsingerror},
    {"eight bits", 8, [](std::vector<byte>&) {}, IGDataParser::GDParser_parsingerror},
    {"32 bits claiming a huge array", 32, [](std::vector<byte>& f) { put32(f, 34, 0xFFFFFFF0u); },
     IGDataParser::GDParser_parsingerror},
    {"two planes", 24, [](std::vector<byte>& f) { f[26] = 2; }, IGDataParser::GDParser_parsingerror},
    {"compressed", 24, [](std::vector<byte>& f) { f[30] = 1; }, IGDataParser::GDParser_parsingerror},
    {"top-down", 24, [](std::vector<byte>& f) { put32(f, 22, static_cast<dword>(-10)); },
     IGDataParser::GDParser_parsingerror},
    {"zero width", 24, [](std::vector<byte>& f) { put32(f, 18, 0); }, IGDataParser::GDParser_parsingerror},
    {"huge", 24, [](std::vector<byte>& f) { put32(f, 18, 100000); put32(f, 22, 100000); },
     IGDataParser::GDParser_parsingerror},
    {"size overflows 32 bits", 24, [](std::vector<byte>& f) { put32(f, 18, 0x7FFFFFFF); put32(f, 22, 3); },
     IGDataParser::GDParser_parsingerror},
    {"pixels beyond the file", 24, [](std::vector<byte>& f) { put32(f, 10, 1u << 20); },
     IGDataParser::GDParser_parsingerror},
    {"short pixel array", 24, [](std::vector<byte>& f) { f.pop_back(); }, IGDataParser::GDParser_ioerror},
    {"more rows than stored", 1, [](std::vector<byte>& f) { put32(f, 22, 11); }, IGDataParser::GDParser_ioerror},
    {"short header", 24, [](std::vector<byte>& f) { f.resize(30); }, IGDataParser::GDParser_ioerror},
    {"empty file", 24, [](std::vector<byte>& f) { f.clear(); }, IGDataParser::GDParser_ioerror},
};

} // namespace

TEST(CR80BmpParser, BitmapFiles)
{
    MediaDefinition media(300, 300, 1016, 648);
    const std::string path = tempPath("case");
    for (const FileCase& c : kFileCases) {
        SCOPED_TRACE(c.name);
        std::vector<byte> file = bitmapFile(21, 10, c.bpp);
        c.mutate(file);
        writeFile(path, file);
        VectorMemoryManager mem;
        CR80BmpParser parser(&mem, tavgdi::Unaligned);
        const bool ok = c.state == IGDataParser::GDParser_ok;
        EXPECT_EQ(ok, parser.parse(path.c_str(), nullptr, &media));
        EXPECT_EQ(c.state, parser.getState());
        // A small picture is always stretched to the card.
        EXPECT_EQ(ok ? (c.bpp == 1 ? media.getMonochromeDataSize() : media.getColorDataSize()) : 0u,
                  mem.getSize());
    }
    remove(path.c_str());
}

TEST(CR80BmpParser, CardSizedFileMissingFileAndNoTarget)
{
    MediaDefinition media(300, 300, 1016, 648);
    const std::string path = tempPath("card");
    std::vector<byte> file = bitmapFile(1016, 648, 1);
    writeFile(path, file);
    VectorMemoryManager mem;
    CR80BmpParser parser(&mem, tavgdi::Unaligned);
    ASSERT_TRUE(parser.parse(path.c_str(), nullptr, &media));
    ASSERT_EQ(82296u, mem.getSize());
    for (dword h = 0; h < 648; h += 101)
        EXPECT_EQ(0, memcmp(mem.bytes.data() + h * 127, file.data() + 54 + h * 128, 127)) << h;

    CR80BmpParser noTarget(nullptr, tavgdi::Unaligned);
    EXPECT_TRUE(noTarget.parse(path.c_str(), nullptr, &media));
    EXPECT_FALSE(noTarget.isDataAvailable());
    remove(path.c_str());

    CR80BmpParser missing(&mem, tavgdi::Unaligned);
    EXPECT_FALSE(missing.parse(path.c_str(), nullptr, &media));
    EXPECT_TRUE(missing.isOnError());
    EXPECT_EQ(IGDataParser::GDParser_ioerror, missing.getState());
    EXPECT_FALSE(missing.parse(static_cast<FILE*>(nullptr), nullptr, &media));
}

// Mutated bitmap files never crash, leak or read outside a buffer (run it
// under the sanitizer build to see the last two).
TEST(CR80BmpParser, FuzzedFiles)
{
    MediaDefinition media(30, 30, 1016, 648); // 102 x 65 dots keeps rescaling cheap
    const std::vector<byte> bases[] = {bitmapFile(13, 7, 24), bitmapFile(37, 5, 1), bitmapFile(102, 65, 24),
                                       bitmapFile(65, 102, 1)};
    const dword fields[] = {2, 10, 14, 18, 22, 26, 28, 30, 34};
    const dword values[] = {0, 1, 7, 54, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu, 65536, 0x10000001u};
    std::mt19937 rng(20240611u);
    const std::string path = tempPath("fuzz");
    int accepted = 0, refused = 0;
    for (int i = 0; i < 3000; ++i) {
        std::vector<byte> f = bases[rng() % 4];
        const int edits = 1 + static_cast<int>(rng() % 3);
        for (int e = 0; e < edits; ++e) {
            switch (rng() % 5) {
            case 0: f[rng() % 54] = static_cast<byte>(rng()); break;
            case 1: f[rng() % f.size()] = static_cast<byte>(rng()); break;
            case 2: put32(f, fields[rng() % 9], values[rng() % 9]); break;
            case 3: put32(f, fields[rng() % 9], rng() % 300); break;
            default: f.resize(rng() % (f.size() + 1)); break;
            }
            if (f.size() < 54)
                break;
        }
        writeFile(path, f);
        VectorMemoryManager mem;
        CR80BmpParser parser(&mem, (i & 1) ? tavgdi::Aligned : tavgdi::Unaligned);
        const bool ok = parser.parse(path.c_str(), nullptr, &media);
        ASSERT_EQ(ok, !parser.isOnError());
        ok ? ++accepted : ++refused;
    }
    remove(path.c_str());
    EXPECT_GT(accepted, 100);
    EXPECT_GT(refused, 100);
}

TEST(FactoryDataParser, ParserByType)
{
    VectorMemoryManager mem;
    // Panel download types get the panel download parser (see CR80DBParser_test).
    const bool made[] = {true, true, true, true, true, true, false};
    for (int t = 0; t <= TavFactory::UndefinedSupervisor; ++t) {
        std::unique_ptr<IGDataParser> p(
            TavFactory::FactoryDataParser(static_cast<TavFactory::SupervisorType>(t), &mem, tavgdi::Unaligned));
        EXPECT_EQ(made[t], p != nullptr) << "type " << t;
    }
}
