#include <gtest/gtest.h>

#include "pipeline/GRect.h"

using tavgdi::GRect;

TEST(GRect, NegativeCoordinatesBecomeZero)
{
    struct Case {
        int l, t, r, b;
        dword left, top, right, bottom;
    } cases[] = {
        {-5, 10, 20, -1, 0, 10, 20, 0},
        {1, 2, 3, 4, 1, 2, 3, 4},
        {-2147483647 - 1, -1, 2147483647, 0, 0, 0, 2147483647u, 0},
    };
    for (const Case& c : cases) {
        GRect rect(c.l, c.t, c.r, c.b, 0, 0);
        EXPECT_EQ(rect.left, c.left);
        EXPECT_EQ(rect.top, c.top);
        EXPECT_EQ(rect.right, c.right);
        EXPECT_EQ(rect.bottom, c.bottom);
    }
}

