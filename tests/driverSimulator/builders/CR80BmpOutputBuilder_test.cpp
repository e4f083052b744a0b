#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "GlobalFactory.h"
#include "InternalLog.h"
#include "MediaDefinition.h"
#include "TestRaster.h"
#include "builders/CR80BmpOutputBuilder.h"
#include "image/IGDataSupervisor.h"
#include "image/IPixel.h"
#include "input/CR80BmpParser.h"

using tavgdi::CR80BmpOutputBuilder;
using tavgdi::IGDataOutputBuilder;
using tavgdi::IGDataSupervisor;
using tavgdi::MediaDefinition;
using namespace cr80test;

namespace {

class BmpOutput : public testing::Test {
protected:
    void SetUp() override
    {
        wasEnabled = tavgdi::InternalLog::isEnable;
        tavgdi::InternalLog::isEnable = false;
    }
    void TearDown() override { tavgdi::InternalLog::isEnable = wasEnabled; }
    bool wasEnabled = true;
};

uint32_t le(const std::string& s, size_t at, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<uint8_t>(s[at + i]);
    return v;
}

bool isColourType(TavFactory::SupervisorType type)
{
    return type != TavFactory::BmpMonochromeSupervisor;
}

// A picture in the bitmap row layout the supervisors take (bottom-up rows
// padded to 4 bytes) whose dots differ from their neighbours.
std::vector<byte> picture(dword width, dword height, bool colour)
{
    const dword row = colour ? static_cast<dword>(MediaDefinition::Next4Multiple(static_cast<int>(width * 3)))
                             : static_cast<dword>(MediaDefinition::ComputeRWidth(static_cast<int>(width)));
    std::vector<byte> p(static_cast<size_t>(row) * height);
    for (size_t i = 0; i < p.size(); ++i)
        p[i] = static_cast<byte>((i * 2654435761u) >> 13);
    return p;
}

struct SaveCase {
    TavFactory::SupervisorType type;
    dword dpi, pictureWidth, pictureHeight;
    dword headerSize, imageSize;
};

// File sizes: 1016 x 648 x 3 = 1975104; 648 rows of 128 bytes = 82944; at
// 299 dpi the card is 1013 x 646 and 24-bit rows are padded to 3040 bytes.
const SaveCase Saves[] = {
    {TavFactory::BmpColorSupervisor, 300, 1016, 648, 54, 1975104},
    {TavFactory::BmpGraySupervisor, 300, 1016, 648, 54, 1975104},
    {TavFactory::BmpMonochromeSupervisor, 300, 1016, 648, 62, 82944},
    {TavFactory::BmpColorSupervisor, 300, 648, 1016, 54, 1975104},
    {TavFactory::BmpMonochromeSupervisor, 300, 648, 1016, 62, 84 * 1016},
    {TavFactory::BmpColorSupervisor, 299, 1013, 646, 54, 3040 * 646},
    {TavFactory::BmpMonochromeSupervisor, 600, 2032, 1296, 62, 256 * 1296},
};

} // namespace

// A saved picture has the headers of a plain bitmap file and, read back with
// the bitmap parser, the same dots as the supervisor it came from.
TEST_F(BmpOutput, SavedFilesReadBackDotForDot)
{
    TempDir dir;
    for (const SaveCase& c : Saves) {
        SCOPED_TRACE(std::to_string(c.type) + " " + std::to_string(c.pictureWidth) + "x" +
                     std::to_string(c.pictureHeight) + " at " + std::to_string(c.dpi));
        MediaDefinition media(c.dpi, c.dpi, 1016, 648);
        const bool colour = isColourType(c.type);
        std::vector<byte> raster = picture(c.pictureWidth, c.pictureHeight, colour);
        std::unique_ptr<IGDataSupervisor> original(TavFactory::FactoryGDataSupervisor(c.type, &media, nullptr));
        ASSERT_TRUE(original->setRaster(raster.data(), static_cast<dword>(raster.size()), c.pictureWidth,
                                        c.pictureHeight, colour));
        std::string path = dir.file("saved.bmp");
        ASSERT_TRUE(original->save(&path[0]));

        const std::string file = readFile(path);
        ASSERT_EQ(c.headerSize + c.imageSize, file.size());
        EXPECT_EQ("BM", file.substr(0, 2));
        EXPECT_EQ(file.size(), le(file, 2, 4));
        EXPECT_EQ(0u, le(file, 6, 4));
        EXPECT_EQ(c.headerSize, le(file, 10, 4));
        EXPECT_EQ(40u, le(file, 14, 4));
        EXPECT_EQ(c.pictureWidth, le(file, 18, 4));
        EXPECT_EQ(c.pictureHeight, le(file, 22, 4));
        EXPECT_EQ(1u, le(file, 26, 2));
        EXPECT_EQ(colour ? 24u : 1u, le(file, 28, 2));
        EXPECT_EQ(0u, le(file, 30, 4));
        EXPECT_EQ(c.imageSize, le(file, 34, 4));
        EXPECT_EQ(300u, le(file, 38, 4));
        EXPECT_EQ(300u, le(file, 42, 4));
        EXPECT_EQ(0u, le(file, 46, 4));
        EXPECT_EQ(0u, le(file, 50, 4));
        if (!colour) {
            EXPECT_EQ(std::string("\0\0\0\0\xFF\xFF\xFF\0", 8), file.substr(54, 8));
        }

        std::unique_ptr<IGDataSupervisor> copy(TavFactory::FactoryGDataSupervisor(c.type, &media, nullptr));
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
