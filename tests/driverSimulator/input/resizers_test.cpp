#include <gtest/gtest.h>

#include <vector>

#include "Allocator.h"
#include "input/resizers.h"

TEST(resizers, NearestNeighbourColourPicksTheTruncatedSourceDot)
{
    // 2 x 2 source, rows of 8 bytes (6 + padding); dot (x, y) = {x, y, 7}.
    std::vector<byte> src(16, 0xEE);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) {
            src[y * 8 + x * 3] = static_cast<byte>(x);
            src[y * 8 + x * 3 + 1] = static_cast<byte>(y);
            src[y * 8 + x * 3 + 2] = 7;
        }
    byte* dst = nullptr;
    ASSERT_TRUE(resizers::resize(resizers::NearestNeighbour, src.data(), 2, 2, true, &dst, 5, 3));
    const int row = 16; // 5 x 3 rounded up to 4
    for (int h = 0; h < 3; ++h)
        for (int w = 0; w < 5; ++w) {
            EXPECT_EQ(w * 2 / 5, dst[h * row + w * 3]) << w << "," << h;
            EXPECT_EQ(h * 2 / 3, dst[h * row + w * 3 + 1]) << w << "," << h;
            EXPECT_EQ(7, dst[h * row + w * 3 + 2]);
        }
    tavgdi::Allocator::desalloc(dst);
}

TEST(resizers, NearestNeighbourMonoAndBitAddressing)
{
    // One row of 40 dots: rows of 8 bytes; dot 0 is the top bit of byte 0.
    std::vector<byte> src(8, 0);
    resizers::setMonoPixel(0, 0, 8, src.data(), 1);
    resizers::setMonoPixel(9, 0, 8, src.data(), 5);
    resizers::setMonoPixel(38, 0, 8, src.data(), 1);
    EXPECT_EQ(0x80, src[0]);
    EXPECT_EQ(0x40, src[1]);
    EXPECT_EQ(0x02, src[4]);
    resizers::setMonoPixel(9, 0, 8, src.data(), 0);
    EXPECT_EQ(0, resizers::getMonoPixel(9, 0, 8, src.data()));
    resizers::setMonoPixel(1, 0, 8, nullptr, 1); // ignored

    byte* dst = nullptr;
    ASSERT_TRUE(resizers::resize(resizers::NearestNeighbour, src.data(), 40, 1, false, &dst, 20, 2));
    for (int h = 0; h < 2; ++h)
        for (int w = 0; w < 20; ++w)
            EXPECT_EQ(w == 0 || w == 19 ? 1 : 0, resizers::getMonoPixel(w, h, 4, dst)) << w << "," << h;
    tavgdi::Allocator::desalloc(dst);
}

TEST(resizers, RefusedRequests)
{
    std::vector<byte> src(64, 1);
    struct Case {
        resizers::ResizeAlgorithms algorithm;
        bool color;
        byte* src;
        int sw, sh, dw, dh;
    } cases[] = {
        {resizers::WindowsInternal, true, src.data(), 2, 2, 4, 4},
        {resizers::WindowsInternal, false, src.data(), 2, 2, 4, 4},
        {resizers::Unkown, true, src.data(), 2, 2, 4, 4},
        {resizers::NearestNeighbour, true, nullptr, 2, 2, 4, 4},
        {resizers::NearestNeighbour, true, src.data(), 2, 2, 0, 4},
        {resizers::NearestNeighbour, false, src.data(), 2, 2, 4, 0},
        {resizers::NearestNeighbour, true, src.data(), 0, 2, 4, 4},
        {resizers::NearestNeighbour, false, src.data(), 2, -1, 4, 4},
        {resizers::NearestNeighbour, true, src.data(), 2, 2, 1 << 30, 1 << 30},
    };
    for (const Case& c : cases) {
        byte* dst = reinterpret_cast<byte*>(&src);
        EXPECT_FALSE(resizers::resize(c.algorithm, c.src, c.sw, c.sh, c.color, &dst, c.dw, c.dh));
        EXPECT_EQ(nullptr, dst);
    }
}
