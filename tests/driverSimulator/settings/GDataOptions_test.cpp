#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <utility>
#include <vector>

#include "GlobalFactory.h"
#include "settings/GDataOptions.h"

using namespace TavGdiOptions;
using tavgdi::GDataOptions;
using tavgdi::IGDataOptions;
using tavgdi::MapNode;

namespace {

typedef std::vector<std::pair<int, int>> Entries;

// The entries in list order, checking that the list ends and that last is
// its tail.
Entries entries(const GDataOptions& map)
{
    Entries out;
    const MapNode* node = map.getFirst();
    for (; node != nullptr && out.size() <= size_t(KeyCount); node = node->next)
        out.emplace_back(node->key, node->value);
    EXPECT_EQ(node, nullptr) << "list does not end";
    const MapNode* last = map.getLast();
    if (out.empty()) {
        EXPECT_EQ(map.getFirst(), nullptr);
        EXPECT_EQ(last, nullptr);
    } else {
        EXPECT_NE(last, nullptr);
        if (last != nullptr) {
            EXPECT_EQ(last->next, nullptr);
            EXPECT_EQ(std::make_pair(int(last->key), last->value), out.back()) << "last is not the tail";
        }
    }
    return out;
}

std::string maskPointers(const std::string& log)
{
    static const std::regex pointer("(ptr:|PTR: |\\()[0-9a-f]+");
    return std::regex_replace(log, pointer, "$1P");
}

} // namespace

TEST(GDataOptions, EmptyMapReadsZeroForEveryKey)
{
    testing::internal::CaptureStderr();
    GDataOptions map;
    for (int key = 0; key < KeyCount; ++key)
        EXPECT_EQ(map.getOption(Keys(key)), 0) << key;
    map.removeOption(DpiX);
    map.cleanUp();
    EXPECT_TRUE(entries(map).empty());
    testing::internal::GetCapturedStderr();
}

TEST(GDataOptions, EditsKeepKeysUniqueInInsertionOrder)
{
    struct Step {
        char op; // 's' set, 'r' remove, 'c' clean up
        Keys key;
        int value;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        Entries expected;
    };
    const std::vector<Case> cases = {
        {"overwrite keeps position", {{'s', DpiX, 300}, {'s', DpiY, 300}, {'s', DpiX, 600}}, {{DpiX, 600}, {DpiY, 300}}},
        {"negative and zero values", {{'s', ShortPanelGlobalShift, -3}, {'s', DpiX, 0}},
         {{ShortPanelGlobalShift, -3}, {DpiX, 0}}},
        {"remove only entry then append", {{'s', DpiX, 300}, {'r', DpiX, 0}, {'s', DpiY, 600}}, {{DpiY, 600}}},
        {"remove tail then append",
         {{'s', DpiX, 1}, {'s', DpiY, 2}, {'s', RibbonType, 3}, {'r', RibbonType, 0}, {'s', CopyCount, 4}},
         {{DpiX, 1}, {DpiY, 2}, {CopyCount, 4}}},
        {"remove head", {{'s', DpiX, 1}, {'s', DpiY, 2}, {'r', DpiX, 0}, {'s', DpiX, 5}}, {{DpiY, 2}, {DpiX, 5}}},
        {"remove middle", {{'s', DpiX, 1}, {'s', DpiY, 2}, {'s', RibbonType, 3}, {'r', DpiY, 0}},
         {{DpiX, 1}, {RibbonType, 3}}},
        {"remove absent key", {{'s', DpiX, 1}, {'r', DpiY, 0}}, {{DpiX, 1}}},
        {"clean up then set", {{'s', DpiX, 1}, {'s', DpiY, 2}, {'c', NullKey, 0}, {'s', RibbonType, 7}},
         {{RibbonType, 7}}},
        {"clean up twice", {{'c', NullKey, 0}, {'c', NullKey, 0}}, {}},
    };
    testing::internal::CaptureStderr();
    for (const Case& c : cases) {
        GDataOptions map;
        for (const Step& s : c.steps) {
            if (s.op == 's')
                EXPECT_TRUE(map.setOption(s.key, s.value)) << c.name;
            else if (s.op == 'r')
                map.removeOption(s.key);
            else
                map.cleanUp();
        }
        EXPECT_EQ(entries(map), c.expected) << c.name;
        for (const auto& e : c.expected)
            EXPECT_EQ(map.getOption(Keys(e.first)), e.second) << c.name;
    }
    testing::internal::GetCapturedStderr();
}

