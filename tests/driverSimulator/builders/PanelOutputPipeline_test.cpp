// The builders behind a real data supervisor: memory manager, data managers,
// output processor chain and parser together.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "GlobalFactory.h"
#include "MediaDefinition.h"
#include "builders/IGDataOutputBuilder.h"
#include "image/ColorPixel.h"
#include "image/MonoDeviceSupervisor.h"
#include "image/MonochromePixel.h"
#include "settings/IGDataOptions.h"

using tavgdi::IGDataOutputBuilder;
using tavgdi::MediaDefinition;
using tavgdi::MonoDeviceSupervisor;

namespace {

std::string drain(IGDataOutputBuilder* b)
{
    std::string out;
    if (b == nullptr || b->getOutputSize() == 0)
        return out;
    do {
        byte* buf = b->getBuffer();
        dword n = b->getSize();
        if (buf != nullptr && n != 0)
            out.append(reinterpret_cast<char*>(buf), n);
    } while (b->next());
    return out;
}

} // namespace

TEST(PanelOutputPipeline, SevenBitColourPanelsStayInsideOddAreas)
{
    struct Case {
        dword dpi;
        const char* magentaHeader;
    } cases[] = {{300, "\x1b" "Db;m;128;"}, {299, "\x1b" "Dbx;m;128;299;299;"}};
    for (const auto& c : cases) {
        MediaDefinition media(c.dpi, c.dpi, 1016, 648);
        std::unique_ptr<tavgdi::IGDataOptions> options(TavFactory::FactoryDataOptions(TavFactory::DbColorSupervisor));
        options->setOption(TavGdiOptions::DbFormatOut, TavGdiOptions::DbFormat7bit);
        MonoDeviceSupervisor face(TavFactory::DbColorSupervisor, &media, nullptr, nullptr, options.get());
        ASSERT_TRUE(face.newRaster(&media, false));
        tavgdi::ColorPixel magenta(0, 255, 0);
        face.setPixel(0, 0, &magenta);

        std::unique_ptr<IGDataOutputBuilder> builder(face.getIGDataOutputBuilder());
        ASSERT_NE(nullptr, builder);
        const std::string out = drain(builder.get());
        const std::string header = c.magentaHeader;
        // Only the magenta panel has ink.
        ASSERT_EQ(header.size() + MediaDefinition::to7bits(media.getArea()) + 1, out.size());
        EXPECT_EQ(header, out.substr(0, header.size()));
        EXPECT_EQ(static_cast<char>(0xFE), out[header.size()]);
        EXPECT_EQ('\r', out.back());
    }
}

TEST(PanelOutputPipeline, BlackPanelAndPictureParsing)
{
    MediaDefinition media(300, 300, 1016, 648);
    MonoDeviceSupervisor black(TavFactory::DbMonochromeSupervisor, &media, nullptr, nullptr, nullptr);
    ASSERT_TRUE(black.newRaster(&media, false));
    std::unique_ptr<IGDataOutputBuilder> empty(black.getIGDataOutputBuilder());
    EXPECT_EQ(0u, empty->getOutputSize());
    tavgdi::MonochromePixel dot(true);
    black.setPixel(1015, 647, &dot);
    std::unique_ptr<IGDataOutputBuilder> builder(black.getIGDataOutputBuilder());
    const std::string out = drain(builder.get());
    ASSERT_EQ(82305u, out.size());
    EXPECT_EQ(std::string("\x1b" "Db;k;2;"), out.substr(0, 8));
    EXPECT_EQ(static_cast<char>(0x80), out[8]);

    // A page a little smaller than the card is stretched onto it only when
    // asked; a buffer shorter than its rows is refused.
    MonoDeviceSupervisor page(TavFactory::BmpColorSupervisor, &media, nullptr, nullptr, nullptr);
    std::vector<byte> picture(3000 * 640, 0x80);
    EXPECT_FALSE(page.setRaster(picture.data(), static_cast<dword>(picture.size()), 1000, 640, true));
    page.setOption(TavGdiOptions::StrictPageSetup, TavGdiOptions::StretchImage);
    EXPECT_TRUE(page.setRaster(picture.data(), static_cast<dword>(picture.size()), 1000, 640, true));
    EXPECT_FALSE(page.setRaster(picture.data(), static_cast<dword>(picture.size()) - 1, 1000, 640, true));
}
