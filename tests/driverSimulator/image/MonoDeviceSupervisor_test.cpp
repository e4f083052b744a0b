#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "GlobalFactory.h"
#include "MediaDefinition.h"
#include "image/IGDataMemoryManager.h"
#include "image/MonoDeviceSupervisor.h"

using tavgdi::MediaDefinition;
using tavgdi::MonoDeviceSupervisor;

namespace {

struct Loaded {
    std::string log;
    std::vector<byte> bytes;
    bool isCallersBuffer;
};

Loaded load(TavFactory::SupervisorType type, MediaDefinition& media, std::vector<byte>& page, dword width, dword height,
            bool borrowed)
{
    MonoDeviceSupervisor s(type, &media, nullptr, nullptr, nullptr);
    s.setBorrowsRaster(borrowed);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(s.setRaster(page.data(), static_cast<dword>(page.size()), width, height, true));
    fflush(stderr);
    Loaded out;
    // Pointers differ from run to run.
    out.log = std::regex_replace(testing::internal::GetCapturedStderr(), std::regex("[0-9a-f]{8,}"), "<ptr>");
    tavgdi::IGDataMemoryManager* m = s.getMemoryManager();
    out.bytes.assign(m->getBuffer(0), m->getBuffer(0) + m->getSize());
    out.isCallersBuffer = m->getBuffer(0) == page.data();
    return out;
}

} // namespace

// A lent colour page of the card's size is read where it is, with the same
// bytes and log lines as a copy; anything else is still copied.
TEST(MonoDeviceSupervisor, BorrowedRasterIsReadInPlaceOnlyWhenItIsTheCardBitmap)
{
    const struct {
        const char* name;
        TavFactory::SupervisorType type;
        dword width; // of the card and the page
        bool inPlace;
    } cases[] = {
        {"colour page without row padding", TavFactory::BmpColorSupervisor, 16, true},
        {"colour page with padded rows", TavFactory::BmpColorSupervisor, 15, false},
        {"gray page (converted in place)", TavFactory::BmpGraySupervisor, 16, false},
    };
    for (const auto& c : cases) {
        MediaDefinition media(300, 300, c.width, 8);
        const dword stride = (3 * c.width + 3) & ~3u;
        std::vector<byte> page(stride * 8);
        for (size_t i = 0; i < page.size(); ++i)
            page[i] = static_cast<byte>(i * 31 + 7);
        const std::vector<byte> original = page;
        const Loaded copied = load(c.type, media, page, c.width, 8, false);
        const Loaded lent = load(c.type, media, page, c.width, 8, true);
        EXPECT_FALSE(copied.isCallersBuffer) << c.name;
        EXPECT_EQ(lent.isCallersBuffer, c.inPlace) << c.name;
        EXPECT_EQ(lent.bytes, copied.bytes) << c.name;
        EXPECT_EQ(lent.log, copied.log) << c.name;
        EXPECT_EQ(page, original) << c.name;
    }
}
