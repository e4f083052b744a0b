// Small panels for the raster-operation tests: 16 x 8 dots, blank, with the
// pixel levels saved and restored around each test.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "GlobalFactory.h"
#include "MediaDefinition.h"
#include "image/ColorPixel.h"
#include "image/IGDataSupervisor.h"
#include "image/IPixel.h"
#include "image/MonochromePixel.h"

namespace rastertest {

const int W = 16;
const int H = 8;

struct Ink {
    int y, m, c;
};

inline bool operator==(const Ink& a, const Ink& b)
{
    return a.y == b.y && a.m == b.m && a.c == b.c;
}

inline std::ostream& operator<<(std::ostream& os, const Ink& i)
{
    return os << "(" << i.y << "," << i.m << "," << i.c << ")";
}

class RasterTest : public testing::Test {
protected:
    tavgdi::MediaDefinition media{300, 300, W, H};
    byte savedThreshold = 0, savedBlack = 0, savedDark = 0;

    void SetUp() override
    {
        savedThreshold = tavgdi::IPixel::getThreshold();
        savedBlack = tavgdi::IPixel::getBlackLevel();
        savedDark = tavgdi::IPixel::getDarkLevel();
    }
    void TearDown() override
    {
        tavgdi::IPixel::setThreshold(savedThreshold);
        tavgdi::IPixel::setBlackLevel(savedBlack);
        tavgdi::IPixel::setDarkLevel(savedDark);
    }

    std::unique_ptr<tavgdi::IGDataSupervisor> panel(TavFactory::SupervisorType type,
                                                    tavgdi::IGDataOptions* options = nullptr)
    {
        std::unique_ptr<tavgdi::IGDataSupervisor> s(TavFactory::FactoryGDataSupervisor(type, &media, options));
        EXPECT_TRUE(s && s->newRaster(&media, false));
        return s;
    }

    static void fill(tavgdi::IGDataSupervisor* s, Ink ink)
    {
        tavgdi::ColorPixel p(byte(ink.y), byte(ink.m), byte(ink.c));
        for (int w = 0; w < W; ++w)
            for (int h = 0; h < H; ++h)
                s->setPixel(w, h, &p);
    }

    static void put(tavgdi::IGDataSupervisor* s, int w, int h, Ink ink)
    {
        tavgdi::ColorPixel p(byte(ink.y), byte(ink.m), byte(ink.c));
        s->setPixel(w, h, &p);
    }

    static Ink at(tavgdi::IGDataSupervisor* s, int w, int h)
    {
        tavgdi::ColorPixel p(0, 0, 0);
        s->getPixel(w, h, &p);
        return {p.getY(), p.getM(), p.getC()};
    }

    static bool isBlackDot(tavgdi::IGDataSupervisor* k, int w, int h)
    {
        tavgdi::MonochromePixel p(false);
        k->getPixel(w, h, &p);
        return p.isBlack();
    }

    static int blackDots(tavgdi::IGDataSupervisor* k)
    {
        int n = 0;
        for (int w = 0; w < W; ++w)
            for (int h = 0; h < H; ++h)
                n += isBlackDot(k, w, h) ? 1 : 0;
        return n;
    }
};

} // namespace rastertest
