// The panel download parser on fuzzed printer streams, alone or behind a
// panel supervisor that loads the stream and builds the panel downloads of
// what it read (a round trip through the builders).
//
// Input layout: one byte of settings, then the stream.
//   bits 0-1: 0 the parser with colour, black and overlay targets; 1, 2, 3
//             the colour, black or overlay supervisor's load.
//   bit 2:    the media starts at 600 dpi instead of 300.
//   bit 3:    the supervisor builds its panel downloads after the load.
// Streams announcing a card of more than 4 million dots are skipped by the
// supervisor path (the parser itself is tried on every input).
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "FuzzSupport.h"
#include "GlobalFactory.h"
#include "MediaDefinition.h"
#include "builders/IGDataOutputBuilder.h"
#include "image/IGDataMemoryManager.h"
#include "image/IGDataSupervisor.h"
#include "image/IPixel.h"
#include "input/CR80DBParser.h"
#include "input/IGDataParser.h"
#include "settings/IGDataOptions.h"

namespace {

volatile byte outputSum;

// Reads every byte of a buffer, so that a bad one is a sanitizer report.
void touch(const byte* p, dword size)
{
    byte sum = 0;
    for (dword i = 0; p != nullptr && i < size; ++i)
        sum = static_cast<byte>(sum + p[i]);
    outputSum = static_cast<byte>(outputSum + sum);
}

FILE* streamOf(std::vector<char>& bytes)
{
    return bytes.empty() ? fopen("/dev/null", "rb") : fmemopen(bytes.data(), bytes.size(), "rb");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t flags = data[0];
    std::vector<char> bytes(data + 1, data + size);
    const dword dpi = (flags & 4) ? 600 : 300;

    cr80fuzz::QuietStdio quiet;
    const int mode = flags & 3;
    if (mode == 0) {
        tavgdi::MediaDefinition media(dpi, dpi, 1016, 648);
        std::unique_ptr<tavgdi::IGDataOptions> options(TavFactory::FactoryDataOptions(TavFactory::DbColorSupervisor));
        std::unique_ptr<tavgdi::IGDataMemoryManager> ymc(TavFactory::FactoryMemoryManager());
        std::unique_ptr<tavgdi::IGDataMemoryManager> k(TavFactory::FactoryMemoryManager());
        std::unique_ptr<tavgdi::IGDataMemoryManager> o(TavFactory::FactoryMemoryManager());
        std::unique_ptr<tavgdi::IGDataParser> parser(new tavgdi::CR80DBParser(ymc.get(), k.get(), o.get()));
        FILE* file = streamOf(bytes);
        parser->parse(file, options.get(), &media);
        if (file != nullptr)
            fclose(file);
        for (tavgdi::IGDataMemoryManager* m : {ymc.get(), k.get(), o.get()})
            touch(m->getBuffer(0), m->getSize());
        (void)parser->getWidth();
        (void)parser->getHeight();
        return 0;
    }

    static const TavFactory::SupervisorType types[] = {TavFactory::DbColorSupervisor, TavFactory::DbColorSupervisor,
                                                       TavFactory::DbMonochromeSupervisor,
                                                       TavFactory::DbOverlaySupervisor};
    const TavFactory::SupervisorType type = types[mode];
    tavgdi::MediaDefinition media(dpi, dpi, 1016, 648);
    std::unique_ptr<tavgdi::IGDataOptions> options(TavFactory::FactoryDataOptions(type));
    std::unique_ptr<tavgdi::IGDataSupervisor> supervisor(
        TavFactory::FactoryGDataSupervisor(type, &media, options.get()));
    if (!supervisor)
        return 0;
    FILE* file = streamOf(bytes);
    const bool loaded = file != nullptr && supervisor->load(file, true);
    if (file != nullptr)
        fclose(file);
    if (!loaded)
        return 0;
    const unsigned long long dots = static_cast<unsigned long long>(supervisor->getWidth()) * supervisor->getHeight();
    if (dots > 4000000ull)
        return -1;
    // A few dots across the whole panel.
    const dword w = supervisor->getWidth(), h = supervisor->getHeight();
    for (dword y = 0; y < h; y += 1 + h / 16)
        for (dword x = 0; x < w; x += 1 + w / 16) {
            tavgdi::IPixel* pixel = supervisor->getPixel(static_cast<int>(x), static_cast<int>(y)); // shared
            if (pixel != nullptr)
                outputSum = static_cast<byte>(outputSum + pixel->getY() + pixel->getM() + pixel->getC());
        }
    if (flags & 8) {
        std::unique_ptr<tavgdi::IGDataOutputBuilder> builder(supervisor->getIGDataOutputBuilder());
        if (builder && builder->getOutputSize() != 0) {
            do
                touch(builder->getBuffer(), builder->getSize());
            while (builder->next());
        }
    }
    return 0;
}
