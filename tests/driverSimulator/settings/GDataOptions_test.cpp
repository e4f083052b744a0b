// The settings stores: the options list the pipeline reads, and the settings
// list kept in a caller's buffer.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "InternalLog.h"
#include "settings/ExternalInterSettings.h"
#include "settings/GDataOptions.h"
#include "QuietLog.h"

using namespace TavGdiOptions;
using tavgdi::GDataOptions;
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

const int MaxList = ExternalInterSettings::MaxSize - 1;

// The stored list, read back through writePCSettingsToBuffer.
std::string dump(ExternalInterSettings& store)
{
    std::vector<char> out(ExternalInterSettings::MaxSize + 1);
    int size = static_cast<int>(out.size());
    EXPECT_TRUE(store.writePCSettingsToBuffer(out.data(), &size));
    return std::string(out.data(), static_cast<size_t>(size));
}

bool load(ExternalInterSettings& store, const std::string& bytes)
{
    return store.readPCSettingsFromBuffer(const_cast<char*>(bytes.data()), static_cast<int>(bytes.size()));
}

using GDataOptionsTest = cr80test::QuietLog;
using ExternalInterSettingsTest = cr80test::QuietLog;

} // namespace

// Each edit keeps one entry per key, in the order keys were first set, with
// the last entry the tail: removing the head, the middle, the tail or the
// only entry, and cleaning up, before setting again.
TEST_F(GDataOptionsTest, EditsKeepKeysUniqueInInsertionOrder)
{
    GDataOptions map;
    map.removeOption(DpiX);
    map.cleanUp();
    EXPECT_EQ(entries(map), Entries{});
    for (const Keys key : {DpiX, DpiY, RibbonType, CopyCount})
        EXPECT_TRUE(map.setOption(key, key + 1));
    EXPECT_TRUE(map.setOption(DpiX, -3));
    map.removeOption(RibbonType);
    EXPECT_EQ(entries(map), (Entries{{DpiX, -3}, {DpiY, DpiY + 1}, {CopyCount, CopyCount + 1}}));
    map.removeOption(CopyCount);
    map.setOption(RibbonType, 7);
    map.removeOption(DpiX);
    EXPECT_EQ(entries(map), (Entries{{DpiY, DpiY + 1}, {RibbonType, 7}}));
    EXPECT_EQ(0, map.getOption(DpiX));
    EXPECT_EQ(7, map.getOption(RibbonType));
    map.removeOption(DpiY);
    map.removeOption(RibbonType);
    map.setOption(CopyCount, 4);
    EXPECT_EQ(entries(map), (Entries{{CopyCount, 4}}));
    map.cleanUp();
    map.setOption(DpiY, 600);
    EXPECT_EQ(entries(map), (Entries{{DpiY, 600}}));
    EXPECT_EQ(0, map.getOption(CopyCount));
}

TEST_F(GDataOptionsTest, CloneIsIndependent)
{
    GDataOptions map;
    map.setOption(DpiX, 300);
    map.setOption(RibbonType, 'K');
    map.setOption(ShortPanelGlobalShift, -3);
    std::unique_ptr<tavgdi::IGDataOptions> copy(map.clone());
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

TEST_F(ExternalInterSettingsTest, MalformedListsStayInsideTheBuffers)
{
    ExternalInterSettings store;
    // A full list with no NUL at all.
    std::string noNul(size_t(MaxList), 'x');
    ASSERT_TRUE(load(store, noNul));
    EXPECT_EQ(store.findFeature(noNul.c_str(), nullptr), nullptr) << "a name without a value";
    EXPECT_TRUE(store.insertSetting("A", "1"));
    EXPECT_TRUE(store.removeSetting(noNul.c_str()));
    EXPECT_EQ(dump(store), "");

    // A value running past the end of the list.
    ASSERT_TRUE(load(store, std::string("A\0001\0B\0long", 10)));
    EXPECT_STREQ(store.findFeature("B", nullptr), "long");
    EXPECT_TRUE(store.removeSetting("B"));
    EXPECT_EQ(dump(store), std::string("A\0001\0", 4));

    // Merging from a caller list without its final NUL that ends exactly at
    // the list limit: nothing past the limit is read.
    std::vector<char> caller(size_t(MaxList), 'n');
    caller[1] = caller[3] = '\0';
    ExternalInterSettings merged;
    EXPECT_TRUE(merged.updatePCSettingsFromBuffer(caller.data()));
    EXPECT_EQ(dump(merged), std::string("n\0n\0\0", 5));
    std::vector<char> unterminated(size_t(MaxList), 'n');
    EXPECT_TRUE(merged.updatePCSettingsFromBuffer(unterminated.data()));
    EXPECT_FALSE(merged.updatePCSettingsFromBuffer(nullptr));
    EXPECT_EQ(dump(merged), std::string("n\0n\0\0", 5));
}
