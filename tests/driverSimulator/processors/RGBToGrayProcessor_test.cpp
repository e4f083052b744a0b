#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "MediaDefinition.h"
#include "image/CR80ColorBmpManager.h"
#include "image/GDMemoryManager.h"
#include "processors/RGBToGrayProcessor.h"

using namespace tavgdi;

namespace {

// The same manager under a type the byte-level conversion does not take.
class PlainBmpManager : public CR80ColorBmpManager {
public:
    using CR80ColorBmpManager::CR80ColorBmpManager;
};

std::vector<byte> convert(bool plain, GraphicalConstants::CardOrientation o, dword size)
{
    MediaDefinition media(300, 300, 21, 13);
    GDMemoryManager memory;
    std::unique_ptr<CR80ColorBmpManager> mgr(plain ? new PlainBmpManager(&memory, &media)
                                                   : new CR80ColorBmpManager(&memory, &media));
    mgr->setOrientation(o, nullptr);
    EXPECT_TRUE(memory.allocate(static_cast<int>(size), 0));
    for (dword i = 0; i < size; ++i)
        memory.setByte(i, i % 97 >= 91 ? (i % 2 ? 255 : 0) : static_cast<byte>(i * 37 + (i >> 3))); // with whole white and black runs
    RGBToGrayProcessor gray(nullptr);
    EXPECT_TRUE(gray.process(mgr.get(), &memory, &media));
    return std::vector<byte>(memory.getBuffer(0), memory.getBuffer(0) + memory.getSize());
}

} // namespace

// Whole bitmaps in every orientation, and one a few bytes short (left to the
// dot-by-dot loop, which only half-writes the last dot).
TEST(RGBToGrayProcessor, ByteLevelConversionMatchesTheDotByDotOne)
{
    using namespace GraphicalConstants;
    const dword whole = 3 * 21 * 13;
    for (CardOrientation o : {Landscape, LandscapeFlip, Portrait, PortraitFlip})
        for (dword size : {whole, whole + 5, whole - 1})
            EXPECT_EQ(convert(false, o, size), convert(true, o, size)) << o << " " << size;
    // Gray: three equal bytes, 255 minus the mean ink rounded down.
    const std::vector<byte> g = convert(false, Landscape, whole);
    const int ink = ((255 - 0) + (255 - 37) + (255 - 74)) / 3; // the first dot's bytes 0, 37, 74
    EXPECT_EQ(g[0], 255 - ink);
    EXPECT_EQ(g[1], g[0]);
    EXPECT_EQ(g[2], g[0]);
}
