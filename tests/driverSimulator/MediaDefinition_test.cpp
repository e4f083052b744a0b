#include <gtest/gtest.h>

#include <climits>
#include <regex>
#include <string>

#include "MediaDefinition.h"

using GraphicalConstants::CardOrientation;
using tavgdi::MediaDefinition;

namespace {

std::string maskPointers(const std::string& text)
{
    return std::regex_replace(text, std::regex("ptr:[0-9a-f]+|\\([0-9a-f]+\\)"), "PTR");
}

struct CardSize {
    dword crWidth;
    dword crHeight;
    dword expectedCRWidth;
    dword expectedCRHeight;
    dword width[4];  // at 260, 300, 600, 1200 dpi
    dword height[4]; // at 260, 300, 600, 1200 dpi
};

const dword kDpis[4] = {260, 300, 600, 1200};

const CardSize kCards[] = {
    {MediaDefinition::CR80Width, MediaDefinition::CR80Height, 1016, 648, {881, 1016, 2032, 4064}, {562, 648, 1296, 2592}},
    {MediaDefinition::CR109X54Width, MediaDefinition::CR109X54Height, 1296, 648, {1124, 1296, 2592, 5184}, {562, 648, 1296, 2592}},
    {MediaDefinition::CR128X54Width, MediaDefinition::CR128X54Height, 1520, 648, {1318, 1520, 3040, 6080}, {562, 648, 1296, 2592}},
    {MediaDefinition::CR140X54Width, MediaDefinition::CR140X54Height, 1664, 648, {1443, 1664, 3328, 6656}, {562, 648, 1296, 2592}},
    {MediaDefinition::CR165X54Width, MediaDefinition::CR165X54Height, 1960, 648, {1699, 1960, 3920, 7840}, {562, 648, 1296, 2592}},
    {MediaDefinition::CR210X54Width, MediaDefinition::CR210X54Height, 2488, 648, {2157, 2488, 4976, 9952}, {562, 648, 1296, 2592}},
    {MediaDefinition::CR86X50Width, MediaDefinition::CR86X50Height, 1024, 600, {888, 1024, 2048, 4096}, {520, 600, 1200, 2400}},
    {MediaDefinition::CR109X50Width, MediaDefinition::CR109X50Height, 1296, 600, {1124, 1296, 2592, 5184}, {520, 600, 1200, 2400}},
    {MediaDefinition::CR120X50Width, MediaDefinition::CR120X50Height, 1424, 600, {1235, 1424, 2848, 5696}, {520, 600, 1200, 2400}},
    {MediaDefinition::CR128X50Width, MediaDefinition::CR128X50Height, 1520, 600, {1318, 1520, 3040, 6080}, {520, 600, 1200, 2400}},
    {MediaDefinition::CR140X50Width, MediaDefinition::CR140X50Height, 1664, 600, {1443, 1664, 3328, 6656}, {520, 600, 1200, 2400}},
    {MediaDefinition::CR150X50Width, MediaDefinition::CR150X50Height, 1784, 600, {1547, 1784, 3568, 7136}, {520, 600, 1200, 2400}},
};

} // namespace

TEST(MediaDefinition, EveryCardSizeAtEveryResolution)
{
    testing::internal::CaptureStderr();
    for (const CardSize& card : kCards) {
        EXPECT_EQ(card.crWidth, card.expectedCRWidth);
        EXPECT_EQ(card.crHeight, card.expectedCRHeight);
        for (int ix = 0; ix < 4; ++ix) {
            for (int iy = 0; iy < 4; ++iy) {
                SCOPED_TRACE(std::to_string(card.crWidth) + "x" + std::to_string(card.crHeight) + " @ " +
                             std::to_string(kDpis[ix]) + "x" + std::to_string(kDpis[iy]));
                MediaDefinition media(kDpis[ix], kDpis[iy], card.crWidth, card.crHeight);
                const dword w = card.width[ix];
                const dword h = card.height[iy];
                EXPECT_EQ(media.getWidth(), w);
                EXPECT_EQ(media.getHeight(), h);
                EXPECT_EQ(media.getArea(), w * h);
                EXPECT_EQ(media.getColorDataSize(), 3 * w * h);
                EXPECT_EQ(media.getMonochromeDataSize(), (w * h) / 8);
                EXPECT_EQ(media.getBMPMonochromeDataSize(), ((w + 31) / 32) * 4 * h);
                EXPECT_EQ(media.getDpiX(), kDpis[ix]);
                EXPECT_EQ(media.getDpiY(), kDpis[iy]);
                EXPECT_EQ(media.getCRWidth(), card.crWidth);
                EXPECT_EQ(media.getCRHeight(), card.crHeight);
            }
        }
    }
    testing::internal::GetCapturedStderr();
}

