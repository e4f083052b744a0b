#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "GlobalFactory.h"
#include "MediaDefinition.h"
#include "VectorMemoryManager.h"
#include "builders/CR80YMCOutputBuilder.h"
#include "image/GDMemoryManager.h"
#include "processors/Convert8to7bitProcessor.h"
#include "processors/StandardSmoothingProcessor.h"
#include "image/IGDataManager.h"
#include "processors/IGDataProcessor.h"
#include "settings/IGDataOptions.h"

using tavgdi::CR80YMCOutputBuilder;
using tavgdi::IGDataOutputBuilder;
using tavgdi::MediaDefinition;

namespace {

struct Sent {
    std::string bytes;
    int commands = 0;
};

// The caller's loop: buffer, size, send when both are set, next.
Sent drain(IGDataOutputBuilder& b)
{
    Sent s;
    if (b.getOutputSize() == 0)
        return s;
    do {
        byte* buf = b.getBuffer();
        dword n = b.getSize();
        if (buf != nullptr && n != 0) {
            s.bytes.append(reinterpret_cast<char*>(buf), n);
            ++s.commands;
        }
    } while (b.next());
    return s;
}

std::unique_ptr<tavgdi::IGDataOptions> makeOptions()
{
    return std::unique_ptr<tavgdi::IGDataOptions>(TavFactory::FactoryDataOptions(TavFactory::DbColorSupervisor));
}

// Three planes whose bytes differ by plane and position, never 0.
void fillPlanes(VectorMemoryManager& mem, dword area)
{
    mem.allocate(static_cast<int>(3 * area), 0);
    for (dword i = 0; i < 3 * area; ++i)
        mem.bytes[i] = static_cast<byte>(1 + (i * 7 + i / area) % 250);
}

struct HeaderCase {
    dword dpiX, dpiY, crWidth, crHeight;
    bool sevenBit;
    const char* yellowHeader;
};

// clang-format off
const HeaderCase kHeaders[] = {
    {300, 300, 1016, 648, false, "\x1b" "Db;y;256;"},
    {300, 300, 1016, 648, true, "\x1b" "Db;y;128;"},
    {600, 300, 1016, 648, false, "\x1b" "Dbx;y;256;600;300;"},
    {100, 100, 1016, 648, false, "\x1b" "Dbx;y;256;100;100;"},
    {300, 300, 1296, 648, false, "\x1b" "Dbxs;y;256;300;300;1296;648;"},
    {300, 300, 1296, 648, true, "\x1b" "Dbxs;y;128;300;300;1296;648;"},
    // An area that is not a multiple of 8 dots.
    {299, 299, 1016, 648, true, "\x1b" "Dbx;y;128;299;299;"},
};
// clang-format on

} // namespace

TEST(CR80YMCOutputBuilder, EveryHeaderFormCarriesThePlanesColumnByColumn)
{
    for (const HeaderCase& c : kHeaders) {
        SCOPED_TRACE(c.yellowHeader + 1);
        MediaDefinition media(c.dpiX, c.dpiY, c.crWidth, c.crHeight);
        const dword area = media.getArea();
        VectorMemoryManager mem;
        fillPlanes(mem, area);
        auto options = makeOptions();
        if (c.sevenBit)
            options->setOption(TavGdiOptions::DbFormatOut, TavGdiOptions::DbFormat7bit);

        CR80YMCOutputBuilder builder(options.get(), &mem, &media);
        ASSERT_TRUE(builder.init(nullptr));
        const std::string header = c.yellowHeader;
        ASSERT_EQ(static_cast<int>(header.size()), builder.getCmdSize());
        const dword size = c.sevenBit ? MediaDefinition::to7bits(area) : area;
        const dword command = static_cast<dword>(header.size()) + size + 1;
        EXPECT_EQ(3 * command, builder.getOutputSize());

        Sent sent = drain(builder);
        ASSERT_EQ(3, sent.commands);
        ASSERT_EQ(3u * command, sent.bytes.size());
        for (int p = 0; p < 3; ++p) {
            std::string expectedHeader = header;
            expectedHeader[header.find(";y;") + 1] = "ymc"[p];
            const char* cmd = sent.bytes.data() + p * command;
            EXPECT_EQ(expectedHeader, std::string(cmd, header.size()));
            EXPECT_EQ(0, memcmp(cmd + header.size(), mem.bytes.data() + p * area, size)) << "panel " << p;
            EXPECT_EQ('\r', cmd[command - 1]);
        }
        EXPECT_EQ(IGDataOutputBuilder::iterationDone, builder.getState());
        EXPECT_EQ(nullptr, builder.getBuffer());
    }
}

