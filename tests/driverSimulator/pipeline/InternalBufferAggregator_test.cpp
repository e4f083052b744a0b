#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "Allocator.h"
#include "InternalLog.h"
#include "pipeline/InternalBufferAggregator.h"
#include "QuietLog.h"

using tavgdi::Allocator;
using tavgdi::InternalBufferAggregator;

namespace {

struct Fragment {
    char text;
    word priority;
    bool isEthernal;
};

// The bytes of an aggregate, released; "<null>" for none.
std::string take(byte* bytes, size_t size)
{
    if (bytes == nullptr)
        return "<null>";
    std::string out(reinterpret_cast<char*>(bytes), size);
    Allocator::desalloc(bytes);
    return out;
}
std::string aggregated(InternalBufferAggregator& list)
{
    return take(list.aggregate(), size_t(list.getAggregateSize()));
}

bool addText(InternalBufferAggregator& list, const std::string& text, word priority, bool isEthernal = true,
             bool needEscCR = false)
{
    return list.add(reinterpret_cast<const byte*>(text.data()), static_cast<int>(text.size()), priority, isEthernal,
                    needEscCR);
}

using InternalBufferAggregatorTest = cr80test::QuietLog;

} // namespace

TEST_F(InternalBufferAggregatorTest, OrdersByPriorityNewestFirstAmongEquals)
{
    struct Case {
        const char* name;
        std::vector<Fragment> adds;
        const char* expected;
    };
    const Case cases[] = {
        {"equal after higher", {{'h', 9, true}, {'a', 3, true}, {'b', 3, true}, {'c', 3, true}}, "hcba"},
        {"unsigned extremes", {{'z', 0, true}, {'m', 65535, true}, {'x', 0, true}, {'n', 32768, true}}, "mnxz"},
        {"mixed", {{'a', 3, true}, {'b', 9, false}, {'c', 3, false}, {'d', 0, true}, {'e', 9, true}}, "ebcad"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InternalBufferAggregator list;
        for (const Fragment& f : c.adds)
            ASSERT_TRUE(addText(list, std::string(1, f.text), f.priority, f.isEthernal));
        EXPECT_EQ(list.getAggregateSize(), static_cast<int>(c.adds.size()));
        EXPECT_EQ(aggregated(list), c.expected);
        EXPECT_EQ(aggregated(list), c.expected) << "aggregating does not consume the list";
    }
}

TEST_F(InternalBufferAggregatorTest, RemoveMortalWithMortalHeadKeepsEternalOrder)
{
    InternalBufferAggregator list;
    ASSERT_TRUE(addText(list, "A", 1, true));
    ASSERT_TRUE(addText(list, "BB", 5, false)); // head
    ASSERT_TRUE(addText(list, "C", 3, true));
    ASSERT_TRUE(addText(list, "DDD", 0, false)); // tail
    ASSERT_TRUE(addText(list, "E", 3, false));   // between mortal head and C
    ASSERT_EQ(aggregated(list), "BBECADDD");

    list.RemoveMortal();
    EXPECT_EQ(list.getAggregateSize(), 2);
    EXPECT_EQ(aggregated(list), "CA");

    // The list is still well formed: new fragments find their place.
    ASSERT_TRUE(addText(list, "h", 7, false));
    ASSERT_TRUE(addText(list, "t", 0, true));
    EXPECT_EQ(aggregated(list), "hCAt");

    InternalBufferAggregator allMortal;
    ASSERT_TRUE(addText(allMortal, "b", 1, false, true));
    allMortal.RemoveMortal();
    EXPECT_EQ(allMortal.getAggregateSize(), 0);
    EXPECT_EQ(allMortal.aggregate(), nullptr);
}

TEST_F(InternalBufferAggregatorTest, RefusesSizesThatCannotBeHeld)
{
    InternalBufferAggregator list;
    ASSERT_TRUE(addText(list, "abc", 1));
    const byte one = 'q';
    struct Case {
        const char* name;
        const byte* buffer;
        int sz;
        bool needEscCR;
    };
    const Case cases[] = {
        {"negative size", &one, -1, false},
        {"null bytes", nullptr, 1, false},
        {"framing overflows int", &one, INT_MAX, true},
        {"total overflows int", &one, INT_MAX - 4, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(list.add(c.buffer, c.sz, 2, true, c.needEscCR));
        EXPECT_EQ(aggregated(list), "abc");
    }
}