TEST(MediaDefinition, MixedResolutionSizes)
{
    struct Case {
        dword dpiX, dpiY, width, height, area, color, mono, bmpMono;
    } cases[] = {
        {600, 300, 2032, 648, 1316736, 3950208, 164592, 165888},
        {1200, 300, 4064, 648, 2633472, 7900416, 329184, 508 * 648},
        {300, 600, 1016, 1296, 1316736, 3950208, 164592, 128 * 1296},
        {300, 260, 1016, 562, 570992, 1712976, 71374, 128 * 562},
        {300, 300, 1016, 648, 658368, 1975104, 82296, 128 * 648},
    };
    testing::internal::CaptureStderr();
    for (const Case& c : cases) {
        MediaDefinition media(c.dpiX, c.dpiY, MediaDefinition::CR80Width, MediaDefinition::CR80Height);
        EXPECT_EQ(media.getWidth(), c.width) << c.dpiX << "x" << c.dpiY;
        EXPECT_EQ(media.getHeight(), c.height) << c.dpiX << "x" << c.dpiY;
        EXPECT_EQ(media.getArea(), c.area) << c.dpiX << "x" << c.dpiY;
        EXPECT_EQ(media.getColorDataSize(), c.color) << c.dpiX << "x" << c.dpiY;
        EXPECT_EQ(media.getMonochromeDataSize(), c.mono) << c.dpiX << "x" << c.dpiY;
        EXPECT_EQ(media.getBMPMonochromeDataSize(), c.bmpMono) << c.dpiX << "x" << c.dpiY;
    }
    testing::internal::GetCapturedStderr();
}

TEST(MediaDefinition, SetResolutionRecomputesEverything)
{
    testing::internal::CaptureStderr();
    MediaDefinition media(300, 300, 1016, 648);
    media.setResolution(600, 600, MediaDefinition::CR86X50Width, MediaDefinition::CR86X50Height);
    EXPECT_EQ(media.getWidth(), 2048u);
    EXPECT_EQ(media.getHeight(), 1200u);
    EXPECT_EQ(media.getArea(), 2457600u);
    EXPECT_EQ(media.getMonochromeDataSize(), 307200u);
    media.setResolution(0, 300, 1016, 648);
    EXPECT_EQ(media.getWidth(), 0u);
    EXPECT_EQ(media.getArea(), 0u);
    EXPECT_EQ(media.getColorDataSize(), 0u);
    testing::internal::GetCapturedStderr();
}

TEST(MediaDefinition, MonochromeSizeDropsPartialByte)
{
    testing::internal::CaptureStderr();
    MediaDefinition media(300, 300, 3, 5); // 15 dots
    EXPECT_EQ(media.getMonochromeDataSize(), 1u);
    EXPECT_EQ(media.getBMPMonochromeDataSize(), 20u);
    testing::internal::GetCapturedStderr();
}

