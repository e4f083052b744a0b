#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "InternalLog.h"
#include "settings/ExternalInterSettings.h"

namespace {

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

class ExternalInterSettingsTest : public testing::Test {
protected:
    void SetUp() override { std::swap(wasEnabled, tavgdi::InternalLog::isEnable); }
    void TearDown() override { tavgdi::InternalLog::isEnable = wasEnabled; }
    bool wasEnabled = false;
};

} // namespace

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
