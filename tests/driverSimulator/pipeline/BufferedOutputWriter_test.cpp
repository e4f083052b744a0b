#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pipeline/BufferedOutputWriter.h"
#include "pipeline/IOutputWriter.h"

using tavgdi::BufferedOutputWriter;
using tavgdi::IOutputWriter;

namespace {

// Records what the output callback receives.
struct Sink {
    std::vector<std::string> calls;
    std::vector<void*> objects;
    dword shortBy = 0; // the callback reports this many bytes fewer
};
Sink* sink = nullptr;

dword recordingWriter(void* obj, void* buffer, dword size)
{
    sink->calls.emplace_back(static_cast<char*>(buffer), size);
    sink->objects.push_back(obj);
    return size - (sink->shortBy < size ? sink->shortBy : size);
}

class BufferedOutputWriterTest : public testing::Test {
protected:
    void SetUp() override
    {
        sink = &received;
        testing::internal::CaptureStderr();
    }
    void TearDown() override
    {
        testing::internal::GetCapturedStderr();
        sink = nullptr;
    }
    dword put(IOutputWriter& w, const std::string& text)
    {
        return w.write(nullptr, const_cast<char*>(text.data()), static_cast<dword>(text.size()));
    }
    Sink received;
};

} // namespace

TEST_F(BufferedOutputWriterTest, RefusesAWriteThatDoesNotFitAndKeepsTheBytes)
{
    BufferedOutputWriter w(10);
    w.setWriter(recordingWriter);
    EXPECT_EQ(put(w, "abcd"), 4u);
    EXPECT_EQ(put(w, "1234567"), 0u);

    char small[8] = "xyz";
    // 4 + 0xFFFFFFFE wraps to 2 in 32 bits.
    for (dword size : {0xFFFFFFFEu, 0xFFFFFFFCu, 0xFFFFFFFFu})
        EXPECT_EQ(w.write(nullptr, small, size), 0u) << size;
    EXPECT_EQ(put(w, "efghij"), 6u); // exactly fills the buffer
    EXPECT_EQ(put(w, "k"), 0u);
    EXPECT_EQ(put(w, ""), 0u);
    ASSERT_TRUE(w.flush(nullptr));
    EXPECT_EQ(received.calls, std::vector<std::string>{"abcdefghij"});
}

TEST_F(BufferedOutputWriterTest, ShortWriteByTheCallbackFailsTheFlush)
{
    BufferedOutputWriter w(16);
    w.setWriter(recordingWriter);
    ASSERT_EQ(put(w, "card"), 4u);
    received.shortBy = 1;
    EXPECT_FALSE(w.flush(nullptr));
    EXPECT_EQ(received.calls.size(), 1u); // not re-sent
}
