#pragma once
// One conversion of a job's settings as the driver adapter runs it: the four
// option maps (document, card, front face, back face), the command
// fragments, the text-region lists and the picture readers it fills.
#include <cups/ppd.h>

#include <memory>
#include <set>
#include <string>

#include "COemPDEV.h"
#include "OptionsDefinition.h"
#include "input/MonoReaders.h"
#include "pipeline/ExternalBufferAggregator.h"
#include "pipeline/StatusReporter.h"
#include "pipeline/StdLGRectManager.h"
#include "settings/CupsExternalInterSettingsReader.h"
#include "settings/IGDataOptions.h"

namespace cr80test {

enum MapId { Doc, Card, Front, Back };

class Conversion {
public:
    Conversion();
    virtual ~Conversion();
    Conversion(const Conversion&) = delete;
    Conversion& operator=(const Conversion&) = delete;

    // Converts what `settings` gives (none: the defaults). What the
    // conversion writes on standard error, with the pipeline trace when
    // `trace`, is kept in `log`, its refusal of the job in `refusal`.
    bool convert(IExternalInterSettingsReader* settings, bool trace = false);
    // The same with another device object.
    bool convertWith(PDEVOBJ obj, bool trace = false);

    int get(MapId map, TavGdiOptions::Keys key) const { return maps[map]->getOption(key); }
    // The fragments aggregated at `tag` ("" for none).
    std::string fragments(PrintingTags::PrintingTagsType tag);
    // The picture file name of a reader slot ("<none>" for no reader).
    std::string readerName(tavgdi::MonoReaders::MonoReaderItemType slot);

    std::unique_ptr<tavgdi::IGDataOptions> maps[4];
    tavgdi::ExternalBufferAggregator aggregator;
    tavgdi::StdLGRectManager rects;
    tavgdi::MonoReaders readers;
    tavgdi::StatusReporter status;
    COemPDEV pdev{status};
    DEVOBJ devObj;
    std::string log;
    std::string refusal;
};

// A job's CUPS options over a PPD as the source of settings; every name the
// conversion asks for is noted.
class CupsSettings : public IExternalInterSettingsReader {
public:
    CupsSettings(ppd_file_t* ppd, const std::string& options);
    ~CupsSettings() override;
    const char* findFeature(const char* feature, int* position) override;
    bool readPCSettingsFromBuffer(char*, int) override { return true; }
    bool updatePCSettingsFromBuffer(char*) override { return true; }
    dword getMaxSize() override { return reader->getMaxSize(); }
    const char* findPrinterSetting(const char* keyword) override { return reader->findPrinterSetting(keyword); }

    std::set<std::string> names;

private:
    cups_option_t* options = nullptr;
    int numOptions = 0;
    std::unique_ptr<CupsExternalInterSettingsReader> reader;
};

} // namespace cr80test
