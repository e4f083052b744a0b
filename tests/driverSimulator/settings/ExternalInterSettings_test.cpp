#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "settings/ExternalInterSettings.h"

namespace {

const int MaxList = ExternalInterSettings::MaxSize - 1;

// A settings list: each string with its NUL, then the final NUL.
std::string list(std::initializer_list<std::string> strings)
{
    std::string out;
    for (const std::string& s : strings) {
        out += s;
        out += '\0';
    }
    out += '\0';
    return out;
}

// The stored list, read back through writePCSettingsToBuffer.
std::string dump(ExternalInterSettings& store)
{
    std::vector<char> out(ExternalInterSettings::MaxSize + 1);
    int size = static_cast<int>(out.size());
    EXPECT_TRUE(store.writePCSettingsToBuffer(out.data(), &size));
    return std::string(out.data(), static_cast<size_t>(size));
}

// Silences the lifeline lines of the stores a test creates.
class ExternalInterSettingsTest : public testing::Test {
protected:
    void SetUp() override { testing::internal::CaptureStderr(); }
    void TearDown() override { testing::internal::GetCapturedStderr(); }
};

bool load(ExternalInterSettings& store, const std::string& bytes)
{
    return store.readPCSettingsFromBuffer(const_cast<char*>(bytes.data()), static_cast<int>(bytes.size()));
}

} // namespace

TEST_F(ExternalInterSettingsTest, InsertionsAppendPairsAndGrowTheSize)
{
    ExternalInterSettings store;
    EXPECT_EQ(dump(store), std::string(1, '\0'));
    EXPECT_EQ(store.getMaxSize(), 16256u);

    EXPECT_TRUE(store.insertSetting("Name", "val"));
    EXPECT_EQ(dump(store), std::string("Name\0val\0\0", 10));

    ExternalInterSettings two;
    two.insertSetting("Resolution", "DPI300");
    two.insertSetting("GRibbonType", "RC_YMCKO");
    EXPECT_EQ(dump(two).size(), 40u);
    EXPECT_EQ(dump(two), list({"Resolution", "DPI300", "GRibbonType", "RC_YMCKO"}));

    // Insertion does not look for an existing pair; empty values are kept.
    two.insertSetting("Resolution", "");
    EXPECT_EQ(dump(two), list({"Resolution", "DPI300", "GRibbonType", "RC_YMCKO", "Resolution", ""}));
}

TEST_F(ExternalInterSettingsTest, EditsOfAListOfThreePairs)
{
    struct Case {
        const char* name;
        char op; // 'u' update, 'r' remove, 'i' insert
        const char* feature;
        const char* value;
        bool result;
        std::string expected;
    };
    const Case cases[] = {
        {"update moves to end", 'u', "A", "9", true, list({"B", "22", "C", "333", "A", "9"})},
        {"update of the last pair", 'u', "C", "x", true, list({"A", "1", "B", "22", "C", "x"})},
        {"update of a new name", 'u', "D", "4", true, list({"A", "1", "B", "22", "C", "333", "D", "4"})},
        {"remove first", 'r', "A", nullptr, true, list({"B", "22", "C", "333"})},
        {"remove middle", 'r', "B", nullptr, true, list({"A", "1", "C", "333"})},
        {"remove last", 'r', "C", nullptr, true, list({"A", "1", "B", "22"})},
        {"remove unknown", 'r', "Z", nullptr, true, list({"A", "1", "B", "22", "C", "333"})},
        {"remove matches whole names", 'r', "AB", nullptr, true, list({"A", "1", "B", "22", "C", "333"})},
        {"remove a value is not a name", 'r', "22", nullptr, true, list({"A", "1", "B", "22", "C", "333"})},
        {"remove the end marker", 'r', "", nullptr, true, list({"A", "1", "B", "22", "C", "333"})},
        {"insert empty name", 'i', "", "x", false, list({"A", "1", "B", "22", "C", "333"})},
        {"insert null value", 'i', "D", nullptr, false, list({"A", "1", "B", "22", "C", "333"})},
        {"update null name", 'u', nullptr, "x", false, list({"A", "1", "B", "22", "C", "333"})},
    };
    for (const Case& c : cases) {
        ExternalInterSettings store;
        ASSERT_TRUE(load(store, list({"A", "1", "B", "22", "C", "333"})));
        bool result = c.op == 'u' ? store.updateSetting(c.feature, c.value)
                      : c.op == 'r' ? store.removeSetting(c.feature)
                                    : store.insertSetting(c.feature, c.value);
        EXPECT_EQ(result, c.result) << c.name;
        EXPECT_EQ(dump(store), c.expected) << c.name;
        // The list stays usable after the edit.
        store.updateSetting("E", "5");
        EXPECT_STREQ(store.findFeature("E", nullptr), "5") << c.name;
    }
}

