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
        {253, 200, 253, 253, 253, true, true},   {253, 200, 253, 253, 252, false, true},
        {253, 200, 200, 200, 200, false, true},  {253, 200, 200, 200, 199, false, false},
        {253, 200, 255, 255, 249, true, true},                                // the sum counts, not each ink
        {255, 255, 255, 255, 255, true, true},                                // no overflow of 3 x 255
        {255, 255, 255, 255, 254, false, false}, {0, 0, 0, 0, 0, true, true}, // a level of 0 makes everything black
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
