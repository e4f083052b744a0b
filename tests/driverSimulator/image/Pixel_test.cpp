#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <string>

#include "GlobalFactory.h"
#include "image/ColorPixel.h"
#include "image/IPixel.h"
#include "image/MonochromePixel.h"

using namespace tavgdi;

namespace {

std::string maskPointers(const std::string& text)
{
    return std::regex_replace(text, std::regex("\\([0-9a-f]+\\)|PTR: [0-9a-f]+"), "PTR");
}

// Sets the class-wide levels for one test and restores the defaults after it.
class PixelLevels : public testing::Test {
protected:
    void SetUp() override { setLevels(IPixel::DefaultBlackLevel, IPixel::DefaultDarkLevel); }
    void TearDown() override { setLevels(IPixel::DefaultBlackLevel, IPixel::DefaultDarkLevel); }
    static void setLevels(byte black, byte dark)
    {
        testing::internal::CaptureStderr();
        IPixel::setBlackLevel(black);
        IPixel::setDarkLevel(dark);
        testing::internal::GetCapturedStderr();
    }
};

} // namespace

TEST_F(PixelLevels, DefaultLevels)
{
    EXPECT_EQ(IPixel::getThreshold(), 126);
    EXPECT_EQ(IPixel::getBlackLevel(), 253);
    EXPECT_EQ(IPixel::getDarkLevel(), 200);
}

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
        {253, 200, 0, 0, 0, false, false},
        {255, 255, 255, 255, 255, true, true}, // no overflow of 3 x 255
        {255, 255, 255, 255, 254, false, false},
        {0, 0, 0, 0, 0, true, true}, // a level of 0 makes everything black
        {1, 1, 1, 1, 0, false, false},
        {1, 1, 1, 1, 1, true, true},
    };
    testing::internal::CaptureStderr();
    for (const Case& c : cases) {
        IPixel::setBlackLevel(c.blackLevel);
        IPixel::setDarkLevel(c.darkLevel);
        const ColorPixel pixel(c.y, c.m, c.c);
        SCOPED_TRACE(testing::Message() << "levels " << int(c.blackLevel) << "/" << int(c.darkLevel) << " pixel ("
                                        << int(c.y) << ", " << int(c.m) << ", " << int(c.c) << ")");
        EXPECT_EQ(pixel.isBlack(), c.black);
        EXPECT_EQ(pixel.isDark(), c.dark);
        EXPECT_TRUE(pixel.isColorDevice());
    }
    testing::internal::GetCapturedStderr();
}

TEST_F(PixelLevels, ColorPixelSetAndAssign)
{
    testing::internal::CaptureStderr();
    ColorPixel pixel(1, 2, 3);
    EXPECT_EQ(pixel.getY(), 1);
    EXPECT_EQ(pixel.getM(), 2);
    EXPECT_EQ(pixel.getC(), 3);
    pixel.set(true);
    EXPECT_EQ(pixel.getY() + pixel.getM() + pixel.getC(), 765);
    EXPECT_TRUE(pixel.isBlack());
    pixel.set(false);
    EXPECT_EQ(pixel.getY() + pixel.getM() + pixel.getC(), 0);
    pixel.set(byte(9), byte(8), byte(7));
    ColorPixel other(0, 0, 0);
    other = pixel;
    EXPECT_EQ(other.getY(), 9);
    EXPECT_EQ(other.getM(), 8);
    EXPECT_EQ(other.getC(), 7);
    testing::internal::GetCapturedStderr();
}

