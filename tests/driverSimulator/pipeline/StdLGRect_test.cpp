#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Exceptions/NullException.h"
#include "GraphicalConstants.h"
#include "InternalLog.h"
#include "image/IPixel.h"
#include "pipeline/StdLGRect.h"
#include "pipeline/StdLGRectIterator.h"
#include "pipeline/StdLGRectManager.h"
#include "pipeline/TrivialLGRectIterator.h"

using tavgdi::GRect;
using tavgdi::IPixel;
using tavgdi::StdLGRect;
using tavgdi::StdLGRectIterator;
using tavgdi::StdLGRectManager;
using tavgdi::TrivialLGRectIterator;

namespace {

struct R {
    dword l, t, r, b;
    int level;
    int band;
};

bool operator==(const R& a, const R& b)
{
    return a.l == b.l && a.t == b.t && a.r == b.r && a.b == b.b && a.level == b.level && a.band == b.band;
}

std::ostream& operator<<(std::ostream& os, const R& x)
{
    return os << "(" << x.l << "," << x.t << "," << x.r << "," << x.b << " @" << x.level << " #" << x.band << ")";
}

GRect* make(const R& x)
{
    return new GRect(static_cast<int>(x.l), static_cast<int>(x.t), static_cast<int>(x.r), static_cast<int>(x.b),
                     static_cast<byte>(x.level), x.band);
}

std::vector<R> contents(StdLGRect* list)
{
    std::vector<R> out;
    for (auto* node = list->getFirst(); node != nullptr; node = node->next)
        out.push_back({node->rect->left, node->rect->top, node->rect->right, node->rect->bottom,
                       static_cast<byte>(node->rect->blackLevel), node->rect->relativeImageBandID});
    return out;
}

// Keeps the pipeline log out of the test output.
class Quiet : public testing::Test {
protected:
    void SetUp() override
    {
        wasEnabled = tavgdi::InternalLog::isEnable;
        tavgdi::InternalLog::isEnable = false;
        savedLevel = IPixel::getBlackLevel();
    }
    void TearDown() override
    {
        IPixel::BlackLevel = savedLevel;
        tavgdi::InternalLog::isEnable = wasEnabled;
    }
    bool wasEnabled = true;
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
        {"three bands", {{1, 0, 9, 10, 0, 1}, {1, 10, 9, 20, 0, 2}, {1, 15, 9, 30, 0, 3}}, {{1, 0, 9, 30, 0, 3}}},
        {"band 0 appended", {{1, 0, 9, 10, 0, 0}, {1, 0, 9, 10, 0, 0}}, {{1, 0, 9, 10, 0, 0}, {1, 0, 9, 10, 0, 0}}},
        {"band -1 appended", {{1, 0, 9, 10, 0, -1}, {1, 0, 9, 10, 0, -1}}, {{1, 0, 9, 10, 0, -1}, {1, 0, 9, 10, 0, -1}}},
        {"left differs", {{1, 0, 9, 10, 0, 1}, {2, 5, 9, 20, 0, 2}}, {{1, 0, 9, 10, 0, 1}, {2, 5, 9, 20, 0, 2}}},
        {"right differs", {{1, 0, 9, 10, 0, 1}, {1, 5, 8, 20, 0, 2}}, {{1, 0, 9, 10, 0, 1}, {1, 5, 8, 20, 0, 2}}},
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

TEST_F(StdLGRectTest, CloneIsADeepCopy)
{
    StdLGRect list;
    EXPECT_TRUE(list.Add(nullptr));
    EXPECT_EQ(list.getFirst(), nullptr);
    list.Add(make({1, 2, 3, 4, 200, -1}));
    list.Add(make({5, 6, 7, 8, 0, 2}));
    StdLGRect* copy = list.clone();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(contents(copy), contents(&list));
    EXPECT_NE(copy->getFirst()->rect, list.getFirst()->rect);
    copy->getFirst()->rect->left = 99;
    EXPECT_EQ(list.getFirst()->rect->left, 1u);
    delete copy;

    StdLGRect empty;
    StdLGRect* emptyCopy = empty.clone();
    EXPECT_EQ(emptyCopy->getFirst(), nullptr);
    delete emptyCopy;
}

TEST_F(StdLGRectTest, ManagerListsCopiesAndMissingLists)
{
    StdLGRectManager job;
    EXPECT_EQ(job.get(true), nullptr);
    EXPECT_FALSE(job.Add(make({1, 1, 2, 2, 0, -1}), true)); // no list yet: the rectangle is released

    job.create(nullptr);
    ASSERT_NE(job.get(true), nullptr);
    ASSERT_NE(job.get(false), nullptr);
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
    EXPECT_EQ(card.get(true), nullptr);
    EXPECT_EQ(card.get(false), nullptr);
    card.create(&card); // nothing to copy: empty lists
    EXPECT_NE(card.get(false), nullptr);
}

TEST_F(StdLGRectTest, ManagerLogsTheRefusedRectangle)
{
    StdLGRectManager manager;
    tavgdi::InternalLog::isEnable = true;
    testing::internal::CaptureStderr();
    manager.Add(make({0, 0, 1, 1, 0, -1}), false);
    manager.create(nullptr);
    manager.Add(make({10, 0, 50, 20, 0, 1}), true);
    manager.Add(make({10, 20, 50, 40, 0, 2}), true);
    std::string log = testing::internal::GetCapturedStderr();
    tavgdi::InternalLog::isEnable = false;
    EXPECT_NE(log.find("[TAVRIN UNIDRIVER MEM] GRect FREE (null list) - \t\tPTR: "), std::string::npos);
    EXPECT_NE(log.find(") (10, 0, 50, 20), Band ID (1) with (10, 0, 50, 40), Band ID (2)  \r\n"), std::string::npos);
    EXPECT_NE(log.find("[TAVRIN UNIDRIVER][StdLGRectManager::Add] WARNING - NULL list\r\n"), std::string::npos);
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
    std::vector<int> levels;
    std::vector<dword> lefts;
    while (it.isUncompleted()) {
        GRect* r = it.getRect();
        ASSERT_NE(r, nullptr);
        lefts.push_back(r->left);
        levels.push_back(IPixel::getBlackLevel());
        it.next();
    }
    EXPECT_EQ(lefts, (std::vector<dword>{0, 10, 20}));
    EXPECT_EQ(levels, (std::vector<int>{200, 150, 200}));
    EXPECT_EQ(IPixel::getBlackLevel(), 200);
    it.next(); // past the end stays finished
    EXPECT_FALSE(it.isUncompleted());
    EXPECT_EQ(it.getRect(), nullptr);
}

TEST_F(LGRectIteratorTest, EmptyListIsFinishedAndRestoresTheLevel)
{
    StdLGRect list;
    IPixel::BlackLevel = 180;
    StdLGRectIterator it(&list);
    it.init();
    IPixel::BlackLevel = 10;
    EXPECT_FALSE(it.isUncompleted());
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

    for (auto orientation : {GraphicalConstants::Landscape, GraphicalConstants::LandscapeFlip,
                             GraphicalConstants::Portrait, GraphicalConstants::PortraitFlip}) {
        StdLGRect one;
        one.Add(make({10, 20, 300, 400, 5, -1}));
        GRect expected(10, 20, 300, 400, 5, -1);
        GraphicalConstants::orientationTransform(orientation, &expected, 1016, 648);
        StdLGRectIterator walk(&one);
        walk.orientationTransform(orientation, 1016, 648);
        EXPECT_EQ(contents(&one), (std::vector<R>{{expected.left, expected.top, expected.right, expected.bottom, 5, -1}}))
            << "orientation " << orientation;
    }
}

TEST_F(LGRectIteratorTest, TrivialIteratorYieldsOnce)
{
    IPixel::BlackLevel = 77;
    TrivialLGRectIterator it(-3, 2, 1015, 647);
    it.orientationTransform(GraphicalConstants::Portrait, 1016, 648);
    it.standardTransform(648);
    int steps = 0;
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_TRUE(it.init());
        while (it.isUncompleted()) {
            GRect* r = it.getRect();
            EXPECT_EQ(r->left, 0u);
            EXPECT_EQ(r->top, 2u);
            EXPECT_EQ(r->right, 1015u);
            EXPECT_EQ(r->bottom, 647u);
            EXPECT_EQ(r->blackLevel, 0);
            EXPECT_EQ(r->relativeImageBandID, -1);
            ++steps;
            it.next();
        }
    }
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(IPixel::getBlackLevel(), 77);
}
