#include <gtest/gtest.h>

#include "GraphicalConstants.h"
#include "pipeline/GRect.h"

using namespace GraphicalConstants;
using tavgdi::GRect;

// Text regions onto the card: turned with the page, cut to its last dot.
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
    for (const Case& c : cases) {
        GRect rect(c.l, c.t, c.r, c.b, 250, 3);
        orientationTransform(c.orientation, &rect, 1016, 648);
        SCOPED_TRACE(testing::Message() << "orientation " << c.orientation << " rect (" << c.l << ", " << c.t << ", "
                                        << c.r << ", " << c.b << ")");
        EXPECT_EQ(rect.left, c.left);
        EXPECT_EQ(rect.top, c.top);
        EXPECT_EQ(rect.right, c.right);
        EXPECT_EQ(rect.bottom, c.bottom);
        EXPECT_EQ(static_cast<byte>(rect.blackLevel), 250);
        EXPECT_EQ(rect.relativeImageBandID, 3);
    }
}