TEST(GDataOptions, RemovingOnlyEntryEmptiesBothEnds)
{
    testing::internal::CaptureStderr();
    GDataOptions map;
    map.setOption(DpiX, 300);
    map.removeOption(DpiX);
    EXPECT_EQ(map.getFirst(), nullptr);
    EXPECT_EQ(map.getLast(), nullptr);
    map.setOption(DpiY, 600);
    ASSERT_NE(map.getFirst(), nullptr);
    EXPECT_EQ(map.getFirst(), map.getLast());
    testing::internal::GetCapturedStderr();
}

TEST(GDataOptions, CloneIsIndependent)
{
    testing::internal::CaptureStderr();
    GDataOptions map;
    map.setOption(DpiX, 300);
    map.setOption(RibbonType, 'K');
    map.setOption(ShortPanelGlobalShift, -3);
    std::unique_ptr<IGDataOptions> copy(map.clone());
    ASSERT_NE(copy, nullptr);
    GDataOptions* copyMap = dynamic_cast<GDataOptions*>(copy.get());
    ASSERT_NE(copyMap, nullptr);
    EXPECT_EQ(entries(*copyMap), entries(map));

    map.setOption(DpiX, 600);
    map.removeOption(RibbonType);
    copy->setOption(CopyCount, 2);
    EXPECT_EQ(copy->getOption(DpiX), 300);
    EXPECT_EQ(copy->getOption(RibbonType), 'K');
    EXPECT_EQ(map.getOption(CopyCount), 0);
    EXPECT_EQ(entries(map), (Entries{{DpiX, 600}, {ShortPanelGlobalShift, -3}}));
    map.cleanUp();
    EXPECT_EQ(copy->getOption(ShortPanelGlobalShift), -3);
    testing::internal::GetCapturedStderr();
}

TEST(GDataOptions, TracesLifeOperationsAndNodes)
{
    testing::internal::CaptureStderr();
    {
        std::unique_ptr<IGDataOptions> map(TavFactory::FactoryDataOptions(TavFactory::DbColorSupervisor));
        ASSERT_NE(map, nullptr);
        map->setOption(ShortPanelGlobalShift, -3);
        map->setOption(ShortPanelGlobalShift, 4);
        EXPECT_EQ(map->getOption(ShortPanelGlobalShift), 4);
        map->removeOption(ShortPanelGlobalShift);
        map->setOption(DpiX, 300);
        delete map->clone();
    }
    EXPECT_EQ(maskPointers(testing::internal::GetCapturedStderr()),
              "[TAVRIN UNIDRIVER][Object LifeLine] +GDataOptions (P)\r\n"
              "[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - IGDataOptions \tPTR: P\r\n"
              "[TAVRIN UNIDRIVER][GDataOptions::setOption] ptr:P key:24 value:4294967293\r\n"
              "[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - MapNode \tPTR: P\r\n"
              "[TAVRIN UNIDRIVER][GDataOptions::setOption] ptr:P key:24 value:4\r\n"
              "[TAVRIN UNIDRIVER][GDataOptions::getOption] ptr:P key:24\r\n"
              "[TAVRIN UNIDRIVER MEM] MapNode FREE - \t\tPTR: P\r\n"
              "[TAVRIN UNIDRIVER][GDataOptions::setOption] ptr:P key:2 value:300\r\n"
              "[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - MapNode \tPTR: P\r\n"
              "[TAVRIN UNIDRIVER][Object LifeLine] +GDataOptions (P)\r\n"
              "[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - GDataOptions::clone \tPTR: P\r\n"
              "[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - MapNode \tPTR: P\r\n"
              "[TAVRIN UNIDRIVER][Object LifeLine] Start destruction : GDataOptions (P)\r\n"
              "[TAVRIN UNIDRIVER MEM] MapNode FREE - \t\tPTR: P\r\n"
              "[TAVRIN UNIDRIVER][Object LifeLine] -GDataOptions (P)\r\n"
              "[TAVRIN UNIDRIVER][Object LifeLine] Start destruction : GDataOptions (P)\r\n"
              "[TAVRIN UNIDRIVER MEM] MapNode FREE - \t\tPTR: P\r\n"
              "[TAVRIN UNIDRIVER][Object LifeLine] -GDataOptions (P)\r\n");
}
