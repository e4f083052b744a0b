#include <gtest/gtest.h>

#include <string>
#include <typeinfo>
#include <vector>

#include "face/IGDInvariantProcessor.h"
#include "face/PixelOperation.h"
#include "face/RasterOperations.h"
#include "pipeline/StdLGRect.h"
#include "pipeline/StdLGRectIterator.h"
#include "settings/IGDataOptions.h"

#include "RasterTestKit.h"

using namespace rastertest;
using GraphicalConstants::negLproj1;
using GraphicalConstants::negLproj2;
using GraphicalConstants::proj1;
using GraphicalConstants::proj2;
using tavgdi::IGRasterOperation;
using tavgdi::IPixel;

namespace {

// Counts what it is shown.
struct CountingInvariant : tavgdi::IGDInvariantProcessor {
    int resets = 0;
    long dots = 0;
    long ink = 0;
    void updateInvariantByPixel(int, int, IPixel* p) override
    {
        ++dots;
        ink += p->getY() + p->getM() + p->getC();
    }
    char* getInvariant() override { return nullptr; }
    void resetCounters() override
    {
        ++resets;
        dots = ink = 0;
    }
};

const Ink white{0, 0, 0};
const Ink black{255, 255, 255};
const Ink red{255, 255, 0};
const Ink darkGray{210, 210, 210}; // dark, not black at level 249

using RasterOpPtr = std::unique_ptr<IGRasterOperation>;

} // namespace

class BlackExtraction : public RasterTest {
protected:
    void SetUp() override
    {
        RasterTest::SetUp();
        IPixel::setBlackLevel(249);
        IPixel::setDarkLevel(200);
    }
};

TEST_F(BlackExtraction, ColumnTakesLastColourThatIsNotDark)
{
    struct Case {
        const char* name;
        std::vector<Ink> column;   // h = 0.. in column 3
        std::vector<Ink> expected; // colour panels afterwards
    };
    const Ink pale{10, 20, 30};
    const Case cases[] = {
        {"red then black", {red, black, black, white}, {red, red, red, white}},
        {"first dot black", {black, black, darkGray, black, pale, black}, {white, white, darkGray, white, pale, pale}},
        {"dark not remembered", {pale, darkGray, black}, {pale, darkGray, pale}},
    };
    for (const Case& c : cases) {
        auto ymc = panel(TavFactory::DbColorSupervisor);
        auto k = panel(TavFactory::DbMonochromeSupervisor);
        for (size_t h = 0; h < c.column.size(); ++h)
            put(ymc.get(), 3, int(h), c.column[h]);
        RasterOpPtr op(TavFactory::FactoryGRasterOperation(k.get(), TavFactory::RasterOpWithMemory, nullptr));
        ASSERT_TRUE(op->apply(ymc.get(), PixelOperation::copyBlackPoint, nullptr, negLproj1, negLproj2)) << c.name;
        int expectedK = 0;
        for (size_t h = 0; h < c.column.size(); ++h) {
            EXPECT_EQ(at(ymc.get(), 3, int(h)), c.expected[h]) << c.name << " h=" << h;
            const bool wasBlack = c.column[h] == black;
            expectedK += wasBlack;
            EXPECT_EQ(isBlackDot(k.get(), W - 1 - 3, H - 1 - int(h)), wasBlack) << c.name << " h=" << h;
        }
        EXPECT_EQ(blackDots(k.get()), expectedK) << c.name;
    }
}

TEST_F(BlackExtraction, RectanglesAreNormalisedAndClipped)
{
    auto ymc = panel(TavFactory::DbColorSupervisor);
    auto k = panel(TavFactory::DbMonochromeSupervisor);
    fill(ymc.get(), black);
    tavgdi::StdLGRect list;
    list.Add(new tavgdi::GRect(5, 6, 2, 1, 0, -1));        // given the wrong way round: [2,5) x [1,6)
    list.Add(new tavgdi::GRect(14, 0, 4000, 9000, 0, -1)); // beyond the panel: [14,16) x [0,8)
    tavgdi::StdLGRectIterator iter(&list);
    RasterOpPtr op(TavFactory::FactoryGRasterOperation(k.get(), TavFactory::RasterOpWithMemory, nullptr));
    ASSERT_TRUE(op->apply(ymc.get(), PixelOperation::copyBlackPoint, &iter, proj1, proj2));
    for (int w = 0; w < W; ++w)
        for (int h = 0; h < H; ++h) {
            const bool inside = (w >= 2 && w < 5 && h >= 1 && h < 6) || w >= 14;
            EXPECT_EQ(isBlackDot(k.get(), w, h), inside) << w << "," << h;
            EXPECT_EQ(at(ymc.get(), w, h), inside ? white : black) << w << "," << h;
        }
}

