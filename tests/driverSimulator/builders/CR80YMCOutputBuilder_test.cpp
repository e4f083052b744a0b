// The panel builders, colour and black or overlay: every header form with its
// panel bytes, and blank, short or missing images kept inside the buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "GlobalFactory.h"
#include "MediaDefinition.h"
#include "VectorMemoryManager.h"
#include "builders/CR80MonoDbOutputBuilder.h"
#include "builders/CR80YMCOutputBuilder.h"
#include "image/GDMemoryManager.h"
#include "processors/Convert8to7bitProcessor.h"
#include "processors/StandardSmoothingProcessor.h"
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
    for (bool more = b.getOutputSize() != 0; more; more = b.next()) {
        byte* buf = b.getBuffer();
        const dword n = buf != nullptr ? b.getSize() : 0;
        if (n != 0) {
            s.bytes.append(reinterpret_cast<char*>(buf), n);
            ++s.commands;
        }
    }
    return s;
}

const TavFactory::SupervisorType Colour = TavFactory::DbColorSupervisor, Black = TavFactory::DbMonochromeSupervisor,
                                 Overlay = TavFactory::DbOverlaySupervisor;

// The yellow, magenta and cyan commands of a colour image, or the one
// command of a black or overlay panel.
std::unique_ptr<tavgdi::OutputBuilderBase> makeBuilder(TavFactory::SupervisorType type, tavgdi::IGDataOptions* options,
                                                       VectorMemoryManager* mem, MediaDefinition* media)
{
    if (type == Colour)
        return std::unique_ptr<tavgdi::OutputBuilderBase>(new CR80YMCOutputBuilder(options, mem, media));
    return std::unique_ptr<tavgdi::OutputBuilderBase>(new tavgdi::CR80MonoDbOutputBuilder(type, options, mem, media));
}

struct HeaderCase {
    TavFactory::SupervisorType type;
    dword dpiX, dpiY, crWidth, crHeight;
    bool sevenBit;
    const char* header; // of the first command
};

// The goldens hold the 300 dpi card's 7-bit colour and black commands; black
// and overlay share the colour commands' header forms.
// clang-format off
const HeaderCase kHeaders[] = {
    {Colour, 300, 300, 1016, 648, false, "\x1b" "Db;y;256;"},
    {Colour, 600, 300, 1016, 648, false, "\x1b" "Dbx;y;256;600;300;"},
    {Colour, 100, 100, 1016, 648, false, "\x1b" "Dbx;y;256;100;100;"},
    {Colour, 300, 300, 1296, 648, false, "\x1b" "Dbxs;y;256;300;300;1296;648;"},
    {Colour, 300, 300, 1296, 648, true, "\x1b" "Dbxs;y;128;300;300;1296;648;"},
    // An area that is not a multiple of 8 dots (1013 x 646).
    {Colour, 299, 299, 1016, 648, true, "\x1b" "Dbx;y;128;299;299;"},
    {Overlay, 600, 600, 1016, 648, false, "\x1b" "Dbx;o;2;600;600;"},
    {Overlay, 300, 300, 1296, 648, false, "\x1b" "Dbxs;o;2;300;300;1296;648;"},
    {Black, 299, 299, 1016, 648, false, "\x1b" "Dbx;k;2;299;299;"},
};
// clang-format on

} // namespace

