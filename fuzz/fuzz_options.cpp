// The job settings: a fuzzed CUPS option string goes through the settings
// reader (over the test PPD) and the options converter at the start of a
// document, then one small face is printed so that the converted settings,
// text regions, passthrough and magnetic fragments reach the printer stream.
//
// Input: the option string itself (NUL bytes end it, as on a command line).
#include <cups/cups.h>
#include <cups/ppd.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "COemPDEV.h"
#include "FuzzSupport.h"
#include "MediaDefinition.h"
#include "pipeline/StatusReporter.h"
#include "pipeline/UniDriverAdapter.h"
#include "settings/CupsExternalInterSettingsReader.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace {

ppd_file_t* testPpd = nullptr;
volatile byte streamSum;

// Reads every byte it is given, so that the sanitizers see any bad buffer.
dword sinkWriter(void*, void* buffer, dword size)
{
    const byte* p = static_cast<const byte*>(buffer);
    byte sum = 0;
    for (dword i = 0; i < size; ++i)
        sum = static_cast<byte>(sum + p[i]);
    streamSum = static_cast<byte>(streamSum + sum);
    return size;
}

// Faces are only printed on cards of at most this many dots, to keep the
// runs quick; larger cards still go through the conversion and the media.
const unsigned long long MaxFaceDots = 700ull * 450ull;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("SOURCE_DATE_EPOCH", "1767225600", 1);
    testPpd = ppdOpenFile(CR80_FUZZ_PPD);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    text.resize(strlen(text.c_str()));

    cr80fuzz::JobStateGuard state;
    cr80fuzz::QuietStdio quiet;
    cups_option_t* options = nullptr;
    int count = cupsParseOptions(text.c_str(), 0, &options);
    {
        tavgdi::StatusReporter status;
        COemPDEV pdev(status);
        pdev.interSettings = new CupsExternalInterSettingsReader(options, count, testPpd);
        DEVOBJ devobj;
        devobj.hPrinter = nullptr;
        devobj.pdevOEM = &pdev;
        devobj.interSettings = pdev.interSettings;
        devobj.pPublicDM = nullptr;

        tavgdi::UniDriverAdapter adapter(sinkWriter, status);
        char title[] = "Fuzz card";
        adapter.startDoc(title, 1, &devobj, nullptr, 0, false);
        tavgdi::MediaDefinition* media = adapter.getMedia();
        if (media != nullptr &&
            static_cast<unsigned long long>(media->getWidth()) * media->getHeight() <= MaxFaceDots) {
            // A 4 x 4 bottom-up BGR picture: black, gray and colour dots.
            static byte picture[4 * 12];
            for (int i = 0; i < 48; ++i)
                picture[i] = static_cast<byte>(i % 5 == 0 ? 0 : i * 37);
            pdev.pBufStart = picture;
            pdev.bmInfoHeader.biSizeImage = sizeof(picture);
            pdev.bmInfoHeader.biWidth = 4;
            pdev.bmInfoHeader.biHeight = 4;
            pdev.bmInfoHeader.biBitCount = 24;
            adapter.newFace(&devobj, true);
            pdev.pBufStart = nullptr;
        }
        adapter.endDoc(&devobj);
        delete pdev.interSettings;
        pdev.interSettings = nullptr;
    }
    cupsFreeOptions(count, options);
    return 0;
}
