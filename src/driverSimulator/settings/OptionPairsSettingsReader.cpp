#include "settings/OptionPairsSettingsReader.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "input/PictureFiles.h"
#include "settings/OptionsConverter.h"

namespace {

using Kind = OptionPairsSettingsReader::VendorKind;
using Setting = OptionPairsSettingsReader::VendorSetting;

const std::vector<OptionPairsSettingsReader::VendorChoice> BlackModes = {
    {"None", "Off"},
    {"ALLBLACKPOINT", "All black dots in black resin"},
    {"TEXTINBLACK", "Text regions in black resin"},
    {"BMPBLACK", "Custom black picture"},
};

const std::vector<OptionPairsSettingsReader::VendorChoice> OverlayModes = {
    {"None", "No varnish"},
    {"FULLVARNISH", "Full varnish"},
    {"BMPVARNISH", "Custom varnish picture"},
};

const std::vector<OptionPairsSettingsReader::VendorChoice> Halftonings = {
    {"FLOYD", "Error diffusion"},
    {"THRESHOLD", "Threshold"},
    {"DITHERING", "Dithering"},
    {"CLUSTERED_DITHERING", "Clustered dithering"},
};

const std::vector<OptionPairsSettingsReader::VendorChoice> OnOff = {{"OFF", "Off"}, {"ON", "On"}};

const std::vector<OptionPairsSettingsReader::VendorChoice> TrackFormats = {
    {"NONE", "None"},     {"ISO1", "ISO 1"},  {"ISO2", "ISO 2"}, {"ISO3", "ISO 3"},
    {"SIPASS", "SIPASS"}, {"C2", "Custom 2"}, {"JIS2", "JIS 2"}, {"C4", "Custom 4"},
};

Setting keywords(const char* name, const char* setting, const char* words,
                 const std::vector<OptionPairsSettingsReader::VendorChoice>& choices)
{
    return {name, setting, words, Kind::Keyword, choices, 0};
}

Setting level(const char* name, const char* setting, const char* words)
{
    return {name, setting, words, Kind::Level, {}, 0};
}

Setting text(const char* name, const char* setting, const char* words, size_t maxLength)
{
    return {name, setting, words, Kind::Text, {}, maxLength};
}

} // namespace

const std::vector<OptionPairsSettingsReader::VendorSetting>& OptionPairsSettingsReader::vendorSettings()
{
    // The choices, their words and the defaults are the PPD's.
    static const std::vector<VendorSetting> Settings = {
        keywords("ribbon-type", "GRibbonType", "Ribbon",
                 {
                     {"RC_YMCKO", "Colour YMCKO"},
                     {"RC_YMCKOS", "Colour YMCKO, short panels"},
                     {"RC_YMCKOK", "Colour YMCKOK"},
                     {"RC_YMCKOS13", "Colour YMCKO, 1/3 short panels"},
                     {"RC_YMCKOKOS", "Colour YMCKOKO, short panels"},
                     {"RC_YMCKOKS13", "Colour YMCKOK, 1/3 short panels"},
                     {"RM_KO", "Monochrome black and overlay (KO)"},
                     {"RM_SOKO", "Monochrome black and overlay, short (SOKO)"},
                     {"RM_KBLACK", "Monochrome black"},
                     {"RM_KWHITE", "Monochrome white"},
                     {"RM_KRED", "Monochrome red"},
                     {"RM_KGREEN", "Monochrome green"},
                     {"RM_KBLUE", "Monochrome blue"},
                     {"RM_KSCRATCH", "Scratch-off"},
                     {"RM_KMETALSILVER", "Metallic silver"},
                     {"RM_KMETALGOLD", "Metallic gold"},
                     {"RM_KSIGNATURE", "Signature panel"},
                     {"RM_KWAX", "Black wax"},
                     {"RM_KPREMIUM", "Premium black"},
                     {"RM_HOLO", "Holographic"},
                     {"RM_KRMS", "Black resin (KRMS)"},
                 }),
        keywords("front-black-mode", "FBlackManagement", "Front black panel", BlackModes),
        keywords("back-black-mode", "BBlackManagement", "Back black panel", BlackModes),
        keywords("front-overlay-mode", "FOverlayManagement", "Front overlay", OverlayModes),
        keywords("back-overlay-mode", "BOverlayManagement", "Back overlay", OverlayModes),
        text("front-text-regions", "IFTextRegion", "Front text regions", 1024),
        text("back-text-regions", "IBTextRegion", "Back text regions", 1024),
        keywords("front-halftoning", "FHalftoning", "Front halftoning", Halftonings),
        keywords("back-halftoning", "BHalftoning", "Back halftoning", Halftonings),
        keywords("front-rotate", "FPageRotate180", "Rotate front by 180 degrees", OnOff),
        keywords("back-rotate", "BPageRotate180", "Rotate back by 180 degrees", OnOff),
        keywords("magnetic-coercivity", "GMagCoercivity", "Coercivity",
                 {{"None", "Printer setting"}, {"LOCO", "Low (LoCo)"}, {"HICO", "High (HiCo)"}}),
        keywords("track-1-format", "GMagT1Encoding", "Track 1 format", TrackFormats),
        keywords("track-2-format", "GMagT2Encoding", "Track 2 format", TrackFormats),
        keywords("track-3-format", "GMagT3Encoding", "Track 3 format", TrackFormats),
        text("track-1-data", "Track1Data", "Track 1 data", 255),
        text("track-2-data", "Track2Data", "Track 2 data", 255),
        text("track-3-data", "Track3Data", "Track 3 data", 255),
        level("front-color-contrast", "FColorContrast", "Front colour contrast"),
        level("front-color-brightness", "FColorBrightness", "Front colour brightness"),
        level("front-black-contrast", "FMonochromeContrast", "Front black contrast"),
        level("front-overlay-contrast", "FOverlayContrast", "Front overlay contrast"),
        level("back-color-contrast", "BColorContrast", "Back colour contrast"),
        level("back-color-brightness", "BColorBrightness", "Back colour brightness"),
        level("back-black-contrast", "BMonochromeContrast", "Back black contrast"),
        level("back-overlay-contrast", "BOverlayContrast", "Back overlay contrast"),
    };
    return Settings;
}

