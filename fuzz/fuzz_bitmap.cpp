// The bitmap parser on fuzzed bitmap files (and on fuzzed pictures in memory,
// the form the face processing hands over), fitted to a small card.
//
// Input layout: four bytes of settings, then the payload.
//   byte 0: bit 0 aligned rows; bits 1-2 page setup (0 no options,
//           1 strict, 2 stretch); bits 3-4 the parser's supervisor type
//           (colour, gray, monochrome); bit 5 the payload is a picture in
//           memory (2 bytes width, 2 bytes height, little-endian, then the
//           pixels; bit 6 says colour) instead of a bitmap file.
//   byte 1, byte 2: card width and height, 8 + 4 * value dots at 300 dpi.
//   byte 3: resolution (300, 600 or 1200 across, 300 or 600 down).
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "FuzzSupport.h"
#include "GlobalFactory.h"
#include "MediaDefinition.h"
#include "image/IGDataMemoryManager.h"
#include "input/IGDataParser.h"
#include "settings/IGDataOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    const uint8_t flags = data[0];
    const dword cardW = 8 + 4u * data[1], cardH = 8 + 4u * data[2];
    static const dword dpiXs[] = {300, 600, 1200, 300};
    const dword dpiX = dpiXs[data[3] & 3], dpiY = (data[3] & 4) ? 600 : 300;
    const uint8_t* payload = data + 4;
    const size_t payloadSize = size - 4;

    static const TavFactory::SupervisorType types[] = {TavFactory::BmpColorSupervisor, TavFactory::BmpGraySupervisor,
                                                       TavFactory::BmpMonochromeSupervisor,
                                                       TavFactory::BmpColorSupervisor};
    const TavFactory::SupervisorType type = types[(flags >> 3) & 3];
    const auto alignment = (flags & 1) ? tavgdi::Aligned : tavgdi::Unaligned;

    cr80fuzz::QuietStdio quiet;
    tavgdi::MediaDefinition media(dpiX, dpiY, cardW, cardH);
    std::unique_ptr<tavgdi::IGDataOptions> options;
    const int setup = (flags >> 1) & 3;
    if (setup != 0) {
        options.reset(TavFactory::FactoryDataOptions(type));
        if (setup == 2)
            options->setOption(TavGdiOptions::StrictPageSetup, TavGdiOptions::StretchImage);
    }
    std::unique_ptr<tavgdi::IGDataMemoryManager> mgr(TavFactory::FactoryMemoryManager());
    std::unique_ptr<tavgdi::IGDataParser> parser(TavFactory::FactoryDataParser(type, mgr.get(), alignment));
    if (!parser)
        return 0;

    if (flags & 0x20) {
        if (payloadSize < 4)
            return 0;
        const dword width = payload[0] | (payload[1] << 8), height = payload[2] | (payload[3] << 8);
        // An exact-size copy: a read past the pixels is a sanitizer report.
        std::vector<byte> pixels(payload + 4, payload + payloadSize);
        pixels.shrink_to_fit();
        parser->parse(pixels.empty() ? nullptr : pixels.data(), static_cast<dword>(pixels.size()), width, height,
                      (flags & 0x40) != 0, options.get(), &media);
    } else {
        std::vector<char> bytes(payload, payload + payloadSize);
        FILE* file = bytes.empty() ? fopen("/dev/null", "rb") : fmemopen(bytes.data(), bytes.size(), "rb");
        // The parser closes the file it is given.
        parser->parse(file, options.get(), &media);
    }
    if (parser->isDataAvailable()) {
        // Touch the whole result, so that a short buffer shows.
        const dword n = mgr->getSize();
        const byte* p = mgr->getBuffer(0);
        volatile byte sum = 0;
        for (dword i = 0; p != nullptr && i < n; i += 61)
            sum = static_cast<byte>(sum + p[i]);
        (void)parser->getWidth();
        (void)parser->getCardOrientation();
    }
    return 0;
}