TEST_F(PixelLevels, MonochromePixelAnswersLikeAColourDot)
{
    struct Case {
        byte y, m, c;
        bool black;
    } cases[] = {
        {0, 0, 1, true}, {1, 0, 0, true}, {0, 1, 0, true}, {255, 255, 255, true}, {0, 0, 0, false},
    };
    testing::internal::CaptureStderr();
    MonochromePixel pixel(false);
    for (const Case& c : cases) {
        pixel.set(c.y, c.m, c.c);
        EXPECT_EQ(pixel.isBlack(), c.black) << int(c.y) << " " << int(c.m) << " " << int(c.c);
        EXPECT_EQ(pixel.isDark(), c.black);
        const byte ink = c.black ? 255 : 0;
        EXPECT_EQ(pixel.getY(), ink);
        EXPECT_EQ(pixel.getM(), ink);
        EXPECT_EQ(pixel.getC(), ink);
    }
    pixel.set(true);
    EXPECT_TRUE(pixel.isBlack());
    EXPECT_FALSE(pixel.isColorDevice());
    IPixel::setBlackLevel(0); // levels do not apply to a one-bit dot
    IPixel::setDarkLevel(0);
    pixel.set(false);
    EXPECT_FALSE(pixel.isBlack());
    EXPECT_FALSE(pixel.isDark());
    testing::internal::GetCapturedStderr();
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
        {BmpColorSupervisor, 253, 253, 253, 252, false, true, false},
        {BmpGraySupervisor, 253, 10, 20, 30, false, true, false},
        {DbMonochromeSupervisor, 253, 253, 253, 253, false, false, false}, // 759 is not above 759
        {DbMonochromeSupervisor, 253, 254, 253, 253, false, false, true},
        {DbOverlaySupervisor, 253, 255, 255, 255, false, false, true},
        {BmpMonochromeSupervisor, 0, 0, 0, 0, false, false, false}, // strict even at level 0
        {BmpMonochromeSupervisor, 0, 0, 0, 1, false, false, true},
        {BmpMonochromeSupervisor, 255, 255, 255, 255, false, false, false},
        {UndefinedSupervisor, 253, 255, 255, 255, true, false, false},
        {static_cast<SupervisorType>(7), 253, 255, 255, 255, true, false, false},
    };
    for (const Case& c : cases) {
        setLevels(c.blackLevel, IPixel::DefaultDarkLevel);
        SCOPED_TRACE(testing::Message() << "type " << c.type << " level " << int(c.blackLevel) << " pixel ("
                                        << int(c.y) << ", " << int(c.m) << ", " << int(c.c) << ")");
        testing::internal::CaptureStderr();
        std::unique_ptr<IPixel> pixel(FactoryPixel(c.type, c.y, c.m, c.c));
        const std::string log = maskPointers(testing::internal::GetCapturedStderr());
        if (c.isNull) {
            EXPECT_EQ(pixel, nullptr);
            EXPECT_EQ(log, "");
            continue;
        }
        ASSERT_NE(pixel, nullptr);
        EXPECT_EQ(pixel->isColorDevice(), c.isColor);
        EXPECT_EQ(pixel->isBlack(), c.black);
        const char* name = c.isColor ? "ColorPixel" : "MonochromePixel";
        EXPECT_EQ(log, std::string("[TAVRIN UNIDRIVER][Object LifeLine] +") + name + " PTR\r\n" +
                           "[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - " + name + " \tPTR\r\n");
        testing::internal::CaptureStderr();
        pixel.reset();
        EXPECT_EQ(maskPointers(testing::internal::GetCapturedStderr()),
                  std::string("[TAVRIN UNIDRIVER][Object LifeLine] -") + name + " PTR\r\n");
    }
}

TEST_F(PixelLevels, LevelSettersLog)
{
    testing::internal::CaptureStderr();
    IPixel::setBlackLevel(240);
    IPixel::setDarkLevel(180);
    IPixel::setThreshold(99);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "[TAVRIN UNIDRIVER][IPixel::setBlackLevel] BlackLevel - 240\r\n"
              "[TAVRIN UNIDRIVER][IPixel::setDarkLevel] DarkLevel - 180\r\n");
    EXPECT_EQ(IPixel::getBlackLevel(), 240);
    EXPECT_EQ(IPixel::getDarkLevel(), 180);
    EXPECT_EQ(IPixel::getThreshold(), 99);
    IPixel::setThreshold(IPixel::DefaultThreshold);
}

TEST_F(PixelLevels, CopiesKeepLifeLinesBalanced)
{
    testing::internal::CaptureStderr();
    {
        ColorPixel a(1, 2, 3);
        ColorPixel b(a);
        MonochromePixel m(true);
        MonochromePixel n(m);
        EXPECT_EQ(b.getC(), 3);
        EXPECT_TRUE(n.isBlack());
    }
    const std::string log = testing::internal::GetCapturedStderr();
    auto count = [&log](const std::string& what) {
        size_t n = 0;
        for (size_t p = log.find(what); p != std::string::npos; p = log.find(what, p + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("+ColorPixel"), 2u);
    EXPECT_EQ(count("-ColorPixel"), 2u);
    EXPECT_EQ(count("+MonochromePixel"), 2u);
    EXPECT_EQ(count("-MonochromePixel"), 2u);
}
