// The fast kernels against the generic ones: every registered fast kernel
// runs on the same bytes as its operation's generic kernel, once on the real
// types (the fast kernel) and once on a subclass that the kernel choice does
// not recognise (virtual getPixel/setPixel per dot); the resulting bytes, and
// the invariant texts, must be identical.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "GlobalFactory.h"
#include "MediaDefinition.h"
#include "OptionsDefinition.h"
#include "face/RasterOperations.h"
#include "face/FactoryGDInvariantProcessor.h"
#include "face/FastKernels.h"
#include "face/GdInvariantPIDAProcessor.h"
#include "face/IGDInvariantProcessor.h"
#include "face/PixelOperation.h"
#include "face/RasterAccess.h"
#include "image/CR80ColorBmpManager.h"
#include "image/GDMemoryManager.h"
#include "image/IGDataMemoryManager.h"
#include "image/IPixel.h"
#include "image/MonoDeviceSupervisor.h"
#include "pipeline/GRect.h"
#include "pipeline/StdLGRect.h"
#include "pipeline/StdLGRectIterator.h"
#include "processors/RGBToGrayProcessor.h"
#include "settings/IGDataOptions.h"

using namespace tavgdi;
using namespace GraphicalConstants;
using TavFactory::SupervisorType;
namespace FK = tavgdi::FastKernels;