// The panel's own memory manager: the 7-bit packing reads it directly
// instead of a copy. The commands are those made from a copy, and the panel
// is left as it was.
TEST(CR80YMCOutputBuilder, PackingFromThePanelSendsWhatPackingACopySends)
{
    for (const HeaderCase& c : kHeaders) {
        SCOPED_TRACE(c.yellowHeader + 1);
        MediaDefinition media(c.dpiX, c.dpiY, c.crWidth, c.crHeight);
        const dword area = media.getArea();
        VectorMemoryManager copied;
        fillPlanes(copied, area);
        // Magenta only 0 and 1: nothing left after packing, a blank panel.
        for (dword i = area; i < 2 * area; ++i)
            copied.bytes[i] = static_cast<byte>(i & 1);
        tavgdi::GDMemoryManager panel;
        ASSERT_TRUE(panel.setBuffer(copied.bytes.data(), static_cast<dword>(copied.bytes.size())));
        auto options = makeOptions();
        options->setOption(TavGdiOptions::DbFormatOut, TavGdiOptions::DbFormat7bit);
        // The packing alone, smoothing after it, and smoothing before it.
        for (int smoothed : {0, 1, 2}) {
            std::string sent[2];
            for (int i = 0; i < 2; ++i) {
                CR80YMCOutputBuilder builder(
                    options.get(), i == 0 ? static_cast<tavgdi::IGDataMemoryManager*>(&panel) : &copied, &media);
                std::unique_ptr<tavgdi::IGDataProcessor> chain(new tavgdi::Convert8to7bitProcessor(
                    smoothed == 1 ? new tavgdi::StandardSmoothingProcessor(nullptr) : nullptr));
                if (smoothed == 2)
                    chain.reset(new tavgdi::StandardSmoothingProcessor(chain.release()));
                ASSERT_TRUE(builder.init(chain.get()));
                sent[i] = drain(builder).bytes;
            }
            EXPECT_EQ(sent[0], sent[1]) << "smoothed " << smoothed;
            // Yellow and cyan only.
            EXPECT_EQ(2 * (std::string(c.yellowHeader).size() + MediaDefinition::to7bits(area) + 1), sent[0].size());
            EXPECT_EQ(0, memcmp(panel.getBuffer(0), copied.bytes.data(), copied.bytes.size()));
        }
    }
}

TEST(CR80YMCOutputBuilder, BlankPanelsAreSkippedUnlessAsked)
{
    struct Case {
        int blankPlane; // -1: none
        bool sendBlank;
        int expectedCommands;
        const char* letters;
    } cases[] = {
        {-1, false, 3, "ymc"},
        {2, false, 2, "ym"},
        {0, false, 2, "mc"},
        {2, true, 3, "ymc"},
    };
    MediaDefinition media(300, 300, 1016, 648);
    const dword area = media.getArea();
    for (const Case& c : cases) {
        VectorMemoryManager mem;
        fillPlanes(mem, area);
        if (c.blankPlane >= 0)
            memset(mem.bytes.data() + c.blankPlane * area, 0, area);
        auto options = makeOptions();
        if (c.sendBlank)
            options->setOption(TavGdiOptions::SendBlankPanel, TavGdiOptions::OptionTrue);
        CR80YMCOutputBuilder builder(options.get(), &mem, &media);
        builder.init(nullptr);
        Sent sent = drain(builder);
        EXPECT_EQ(c.expectedCommands, sent.commands);
        EXPECT_EQ(static_cast<size_t>(builder.getOutputSize()), sent.bytes.size());
        std::string letters;
        for (int i = 0; i < sent.commands; ++i)
            letters += sent.bytes[i * (10 + area + 1) + 4];
        EXPECT_EQ(c.letters, letters);
    }
}

TEST(CR80YMCOutputBuilder, ShortOrMissingImageStaysInsideTheBuffer)
{
    MediaDefinition media(300, 300, 1016, 648);
    auto options = makeOptions();
    options->setOption(TavGdiOptions::SendBlankPanel, TavGdiOptions::OptionTrue);
    for (dword bytes : {0u, 10u, media.getArea() + 5}) {
        VectorMemoryManager mem;
        mem.allocate(static_cast<int>(bytes), 9);
        CR80YMCOutputBuilder builder(options.get(), &mem, &media);
        ASSERT_TRUE(builder.init(nullptr));
        Sent sent = drain(builder);
        ASSERT_EQ(3, sent.commands);
        // Dots beyond the image are sent as no ink.
        EXPECT_EQ(0, sent.bytes[sent.bytes.size() - 2]);
    }
    VectorMemoryManager unclonable;
    unclonable.failClone = true;
    CR80YMCOutputBuilder builder(options.get(), &unclonable, &media);
    EXPECT_FALSE(builder.init(nullptr));
    EXPECT_EQ(0u, builder.getOutputSize());
}
