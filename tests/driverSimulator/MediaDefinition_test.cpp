#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>

#include "InternalLog.h"
#include "MediaDefinition.h"
#include "QuietLog.h"

using GraphicalConstants::CardOrientation;
using tavgdi::MediaDefinition;

using MediaDefinitionTest = cr80test::QuietLog;

TEST_F(MediaDefinitionTest, SizesAtMixedResolutions)
{
    struct Case {
        dword dpiX, dpiY, crWidth, crHeight, width, height, area, color, mono, bmpMono;
    } cases[] = {
        {600, 300, 1016, 648, 2032, 648, 1316736, 3950208, 164592, 165888},
        {1200, 300, 1016, 648, 4064, 648, 2633472, 7900416, 329184, 508 * 648},
        {300, 600, 1016, 648, 1016, 1296, 1316736, 3950208, 164592, 128 * 1296},
        {300, 260, 1016, 648, 1016, 562, 570992, 1712976, 71374, 128 * 562},
        {300, 300, 3, 5, 3, 5, 15, 45, 1, 20}, // the partial byte of 1-bit data is dropped
        {0, 300, 1016, 648, 0, 648, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        MediaDefinition media(300, 300, 1016, 648);
        media.setResolution(c.dpiX, c.dpiY, c.crWidth, c.crHeight);
        const dword got[] = {media.getWidth(),
                             media.getHeight(),
                             media.getArea(),
                             media.getColorDataSize(),
                             media.getMonochromeDataSize(),
                             media.getBMPMonochromeDataSize()};
        const dword want[] = {c.width, c.height, c.area, c.color, c.mono, c.bmpMono};
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(got[i], want[i]) << c.dpiX << "x" << c.dpiY << " " << c.crWidth << " field " << i;
    }
}

TEST(MediaDefinition, AbsurdCustomSizeGivesEmptyCardInsteadOfWrappedBuffers)
{
    testing::internal::CaptureStderr();
    MediaDefinition media(1200, 1200, 100000, 100000);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("WARNING - card too large - Width:400000 Height:400000"),
              std::string::npos);
    EXPECT_EQ(media.getArea(), 0u);
    EXPECT_EQ(media.getColorDataSize(), 0u);

    testing::internal::CaptureStderr();
    // Lengths that would wrap in 32 bits, and sides just past the limit.
    for (dword cr : {14316558u, 10001u})
        EXPECT_EQ(MediaDefinition(300, 300, cr, 648).getWidth(), 0u) << cr;
    MediaDefinition largest(1200, 1200, MediaDefinition::CR210X54Width, MediaDefinition::CR210X54Height);
    EXPECT_EQ(largest.getWidth(), 9952u);
    testing::internal::GetCapturedStderr();
}
