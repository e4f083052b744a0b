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
#include "pipeline/StdLGRectManager.h"

using tavgdi::GRect;
using tavgdi::IPixel;
using tavgdi::StdLGRect;
using tavgdi::StdLGRectIterator;
using tavgdi::StdLGRectManager;

namespace {

// left, top, right, bottom, black level, band ID
typedef std::tuple<dword, dword, dword, dword, int, int> R;

GRect* make(const R& x)
{
    auto [l, t, r, b, level, band] = x;
    return new GRect(int(l), int(t), int(r), int(b), byte(level), band);
}

std::vector<R> contents(StdLGRect* list)
{
    std::vector<R> out;
    for (auto* n = list->getFirst(); n != nullptr; n = n->next)
        out.emplace_back(n->rect->left, n->rect->top, n->rect->right, n->rect->bottom, byte(n->rect->blackLevel),
                         n->rect->relativeImageBandID);
    return out;
}

// Keeps the pipeline log out of the test output.
class Quiet : public testing::Test {
protected:
    void SetUp() override
    {
        std::swap(wasEnabled, tavgdi::InternalLog::isEnable);
        savedLevel = IPixel::getBlackLevel();
    }
    void TearDown() override
    {
        IPixel::BlackLevel = savedLevel;
        tavgdi::InternalLog::isEnable = wasEnabled;
    }
    bool wasEnabled = false;
    byte savedLevel = 0;
};

} // namespace

class StdLGRectTest : public Quiet {};

TEST_F(StdLGRectTest, MergesConsecutiveBandsThatLineUp)
{
    struct Case {
        const char* name;
        std::vector<R> added;
        std::vector<R> expected;
    } cases[] = {
        {"gap keeps two", {{10, 0, 50, 20, 0, 1}, {10, 21, 50, 40, 0, 2}}, {{10, 0, 50, 20, 0, 1}, {10, 21, 50, 40, 0, 2}}},
        {"touching merges", {{10, 0, 50, 20, 9, 1}, {10, 20, 50, 40, 7, 2}}, {{10, 0, 50, 40, 9, 2}}},
        {"overlap merges, keeps top", {{10, 5, 50, 20, 0, 1}, {10, 0, 50, 40, 0, 2}}, {{10, 5, 50, 40, 0, 2}}},
        {"band 0 appended", {{1, 0, 9, 10, 0, 0}, {1, 0, 9, 10, 0, 0}}, {{1, 0, 9, 10, 0, 0}, {1, 0, 9, 10, 0, 0}}},
        {"left differs", {{1, 0, 9, 10, 0, 1}, {2, 5, 9, 20, 0, 2}}, {{1, 0, 9, 10, 0, 1}, {2, 5, 9, 20, 0, 2}}},
        {"band skipped", {{1, 0, 9, 10, 0, 1}, {1, 5, 9, 20, 0, 3}}, {{1, 0, 9, 10, 0, 1}, {1, 5, 9, 20, 0, 3}}},
        {"first match taken",
         {{1, 0, 9, 10, 0, 1}, {1, 0, 9, 10, 0, -1}, {1, 0, 9, 50, 0, 1}, {1, 8, 9, 60, 0, 2}},
         {{1, 0, 9, 60, 0, 2}, {1, 0, 9, 10, 0, -1}, {1, 0, 9, 50, 0, 1}}},
    };
    for (const Case& c : cases) {
        StdLGRect list;
        for (const R& r : c.added)
            EXPECT_TRUE(list.Add(make(r)));
        EXPECT_EQ(contents(&list), c.expected) << c.name;
    }
}

TEST_F(StdLGRectTest, ManagerListsCopiesAndMissingLists)
{
    StdLGRectManager job;
    EXPECT_FALSE(job.Add(make({1, 1, 2, 2, 0, -1}), true)); // no list yet: the rectangle is released

    job.create(nullptr);
    EXPECT_TRUE(job.Add(make({1, 2, 3, 4, 0, -1}), true));
    EXPECT_TRUE(job.Add(make({5, 6, 7, 8, 0, -1}), false));

    StdLGRectManager card;
    card.create(&job);
    EXPECT_EQ(contents(card.get(true)), (std::vector<R>{{1, 2, 3, 4, 0, -1}}));
    EXPECT_EQ(contents(card.get(false)), (std::vector<R>{{5, 6, 7, 8, 0, -1}}));
    card.get(true)->getFirst()->rect->top = 77;
    EXPECT_EQ(job.get(true)->getFirst()->rect->top, 2u);

    card.create(&card); // refilled from itself: contents kept
    EXPECT_EQ(contents(card.get(false)), (std::vector<R>{{5, 6, 7, 8, 0, -1}}));
    card.create(nullptr);
    EXPECT_TRUE(contents(card.get(true)).empty());
    card.cleanUp();
    EXPECT_EQ(card.get(false), nullptr);
    card.create(&card); // nothing to copy: empty lists
    EXPECT_NE(card.get(false), nullptr);
}

class LGRectIteratorTest : public Quiet {};

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

TEST_F(LGRectIteratorTest, StdIteratorTransformsFromTheCurrentRectangle)
{
    StdLGRect list;
    list.Add(make({0, 0, 10, 99, 0, -1}));
    list.Add(make({0, 0, 10, 99, 0, -1}));
    list.Add(make({5, 600, 10, 700, 0, -1}));
    StdLGRectIterator it(&list);
    it.init();
    it.next();
    it.standardTransform(648);
    EXPECT_EQ(contents(&list), (std::vector<R>{{0, 0, 10, 99, 0, -1}, {0, 548, 10, 647, 0, -1}, {5, 0, 10, 47, 0, -1}}));

    StdLGRect one;
    one.Add(make({10, 20, 30, 40, 5, -1}));
    StdLGRectIterator walk(&one);
    walk.orientationTransform(GraphicalConstants::Landscape, 1016, 648);
    EXPECT_EQ(contents(&one), (std::vector<R>{{10, 607, 30, 627, 5, -1}}));
}
