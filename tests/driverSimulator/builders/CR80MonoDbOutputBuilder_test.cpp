#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Exceptions/NullException.h"
#include "GlobalFactory.h"
#include "MediaDefinition.h"
#include "VectorMemoryManager.h"
#include "builders/CR80MonoDbOutputBuilder.h"
#include "settings/IGDataOptions.h"

using tavgdi::CR80MonoDbOutputBuilder;
using tavgdi::IGDataOutputBuilder;
using tavgdi::MediaDefinition;

namespace {

struct MonoCase {
    TavFactory::SupervisorType type;
    dword dpiX, dpiY, crWidth, crHeight;
    const char* header;
    dword dataSize;
};

// clang-format off
const MonoCase kCases[] = {
    {TavFactory::DbMonochromeSupervisor, 300, 300, 1016, 648, "\x1b" "Db;k;2;", 82296},
    {TavFactory::DbOverlaySupervisor, 600, 600, 1016, 648, "\x1b" "Dbx;o;2;600;600;", 329184},
    {TavFactory::DbMonochromeSupervisor, 600, 300, 1016, 648, "\x1b" "Dbx;k;2;600;300;", 164592},
    {TavFactory::DbMonochromeSupervisor, 100, 100, 1016, 648, "\x1b" "Dbx;k;2;100;100;", 9153},
    {TavFactory::DbOverlaySupervisor, 300, 300, 1296, 648, "\x1b" "Dbxs;o;2;300;300;1296;648;", 104976},
    // 1013 x 646 dots: an area that is not a multiple of 8.
    {TavFactory::DbMonochromeSupervisor, 299, 299, 1016, 648, "\x1b" "Dbx;k;2;299;299;", 81799},
};
// clang-format on

} // namespace

TEST(CR80MonoDbOutputBuilder, EveryHeaderFormIsOneCommand)
{
    for (const MonoCase& c : kCases) {
        SCOPED_TRACE(c.header + 1);
        MediaDefinition media(c.dpiX, c.dpiY, c.crWidth, c.crHeight);
        ASSERT_EQ(c.dataSize, media.getMonochromeDataSize());
        VectorMemoryManager mem;
        mem.allocate(static_cast<int>(c.dataSize), 0);
        for (dword i = 0; i < c.dataSize; ++i)
            mem.bytes[i] = static_cast<byte>(i * 13 + 1);

        CR80MonoDbOutputBuilder builder(c.type, nullptr, &mem, &media);
        ASSERT_TRUE(builder.init(nullptr));
        const std::string header = c.header;
        EXPECT_EQ(static_cast<int>(header.size()), builder.getCmdLength());
        const dword total = static_cast<dword>(header.size()) + c.dataSize + 1;
        EXPECT_EQ(total, builder.getOutputSize());

        byte* buf = builder.getBuffer();
        ASSERT_NE(nullptr, buf);
        EXPECT_EQ(total, builder.getSize());
        EXPECT_EQ(header, std::string(reinterpret_cast<char*>(buf), header.size()));
        EXPECT_EQ(0, memcmp(buf + header.size(), mem.bytes.data(), c.dataSize));
        EXPECT_EQ('\r', buf[total - 1]);
        EXPECT_FALSE(builder.next());
    }
}

TEST(CR80MonoDbOutputBuilder, EmptyPanelIsSentOnlyWhenAsked)
{
    MediaDefinition media(300, 300, 1016, 648);
    std::unique_ptr<tavgdi::IGDataOptions> options(TavFactory::FactoryDataOptions(TavFactory::DbOverlaySupervisor));
    // Blank buffers of the right size, too short and absent.
    for (int bytes : {82296, 100, 0}) {
        VectorMemoryManager mem;
        mem.allocate(bytes, 0);
        CR80MonoDbOutputBuilder skipped(TavFactory::DbOverlaySupervisor, nullptr, &mem, &media);
        skipped.init(nullptr);
        EXPECT_EQ(0u, skipped.getSize());
        EXPECT_EQ(0u, skipped.getOutputSize());
        EXPECT_FALSE(skipped.next());

        options->setOption(TavGdiOptions::SendBlankPanel, TavGdiOptions::OptionTrue);
        CR80MonoDbOutputBuilder sent(TavFactory::DbOverlaySupervisor, options.get(), &mem, &media);
        sent.init(nullptr);
        EXPECT_EQ(82305u, sent.getOutputSize());
        byte* buf = sent.getBuffer();
        ASSERT_NE(nullptr, buf);
        EXPECT_EQ(0, buf[8 + 82295]);
        EXPECT_EQ('\r', buf[82304]);
        options->removeOption(TavGdiOptions::SendBlankPanel);
    }
}