const std::vector<OptionPairsSettingsReader::PrinterSetting>& OptionPairsSettingsReader::printerSettings()
{
    // The words are the PPD's.
    static const std::vector<PrinterSetting> Settings = {
        {"GHighQualityMode", "High quality (8-bit colour)"},
        {"ISendBlankPanel", "Send blank panels"},
        {"GSmoothing", "Smoothing"},
        {"IPostSmoothing", "Post-smoothing"},
        {"IGBlackSub", "Colour printed for black"},
        {"IFThresholdValue", "Front black threshold"},
        {"IFBlackLevelValue", "Front black level"},
        {"IFDarkLevelValue", "Front dark level"},
        {"IBThresholdValue", "Back black threshold"},
        {"IBBlackLevelValue", "Back black level"},
        {"IBDarkLevelValue", "Back dark level"},
        {"IFBlackCustom", "Front custom black picture"},
        {"IBBlackCustom", "Back custom black picture"},
        {"IFOverlayCustom", "Front custom overlay picture"},
        {"IBOverlayCustom", "Back custom overlay picture"},
        {"IGMonochromeSpeed", "Black printing speed"},
        {"GShortPanelManagement", "Short panel management"},
        {"IShortPanelShift", "Short panel shift"},
        {"GColorPanelManagement", "Colour panel management"},
        {"IColorPanelShiftXS", "Colour panel shift, start"},
        {"IColorPanelShiftXE", "Colour panel shift, end"},
        {"GMonoPanelManagement", "Black panel management"},
        {"IMonoPanelShiftXS", "Black panel shift, start"},
        {"IMonoPanelShiftXE", "Black panel shift, end"},
        {"GOverlayPanelManagement", "Overlay panel management"},
        {"IOverlayPanelShiftXS", "Overlay panel shift, start"},
        {"IOverlayPanelShiftXE", "Overlay panel shift, end"},
        {"IOverlayPanelShiftYS", "Overlay panel shift, top"},
        {"IOverlayPanelShiftYE", "Overlay panel shift, bottom"},
        {"IGSendIQLA", "Send print quality levels"},
        {"IGIQLABY", "Quality level, Yellow, level B"},
        {"IGIQLACY", "Quality level, Yellow, level C"},
        {"IGIQLABM", "Quality level, Magenta, level B"},
        {"IGIQLACM", "Quality level, Magenta, level C"},
        {"IGIQLABC", "Quality level, Cyan, level B"},
        {"IGIQLACC", "Quality level, Cyan, level C"},
        {"GInputTray", "Card input"},
        {"GOutputTray", "Card output"},
        {"GRejectBox", "Rejected cards"},
        {"GFeederCfg", "Feeder configuration"},
        {"GFeederPos", "Feeder position"},
        {"GCardPreloading", "Card preloading"},
        {"GPipeDetection", "Pipe detection"},
        {"IGStrictPageSetup", "Page size check"},
        {"IPipeDefinition", "Pipe definition"},
        {"IGTextRectErr", "Text region tolerance"},
        {"passthrough", "Passthrough commands"},
    };
    return Settings;
}