namespace {

// The same supervisor, under a type the raw paths leave to the generic path.
class PlainSupervisor : public MonoDeviceSupervisor {
public:
    PlainSupervisor(SupervisorType type, MediaDefinition* media)
        : MonoDeviceSupervisor(type, media, nullptr, nullptr, nullptr)
    {
    }
};

std::unique_ptr<MonoDeviceSupervisor> make(SupervisorType type, MediaDefinition* media, bool plain)
{
    std::unique_ptr<MonoDeviceSupervisor> s(plain ? new PlainSupervisor(type, media)
                                                  : new MonoDeviceSupervisor(type, media, nullptr, nullptr, nullptr));
    EXPECT_TRUE(s->newRaster(media, false));
    return s;
}

std::vector<byte> bytesOf(MonoDeviceSupervisor* s)
{
    IGDataMemoryManager* m = s->getMemoryManager();
    return std::vector<byte>(m->getBuffer(0), m->getBuffer(0) + m->getSize());
}

// Pseudo-random bytes, often 0 or 255 so that black and white dots occur.
void scramble(MonoDeviceSupervisor* s, unsigned seed, bool gray)
{
    IGDataMemoryManager* m = s->getMemoryManager();
    byte* b = m->getBuffer(0);
    unsigned x = seed * 2654435761u + 1;
    for (dword i = 0; i < m->getSize(); ++i) {
        x = x * 1103515245u + 12345u;
        const unsigned r = (x >> 16) & 0xFF;
        b[i] = r < 60 ? 0 : r < 120 ? 255 : static_cast<byte>(r);
        if (gray && i % 3 == 2)
            b[i - 1] = b[i - 2] = b[i]; // gray pictures hold equal bytes
    }
}

struct Levels {
    byte black, dark, threshold;
};

struct OpCase {
    FK::Operation kernel;
    const char* name;
    SupervisorType source;
    SupervisorType target;
    std::function<IGRasterOperation*(IGDataSupervisor*)> make;
    PixelOperation::PixelOp op;
    CoordinateTransform pr1, pr2;
    bool withRects;
};

// Each operation made on a target, by its class.
template <class Operation>
IGRasterOperation* make(IGDataSupervisor* t)
{
    return new Operation(t);
}

const OpCase OpCases[] = {
    {FK::ColourCopy, "copy", TavFactory::BmpColorSupervisor, TavFactory::DbColorSupervisor,
     make<StandardRasterOperation>, PixelOperation::copy, proj1, negLproj2, false},
    {FK::ColourCopy, "copy-mirrored", TavFactory::BmpColorSupervisor, TavFactory::DbColorSupervisor,
     make<StandardRasterOperation>, PixelOperation::copy, negLproj1, proj2, false},
    {FK::ColourCopy, "copy-rects", TavFactory::BmpColorSupervisor, TavFactory::DbColorSupervisor,
     make<StandardRasterOperation>, PixelOperation::copy, proj1, negLproj2, true},
    {FK::BlackWithMemory, "black-extraction", TavFactory::DbColorSupervisor, TavFactory::DbMonochromeSupervisor,
     make<StandardRasterOperationWithMem>, PixelOperation::copyBlackPoint, negLproj1, negLproj2, false},
    {FK::BlackWithMemory, "black-extraction-rects", TavFactory::DbColorSupervisor, TavFactory::DbMonochromeSupervisor,
     make<StandardRasterOperationWithMem>, PixelOperation::copyBlackPoint, negLproj1, negLproj2, true},
    {FK::BlackWithFixedColour, "fixed-colour-rects", TavFactory::DbColorSupervisor, TavFactory::DbMonochromeSupervisor,
     make<StandardRasterOperationWithFixedColor>, PixelOperation::copyBlackPoint, negLproj1, negLproj2, true},
    {FK::Thresholding, "thresholding", TavFactory::BmpGraySupervisor, TavFactory::DbMonochromeSupervisor,
     make<ThresholdingRasterOperation>, PixelOperation::copyColorBW, negLproj1, proj2, false},
    {FK::Thresholding, "thresholding-copy", TavFactory::BmpGraySupervisor, TavFactory::DbMonochromeSupervisor,
     make<ThresholdingRasterOperation>, PixelOperation::copy, proj1, negLproj2, true},
    {FK::Dithering, "dithering", TavFactory::BmpGraySupervisor, TavFactory::DbMonochromeSupervisor,
     make<DitheringRasterOperation>, PixelOperation::copyColorBW, negLproj1, proj2, true},
    {FK::ClusteredDithering, "clustered", TavFactory::BmpGraySupervisor, TavFactory::DbMonochromeSupervisor,
     make<OrderedClusteredDotDitheringRasterOperation>, PixelOperation::copyColorBW, proj1, negLproj2, false},
    {FK::ErrorDiffusion, "floyd", TavFactory::BmpGraySupervisor, TavFactory::DbMonochromeSupervisor,
     make<FloydRasterOperation>, PixelOperation::copyColorBW, negLproj1, proj2, false},
    {FK::ErrorDiffusion, "floyd-copy", TavFactory::BmpGraySupervisor, TavFactory::DbMonochromeSupervisor,
     make<FloydRasterOperation>, PixelOperation::copy, proj1, negLproj2, false},
};

const CardOrientation Orientations[] = {Landscape, LandscapeFlip, Portrait, PortraitFlip};
const Levels LevelCases[] = {{253, 200, 126}, {100, 200, 10}, {0, 0, 255}, {0, 200, 60}};

class RasterAccessTest : public testing::Test {
protected:
    // A card whose sides are not multiples of 8: one-bit rows drop dots.
    MediaDefinition media{300, 300, 21, 13};
    // A card large enough for the 16 x 16 tiles and 16-dot runs of the raw
    // loops, with dots left over at every edge.
    MediaDefinition large{300, 300, 53, 41};
    MediaDefinition* card = &media;
    // Text regions (left, top, right, bottom, black level) used instead of
    // rects() when set.
    const std::vector<std::array<int, 5>>* regions = nullptr;
    byte savedThreshold = 0, savedBlack = 0, savedDark = 0;

    void SetUp() override
    {
        savedThreshold = IPixel::getThreshold();
        savedBlack = IPixel::getBlackLevel();
        savedDark = IPixel::getDarkLevel();
    }
    void TearDown() override
    {
        IPixel::setThreshold(savedThreshold);
        IPixel::setBlackLevel(savedBlack);
        IPixel::setDarkLevel(savedDark);
    }

    static void setLevels(const Levels& l)
    {
        IPixel::setBlackLevel(l.black);
        IPixel::setDarkLevel(l.dark);
        IPixel::setThreshold(l.threshold);
    }

    void comparePanelMeasures();
    void compareGrayConversions();

    // Rectangles reversed, overlapping and reaching past the card.
    std::unique_ptr<StdLGRect> rects()
    {
        std::unique_ptr<StdLGRect> list(new StdLGRect());
        list->Add(new GRect(2, 1, 9, 7, 0, -1));
        list->Add(new GRect(15, 10, 4, 3, 0, -1));
        list->Add(new GRect(18, 0, 40, 40, 0, -1));
        return list;
    }