// Every header form carries its panels in order. For colour, packing to 7
// bits straight from the panel's own memory manager (instead of a copy of
// it) sends what packing a copy sends, and leaves the panel as it was.
TEST(PanelCommands, EveryHeaderFormCarriesItsPanels)
{
    for (const HeaderCase& c : kHeaders) {
        SCOPED_TRACE(c.header + 1);
        MediaDefinition media(c.dpiX, c.dpiY, c.crWidth, c.crHeight);
        const bool colour = c.type == Colour;
        const dword planes = colour ? 3 : 1;
        const dword area = colour ? media.getArea() : media.getMonochromeDataSize();
        VectorMemoryManager mem; // bytes that differ by plane and position, never 0
        mem.allocate(static_cast<int>(planes * area), 0);
        for (dword i = 0; i < planes * area; ++i)
            mem.bytes[i] = static_cast<byte>(1 + (i * 7 + i / area) % 250);
        std::unique_ptr<tavgdi::IGDataOptions> options(TavFactory::FactoryDataOptions(Colour));
        if (c.sevenBit)
            options->setOption(TavGdiOptions::DbFormatOut, TavGdiOptions::DbFormat7bit);

        auto builder = makeBuilder(c.type, options.get(), &mem, &media);
        ASSERT_TRUE(builder->init(nullptr));
        const std::string header = c.header;
        const dword size = c.sevenBit ? MediaDefinition::to7bits(area) : area;
        const dword command = static_cast<dword>(header.size()) + size + 1;
        EXPECT_EQ(planes * command, builder->getOutputSize());

        Sent sent = drain(*builder);
        ASSERT_EQ(static_cast<int>(planes), sent.commands);
        ASSERT_EQ(planes * command, sent.bytes.size());
        for (dword p = 0; p < planes; ++p) {
            std::string expectedHeader = header;
            if (colour)
                expectedHeader[header.find(';') + 1] = "ymc"[p];
            const char* cmd = sent.bytes.data() + p * command;
            EXPECT_EQ(expectedHeader, std::string(cmd, header.size()));
            EXPECT_EQ(0, memcmp(cmd + header.size(), mem.bytes.data() + p * area, size)) << "panel " << p;
            EXPECT_EQ('\r', cmd[command - 1]);
        }
        if (!colour) {
            EXPECT_FALSE(builder->next());
            continue;
        }
        EXPECT_EQ(IGDataOutputBuilder::iterationDone, builder->getState());
        EXPECT_EQ(nullptr, builder->getBuffer());

        // Magenta only 0 and 1: nothing left after packing, a blank panel.
        for (dword i = area; i < 2 * area; ++i)
            mem.bytes[i] = static_cast<byte>(i & 1);
        tavgdi::GDMemoryManager panel;
        ASSERT_TRUE(panel.setBuffer(mem.bytes.data(), static_cast<dword>(mem.bytes.size())));
        options->setOption(TavGdiOptions::DbFormatOut, TavGdiOptions::DbFormat7bit);
        // The packing alone, smoothing after it, and smoothing before it.
        for (int smoothed : {0, 1, 2}) {
            std::string packed[2];
            for (int i = 0; i < 2; ++i) {
                CR80YMCOutputBuilder fromPanel(
                    options.get(), i == 0 ? static_cast<tavgdi::IGDataMemoryManager*>(&panel) : &mem, &media);
                std::unique_ptr<tavgdi::IGDataProcessor> chain(new tavgdi::Convert8to7bitProcessor(
                    smoothed == 1 ? new tavgdi::StandardSmoothingProcessor(nullptr) : nullptr));
                if (smoothed == 2)
                    chain.reset(new tavgdi::StandardSmoothingProcessor(chain.release()));
                ASSERT_TRUE(fromPanel.init(chain.get()));
                packed[i] = drain(fromPanel).bytes;
            }
            EXPECT_EQ(packed[0], packed[1]) << "smoothed " << smoothed;
            // Yellow and cyan only ("128" is as long as "256").
            EXPECT_EQ(2 * (header.size() + MediaDefinition::to7bits(area) + 1), packed[0].size());
            EXPECT_EQ(0, memcmp(panel.getBuffer(0), mem.bytes.data(), mem.bytes.size()));
        }
    }
}

// A blank panel is sent only when asked. An image shorter than its panels,
// or none, is sent as no ink beyond its end; a longer one is cut.
TEST(PanelCommands, BlankShortOrMissingImagesStayInsideTheBuffer)
{
    MediaDefinition media(300, 300, 1016, 648);
    for (TavFactory::SupervisorType type : {Colour, Overlay}) {
        const dword planes = type == Colour ? 3 : 1;
        const dword panel = type == Colour ? media.getArea() : media.getMonochromeDataSize();
        const dword command = (type == Colour ? 10 : 8) + panel + 1;
        for (dword bytes : {0u, 10u, panel + 5}) {
            SCOPED_TRACE(std::to_string(type) + " " + std::to_string(bytes));
            VectorMemoryManager mem;
            mem.allocate(static_cast<int>(bytes), 9);
            std::unique_ptr<tavgdi::IGDataOptions> options(TavFactory::FactoryDataOptions(Colour));
            for (bool sendBlank : {false, true}) {
                if (sendBlank)
                    options->setOption(TavGdiOptions::SendBlankPanel, TavGdiOptions::OptionTrue);
                auto builder = makeBuilder(type, options.get(), &mem, &media);
                ASSERT_TRUE(builder->init(nullptr));
                Sent sent = drain(*builder);
                // The panels the image reaches, or all.
                const dword inked = std::min(planes, (bytes + panel - 1) / panel);
                EXPECT_EQ(sendBlank ? planes : inked, static_cast<dword>(sent.commands));
                EXPECT_EQ(sent.commands * command, sent.bytes.size());
                EXPECT_EQ(static_cast<size_t>(builder->getOutputSize()), sent.bytes.size());
                if (sendBlank) {
                    EXPECT_EQ(bytes >= planes * panel ? 9 : 0, sent.bytes[sent.bytes.size() - 2]);
                }
            }
        }
    }
    VectorMemoryManager unclonable;
    unclonable.failClone = true;
    std::unique_ptr<tavgdi::IGDataOptions> options(TavFactory::FactoryDataOptions(Colour));
    CR80YMCOutputBuilder builder(options.get(), &unclonable, &media);
    EXPECT_FALSE(builder.init(nullptr));
    EXPECT_EQ(0u, builder.getOutputSize());
}
