#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "GlobalFactory.h"
#include "InternalLog.h"
#include "image/ColorPixel.h"
#include "image/IPixel.h"
#include "image/MonochromePixel.h"

using namespace tavgdi;

namespace {

// Sets the class-wide levels for one test and restores the defaults after it.
class PixelLevels : public testing::Test {
protected:
    void SetUp() override
    {
        std::swap(wasEnabled, InternalLog::isEnable);
        setLevels(IPixel::DefaultBlackLevel, IPixel::DefaultDarkLevel);
    }
    void TearDown() override
    {
        setLevels(IPixel::DefaultBlackLevel, IPixel::DefaultDarkLevel);
        IPixel::setThreshold(IPixel::DefaultThreshold);
        InternalLog::isEnable = wasEnabled;
    }
    static void setLevels(byte black, byte dark)
    {
        IPixel::setBlackLevel(black);
        IPixel::setDarkLevel(dark);
    }
    bool wasEnabled = false;
};

} // namespace

TEST_F(PixelLevels, ColorPixelClassificationAtTheLevelEdges)
{
    struct Case {
        byte blackLevel, darkLevel;
        byte y, m, c;
        bool black, dark;
    } cases[] = {
        {253, 200, 253, 253, 253, true, true},
        {253, 200, 253, 253, 252, false, true},
        {253, 200, 200, 200, 200, false, true},
        {253, 200, 200, 200, 199, false, false},
        {253, 200, 255, 255, 249, true, true}, // the sum counts, not each ink
        {255, 255, 255, 255, 255, true, true}, // no overflow of 3 x 255
        {255, 255, 255, 255, 254, false, false},
        {0, 0, 0, 0, 0, true, true}, // a level of 0 makes everything black
        {1, 1, 1, 1, 0, false, false},
    };
    for (const Case& c : cases) {
        setLevels(c.blackLevel, c.darkLevel);
        const ColorPixel pixel(c.y, c.m, c.c);
        SCOPED_TRACE(testing::Message() << "levels " << int(c.blackLevel) << "/" << int(c.darkLevel) << " pixel ("
                                        << int(c.y) << ", " << int(c.m) << ", " << int(c.c) << ")");
        EXPECT_EQ(pixel.isBlack(), c.black);
        EXPECT_EQ(pixel.isDark(), c.dark);
    }
}

TEST_F(PixelLevels, MonochromePixelIsBlackForAnyInkWhateverTheLevels)
{
    MonochromePixel pixel(false);
    for (byte level : {byte(253), byte(0)}) {
        setLevels(level, level);
        for (int ink = 0; ink < 4; ++ink) {
            pixel.set(ink == 1, ink == 2, ink == 3);
            EXPECT_EQ(pixel.isBlack(), ink != 0) << ink;
            EXPECT_EQ(pixel.isDark(), ink != 0) << ink;
            EXPECT_EQ(pixel.getM(), ink != 0 ? 255 : 0) << ink;
        }
    }
}

TEST_F(PixelLevels, FactoryPixelKindsAndStrictBlackLevel)
{
    using namespace TavFactory;
    struct Case {
        SupervisorType type;
        byte blackLevel;
        byte y, m, c;
        bool isNull, isColor, black;
    } cases[] = {
        {DbColorSupervisor, 253, 253, 253, 253, false, true, true},
        {BmpGraySupervisor, 253, 253, 253, 252, false, true, false},
        {DbMonochromeSupervisor, 253, 253, 253, 253, false, false, false}, // 759 is not above 759
        {DbMonochromeSupervisor, 253, 254, 253, 253, false, false, true},
        {DbOverlaySupervisor, 253, 255, 255, 255, false, false, true},
        {BmpMonochromeSupervisor, 0, 0, 0, 0, false, false, false}, // strict even at level 0
        {BmpMonochromeSupervisor, 255, 255, 255, 255, false, false, false},
        {UndefinedSupervisor, 253, 255, 255, 255, true, false, false},
        {static_cast<SupervisorType>(7), 253, 255, 255, 255, true, false, false},
    };
    for (const Case& c : cases) {
        setLevels(c.blackLevel, IPixel::DefaultDarkLevel);
        SCOPED_TRACE(testing::Message() << "type " << c.type << " level " << int(c.blackLevel) << " pixel ("
                                        << int(c.y) << ", " << int(c.m) << ", " << int(c.c) << ")");
        std::unique_ptr<IPixel> pixel(FactoryPixel(c.type, c.y, c.m, c.c));
        ASSERT_EQ(pixel == nullptr, c.isNull);
        if (pixel != nullptr) {
            EXPECT_EQ(pixel->isColorDevice(), c.isColor);
            EXPECT_EQ(pixel->isBlack(), c.black);
        }
    }
}
