#include <gtest/gtest.h>

#include "GraphicalConstants.h"
#include "pipeline/GRect.h"

using namespace GraphicalConstants;
using tavgdi::GRect;

TEST(GraphicalConstants, UnsignedClip)
{
    EXPECT_EQ(clipControl(300, 0, 255), 255u);
    EXPECT_EQ(clipControl(-1, 0, 255), 255u);
    EXPECT_EQ(clipControl(7, 0, 255), 7u);
    EXPECT_EQ(clipControl(3, 5, 255), 5u);
}

TEST(GraphicalConstants, ProjectionPairsReadTheSourceDot)
{
    struct Case {
        CoordinateTransform pr1, pr2;
        dword srcX, srcY; // source of the target dot (2, 3) in 10 x 6
    } cases[] = {
        {proj1, proj2, 2, 3},         // identity
        {proj1, negLproj2, 2, 2},     // top to bottom
        {negLproj1, proj2, 7, 3},     // left to right
        {negLproj1, negLproj2, 7, 2}, // half turn
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.pr1(2, 3, 10, 6), c.srcX);
        EXPECT_EQ(c.pr2(2, 3, 10, 6), c.srcY);
    }
}

TEST(GraphicalConstants, DotTransformPerOrientation)
{
    struct Case {
        CardOrientation orientation;
        int W, H, w, h;
    } cases[] = {
        {Landscape, 0, 0, 0, 647},
        {LandscapeFlip, 5, 9, 1010, 9},
        {Portrait, 0, 0, 1015, 647},
        {PortraitFlip, 5, 9, 9, 5},
        {static_cast<CardOrientation>(7), 5, 9, 9, 5},
    };
    for (const Case& c : cases) {
        int w = -100, h = -100;
        orientationTransform(c.orientation, &w, &h, c.W, c.H, 1016, 648);
        EXPECT_EQ(w, c.w) << c.orientation << " (" << c.W << ", " << c.H << ")";
        EXPECT_EQ(h, c.h) << c.orientation << " (" << c.W << ", " << c.H << ")";
    }
    int w = 0;
    orientationTransform(Landscape, &w, nullptr, 1, 2, 3, 4); // must not crash
    orientationTransform(Landscape, nullptr, nullptr, 1, 2, 3, 4);
}

TEST(GraphicalConstants, RectangleTransformPerOrientation)
{
    struct Case {
        CardOrientation orientation;
        int l, t, r, b;
        dword left, top, right, bottom;
    } cases[] = {
        // Inside the page.
        {Landscape, 10, 20, 30, 40, 10, 607, 30, 627},
        {LandscapeFlip, 10, 20, 30, 40, 985, 20, 1005, 40},
        {Portrait, 10, 20, 30, 40, 20, 10, 40, 30},
        {PortraitFlip, 10, 20, 30, 40, 975, 617, 995, 637},
        // Whole page.
        {Portrait, 0, 0, 647, 1015, 0, 0, 1015, 647},
        // Reaching past the media: clipped to the last dot, also where the
        // axis is mirrored.
        {Landscape, 1000, 600, 5000, 5000, 1000, 0, 1015, 47},
        {LandscapeFlip, 1000, 600, 5000, 5000, 0, 600, 15, 647},
        {Portrait, 600, 1000, 5000, 5000, 1000, 600, 1015, 647},
        {PortraitFlip, 600, 1000, 5000, 5000, 0, 0, 15, 47},
        // Entirely off the page: the last row or column.
        {Landscape, 2000, 2000, 3000, 3000, 1015, 0, 1015, 0},
    };
    orientationTransform(Landscape, static_cast<GRect*>(nullptr), 1016, 648); // must not crash
    for (const Case& c : cases) {
        GRect rect(c.l, c.t, c.r, c.b, 250, 3);
        orientationTransform(c.orientation, &rect, 1016, 648);
        SCOPED_TRACE(testing::Message() << "orientation " << c.orientation << " rect (" << c.l << ", " << c.t
                                        << ", " << c.r << ", " << c.b << ")");
        EXPECT_EQ(rect.left, c.left);
        EXPECT_EQ(rect.top, c.top);
        EXPECT_EQ(rect.right, c.right);
        EXPECT_EQ(rect.bottom, c.bottom);
        EXPECT_EQ(static_cast<byte>(rect.blackLevel), 250);
        EXPECT_EQ(rect.relativeImageBandID, 3);
    }
    GRect rect(10, 20, 30, 40, 0, -1);
    orientationTransform(Portrait, &rect, 0, 648); // an empty media
    EXPECT_EQ(rect.left + rect.right + rect.top + rect.bottom, 0u);
}

TEST(GraphicalConstants, UpdateOrientation)
{
    struct Case {
        CardOrientation in;
        CardOrientation flipped, unflipped;
    } cases[] = {
        {Landscape, LandscapeFlip, Landscape},
        {LandscapeFlip, LandscapeFlip, Landscape},
        {Portrait, PortraitFlip, Portrait},
        {PortraitFlip, PortraitFlip, Portrait},
        {static_cast<CardOrientation>(9), static_cast<CardOrientation>(9), static_cast<CardOrientation>(9)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UpdateOrientation(c.in, true), c.flipped) << c.in;
        EXPECT_EQ(UpdateOrientation(c.in, false), c.unflipped) << c.in;
    }
}
