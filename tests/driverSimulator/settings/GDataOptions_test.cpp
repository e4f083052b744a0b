#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "GlobalFactory.h"
#include "InternalLog.h"
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
    const MapNode* tail = nullptr;
    for (const MapNode* n = map.getFirst(); n != nullptr && out.size() <= size_t(KeyCount); n = n->next.get()) {
        out.emplace_back(n->key, n->value);
        tail = n;
    }
    EXPECT_LE(out.size(), size_t(KeyCount)) << "list does not end";
    EXPECT_EQ(map.getLast(), tail) << "last is not the tail";
    return out;
}

class GDataOptionsTest : public testing::Test {
protected:
    void SetUp() override { std::swap(wasEnabled, tavgdi::InternalLog::isEnable); }
    void TearDown() override { tavgdi::InternalLog::isEnable = wasEnabled; }
    bool wasEnabled = false;
};

} // namespace

TEST_F(GDataOptionsTest, EditsKeepKeysUniqueInInsertionOrder)
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
        {"empty", {{'r', DpiX, 0}, {'c', NullKey, 0}}, {}},
        {"overwrite keeps position", {{'s', DpiX, 300}, {'s', DpiY, 300}, {'s', DpiX, -3}}, {{DpiX, -3}, {DpiY, 300}}},
        {"remove only entry", {{'s', DpiX, 300}, {'r', DpiX, 0}}, {}},
        {"remove only entry then append", {{'s', DpiX, 300}, {'r', DpiX, 0}, {'s', DpiY, 600}}, {{DpiY, 600}}},
        {"remove tail then append",
         {{'s', DpiX, 1}, {'s', DpiY, 2}, {'s', RibbonType, 3}, {'r', RibbonType, 0}, {'s', CopyCount, 4}},
         {{DpiX, 1}, {DpiY, 2}, {CopyCount, 4}}},
        {"remove head", {{'s', DpiX, 1}, {'s', DpiY, 2}, {'r', DpiX, 0}, {'s', DpiX, 5}}, {{DpiY, 2}, {DpiX, 5}}},
        {"remove middle",
         {{'s', DpiX, 1}, {'s', DpiY, 2}, {'s', RibbonType, 3}, {'r', DpiY, 0}},
         {{DpiX, 1}, {RibbonType, 3}}},
        {"clean up then set",
         {{'s', DpiX, 1}, {'s', DpiY, 2}, {'c', NullKey, 0}, {'s', RibbonType, 7}},
         {{RibbonType, 7}}},
    };
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
        for (int key = 0; key < KeyCount; ++key) {
            int expected = 0;
            for (const auto& e : c.expected)
                expected = e.first == key ? e.second : expected;
            EXPECT_EQ(map.getOption(Keys(key)), expected) << c.name << " key " << key;
        }
    }
}

TEST_F(GDataOptionsTest, CloneIsIndependent)
{
    GDataOptions map;
    map.setOption(DpiX, 300);
    map.setOption(RibbonType, 'K');
    map.setOption(ShortPanelGlobalShift, -3);
    std::unique_ptr<IGDataOptions> copy(map.clone());
    GDataOptions* copyMap = dynamic_cast<GDataOptions*>(copy.get());
    ASSERT_NE(copyMap, nullptr);
    EXPECT_EQ(entries(*copyMap), entries(map));

    map.setOption(DpiX, 600);
    map.removeOption(RibbonType);
    copy->setOption(CopyCount, 2);
    EXPECT_EQ(entries(*copyMap),
              (Entries{{DpiX, 300}, {RibbonType, 'K'}, {ShortPanelGlobalShift, -3}, {CopyCount, 2}}));
    EXPECT_EQ(entries(map), (Entries{{DpiX, 600}, {ShortPanelGlobalShift, -3}}));
}
