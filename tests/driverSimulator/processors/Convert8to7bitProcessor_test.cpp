#include <gtest/gtest.h>

#include <vector>

#include "processors/Convert8to7bitProcessor.h"

using tavgdi::Convert8to7bitProcessor;

namespace {

// The packing written bit by bit: the high 7 bits of each byte, in order,
// most significant first; the last byte padded with 0 bits.
std::vector<byte> packed(const std::vector<byte>& in)
{
    std::vector<byte> out((in.size() * 7 + 7) / 8, 0);
    size_t bit = 0;
    for (byte b : in)
        for (int k = 7; k >= 1; --k, ++bit)
            if ((b >> k) & 1)
                out[bit / 8] |= static_cast<byte>(0x80 >> (bit % 8));
    return out;
}

} // namespace

TEST(Convert8to7bitProcessor, PacksInPlaceLikeTheBitByBitPacking)
{
    unsigned x = 12345;
    for (size_t size : {0u, 1u, 7u, 8u, 9u, 15u, 16u, 17u, 31u, 32u, 33u, 40u, 47u, 48u, 63u, 64u, 1000u}) {
        std::vector<byte> data(size);
        for (byte& b : data)
            b = static_cast<byte>((x = x * 1103515245u + 12345u) >> 16);
        const std::vector<byte> expected = packed(data);
        std::vector<byte> buffer = data;
        ASSERT_TRUE(Convert8to7bitProcessor::reduceBuffer(buffer.data(), static_cast<dword>(size)));
        EXPECT_EQ(std::vector<byte>(buffer.begin(), buffer.begin() + expected.size()), expected) << size;
        // What lies past the packed bytes is left as it was.
        EXPECT_EQ(std::vector<byte>(buffer.begin() + expected.size(), buffer.end()),
                  std::vector<byte>(data.begin() + expected.size(), data.end()))
            << size;
    }
}