TEST_F(ExternalInterSettingsTest, UpdateFromValuesInsideTheStoreItself)
{
    ExternalInterSettings store;
    load(store, list({"A", "first", "B", "second"}));
    const char* value = store.findFeature("A", nullptr);
    ASSERT_NE(value, nullptr);
    EXPECT_TRUE(store.updateSetting("B", value));
    EXPECT_EQ(dump(store), list({"A", "first", "B", "first"}));
}

TEST_F(ExternalInterSettingsTest, ReadAcceptsUpToOneByteBelowTheBuffer)
{
    struct Case {
        int size;
        bool ok;
    };
    const Case cases[] = {{MaxList, true}, {MaxList + 1, false}, {100000, false}, {-1, false}, {-16256, false},
                          {0, true},       {1, true}};
    std::string big(MaxList + 1, 'x');
    for (const Case& c : cases) {
        ExternalInterSettings store;
        store.insertSetting("A", "1");
        EXPECT_EQ(store.readPCSettingsFromBuffer(&big[0], c.size), c.ok) << c.size;
        EXPECT_EQ(dump(store).size(), c.ok ? size_t(c.size) : 0u) << c.size;
        EXPECT_EQ(store.findFeature("A", nullptr), nullptr) << c.size;
    }
    ExternalInterSettings store;
    EXPECT_FALSE(store.readPCSettingsFromBuffer(nullptr, 5));
    EXPECT_TRUE(store.readPCSettingsFromBuffer(nullptr, 0));
}

TEST_F(ExternalInterSettingsTest, BufferConstructorTakesOnlySizesThatFit)
{
    const std::string pairs = list({"A", "1"});
    std::string big(MaxList + 1, '\0');
    big.replace(0, pairs.size(), pairs);
    struct Case {
        int size;
        size_t stored;
        bool roomForMore;
    };
    const Case cases[] = {{int(pairs.size()), pairs.size(), true},
                          {MaxList, size_t(MaxList), false},
                          {MaxList + 1, 0, false},
                          {-1, 0, false},
                          {0, 0, false}};
    for (const Case& c : cases) {
        ExternalInterSettings store(big.data(), c.size);
        EXPECT_EQ(dump(store).size(), c.stored) << c.size;
        if (c.stored != 0) {
            EXPECT_STREQ(store.findFeature("A", nullptr), "1");
        }
        // An empty store (size 0) has no end marker to write over.
        EXPECT_TRUE(store.insertSetting("B", "2"));
        EXPECT_EQ(store.findFeature("B", nullptr) != nullptr, c.roomForMore) << c.size;
    }
    ExternalInterSettings fromNull(nullptr, 10);
    EXPECT_EQ(dump(fromNull).size(), 0u);
}

TEST_F(ExternalInterSettingsTest, WriteNeedsRoomBeyondTheList)
{
    ExternalInterSettings store;
    store.insertSetting("Name", "val"); // 10 bytes
    struct Case {
        int capacity;
        bool ok;
        int reported;
    };
    const Case cases[] = {{9, false, 0}, {10, false, 0}, {11, true, 10}, {64, true, 10}, {0, false, 0}, {-5, false, 0}};
    for (const Case& c : cases) {
        std::vector<char> out(80, '#');
        int size = c.capacity;
        EXPECT_EQ(store.writePCSettingsToBuffer(out.data(), &size), c.ok) << c.capacity;
        EXPECT_EQ(size, c.reported) << c.capacity;
        int filled = c.capacity > 0 ? c.capacity : 0;
        std::string expected = c.ok ? std::string("Name\0val\0\0", 10) : std::string();
        expected.resize(size_t(filled), '\0');
        expected.resize(out.size(), '#');
        EXPECT_EQ(std::string(out.begin(), out.end()), expected) << c.capacity;
    }
    EXPECT_FALSE(store.writePCSettingsToBuffer(nullptr, nullptr));
}

TEST_F(ExternalInterSettingsTest, InsertionStopsAtTheListLimit)
{
    // One pair whose value fills the list up to a chosen size.
    auto storeOfSize = [](int size) {
        std::string value(size_t(size - 4), 'v'); // "A", NUL, value, NUL, NUL
        return list({"A", value});
    };
    struct Case {
        int before;
        const char* name;
        const char* value;
        bool inserted;
    };
    const Case cases[] = {
        {MaxList - 6, "B", "123", true},  // grows to exactly the limit
        {MaxList - 5, "B", "123", false}, // one byte too many
        {MaxList, "B", "", false},
        {100, "B", "", true},
    };
    for (const Case& c : cases) {
        ExternalInterSettings store;
        ASSERT_TRUE(load(store, storeOfSize(c.before)));
        EXPECT_TRUE(store.insertSetting(c.name, c.value));
        EXPECT_EQ(store.findFeature(c.name, nullptr) != nullptr, c.inserted) << c.before;
        EXPECT_EQ(dump(store).size(), size_t(c.inserted ? c.before + 3 + strlen(c.value) : c.before)) << c.before;
    }
}

