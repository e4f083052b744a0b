#include <gtest/gtest.h>

#include <string>

#include "face/PixelOperation.h"
#include "face/RasterOperations.h"
#include "pipeline/TrivialLGRectIterator.h"

#include "RasterTestKit.h"

using namespace rastertest;
using GraphicalConstants::proj1;
using GraphicalConstants::proj2;
using tavgdi::IPixel;

namespace {

// The black panel after halftoning a uniform gray picture of ink c.
class Halftoning : public RasterTest {
protected:
    std::unique_ptr<tavgdi::IGDataSupervisor> k;

    bool run(TavFactory::GRasterOperationType type, int c, tavgdi::ILGRectIterator* iter = nullptr)
    {
        auto gray = panel(TavFactory::BmpGraySupervisor);
        fill(gray.get(), Ink{c, c, c});
        k = panel(TavFactory::DbMonochromeSupervisor);
        std::unique_ptr<tavgdi::IGRasterOperation> op(TavFactory::FactoryGRasterOperation(k.get(), type, nullptr));
        const bool ok = op->apply(gray.get(), PixelOperation::copyColorBW, iter, proj1, proj2);
        // The decision goes into the shared pixel only, never into the picture.
        EXPECT_EQ(at(gray.get(), 0, 0), (Ink{c, c, c}));
        return ok;
    }
};

} // namespace

TEST_F(Halftoning, EdgeDots)
{
    struct Case {
        TavFactory::GRasterOperationType type;
        int threshold;
        int c;
        int w, h;
        bool printed;
    };
    const Case cases[] = {
        {TavFactory::RasterOpThresholding, 128, 128, 0, 0, true}, // gray 127
        {TavFactory::RasterOpThresholding, 128, 127, 0, 0, false},
        {TavFactory::RasterOpThresholding, 0, 255, 5, 5, false},
        {TavFactory::RasterOpThresholding, 255, 1, 5, 5, true},
        {TavFactory::RasterOpDithering, 0, 255, 0, 0, true}, // entry 0
        {TavFactory::RasterOpDithering, 0, 254, 0, 0, false},
        {TavFactory::RasterOpDithering, 0, 34, 0, 7, true}, // entry 221, gray 221
        {TavFactory::RasterOpDithering, 0, 33, 0, 7, false},
        {TavFactory::RasterOpDithering, 0, 34, 8, 15 - 8, true}, // anchored at (0, 0), repeats every 8
        {TavFactory::RasterOpDithering, 0, 255 - 78, 7, 1, true},
        {TavFactory::RasterOpDithering, 0, 255 - 79, 7, 1, false},
        {TavFactory::RasterOpClusteredDithering, 0, 2, 5, 2, false}, // entry 0, almost white
        {TavFactory::RasterOpClusteredDithering, 0, 3, 5, 2, true},
        {TavFactory::RasterOpClusteredDithering, 0, 3, 1, 6, true},
        {TavFactory::RasterOpClusteredDithering, 0, 3, 0, 0, false},
        {TavFactory::RasterOpClusteredDithering, 0, 144, 0, 0, true}, // 18 x 8
        {TavFactory::RasterOpClusteredDithering, 0, 143, 0, 0, false},
        {TavFactory::RasterOpClusteredDithering, 0, 248, 1, 2, true}, // 31 x 8
        {TavFactory::RasterOpClusteredDithering, 0, 247, 1, 2, false},
        {TavFactory::RasterOpClusteredDithering, 0, 247, 13, 6, false}, // 31 x 8 in the lower-right cell
        {TavFactory::RasterOpClusteredDithering, 0, 16, 14, 1, true},   // 2 x 8
        {TavFactory::RasterOpFloyd, 0, 128, 0, 0, true},
        {TavFactory::RasterOpFloyd, 0, 127, 0, 0, false},
    };
    for (const Case& c : cases) {
        IPixel::setThreshold(byte(c.threshold));
        ASSERT_TRUE(run(c.type, c.c));
        EXPECT_EQ(isBlackDot(k.get(), c.w, c.h), c.printed)
            << "type " << c.type << " c " << c.c << " at " << c.w << "," << c.h;
    }
}

TEST_F(Halftoning, FloydIgnoresTheIteratorAndOthersFollowIt)
{
    tavgdi::TrivialLGRectIterator oneDot(0, 0, 1, 1);
    ASSERT_TRUE(run(TavFactory::RasterOpFloyd, 255, &oneDot));
    EXPECT_EQ(blackDots(k.get()), W * H);

    tavgdi::TrivialLGRectIterator oneColumn(2, 0, 3, H);
    ASSERT_TRUE(run(TavFactory::RasterOpDithering, 255, &oneColumn));
    EXPECT_EQ(blackDots(k.get()), H);
    EXPECT_TRUE(isBlackDot(k.get(), 2, H - 1));
}

TEST_F(Halftoning, FloydOnAGradient)
{
    // Reference rows from an independent implementation of the same integer
    // arithmetic (7/16 right, 3/16 below left, 5/16 below, the rest below
    // right; divisions toward zero).
    const char* expected[H] = {
        "......#.#.######", "...#.#.####.##..", ".#..#.#.#.###...", "..#.#######.....",
        "#.#.#.#.##....#.", ".#.######....#.#", "#.##.##....#..#.", "######......#.##",
    };
    auto gray = panel(TavFactory::BmpGraySupervisor);
    for (int w = 0; w < W; ++w)
        for (int h = 0; h < H; ++h) {
            const int c = (w * 17 + h * 23) % 256;
            put(gray.get(), w, h, Ink{c, c, c});
        }
    k = panel(TavFactory::DbMonochromeSupervisor);
    std::unique_ptr<tavgdi::IGRasterOperation> op(
        TavFactory::FactoryGRasterOperation(k.get(), TavFactory::RasterOpFloyd, nullptr));
    ASSERT_TRUE(op->apply(gray.get(), PixelOperation::copyColorBW, nullptr, proj1, proj2));
    for (int h = 0; h < H; ++h) {
        std::string row;
        for (int w = 0; w < W; ++w)
            row += isBlackDot(k.get(), w, h) ? '#' : '.';
        EXPECT_EQ(row, expected[h]) << "row " << h;
    }
}