TEST_F(BlackExtraction, FixedColourReplacesEveryBlackDot)
{
    std::unique_ptr<tavgdi::IGDataOptions> options(TavFactory::FactoryDataOptions(TavFactory::DbColorSupervisor));
    options->setOption(TavGdiOptions::isFixedColorBlackSubst, TavGdiOptions::OptionTrue);
    options->setOption(TavGdiOptions::FixedBlackSubY, 300); // modulo 256
    options->setOption(TavGdiOptions::FixedBlackSubM, 20);
    options->setOption(TavGdiOptions::FixedBlackSubC, -1);
    auto ymc = panel(TavFactory::DbColorSupervisor, options.get());
    auto k = panel(TavFactory::DbMonochromeSupervisor, options.get());
    const std::vector<Ink> column{red, black, darkGray, black};
    for (size_t h = 0; h < column.size(); ++h)
        put(ymc.get(), 0, int(h), column[h]);
    RasterOpPtr op(TavFactory::FactoryGRasterOperation(k.get(), TavFactory::RasterOpWithMemory, nullptr));
    testing::internal::CaptureStderr();
    ASSERT_TRUE(op->apply(ymc.get(), PixelOperation::copyBlackPoint, nullptr, proj1, proj2));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("[StandardRasterOperationWithFixedColor::apply] Last Pixel - 44 20 255\r\n"), std::string::npos);
    EXPECT_NE(log.find("[StandardRasterOperationWithFixedColor::apply] BlackLevel - 249\r\n"), std::string::npos);
    const Ink subst{44, 20, 255};
    const std::vector<Ink> expected{red, subst, darkGray, subst};
    for (size_t h = 0; h < column.size(); ++h)
        EXPECT_EQ(at(ymc.get(), 0, int(h)), expected[h]) << h;
    EXPECT_EQ(blackDots(k.get()), 2);
}

TEST_F(RasterTest, InvariantWalks)
{
    auto pic = panel(TavFactory::BmpColorSupervisor);
    auto ymc = panel(TavFactory::DbColorSupervisor);
    fill(pic.get(), Ink{1, 1, 1});
    put(pic.get(), 0, 0, black);
    CountingInvariant inv;
    inv.dots = 99;

    RasterOpPtr copy(TavFactory::FactoryGRasterOperation(ymc.get(), TavFactory::RasterOpWithInvariant, &inv));
    ASSERT_TRUE(copy->apply(pic.get(), PixelOperation::copy, nullptr, proj1, proj2));
    EXPECT_EQ(inv.resets, 1);
    EXPECT_EQ(inv.dots, W * H);
    EXPECT_EQ(inv.ink, 3 * (W * H - 1) + 765);
    EXPECT_EQ(at(ymc.get(), 0, 0), black);
    EXPECT_EQ(at(ymc.get(), 5, 5), (Ink{1, 1, 1}));

    // Measuring only: the panel is read (here through the projections) but
    // never written.
    put(ymc.get(), 3, 4, red);
    std::vector<Ink> before;
    for (int w = 0; w < W; ++w)
        for (int h = 0; h < H; ++h)
            before.push_back(at(ymc.get(), w, h));
    RasterOpPtr measure(TavFactory::FactoryGRasterOperation(ymc.get(), TavFactory::RasterOpTrivialWithInvariant, &inv));
    ASSERT_TRUE(measure->apply(nullptr, PixelOperation::copyColorBW, nullptr, negLproj1, negLproj2));
    EXPECT_EQ(inv.resets, 2);
    EXPECT_EQ(inv.dots, W * H);
    EXPECT_EQ(inv.ink, 3 * (W * H - 2) + 765 + 510);
    size_t i = 0;
    for (int w = 0; w < W; ++w)
        for (int h = 0; h < H; ++h)
            EXPECT_EQ(at(ymc.get(), w, h), before[i++]) << w << "," << h;

    tavgdi::TrivialRasterOperationWithInvariant noInvariant(ymc.get(), nullptr);
    EXPECT_FALSE(noInvariant.apply(nullptr, PixelOperation::copy, nullptr, proj1, proj2));
}
