#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "Exceptions/NullException.h"
#include "GraphicalConstants.h"
#include "InternalLog.h"
#include "image/IPixel.h"
#include "pipeline/StdLGRect.h"
#include "pipeline/StdLGRectIterator.h"

#include "QuietLog.h"

using tavgdi::GRect;
using tavgdi::IPixel;
using tavgdi::StdLGRect;
using tavgdi::StdLGRectIterator;

namespace {

// left, top, right, bottom, black level, band ID
typedef std::tuple<dword, dword, dword, dword, int, int> R;

GRect* make(const R& x)
{
    auto [l, t, r, b, level, band] = x;
    return new GRect(int(l), int(t), int(r), int(b), byte(level), band);
}

// The iterator sets the global black level: each test gets it back.
class LGRectIteratorTest : public cr80test::QuietLog {
protected:
    void SetUp() override
    {
        QuietLog::SetUp();
        savedLevel = IPixel::getBlackLevel();
    }
    void TearDown() override
    {
        IPixel::BlackLevel = savedLevel;
        QuietLog::TearDown();
    }
    byte savedLevel = 0;
};

} // namespace

TEST_F(LGRectIteratorTest, StdIteratorAppliesLevelsAndRestores)
{
    StdLGRect list;
    list.Add(make({0, 0, 9, 9, 0, -1}));
    list.Add(make({10, 0, 19, 9, 150, -1}));
    list.Add(make({20, 0, 29, 9, 0, -1}));

    IPixel::BlackLevel = 200;
    StdLGRectIterator it(&list);
    EXPECT_TRUE(it.init());
    std::vector<std::pair<dword, int>> seen; // left, black level
    for (; it.isUncompleted(); it.next()) {
        ASSERT_NE(it.getRect(), nullptr);
        seen.emplace_back(it.getRect()->left, IPixel::getBlackLevel());
    }
    EXPECT_EQ(seen, (std::vector<std::pair<dword, int>>{{0, 200}, {10, 150}, {20, 200}}));
    EXPECT_EQ(IPixel::getBlackLevel(), 200);
    it.next(); // past the end stays finished
    EXPECT_FALSE(it.isUncompleted());
    EXPECT_EQ(it.getRect(), nullptr);

    StdLGRect empty;
    IPixel::BlackLevel = 180;
    StdLGRectIterator none(&empty);
    none.init();
    IPixel::BlackLevel = 10;
    EXPECT_FALSE(none.isUncompleted());
    EXPECT_EQ(IPixel::getBlackLevel(), 180);
    EXPECT_THROW(StdLGRectIterator(nullptr), tavgdi::NullException);
}