TEST_F(ExternalInterSettingsTest, FindWalksThroughPairsOfTheSameName)
{
    ExternalInterSettings store;
    load(store, list({"Pass", "one", "X", "Pass", "Pass", "two", "Passe", "no", "Pass", ""}));
    EXPECT_EQ(store.findFeaturePosition("Pass"), 0);
    EXPECT_EQ(store.findFeaturePosition("X"), 9);
    EXPECT_EQ(store.findFeaturePosition("one"), -1);
    EXPECT_EQ(store.findFeaturePosition(nullptr), -1);

    int position = 0;
    std::vector<std::string> found;
    std::vector<int> positions;
    while (const char* value = store.findFeature("Pass", &position)) {
        found.push_back(value);
        positions.push_back(position);
        ASSERT_LT(found.size(), 10u);
    }
    EXPECT_EQ(found, (std::vector<std::string>{"one", "two", ""}));
    EXPECT_EQ(positions, (std::vector<int>{9, 25, 40}));
    EXPECT_EQ(position, 40) << "a failed search leaves the position alone";

    EXPECT_STREQ(store.findFeature("Pass", nullptr), "one");
    int negative = -3;
    EXPECT_EQ(store.findFeature("Pass", &negative), nullptr);
    int beyond = 100000;
    EXPECT_EQ(store.findFeature("Pass", &beyond), nullptr);
    // The end marker matches the empty name and has no value.
    int end = 0;
    EXPECT_EQ(store.findFeature("", &end), nullptr);
}

TEST_F(ExternalInterSettingsTest, MalformedListsStayInsideTheBuffers)
{
    ExternalInterSettings store;
    // A full list with no NUL at all.
    std::string noNul(size_t(MaxList), 'x');
    ASSERT_TRUE(load(store, noNul));
    EXPECT_EQ(store.findFeature("x", nullptr), nullptr);
    EXPECT_EQ(store.findFeature(noNul.c_str(), nullptr), nullptr) << "a name without a value";
    EXPECT_TRUE(store.insertSetting("A", "1"));
    EXPECT_TRUE(store.removeSetting(noNul.c_str()));
    EXPECT_EQ(dump(store), "");

    // A value running past the end of the list.
    std::string cut = std::string("A\0001\0B\0long", 10);
    ASSERT_TRUE(load(store, cut));
    EXPECT_STREQ(store.findFeature("B", nullptr), "long");
    EXPECT_TRUE(store.removeSetting("B"));
    EXPECT_EQ(dump(store), std::string("A\0001\0", 4));

    // Merging from a caller list that lacks its final NUL and ends exactly at
    // the list limit: nothing past the limit is read.
    std::vector<char> caller(size_t(MaxList), 'n');
    caller[1] = '\0';
    caller[3] = '\0';
    caller[4] = 'Q';
    ExternalInterSettings merged;
    EXPECT_TRUE(merged.updatePCSettingsFromBuffer(caller.data()));
    EXPECT_EQ(dump(merged), list({"n", "n"}));
    std::vector<char> unterminated(size_t(MaxList), 'n');
    EXPECT_TRUE(merged.updatePCSettingsFromBuffer(unterminated.data()));
    EXPECT_FALSE(merged.updatePCSettingsFromBuffer(nullptr));
    EXPECT_EQ(dump(merged), list({"n", "n"}));
}

TEST_F(ExternalInterSettingsTest, UpdateFromBufferMergesPairByPair)
{
    ExternalInterSettings store;
    store.insertSetting("A", "1");
    store.insertSetting("B", "2");
    std::string incoming = list({"B", "5", "C", "6"}) + std::string("D\0007\0", 4);
    EXPECT_TRUE(store.updatePCSettingsFromBuffer(&incoming[0]));
    EXPECT_EQ(dump(store), list({"A", "1", "B", "5", "C", "6"})) << "pairs after the end marker are ignored";

    std::string empty(1, '\0');
    EXPECT_TRUE(store.updatePCSettingsFromBuffer(&empty[0]));
    EXPECT_EQ(dump(store), list({"A", "1", "B", "5", "C", "6"}));

    IExternalInterSettingsReader* base = new ExternalInterSettings();
    EXPECT_FALSE(static_cast<ExternalInterSettings*>(base)->readPCSettingsFromRegistry(nullptr, nullptr));
    EXPECT_FALSE(static_cast<ExternalInterSettings*>(base)->writePCSettingsToRegistry(nullptr, nullptr));
    delete base;
}

TEST(ExternalInterSettingsLog, TracesLifeLine)
{
    for (int constructor = 0; constructor < 2; ++constructor) {
        testing::internal::CaptureStderr();
        ExternalInterSettings* store = constructor == 0 ? new ExternalInterSettings() : new ExternalInterSettings("", 1);
        delete store;
        char expected[256];
        snprintf(expected, sizeof(expected),
                 "[TAVRIN UNIDRIVER][Object LifeLine] +ExternalInterSettings (%lx)\r\n"
                 "[TAVRIN UNIDRIVER][Object LifeLine] -ExternalInterSettings (%lx)\r\n",
                 LOGPTR(store), LOGPTR(store));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), expected);
    }
}
