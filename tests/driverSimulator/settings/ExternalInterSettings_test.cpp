#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "InternalLog.h"
#include "settings/ExternalInterSettings.h"

namespace {

const int MaxList = ExternalInterSettings::MaxSize - 1;

// A settings list: each string with its NUL, then the final NUL.
std::string list(std::initializer_list<std::string> strings)
{
    std::string out;
    for (const std::string& s : strings)
        out += s + '\0';
    return out + '\0';
}

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

class ExternalInterSettingsTest : public testing::Test {
protected:
    void SetUp() override { std::swap(wasEnabled, tavgdi::InternalLog::isEnable); }
    void TearDown() override { tavgdi::InternalLog::isEnable = wasEnabled; }
    bool wasEnabled = false;
};

} // namespace

TEST_F(ExternalInterSettingsTest, EditsOfAListOfThreePairs)
{
    struct Case {
        char op; // 'u' update, 'r' remove, 'i' insert
        const char* feature;
        const char* value;
        bool result;
        std::string expected;
    };
    const std::string abc = list({"A", "1", "B", "22", "C", "333"});
    const Case cases[] = {
        {'u', "A", "9", true, list({"B", "22", "C", "333", "A", "9"})}, // moves to the end
        {'u', "D", "4", true, list({"A", "1", "B", "22", "C", "333", "D", "4"})},
        {'r', "B", nullptr, true, list({"A", "1", "C", "333"})},
        {'r', "C", nullptr, true, list({"A", "1", "B", "22"})},
        {'r', "Z", nullptr, true, abc},
        {'r', "AB", nullptr, true, abc},  // whole names only
        {'r', "22", nullptr, true, abc},  // a value is not a name
        {'r', "", nullptr, true, abc},    // nor the end marker
        {'i', "", "x", false, abc},
        {'i', "D", nullptr, false, abc},
        {'u', nullptr, "x", false, abc},
    };
    for (const Case& c : cases) {
        ExternalInterSettings store;
        ASSERT_TRUE(load(store, abc));
        bool result = c.op == 'u' ? store.updateSetting(c.feature, c.value)
                      : c.op == 'r' ? store.removeSetting(c.feature)
                                    : store.insertSetting(c.feature, c.value);
        const std::string label = std::string(1, c.op) + (c.feature ? c.feature : "null");
        EXPECT_EQ(result, c.result) << label;
        EXPECT_EQ(dump(store), c.expected) << label;
        store.updateSetting("E", "5"); // the list stays usable
        EXPECT_STREQ(store.findFeature("E", nullptr), "5") << label;
    }

    // A value taken from the store itself survives the move of its pair.
    ExternalInterSettings store;
    load(store, list({"A", "first", "B", "second"}));
    EXPECT_TRUE(store.updateSetting("B", store.findFeature("A", nullptr)));
    EXPECT_EQ(dump(store), list({"A", "first", "B", "first"}));
}

TEST_F(ExternalInterSettingsTest, ReadAndConstructAcceptOnlySizesThatFit)
{
    std::string big(MaxList + 1, '\0');
    const std::string pairs = list({"A", "1"});
    big.replace(0, pairs.size(), pairs);
    struct Case {
        int size;
        bool ok;
    };
    const Case cases[] = {{int(pairs.size()), true}, {MaxList, true}, {MaxList + 1, false},
                          {-1, false},              {-16256, false}, {0, true}};
    for (const Case& c : cases) {
        ExternalInterSettings store;
        store.insertSetting("Z", "1");
        EXPECT_EQ(store.readPCSettingsFromBuffer(&big[0], c.size), c.ok) << c.size;
        EXPECT_EQ(dump(store).size(), c.ok ? size_t(c.size) : 0u) << c.size;
        EXPECT_EQ(store.findFeature("Z", nullptr), nullptr) << c.size;

        ExternalInterSettings built(big.data(), c.size);
        EXPECT_EQ(dump(built).size(), c.ok ? size_t(c.size) : 0u) << c.size;
        // Only a list with room left takes one more pair (size 0 has no end marker).
        EXPECT_TRUE(built.insertSetting("B", "2"));
        EXPECT_EQ(built.findFeature("B", nullptr) == nullptr, c.size <= 0 || c.size >= MaxList) << c.size;
    }
    ExternalInterSettings store;
    EXPECT_FALSE(store.readPCSettingsFromBuffer(nullptr, 5));
    ExternalInterSettings fromNull(nullptr, 10);
    EXPECT_EQ(dump(fromNull).size(), 0u);
}

TEST_F(ExternalInterSettingsTest, WriteNeedsRoomBeyondTheList)
{
    ExternalInterSettings store;
    store.insertSetting("Name", "val"); // 10 bytes
    struct Case {
        int capacity;
        int reported;
    };
    const Case cases[] = {{10, 0}, {11, 10}, {64, 10}, {0, 0}, {-5, 0}};
    for (const Case& c : cases) {
        std::vector<char> out(80, '#');
        int size = c.capacity;
        EXPECT_EQ(store.writePCSettingsToBuffer(out.data(), &size), c.reported != 0) << c.capacity;
        EXPECT_EQ(size, c.reported) << c.capacity;
        std::string expected = c.reported ? std::string("Name\0val\0\0", 10) : std::string();
        expected.resize(size_t(c.capacity > 0 ? c.capacity : 0), '\0');
        expected.resize(out.size(), '#');
        EXPECT_EQ(std::string(out.begin(), out.end()), expected) << c.capacity;
    }
    EXPECT_FALSE(store.writePCSettingsToBuffer(nullptr, nullptr));
}

TEST_F(ExternalInterSettingsTest, FindWalksThroughPairsOfTheSameName)
{
    ExternalInterSettings store;
    load(store, list({"Pass", "one", "X", "Pass", "Pass", "two", "Passe", "no", "Pass", ""}));
    EXPECT_EQ(store.findFeaturePosition("X"), 9);
    EXPECT_EQ(store.findFeaturePosition("one"), -1);

    int position = 0;
    std::vector<std::string> found;
    while (const char* value = store.findFeature("Pass", &position)) {
        found.push_back(value);
        ASSERT_LT(found.size(), 10u);
    }
    EXPECT_EQ(found, (std::vector<std::string>{"one", "two", ""}));
    EXPECT_EQ(position, 40) << "a failed search leaves the position alone";
    for (int outside : {-3, 100000})
        EXPECT_EQ(store.findFeature("Pass", &outside), nullptr);
    int end = 0;
    EXPECT_EQ(store.findFeature("", &end), nullptr); // the end marker has no value
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
}
