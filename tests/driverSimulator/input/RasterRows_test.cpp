#include <gtest/gtest.h>

#include <vector>

#include "input/RasterRows.h"

using tavgdi::RasterRows;

// Every row length around the 5-dot runs, into another row and in place;
// the bytes after the row are left alone.
TEST(RasterRows, SwapsRedAndBlueOfEveryDot)
{
    for (dword dots = 0; dots < 40; ++dots) {
        std::vector<byte> rgb(3 * dots + 4), expected(3 * dots + 4, 0xAB);
        for (size_t i = 0; i < rgb.size(); ++i)
            rgb[i] = static_cast<byte>(i * 37 + 11);
        for (dword d = 0; d < dots; ++d) {
            expected[3 * d] = rgb[3 * d + 2];
            expected[3 * d + 1] = rgb[3 * d + 1];
            expected[3 * d + 2] = rgb[3 * d];
        }
        std::vector<byte> bgr(3 * dots + 4, 0xAB);
        RasterRows::toBgr(rgb.data(), bgr.data(), dots);
        EXPECT_EQ(bgr, expected) << dots;

        std::vector<byte> same = rgb;
        RasterRows::toBgr(same.data(), same.data(), dots);
        for (size_t i = 3 * dots; i < same.size(); ++i)
            expected[i] = rgb[i];
        EXPECT_EQ(same, expected) << dots << " in place";
    }
}