TEST(MediaDefinition, AbsurdCustomSizeGivesEmptyCardInsteadOfWrappedBuffers)
{
    testing::internal::CaptureStderr();
    MediaDefinition media(1200, 1200, 100000, 100000);
    const std::string log = testing::internal::GetCapturedStderr();
    testing::internal::CaptureStderr();
    EXPECT_EQ(media.getWidth(), 0u);
    EXPECT_EQ(media.getHeight(), 0u);
    EXPECT_EQ(media.getArea(), 0u);
    EXPECT_EQ(media.getColorDataSize(), 0u);
    EXPECT_NE(log.find("WARNING - card too large - Width:400000 Height:400000"), std::string::npos);

    // Lengths that would wrap in 32 bits, and sides just past the limit.
    for (dword cr : {14316558u, 10001u}) {
        MediaDefinition wrapped(300, 300, cr, 648);
        EXPECT_EQ(wrapped.getWidth(), 0u) << cr;
    }
    MediaDefinition largest(1200, 1200, MediaDefinition::CR210X54Width, MediaDefinition::CR210X54Height);
    EXPECT_EQ(largest.getWidth(), 9952u);
    testing::internal::GetCapturedStderr();
}

TEST(MediaDefinition, LogsLifeAndComputation)
{
    testing::internal::CaptureStderr();
    {
        MediaDefinition media(600, 300, 1016, 648);
    }
    EXPECT_EQ(maskPointers(testing::internal::GetCapturedStderr()),
              "[TAVRIN UNIDRIVER][Object LifeLine] +MediaDefinition PTR\r\n"
              "[TAVRIN UNIDRIVER][MediaDefinition::setResolution] (PTR, dpiX:600, dpiY:300, CRWidth:1016, "
              "CRHeight:648)\r\n"
              "[TAVRIN UNIDRIVER][MediaDefinition::setResolution] Length Computation from DPI - Width:2032 "
              "Height:648\r\n"
              "[TAVRIN UNIDRIVER][Object LifeLine] -MediaDefinition PTR\r\n");
}

TEST(MediaDefinition, CopiesLogTheirOwnLife)
{
    testing::internal::CaptureStderr();
    MediaDefinition* media = new MediaDefinition(300, 300, 1016, 648);
    MediaDefinition copy(*media);
    delete media;
    EXPECT_EQ(copy.getArea(), 658368u);
    const std::string log = testing::internal::GetCapturedStderr();
    size_t plus = 0, minus = 0;
    for (size_t p = log.find("+MediaDefinition"); p != std::string::npos; p = log.find("+MediaDefinition", p + 1))
        ++plus;
    for (size_t p = log.find("-MediaDefinition"); p != std::string::npos; p = log.find("-MediaDefinition", p + 1))
        ++minus;
    EXPECT_EQ(plus, 2u);
    EXPECT_EQ(minus, 1u);
}

