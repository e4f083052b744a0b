#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "MediaDefinition.h"
#include "OptionsDefinition.h"
#include "face/FactoryGDInvariantProcessor.h"
#include "face/GdInvariantPIDAProcessor.h"
#include "face/GdInvariantPspProcessor.h"
#include "image/ColorPixel.h"
#include "settings/GDataOptions.h"

using namespace tavgdi;
using TavGdiOptions::Keys;

namespace {

const std::string ESC = "\x1b";

std::string cmd(const std::string& text)
{
    return ESC + text + "\r";
}

// Fills a pixel for dot (w, h); leaves it white when the dot is blank.
typedef std::function<void(int w, int h, ColorPixel& pixel)> Picture;

// Resets the processor and walks every dot of a width x height panel, as the
// raster operation does.
void measure(IGDInvariantProcessor* processor, int width, int height, const Picture& picture)
{
    ColorPixel pixel(0, 0, 0);
    processor->resetCounters();
    for (int h = 0; h < height; ++h)
        for (int w = 0; w < width; ++w) {
            pixel.set(false);
            if (picture)
                picture(w, h, pixel);
            processor->updateInvariantByPixel(w, h, &pixel);
        }
}

std::string textOf(IGDInvariantProcessor* processor)
{
    const char* text = processor->getInvariant();
    return text == nullptr ? "<null>" : text;
}

// Pipeline objects log their lives; tests keep standard error quiet and look
// at it only where they say so.
class Invariants : public testing::Test {
protected:
    void SetUp() override
    {
        testing::internal::CaptureStderr();
        media.reset(new MediaDefinition(300, 300, MediaDefinition::CR80Width, MediaDefinition::CR80Height));
    }
    void TearDown() override
    {
        chain.reset();
        media.reset();
        testing::internal::GetCapturedStderr();
    }
    IGDInvariantProcessor* build(IFactoryGDInvariantProcessor::IProcessorType type)
    {
        chain = factory.build(&options, media.get(), type);
        return chain.get();
    }
    void set(Keys key, int value) { options.setOption(key, value); }

    GDataOptions options;
    std::unique_ptr<MediaDefinition> media; // 1016 x 648
    FactoryGDInvariantProcessor factory;
    std::unique_ptr<IGDInvariantProcessor> chain;
};

const Picture blank;
const Picture allBlack = [](int, int, ColorPixel& p) { p.set(true); };

} // namespace