    // source bytes after, target bytes after
    std::pair<std::vector<byte>, std::vector<byte>> run(const OpCase& c, CardOrientation o, unsigned seed, bool plain)
    {
        auto source = make(c.source, card, plain);
        auto target = make(c.target, card, plain);
        if (c.source == TavFactory::BmpColorSupervisor || c.source == TavFactory::BmpGraySupervisor)
            source->setOrientation(o, nullptr);
        else
            seed += static_cast<unsigned>(o);
        scramble(source.get(), seed, c.source == TavFactory::BmpGraySupervisor);
        scramble(target.get(), seed + 7, false);
        source->getIGDataOptions()->setOption(TavGdiOptions::FixedBlackSubY, 0x120);
        source->getIGDataOptions()->setOption(TavGdiOptions::FixedBlackSubM, 7);
        source->getIGDataOptions()->setOption(TavGdiOptions::FixedBlackSubC, 99);
        std::unique_ptr<StdLGRect> list = c.withRects ? rects() : nullptr;
        if (c.withRects && regions != nullptr) {
            list.reset(new StdLGRect());
            for (const auto& r : *regions)
                list->Add(new GRect(r[0], r[1], r[2], r[3], static_cast<byte>(r[4]), -1));
        }
        std::unique_ptr<StdLGRectIterator> iter(list ? new StdLGRectIterator(list.get()) : nullptr);
        std::unique_ptr<IGRasterOperation> op(c.make(target.get()));
        EXPECT_TRUE(op->apply(source.get(), c.op, iter.get(), c.pr1, c.pr2));
        return {bytesOf(source.get()), bytesOf(target.get())};
    }
};

// The layouts of the real types are checked through the kernel choice below;
// a panel without its bytes is left to the generic path.
TEST_F(RasterAccessTest, APanelWithoutItsBytesHasNoLayout)
{
    MonoDeviceSupervisor empty(TavFactory::DbColorSupervisor, &media, nullptr, nullptr, nullptr);
    EXPECT_EQ(RasterAccess(&empty).layout(), RasterAccess::None);
    EXPECT_EQ(RasterAccess(static_cast<IGDataSupervisor*>(nullptr)).layout(), RasterAccess::None);
}

// Each registered fast kernel, its operation's cases; the fast kernel must
// be the one chosen on the real types and not on the subclasses.
TEST_F(RasterAccessTest, EveryFastKernelWritesWhatItsGenericKernelWrites)
{
    unsigned seed = 1;
    for (const FK::Kernel* k = FK::begin(); k != FK::end(); ++k) {
        int cases = 0;
        if (k->operation == FK::PanelMeasure) {
            comparePanelMeasures();
            ++cases;
        }
        if (k->operation == FK::GrayConversion) {
            compareGrayConversions();
            ++cases;
        }
        for (const OpCase& c : OpCases) {
            if (c.kernel != k->operation)
                continue;
            ++cases;
            for (bool plain : {false, true}) {
                auto source = make(c.source, &media, plain);
                auto target = make(c.target, &media, plain);
                FK::Projection p{c.pr1, c.pr2, media.getWidth(), media.getHeight(), {}, {}};
                const FK::Kernel* chosen =
                    FK::choose(k->operation, RasterAccess(source.get()), RasterAccess(target.get()), c.op, &p);
                EXPECT_EQ(chosen, plain ? nullptr : k) << c.name;
            }
            for (MediaDefinition* m : {&media, &large})
                for (CardOrientation o : Orientations)
                    for (const Levels& l : LevelCases) {
                        card = m;
                        setLevels(l);
                        ++seed;
                        const auto fast = run(c, o, seed, false);
                        const auto generic = run(c, o, seed, true);
                        const std::string what = std::string(c.name) + " orientation " + std::to_string(o) + " black " +
                                                 std::to_string(l.black) + " width " + std::to_string(m->getWidth());
                        EXPECT_EQ(fast.first, generic.first) << what;
                        EXPECT_EQ(fast.second, generic.second) << what;
                    }
        }
        EXPECT_GT(cases, 0) << k->name << ": no case compares it with the generic kernel";
    }
}

// Text regions as a job may send them: many, overlapping and repeated (the
// raw paths then look only where black dots can still be), each with its own
// black level or the face's, reversed, beyond the card, or none. Where
// regions overlap, a later one works on what the earlier ones left, so their
// order matters. Both paths must leave the same bytes.
TEST_F(RasterAccessTest, TextRegionSetsMatchDotByDot)
{
    // Blocks of 64 rows and tiles of 64 columns, with some left over.
    MediaDefinition blocks{300, 300, 150, 140};
    using Region = std::array<int, 5>;
    const Region whole{0, 0, 150, 140, 0};
    auto levelled = [](Region r, int level) {
        r[4] = level;
        return r;
    };
    std::vector<Region> again(25, whole), alternating, falling, rising, small;
    for (int i = 0; i < 12; ++i)
        alternating.push_back(i % 2 == 0 ? Region{0, 0, 150, 140, 40} : Region{1, 0, 150, 139, 40});
    for (int level = 250; level > 0; level -= 20)
        falling.push_back(levelled(whole, level));
    rising.assign(falling.rbegin(), falling.rend());
    unsigned x = 7;
    auto next = [&x](unsigned n) {
        x = x * 1103515245u + 12345u;
        return static_cast<int>((x >> 16) % n);
    };
    for (int i = 0; i < 300; ++i) {
        const int l = next(170) - 10, t = next(160) - 10;
        small.push_back({l, t, l + next(50), t + next(50), next(3) == 0 ? 0 : next(300)});
    }
    const struct {
        const char* name;
        std::vector<Region> regions;
        // clang-format off
    } sets[] = {
        {"none", {}},
        {"whole card again and again", again},
        {"two regions in turn", alternating},
        {"levels falling", falling},
        {"levels rising", rising},
        {"overlapping, own levels",
         {{10, 5, 120, 100, 90}, {60, 40, 150, 140, 240}, {0, 0, 150, 140, 30}, {10, 5, 120, 100, 0}, whole, whole,
          {70, 60, 140, 130, 200}, {0, 64, 150, 128, 10}}},
        {"repeated, own levels",
         {{10, 5, 120, 100, 60}, {10, 5, 120, 100, 60}, {10, 5, 120, 100, 60}, {10, 5, 120, 100, 60},
          {120, 100, 10, 5, 60}, {0, 64, 150, 128, 10}, {0, 64, 150, 128, 10}, {10, 5, 120, 100, 60},
          {10, 5, 120, 100, 60}, {10, 5, 120, 100, 61}, {0, 0, 150, 140, 1}, {0, 0, 150, 140, 1}}},
        {"reversed and beyond the card",
         {{140, 130, 3, 2, 0}, {149, 139, 151, 141, 0}, {-5, -5, 500, 500, 120}, {150, 0, 400, 140, 1},
          {0, 140, 150, 900, 1}, {5, 5, 5, 90, 1}, {20, 20, 20, 20, 1}, {140, 130, 3, 2, 60}}},
        {"many small", small},
    };
    // clang-format on
    const OpCase* ops[] = {&OpCases[4], &OpCases[5]};
    unsigned seed = 100;
    for (const auto& set : sets)
        for (const OpCase* c : ops)
            for (const Levels& l : LevelCases) {
                card = &blocks;
                regions = &set.regions;
                setLevels(l);
                ++seed;
                const auto fast = run(*c, Landscape, seed, false);
                const auto generic = run(*c, Landscape, seed, true);
                const std::string what = std::string(set.name) + ", " + c->name + ", black " + std::to_string(l.black);
                EXPECT_EQ(fast.first, generic.first) << what;
                EXPECT_EQ(fast.second, generic.second) << what;
                EXPECT_EQ(IPixel::getBlackLevel(), l.black) << what;
            }
    regions = nullptr;
}

// A picture smaller than the card: source dots off the picture keep the
// shared pixel's last value, which only the dot-by-dot path knows.
TEST_F(RasterAccessTest, PictureSmallerThanTheCardFallsBackAndMatches)
{
    MediaDefinition small(300, 300, 15, 9);
    std::vector<byte> panels[2];
    for (bool plain : {false, true}) {
        auto picture = make(TavFactory::BmpColorSupervisor, &small, plain);
        auto panel = make(TavFactory::DbColorSupervisor, &media, plain);
        scramble(picture.get(), 3, false);
        StandardRasterOperation op(panel.get());
        ASSERT_TRUE(op.apply(picture.get(), PixelOperation::copy, nullptr, proj1, negLproj2));
        panels[plain ? 1 : 0] = bytesOf(panel.get());
    }
    EXPECT_EQ(panels[0], panels[1]);
}

std::string measure(MonoDeviceSupervisor* panel, IGDInvariantProcessor* inv, CoordinateTransform pr1,
                    CoordinateTransform pr2)
{
    TrivialRasterOperationWithInvariant op(panel, inv);
    EXPECT_TRUE(op.apply(nullptr, PixelOperation::copy, nullptr, pr1, pr2));
    const char* text = inv->getInvariant();
    return text != nullptr ? text : "(null)";
}

void RasterAccessTest::comparePanelMeasures()
{
    const struct {
        SupervisorType type;
        IFactoryGDInvariantProcessor::IProcessorType kind;
        CoordinateTransform pr1, pr2;
    } panels[] = {
        {TavFactory::DbColorSupervisor, IFactoryGDInvariantProcessor::colorProcessor, proj1, negLproj2},
        {TavFactory::DbMonochromeSupervisor, IFactoryGDInvariantProcessor::monoProcessor, negLproj1, proj2},
    };
    // Measured extents with bands cut at both ends, and fixed ones.
    const int shifts[][2] = {{0, 0}, {3, 5}, {40, 2}};
    for (MediaDefinition* m : {&media, &large})
        for (const auto& p : panels)
            for (const auto& s : shifts)
                for (unsigned seed = 1; seed < 4; ++seed) {
                    std::unique_ptr<IGDataOptions> options(
                        TavFactory::FactoryDataOptions(TavFactory::DbColorSupervisor));
                    for (TavGdiOptions::Keys k :
                         {TavGdiOptions::ShortPanelManagement, TavGdiOptions::ColorPanelManagement,
                          TavGdiOptions::MonoPanelManagement, TavGdiOptions::OverlayPanelManagement})
                        options->setOption(k, seed == 3 ? TavGdiOptions::OptionCustom : TavGdiOptions::OptionAuto);
                    for (TavGdiOptions::Keys k :
                         {TavGdiOptions::ShortPanelGlobalShift, TavGdiOptions::ColorPanelGlobalShiftXS,
                          TavGdiOptions::MonoPanelGlobalShiftXS, TavGdiOptions::OverlayPanelGlobalShiftXS,
                          TavGdiOptions::OverlayPanelGlobalShiftYS})
                        options->setOption(k, s[0]);
                    for (TavGdiOptions::Keys k :
                         {TavGdiOptions::ColorPanelGlobalShiftXE, TavGdiOptions::MonoPanelGlobalShiftXE,
                          TavGdiOptions::OverlayPanelGlobalShiftXE, TavGdiOptions::OverlayPanelGlobalShiftYE})
                        options->setOption(k, s[1]);
                    std::string texts[2];
                    for (bool plain : {false, true}) {
                        auto panel = make(p.type, m, plain);
                        FK::Projection at{p.pr1, p.pr2, m->getWidth(), m->getHeight(), {}, {}};
                        const RasterAccess bytes(panel.get());
                        EXPECT_EQ(FK::choose(FK::PanelMeasure, bytes, bytes, PixelOperation::copy, &at) != nullptr,
                                  !plain);
                        scramble(panel.get(), seed, false);
                        if (seed == 2) // a blank panel
                            memset(panel->getMemoryManager()->getBuffer(0), 0, panel->getMemoryManager()->getSize());
                        FactoryGDInvariantProcessor factory;
                        std::unique_ptr<IGDInvariantProcessor> inv(factory.build(options.get(), m, p.kind));
                        texts[plain ? 1 : 0] = measure(panel.get(), inv.get(), p.pr1, p.pr2);
                    }
                    EXPECT_EQ(texts[0], texts[1]) << p.type << " shifts " << s[0] << "/" << s[1] << " seed " << seed
                                                  << " width " << m->getWidth();
                    EXPECT_NE(texts[0], "(null)");
                }
}

// The same manager under a type the kernel choice does not take.
class PlainBmpManager : public CR80ColorBmpManager {
public:
    using CR80ColorBmpManager::CR80ColorBmpManager;
};

std::vector<byte> grayOf(bool plain, CardOrientation o, dword size)
{
    MediaDefinition media(300, 300, 21, 13);
    GDMemoryManager memory;
    std::unique_ptr<CR80ColorBmpManager> mgr(plain ? new PlainBmpManager(&memory, &media)
                                                   : new CR80ColorBmpManager(&memory, &media));
    mgr->setOrientation(o, nullptr);
    EXPECT_TRUE(memory.allocate(static_cast<int>(size), 0));
    for (dword i = 0; i < size; ++i) // with whole white and black runs
        memory.setByte(i, i % 97 >= 91 ? (i % 2 ? 255 : 0) : static_cast<byte>(i * 37 + (i >> 3)));
    const RasterAccess bitmap(mgr.get());
    EXPECT_EQ(FK::choose(FK::GrayConversion, bitmap, bitmap) != nullptr, !plain && size >= 3 * 21 * 13);
    RGBToGrayProcessor gray(nullptr);
    EXPECT_TRUE(gray.process(mgr.get(), &memory, &media));
    return std::vector<byte>(memory.getBuffer(0), memory.getBuffer(0) + memory.getSize());
}

// Whole bitmaps in every orientation, and one a few bytes short (left to the
// dot-by-dot loop, which only half-writes the last dot).
void RasterAccessTest::compareGrayConversions()
{
    const dword whole = 3 * 21 * 13;
    for (CardOrientation o : Orientations)
        for (dword size : {whole, whole + 5, whole - 1})
            EXPECT_EQ(grayOf(false, o, size), grayOf(true, o, size)) << o << " " << size;
    // Gray: three equal bytes, 255 minus the mean ink rounded down.
    const std::vector<byte> g = grayOf(false, Landscape, whole);
    const int ink = ((255 - 0) + (255 - 37) + (255 - 74)) / 3; // the first dot's bytes 0, 37, 74
    EXPECT_EQ(g[0], 255 - ink);
    EXPECT_EQ(g[1], g[0]);
    EXPECT_EQ(g[2], g[0]);
}

// A mean exactly on a half: the dot-by-dot sums (100 shares of 1/200) land
// just above 0.5 and round to 1, the exact mean to 0. The column measure
// notices and the walk measures again dot by dot.
TEST_F(RasterAccessTest, MeanOnARoundingEdgeIsMeasuredDotByDot)
{
    MediaDefinition card(300, 300, 20, 10);
    std::unique_ptr<IGDataOptions> options(TavFactory::FactoryDataOptions(TavFactory::DbColorSupervisor));
    std::string texts[2];
    for (bool plain : {false, true}) {
        auto panel = make(TavFactory::DbColorSupervisor, &card, plain);
        memset(panel->getMemoryManager()->getBuffer(0), 1, 100); // yellow 1 on half the card
        FactoryGDInvariantProcessor factory;
        std::unique_ptr<IGDInvariantProcessor> inv(
            factory.build(options.get(), &card, IFactoryGDInvariantProcessor::colorProcessor));
        texts[plain ? 1 : 0] = measure(panel.get(), inv.get(), proj1, negLproj2);
    }
    EXPECT_EQ(texts[0], texts[1]);
    EXPECT_NE(texts[0].find("\x1bPida;50;1;0;0\r"), std::string::npos) << texts[0];

    std::vector<byte> column(100, 1), none(100, 0);
    for (int count : {99, 100}) {
        GdInvariantPIDAProcessor pida(card.getArea(), 0, nullptr);
        pida.updateInvariantByColumn(0, 0, count, column.data(), none.data(), none.data(), 1, nullptr);
        EXPECT_EQ(pida.isMeasureExact(), count == 99) << count; // 0.495 is far from a half
        pida.resetCounters();
        EXPECT_TRUE(pida.isMeasureExact());
    }
}

} // namespace