bool OptionPairsSettingsReader::isPrinterSettingValue(const std::string& setting, const std::string& value,
                                                      std::string* why)
{
    bool isListed = false;
    for (const PrinterSetting& listed : printerSettings())
        isListed = isListed || setting == listed.setting;
    if (!isListed) {
        *why = "\"" + setting.substr(0, 64) + "\" is not a printer setting";
        return false;
    }
    if (value.size() > 1024) {
        *why = setting + " is longer than 1024 characters";
        return false;
    }
    // Custom pictures are names in the picture directory.
    const bool isPicture = setting.size() > 6 && setting.compare(setting.size() - 6, 6, "Custom") == 0;
    if (isPicture && value != "None" && !tavgdi::PictureFiles::isNameInside(value.c_str())) {
        *why = setting + " names a picture outside the picture directory";
        return false;
    }
    if (value != "None" && !tavgdi::OptionsConverter::isKnownChoice(setting.c_str(), value.c_str())) {
        *why = setting + " \"" + value.substr(0, 64) + "\" is not one of its choices";
        return false;
    }
    return true;
}

std::string OptionPairsSettingsReader::vendorKeyword(const char* choice)
{
    std::string keyword = choice;
    for (char& c : keyword)
        c = c == '_' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return keyword;
}

bool OptionPairsSettingsReader::toSetting(const VendorSetting& vendor, const std::string& value, std::string* setting,
                                          std::string* why)
{
    switch (vendor.kind) {
    case VendorKind::Keyword:
        for (const VendorChoice& choice : vendor.choices) {
            if (vendorKeyword(choice.choice) != value)
                continue;
            // "None" is the filter's "no value", which it does not check.
            if (std::string(choice.choice) != "None" &&
                !tavgdi::OptionsConverter::isKnownChoice(vendor.setting, choice.choice))
                break;
            *setting = choice.choice;
            return true;
        }
        break;
    case VendorKind::Level: {
        char* end = nullptr;
        const long level = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || level < 0 || level > 20)
            break;
        char text[8];
        std::snprintf(text, sizeof text, "VAL%02ld", level);
        *setting = text;
        return true;
    }
    case VendorKind::Text:
        if (value.size() > vendor.maxLength) {
            *why = std::string(vendor.name) + " is longer than " + std::to_string(vendor.maxLength) + " characters";
            return false;
        }
        *setting = value;
        return true;
    }
    std::string shown = value.substr(0, 64);
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    *why = std::string(vendor.name) + " \"" + shown + (value.size() > 64 ? "..." : "") + "\" is not one of its choices";
    return false;
}

OptionPairsSettingsReader::OptionPairsSettingsReader(const Pairs& jobSettings, const Pairs& printerSettings)
    : printer(printerSettings)
{
    for (const auto& pair : jobSettings)
        numOptions = cupsAddOption(pair.first.c_str(), pair.second.c_str(), numOptions, &options);
    rules = std::make_unique<CupsExternalInterSettingsReader>(options, numOptions, nullptr);
}

OptionPairsSettingsReader::~OptionPairsSettingsReader()
{
    rules.reset();
    cupsFreeOptions(numOptions, options);
}

const char* OptionPairsSettingsReader::findFeature(const char* feature, int* savedPosition)
{
    return rules->findFeature(feature, savedPosition);
}

bool OptionPairsSettingsReader::readPCSettingsFromBuffer(char* multistr, int size)
{
    return rules->readPCSettingsFromBuffer(multistr, size);
}

bool OptionPairsSettingsReader::updatePCSettingsFromBuffer(char* multistr)
{
    return rules->updatePCSettingsFromBuffer(multistr);
}

dword OptionPairsSettingsReader::getMaxSize()
{
    return rules->getMaxSize();
}

const char* OptionPairsSettingsReader::findPrinterSetting(const char* keyword)
{
    if (keyword == nullptr)
        return nullptr;
    const char* value = nullptr;
    for (const auto& pair : printer)
        if (pair.first == keyword)
            value = pair.second.c_str();
    return value;
}
