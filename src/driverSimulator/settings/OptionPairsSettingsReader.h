// A settings reader over name=value pairs that a front end other than the
// CUPS filter builds (the printer application: from a job's IPP attributes,
// later from the printer's card settings). The pairs are read with the
// filter's own rules, aliases included (CupsExternalInterSettingsReader with
// no PPD): "media" names the card as PageSize does, "sides" and "Duplex"
// make the job two-sided, "600x300dpi" is a Resolution. Printer settings a
// job cannot give (the picture directory) are a second list of pairs.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "settings/CupsExternalInterSettingsReader.h"

class OptionPairsSettingsReader : public IExternalInterSettingsReader {
public:
    using Pairs = std::vector<std::pair<std::string, std::string>>;

    // A card setting a job or the printer names in IPP's words (a vendor
    // attribute such as "ribbon-type"), and the filter's setting it stands
    // for. Keywords are the filter's choices in lower case, '-' for '_'
    // ("rc-ymcko" is RC_YMCKO); levels are integers 0-20 (10 is VAL10).
    enum class VendorKind { Keyword, Level, Text };
    struct VendorChoice {
        const char* choice; // the filter's keyword
        const char* words;  // what users read
    };
    struct VendorSetting {
        const char* name;    // the vendor attribute
        const char* setting; // the filter's setting
        const char* words;
        VendorKind kind;
        std::vector<VendorChoice> choices; // keywords: the first is the default
        size_t maxLength;                  // text
    };
    static const std::vector<VendorSetting>& vendorSettings();
    // The filter's settings a printer keeps for all its jobs (its "Card
    // settings" page), with their words; jobs cannot give them.
    struct PrinterSetting {
        const char* setting;
        const char* words;
    };
    static const std::vector<PrinterSetting>& printerSettings();
    // A printer setting's value as the filter takes it; false with the
    // reason in `why` for a setting not listed, a keyword none of its
    // choices, or a picture outside the picture directory.
    static bool isPrinterSettingValue(const std::string& setting, const std::string& value, std::string* why);

    // The IPP keyword of a filter choice: "RC_YMCKO" gives "rc-ymcko".
    static std::string vendorKeyword(const char* choice);
    // The vendor attribute's value as the filter's setting; false with the
    // reason in `why` when the value is none the setting takes.
    static bool toSetting(const VendorSetting& vendor, const std::string& value, std::string* setting,
                          std::string* why);

    // Copies both lists; a later pair of the same name replaces an earlier one.
    OptionPairsSettingsReader(const Pairs& jobSettings, const Pairs& printerSettings);
    virtual ~OptionPairsSettingsReader();

    virtual const char* findFeature(const char* feature, int* savedPosition);
    virtual bool readPCSettingsFromBuffer(char* multistr, int size);
    virtual bool updatePCSettingsFromBuffer(char* multistr);
    virtual dword getMaxSize();
    virtual const char* findPrinterSetting(const char* keyword);

    OptionPairsSettingsReader(const OptionPairsSettingsReader&) = delete;
    OptionPairsSettingsReader& operator=(const OptionPairsSettingsReader&) = delete;

private:
    cups_option_t* options = nullptr;
    int numOptions = 0;
    Pairs printer;
    std::unique_ptr<CupsExternalInterSettingsReader> rules;
};