TEST_F(Invariants, ColourChainTexts)
{
    using namespace TavGdiOptions;
    struct Case {
        const char* name;
        int shortMgt, colourMgt, overlayMgt;
        int shortShift, colourXS, colourXE, overlayXS, overlayXE, overlayYS, overlayYE;
        Picture picture;
        std::string expected;
    } cases[] = {
        {"columns 12 to 1003", OptionAuto, OptionAuto, NoValue, 0, 0, 0, 0, 0, 0, 0,
         [](int w, int, ColorPixel& p) { p.set(w >= 12 && w <= 1003); },
         cmd("Psplc;c;x;s;12") + cmd("Psplc;c;x;e;1003") + cmd("Psp;12") + cmd("Pida;2;249;249;249")},
        {"empty panel sends the media size", OptionAuto, OptionAuto, OptionAuto, 0, 0, 0, 0, 0, 0, 0, blank,
         cmd("Pspolc;x;s;1016") + cmd("Pspolc;x;e;1016") + cmd("Pspolc;y;s;648") + cmd("Pspolc;y;e;648") +
             cmd("Psplc;c;x;s;1016") + cmd("Psplc;c;x;e;1016") + cmd("Psp;1016") + cmd("Pida;100;0;0;0")},
        {"custom values on an empty panel", OptionCustom, OptionCustom, OptionCustom, 5, 7, 9, 1, 2, 3, 4, blank,
         cmd("Pspolc;x;s;1") + cmd("Pspolc;x;e;2") + cmd("Pspolc;y;s;3") + cmd("Pspolc;y;e;4") + cmd("Psplc;c;x;s;7") +
             cmd("Psplc;c;x;e;9") + cmd("Psp;5") + cmd("Pida;100;0;0;0")},
        {"no panel shift: Pida alone", NoValue, NoValue, NoValue, 5, 7, 9, 1, 2, 3, 4, allBlack,
         cmd("Pida;0;255;255;255")},
        {"inks are averaged apart", NoValue, OptionTrue, NoValue, 0, 0, 0, 0, 0, 0, 0,
         [](int, int, ColorPixel& p) { p.set(255, 0, 128); }, cmd("Pida;0;255;0;128")},
        {"only the band between the shifts is measured", OptionAuto, OptionAuto, NoValue, 50, 100, 16, 0, 0, 0, 0,
         allBlack, cmd("Psplc;c;x;s;100") + cmd("Psplc;c;x;e;999") + cmd("Psp;50") + cmd("Pida;0;255;255;255")},
        {"dots just outside the band are ignored", NoValue, OptionAuto, NoValue, 0, 100, 16, 0, 0, 0, 0,
         [](int w, int, ColorPixel& p) { p.set(w == 99 || w == 1000); },
         cmd("Psplc;c;x;s;1016") + cmd("Psplc;c;x;e;1016") + cmd("Pida;100;1;1;1")},
        {"one ink dot is printed", OptionAuto, NoValue, NoValue, 0, 0, 0, 0, 0, 0, 0,
         [](int w, int h, ColorPixel& p) {
             if (w == 700 && h == 3)
                 p.set(0, 1, 0);
         },
         cmd("Psp;700") + cmd("Pida;100;0;0;0")},
        {"overlay columns and rows are banded apart", NoValue, NoValue, OptionAuto, 0, 0, 0, 10, 10, 5, 5,
         [](int w, int h, ColorPixel& p) {
             p.set((w == 3 && h == 100) || (w == 500 && h == 200) || (w == 600 && h == 1));
         },
         cmd("Pspolc;x;s;500") + cmd("Pspolc;x;e;600") + cmd("Pspolc;y;s;100") + cmd("Pspolc;y;e;200") +
             cmd("Pida;100;0;0;0")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        options.cleanUp();
        set(Keys::ShortPanelManagement, c.shortMgt);
        set(Keys::ColorPanelManagement, c.colourMgt);
        set(Keys::OverlayPanelManagement, c.overlayMgt);
        set(Keys::ShortPanelGlobalShift, c.shortShift);
        set(Keys::ColorPanelGlobalShiftXS, c.colourXS);
        set(Keys::ColorPanelGlobalShiftXE, c.colourXE);
        set(Keys::OverlayPanelGlobalShiftXS, c.overlayXS);
        set(Keys::OverlayPanelGlobalShiftXE, c.overlayXE);
        set(Keys::OverlayPanelGlobalShiftYS, c.overlayYS);
        set(Keys::OverlayPanelGlobalShiftYE, c.overlayYE);
        IGDInvariantProcessor* processor = build(IFactoryGDInvariantProcessor::colorProcessor);
        ASSERT_NE(processor, nullptr);
        measure(processor, 1016, 648, c.picture);
        EXPECT_EQ(textOf(processor), c.expected);
    }
}

TEST_F(Invariants, MonoChainHasNoPida)
{
    using namespace TavGdiOptions;
    struct Case {
        int mgt, xs, xe;
        Picture picture;
        std::string expected;
    } cases[] = {
        {OptionAuto, 0, 0, allBlack, cmd("Psplc;k;x;s;0") + cmd("Psplc;k;x;e;1015")},
        {OptionAuto, 0, 0, blank, cmd("Psplc;k;x;s;1016") + cmd("Psplc;k;x;e;1016")},
        {OptionAuto, 2000, 0, allBlack, cmd("Psplc;k;x;s;1016") + cmd("Psplc;k;x;e;1016")},
        {OptionAuto, 0, 2000, allBlack, cmd("Psplc;k;x;s;1016") + cmd("Psplc;k;x;e;1016")},
        {OptionCustom, 12, 34, blank, cmd("Psplc;k;x;s;12") + cmd("Psplc;k;x;e;34")},
        {NoValue, 0, 0, allBlack, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        options.cleanUp();
        set(Keys::MonoPanelManagement, c.mgt);
        set(Keys::MonoPanelGlobalShiftXS, c.xs);
        set(Keys::MonoPanelGlobalShiftXE, c.xe);
        set(Keys::ShortPanelManagement, OptionAuto);
        IGDInvariantProcessor* processor = build(IFactoryGDInvariantProcessor::monoProcessor);
        ASSERT_NE(processor, nullptr);
        measure(processor, 1016, 648, c.picture);
        EXPECT_EQ(textOf(processor), c.expected);
    }
}
