#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "GlobalFactory.h"
#include "InternalLog.h"
#include "MediaDefinition.h"
#include "BmpFile.h"
#include "TestRaster.h"
#include "image/IGDataSupervisor.h"
#include "image/IPixel.h"

using tavgdi::IGDataSupervisor;
using tavgdi::MediaDefinition;
using namespace cr80test;

namespace {

class BmpOutput : public testing::Test {
protected:
    void SetUp() override { std::swap(wasEnabled, tavgdi::InternalLog::isEnable); }
    void TearDown() override { tavgdi::InternalLog::isEnable = wasEnabled; }
    bool wasEnabled = false;
};

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

// A saved picture has the headers of a plain bitmap file and, read back with
// the bitmap parser, the same dots as the supervisor it came from.
TEST_F(BmpOutput, SavedFilesReadBackDotForDot)
{
    TempDir dir;
    for (const SaveCase& c : Saves) {
        SCOPED_TRACE(std::to_string(c.type) + " " + std::to_string(c.pictureWidth) + "x" +
                     std::to_string(c.pictureHeight) + " at " + std::to_string(c.dpi));
        MediaDefinition media(c.dpi, c.dpi, 1016, 648);
        const bool colour = c.type != TavFactory::BmpMonochromeSupervisor;
        std::vector<byte> raster = picture(c.pictureWidth, c.pictureHeight, colour);
        std::unique_ptr<IGDataSupervisor> original(TavFactory::FactoryGDataSupervisor(c.type, &media, nullptr));
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