TEST(MediaDefinition, LengthConversion)
{
    struct Case {
        dword length, dpi, expected;
    } cases[] = {
        {1016, 300, 1016}, {1016, 600, 2032}, {648, 600, 1296}, {1016, 150, 508},
        {1, 100, 1},       {1017, 299, 1014}, {0, 600, 0},      {1016, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MediaDefinition::ComputeLengthFromDpi(c.length, c.dpi), c.expected) << c.length << " @ " << c.dpi;
}

TEST(MediaDefinition, LengthConversionWithVariableDivisor)
{
    struct Case {
        dword length, dpi, divisor, expected;
    } cases[] = {
        {1016, 300, 600, 508}, {1017, 300, 600, 509}, {100, 300, 1200, 25}, {101, 300, 1200, 26},
        {648, 300, 300, 648},  {5, 300, 0, 0}, // a zero divisor must not trap
    };
    for (const Case& c : cases)
        EXPECT_EQ(MediaDefinition::ComputeLengthFromDpiWithVarMedia(c.length, c.dpi, c.divisor), c.expected)
            << c.length << " " << c.dpi << " / " << c.divisor;
}

TEST(MediaDefinition, RowArithmetic)
{
    EXPECT_EQ(MediaDefinition::Next4Multiple(3063), 3064);
    EXPECT_EQ(MediaDefinition::Next4Multiple(3048), 3048);
    EXPECT_EQ(MediaDefinition::Next4Multiple(3 * 1017), 3052);
    EXPECT_EQ(MediaDefinition::Next4Multiple(0), 0);
    EXPECT_EQ(MediaDefinition::Next4Multiple(1), 4);
    EXPECT_EQ(MediaDefinition::Next4Multiple(-5), -4);

    EXPECT_EQ(MediaDefinition::ComputeRWidth(1016), 128);
    EXPECT_EQ(MediaDefinition::ComputeRWidth(648), 84);
    EXPECT_EQ(MediaDefinition::ComputeRWidth(1), 4);
    EXPECT_EQ(MediaDefinition::ComputeRWidth(0), 0);
    EXPECT_EQ(MediaDefinition::ComputeRWidth(32), 4);
    EXPECT_EQ(MediaDefinition::ComputeRWidth(33), 8);

    EXPECT_EQ(MediaDefinition::to7bits(7), 0u);
    EXPECT_EQ(MediaDefinition::to7bits(8), 7u);
    EXPECT_EQ(MediaDefinition::to7bits(15), 7u);
    EXPECT_EQ(MediaDefinition::to7bits(658368), 576072u);
}

TEST(MediaDefinition, CompatibleFormats)
{
    struct Case {
        dword width, height;
        bool compatible;
        CardOrientation orientation;
        dword outWidth, outHeight;
    } cases[] = {
        {1016, 648, true, GraphicalConstants::Landscape, 1016, 648},
        {648, 1016, true, GraphicalConstants::Portrait, 648, 1016},
        {1000, 1000, false, GraphicalConstants::Landscape, 1016, 648}, // tie goes to landscape
        {1020, 640, false, GraphicalConstants::Landscape, 1016, 648},
        {640, 1020, false, GraphicalConstants::Portrait, 648, 1016},
        {2032, 1296, false, GraphicalConstants::Landscape, 1016, 648},
        {1296, 2032, false, GraphicalConstants::Portrait, 648, 1016},
        {0, 0, false, GraphicalConstants::Landscape, 1016, 648},
        {0xFFFFFFFFu, 10, false, GraphicalConstants::Landscape, 1016, 648},
        {10, 0xFFFFFFFFu, false, GraphicalConstants::Portrait, 648, 1016},
    };
    testing::internal::CaptureStderr();
    MediaDefinition media(300, 300, 1016, 648);
    for (const Case& c : cases) {
        dword w = c.width, h = c.height;
        CardOrientation o = GraphicalConstants::PortraitFlip;
        EXPECT_EQ(media.isCompatibleFormat(w, h, o), c.compatible) << c.width << "x" << c.height;
        EXPECT_EQ(o, c.orientation) << c.width << "x" << c.height;
        EXPECT_EQ(w, c.outWidth) << c.width << "x" << c.height;
        EXPECT_EQ(h, c.outHeight) << c.width << "x" << c.height;
    }
    testing::internal::GetCapturedStderr();
}

TEST(MediaDefinition, IncompatibleFormatIsLogged)
{
    testing::internal::CaptureStderr();
    MediaDefinition media(300, 300, 1016, 648);
    dword w = 1000, h = 999;
    CardOrientation o;
    media.isCompatibleFormat(w, h, o);
    EXPECT_NE(testing::internal::GetCapturedStderr().find(
                  "[TAVRIN UNIDRIVER][MediaDefinition::isCompatibleFormat] WARNING - return FALSE - Width:1000 "
                  "Height:999\r\n"),
              std::string::npos);
}

TEST(MediaDefinition, ComputeError)
{
    testing::internal::CaptureStderr();
    MediaDefinition media(300, 300, 1016, 648);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(media.computeError(1016, 648), 0);
    EXPECT_EQ(media.computeError(1000, 1000), 16 * 16 + 352 * 352);
    EXPECT_EQ(media.computeError(1019, 644), 9 + 16);
    EXPECT_EQ(media.computeError(0xFFFFFFFFu, 0), INT_MAX); // saturates instead of wrapping
}
