#include "settings/OptionsConverter.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "COemPDEV.h"
#include "Allocator.h"
#include "GlobalFactory.h"
#include "InternalLog.h"
#include "MediaDefinition.h"
#include "input/MonoReaders.h"
#include "input/PictureFiles.h"
#include "pipeline/ExternalBufferAggregator.h"
#include "pipeline/GRect.h"
#include "pipeline/StatusReporter.h"
#include "pipeline/StdLGRectManager.h"
#include "settings/CardSizes.h"
#include "settings/IExternalInterSettingsReader.h"
#include "settings/IGDataOptions.h"
#include "settings/IPassthroughOptionsParser.h"

using namespace TavGdiOptions;

namespace tavgdi {

namespace {

// One keyword and what it stands for.
struct Keyword {
    const char* text;
    int value;
};

// The value of the first keyword value begins with; fallback when none does
// (or the value is missing).
template <size_t N>
int lookup(const char* value, const Keyword (&table)[N], int fallback)
{
    for (size_t i = 0; i < N; ++i) {
        if (OptionsConverter::matches(value, table[i].text))
            return table[i].value;
    }
    return fallback;
}

// Marks a table entry whose value is "store nothing".
const int NotStored = INT_MIN;

const Keyword BlackManagementTable[] = {
    {"ALLBLACKPOINT", BlackMgtAll},
    {"TEXTINBLACK", BlackMgtOnlyText},
    {"BMPBLACK", BlackMgtBmp},
};

const Keyword OverlayManagementTable[] = {
    {"FULLVARNISH", OverlayMgtFull},
    {"BMPVARNISH", OverlayMgtBmp},
};

const Keyword HalftoningTable[] = {
    {"THRESHOLD", ColorBWThresholding},
    {"DITHERING", ColorBWDithering},
    {"CLUSTERED_DITHERING", ColorBWClusteredDithering},
};

const Keyword InputTrayTable[] = {
    {"FEEDER", 'F'}, {"MANUAL", 'M'}, {"AUTO", 'B'}, {"BEZEL", 'I'}, {"PRINTER", 0},
};

const Keyword OutputTrayTable[] = {
    {"HOPPER", 'D'}, {"MANUAL", 'M'}, {"REAR", 'R'}, {"BEZEL", 'I'}, {"REJECT", 'K'}, {"PRINTER", 0},
};

const Keyword RejectBoxTable[] = {
    {"DEFAULTREJECT", 'D'}, {"MANUAL", 'M'}, {"HOPPER", 'R'}, {"BEZEL", 'I'}, {"REJECT", 'K'}, {"PRINTER", 0},
};

const Keyword FeederCfgTable[] = {
    {"NONE", 0},      {"AUTO", '0'},    {"ALTERNATE", 'a'}, {"FEEDER1", '1'}, {"FEEDER2", '2'}, {"FEEDER3", '3'},
    {"FEEDER4", '4'}, {"FEEDERA", 'A'}, {"FEEDERB", 'B'},   {"FEEDERC", 'C'}, {"FEEDERD", 'D'}, {"PRINTER", 0},
};

// Only the first three letters of "AUTO" are compared.
const Keyword FeederPosTable[] = {
    {"PRINTER", 0},   {"AUT", '0'},     {"FEEDERA", 'A'}, {"FEEDERB", 'B'},
    {"FEEDERC", 'C'}, {"FEEDERD", 'D'}, {"MIDDLE", 'S'},
};

const Keyword PanelManagementTable[] = {
    {"AUTO", OptionAuto},
    {"CUSTOM", OptionCustom},
};

struct DpiEntry {
    const char* text;
    int dpiX;
    int dpiY;
};

// "DPI600300" comes before "DPI600" so that it is not taken for 600 by 600.
const DpiEntry DpiTable[] = {
    {"DPI1200300", 1200, 300}, {"DPI3001200", 300, 1200}, {"DPI600300", 600, 300}, {"DPI300600", 300, 600},
    {"DPI600", 600, 600},      {"DPI300260", 300, 260},   {"DPI260300", 260, 300},
};

using FormEntry = CardSize;
const auto& FormTable = CardSizes;

// Colour ribbons: every keyword that matches replaces the code, so a longer
// keyword later in the table overrides a shorter one.
struct ColorRibbonEntry {
    const char* text;
    int code;
    bool isShortPanel;
};

const ColorRibbonEntry ColorRibbonTable[] = {
    {"RC_YMCKO", 0, false},   {"RC_YMCKOS", 3, true},    {"RC_YMCKOK", 4, false},
    {"RC_YMCKOS13", 5, true}, {"RC_YMCKOKOS", 10, true}, {"RC_YMCKOKS13", 9, true},
};

// Single-colour ribbons.
const Keyword MonoRibbonTable[] = {
    {"RM_KBLACK", 'd'},   {"RM_KWHITE", 'i'},       {"RM_KRED", 'g'},       {"RM_KGREEN", 'f'},     {"RM_KBLUE", 'e'},
    {"RM_KSCRATCH", 'l'}, {"RM_KMETALSILVER", 'k'}, {"RM_KMETALGOLD", 'j'}, {"RM_KSIGNATURE", 'r'}, {"RM_KWAX", 'p'},
    {"RM_KPREMIUM", 's'}, {"RM_HOLO", '['},         {"RM_KRMS", 't'},
};

const Keyword MagEncodingTable[] = {
    {"ISO1", 1}, {"ISO2", 2}, {"ISO3", 3}, {"SIPASS", 4}, {"C2", 5}, {"JIS2", 6}, {"C4", 7}, {"NONE", 0},
};

const Keyword MagCoercivityTable[] = {
    {"LOCO", 'l'},
    {"HICO", 'h'},
};

// Two-letter duplex modes: front kind then back kind, true for colour.
struct DuplexEntry {
    const char* text;
    bool isFrontColor;
    bool isBackColor;
};

const DuplexEntry DuplexTable[] = {
    {"DUPLEX_CC", true, true},
    {"DUPLEX_CM", true, false},
    {"DUPLEX_MC", false, true},
    {"DUPLEX_MM", false, false},
};

const DuplexEntry* findDuplex(const char* value)
{
    for (const DuplexEntry& entry : DuplexTable) {
        if (OptionsConverter::matches(value, entry.text))
            return &entry;
    }
    return nullptr;
}

const Keyword OnOffTable[] = {{"ON", 1}, {"OFF", 0}};

const Keyword MonoReaderTypeTable[] = {{"FILE", 0}, {"REG", 1}};

// "EXADVSMOOTH" smooths as "ADVSMOOTH" does, without forcing 8-bit panels.
const Keyword SmoothingTable[] = {
    {"STDSMOOTH", SmoothingStandard},
    {"ADVSMOOTH", SmoothingAdvanced},
    {"EXADVSMOOTH", SmoothingAdvanced},
};

// What a single-colour ribbon the converter does not know prints as.
const char* const UnknownSingleColourRibbon = "single-colour code 0";

// The text a value is matched against: a table entry's text, a card's name.
template <typename Entry>
const char* entryText(const Entry& entry)
{
    return entry.text;
}

const char* entryText(const CardSize& card)
{
    return card.name;
}

// True when value begins with the text of one of the table's entries.
template <typename Entry, size_t N>
bool isListed(const char* value, const Entry (&table)[N])
{
    for (const Entry& entry : table) {
        if (OptionsConverter::matches(value, entryText(entry)))
            return true;
    }
    return false;
}

// isListed for one table, where a plain function is wanted.
template <const auto& Table>
bool isListedIn(const char* value)
{
    return isListed(value, Table);
}

// The level of VALd or VALdd into `level`; false for any other value.
bool readValLevel(const char* value, int* level)
{
    if (!OptionsConverter::matches(value, "VAL"))
        return false;
    const size_t length = strlen(value);
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (length == 4 && isDigit(value[3])) {
        *level = value[3] - '0';
        return true;
    }
    if (length == 5 && isDigit(value[3]) && isDigit(value[4])) {
        *level = (value[3] - '0') * 10 + (value[4] - '0');
        return true;
    }
    return false;
}

bool isValChoice(const char* value)
{
    int level = 0;
    return readValLevel(value, &level);
}

bool isHalftoning(const char* value)
{
    // FLOYD names the error diffusion every other value falls back to.
    return isListed(value, HalftoningTable) || OptionsConverter::matches(value, "FLOYD");
}

bool isRibbon(const char* value)
{
    return isListed(value, ColorRibbonTable) || OptionsConverter::matches(value, "RM_KO") ||
           OptionsConverter::matches(value, "RM_SOKO") || isListed(value, MonoRibbonTable);
}

// A keyword setting, how to tell its choices and what a value that is none
// of them comes to (null: the ribbon's own rule).
struct Choice {
    const char* setting;
    bool (*isKnown)(const char* value);
    const char* instead;
    // The choices in full, for lists shown to people (null: too many, or
    // not a fixed list).
    std::vector<std::string> (*choices)();
};

template <const auto& Table>
std::vector<std::string> textsOf()
{
    std::vector<std::string> texts;
    for (const auto& entry : Table)
        texts.emplace_back(entryText(entry));
    return texts;
}

std::vector<std::string> valChoices()
{
    std::vector<std::string> texts;
    for (int level = 0; level <= 20; ++level)
        texts.push_back((level < 10 ? "VAL0" : "VAL") + std::to_string(level));
    return texts;
}

const Choice Choices[] = {
    // DPI300 is what CUPS's 300dpi becomes: the fallback's own name.
    {"Resolution", [](const char* v) { return isListed(v, DpiTable) || OptionsConverter::matches(v, "DPI300"); },
     "300x300 dpi", nullptr},
    {"PaperSize", [](const char* v) { return isListed(v, FormTable) || OptionsConverter::matches(v, "CRCUSTOM"); },
     "CR80", nullptr},
    {"ISendBlankPanel", isListedIn<OnOffTable>, "OFF", textsOf<OnOffTable>},
    {"GHighQualityMode", isListedIn<OnOffTable>, "OFF", textsOf<OnOffTable>},
    {"IGMonoReaderType", isListedIn<MonoReaderTypeTable>, "FILE", textsOf<MonoReaderTypeTable>},
    {"FBlackManagement", isListedIn<BlackManagementTable>, "None", textsOf<BlackManagementTable>},
    {"BBlackManagement", isListedIn<BlackManagementTable>, "None", textsOf<BlackManagementTable>},
    {"FOverlayManagement", isListedIn<OverlayManagementTable>, "None", textsOf<OverlayManagementTable>},
    {"BOverlayManagement", isListedIn<OverlayManagementTable>, "None", textsOf<OverlayManagementTable>},
    {"FPageRotate180", isListedIn<OnOffTable>, "OFF", textsOf<OnOffTable>},
    {"BPageRotate180", isListedIn<OnOffTable>, "OFF", textsOf<OnOffTable>},
    {"GRibbonType", isRibbon, nullptr, nullptr},
    {"Duplex", [](const char* v) { return OptionsConverter::matches(v, "HORIZONTAL"); }, "one-sided", nullptr},
    {"GDuplexType", isListedIn<DuplexTable>, "DUPLEX_MM", textsOf<DuplexTable>},
    {"GDuplexMode", isListedIn<DuplexTable>, "one-sided", textsOf<DuplexTable>},
    {"FHalftoning", isHalftoning, "FLOYD", textsOf<HalftoningTable>},
    {"BHalftoning", isHalftoning, "FLOYD", textsOf<HalftoningTable>},
    {"GSmoothing", isListedIn<SmoothingTable>, "None", textsOf<SmoothingTable>},
    {"IPostSmoothing", isListedIn<SmoothingTable>, "None", textsOf<SmoothingTable>},
    // Any value but OFF turns pipe detection on.
    {"GPipeDetection", isListedIn<OnOffTable>, "ON", textsOf<OnOffTable>},
    {"GInputTray", isListedIn<InputTrayTable>, "PRINTER", textsOf<InputTrayTable>},
    {"GOutputTray", isListedIn<OutputTrayTable>, "PRINTER", textsOf<OutputTrayTable>},
    {"GRejectBox", isListedIn<RejectBoxTable>, "PRINTER", textsOf<RejectBoxTable>},
    {"GFeederCfg", isListedIn<FeederCfgTable>, "PRINTER", textsOf<FeederCfgTable>},
    {"GFeederPos", isListedIn<FeederPosTable>, "PRINTER", textsOf<FeederPosTable>},
    {"GCardPreloading", isListedIn<OnOffTable>, "OFF", textsOf<OnOffTable>},
    {"FColorContrast", isValChoice, "VAL10", valChoices},
    {"BColorContrast", isValChoice, "VAL10", valChoices},
    {"FColorBrightness", isValChoice, "VAL10", valChoices},
    {"BColorBrightness", isValChoice, "VAL10", valChoices},
    {"FMonochromeContrast", isValChoice, "VAL10", valChoices},
    {"BMonochromeContrast", isValChoice, "VAL10", valChoices},
    {"FOverlayContrast", isValChoice, "VAL10", valChoices},
    {"BOverlayContrast", isValChoice, "VAL10", valChoices},
    {"GMagCoercivity", isListedIn<MagCoercivityTable>, "None", textsOf<MagCoercivityTable>},
    {"GMagT1Encoding", isListedIn<MagEncodingTable>, "NONE", textsOf<MagEncodingTable>},
    {"GMagT2Encoding", isListedIn<MagEncodingTable>, "NONE", textsOf<MagEncodingTable>},
    {"GMagT3Encoding", isListedIn<MagEncodingTable>, "NONE", textsOf<MagEncodingTable>},
    {"GShortPanelManagement", isListedIn<PanelManagementTable>, "None", textsOf<PanelManagementTable>},
    {"GColorPanelManagement", isListedIn<PanelManagementTable>, "None", textsOf<PanelManagementTable>},
    {"GMonoPanelManagement", isListedIn<PanelManagementTable>, "None", textsOf<PanelManagementTable>},
    {"GOverlayPanelManagement", isListedIn<PanelManagementTable>, "None", textsOf<PanelManagementTable>},
    {"IGSendSpoolerSession", isListedIn<OnOffTable>, "OFF", textsOf<OnOffTable>},
    {"IGSendPrintStatusDisableMode", isListedIn<OnOffTable>, "OFF", textsOf<OnOffTable>},
    // Any value but OFF refuses pages that do not fit the card.
    {"IGStrictPageSetup", isListedIn<OnOffTable>, "ON", textsOf<OnOffTable>},
    {"IGSendIQLA", isListedIn<OnOffTable>, "OFF", textsOf<OnOffTable>},
    {"IGIQLABY", isValChoice, "VAL10", valChoices},
    {"IGIQLACY", isValChoice, "VAL10", valChoices},
    {"IGIQLABM", isValChoice, "VAL10", valChoices},
    {"IGIQLACM", isValChoice, "VAL10", valChoices},
    {"IGIQLABC", isValChoice, "VAL10", valChoices},
    {"IGIQLACC", isValChoice, "VAL10", valChoices},
    {"IGMonochromeSpeed", isValChoice, "VAL10", valChoices},
};

// A job value as a warning shows it: at most so many bytes, cut before a
// character (not inside one of UTF-8), so that the warning stays one line
// CUPS reads whole.
std::string shownValue(const char* value)
{
    const size_t MaxShown = 64;
    const size_t length = strlen(value);
    if (length <= MaxShown)
        return value;
    size_t cut = MaxShown;
    while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80)
        --cut;
    return std::string(value, cut) + "...";
}

// Text-region numbers never go beyond the int range the rectangle takes.
const dword MaxRegionNumber = static_cast<dword>(INT_MAX);
// Beyond this place value any non-zero digit saturates the number.
const uint64_t MaxRegionExponent = 10000000000ULL;

const byte EscByte = 0x1B;
const byte CrByte = 0x0D;

// What a magnetic track format can hold: at most `maxLength` characters
// between `lowest` and `highest`.
struct TrackFormat {
    int value; // MagEncodingTrackN
    const char* name;
    size_t maxLength;
    unsigned char lowest;
    unsigned char highest;
    const char* characters;
};

const TrackFormat IsoFormats[] = {
    {1, "ISO1", 79, 0x20, 0x5F, "blanks, digits, upper-case letters and punctuation (0x20 to 0x5F)"},
    {2, "ISO2", 40, 0x30, 0x3F, "digits and the signs : ; < = > ? (0x30 to 0x3F)"},
    {3, "ISO3", 107, 0x30, 0x3F, "digits and the signs : ; < = > ? (0x30 to 0x3F)"},
};

std::string byteText(unsigned char c)
{
    char text[16];
    if (c >= 0x20 && c < 0x7F)
        snprintf(text, sizeof(text), "'%c'", c);
    else
        snprintf(text, sizeof(text), "0x%02X", c);
    return text;
}

} // namespace

// Why `value` cannot be written on magnetic track `track` (1 to 3) in the
// format `format` (a MagEncodingTrackN value), or an empty text when it can.
// Control bytes would end the printer's command early and start another one,
// whatever the format. The ISO formats' length and character rules are
// checked when the job chose one of them; without a chosen format (0) the
// printer keeps whatever it was set to, and that and the other formats are
// the printer's to check.
std::string magTrackFault(int track, int format, const char* value, size_t length)
{
    const std::string name = "Track " + std::to_string(track) + " data";
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(value[i]);
        if (c < 0x20 || c == 0x7F)
            return name + " holds the control byte " + byteText(c) + " at position " + std::to_string(i + 1) +
                   ", which would break the printer commands";
    }
    for (const TrackFormat& iso : IsoFormats) {
        if (iso.value != format)
            continue;
        if (length > iso.maxLength)
            return name + " has " + std::to_string(length) + " characters, more than the " +
                   std::to_string(iso.maxLength) + " the " + iso.name + " format holds";
        for (size_t i = 0; i < length; ++i) {
            const unsigned char c = static_cast<unsigned char>(value[i]);
            if (c < iso.lowest || c > iso.highest)
                return name + " holds " + byteText(c) + " at position " + std::to_string(i + 1) + ", which the " +
                       iso.name + " format cannot encode (it takes " + iso.characters + ")";
        }
    }
    return std::string();
}

byte hexCharToByte(char c)
{
    if (c >= '1' && c <= '9')
        return static_cast<byte>(c - '0');
    if (c >= 'A' && c <= 'F')
        return static_cast<byte>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f')
        return static_cast<byte>(c - 'a' + 10);
    return 0;
}

byte hexChar2ToByte(char c1, char c0)
{
    return static_cast<byte>(hexCharToByte(c1) * 16 + hexCharToByte(c0));
}

OptionsConverter::OptionsConverter(IGDataOptions* docOptions, IGDataOptions* cardOptions,
                                   IGDataOptions* frontFaceOptions, IGDataOptions* backFaceOptions,
                                   ExternalBufferAggregator* aggregator, StdLGRectManager* rectManager,
                                   MonoReaders* monochromeReaders, PDEVOBJ pDevObj, IPrintOemDriverUni* helper,
                                   StatusReporter& status)
    : docOptions(docOptions), cardOptions(cardOptions), frontFaceOptions(frontFaceOptions),
      backFaceOptions(backFaceOptions), pDevObj(pDevObj), helper(helper), aggregator(aggregator),
      rectManager(rectManager), monochromeReaders(monochromeReaders), status(status)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +OptionsConverter (%lx) \tDependancy: IGDataOptions(%lx), "
                       L"IGDataOptions(%lx), IGDataOptions(%lx), IGDataOptions(%lx), ExternalBufferAggregator(%lx), "
                       L"StdLGRectManager(%lx), MonoReaders(%lx), PDEVOBJ(%lx), IPrintOemDriverUni(%lx)\r\n",
                       LOGPTR(this), LOGPTR(docOptions), LOGPTR(cardOptions), LOGPTR(frontFaceOptions),
                       LOGPTR(backFaceOptions), LOGPTR(aggregator), LOGPTR(rectManager), LOGPTR(monochromeReaders),
                       LOGPTR(pDevObj), LOGPTR(helper));
}

OptionsConverter::~OptionsConverter()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -OptionsConverter (%lx)\r\n", LOGPTR(this));
}

// ---------------------------------------------------------------------------
// Helpers

bool OptionsConverter::matches(const char* value, const char* keyword)
{
    if (value == nullptr || keyword == nullptr)
        return false;
    return strncmp(value, keyword, strlen(keyword)) == 0;
}

int OptionsConverter::valLevel(const char* value)
{
    int level = 10;
    return readValLevel(value, &level) ? level : 10;
}

int OptionsConverter::toInt(const char* value)
{
    if (value == nullptr)
        return 0;
    const char* p = value;
    while (isspace(static_cast<unsigned char>(*p)))
        ++p;
    bool isNegative = false;
    if (*p == '+' || *p == '-') {
        isNegative = (*p == '-');
        ++p;
    }
    // Saturates at the int range instead of overflowing.
    const long long limit = static_cast<long long>(INT_MAX) + 1;
    long long result = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        result = result * 10 + (*p - '0');
        if (result > limit)
            result = limit;
    }
    if (isNegative)
        return static_cast<int>(-result);
    return result > INT_MAX ? INT_MAX : static_cast<int>(result);
}

void OptionsConverter::setBothFaces(Keys key, int value)
{
    frontFaceOptions->setOption(key, value);
    backFaceOptions->setOption(key, value);
}

void OptionsConverter::setFaceKind(IGDataOptions* face, bool isColor)
{
    face->setOption(OutputDeviceType, isColor ? DeviceColor : DeviceMonochrome);
    face->setOption(ColorToMonochrome, isColor ? NoValue : ColorBWFloyd);
}

IGDataOptions* OptionsConverter::faceOptions(bool isRelatedToFrontSide)
{
    return isRelatedToFrontSide ? frontFaceOptions : backFaceOptions;
}

bool OptionsConverter::existsNullOptionManager()
{
    return docOptions == nullptr || cardOptions == nullptr || frontFaceOptions == nullptr || backFaceOptions == nullptr;
}

const char* OptionsConverter::loadOptionValue(const char* feature, IExternalInterSettingsReader* externalSettings,
                                              char* /*strContener*/)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][OptionsConverter::loadOptionValue] (%S)\r\n", feature);
    if (externalSettings != nullptr && feature != nullptr) {
        const char* value = externalSettings->findFeature(feature, nullptr);
        if (value != nullptr) {
            InternalLog::print(L"[TAVRIN UNIDRIVER][OptionsConverter::loadOptionValue] Read setting (%S) from "
                               L"ExternalInterSettings\r\n",
                               feature);
            return value;
        }
    }
    InternalLog::print(L"[TAVRIN UNIDRIVER][OptionsConverter::loadOptionValue] Setting (%S) not found\r\n", feature);
    return nullptr;
}

std::vector<std::string> OptionsConverter::choicesOf(const char* setting)
{
    for (const Choice& choice : Choices) {
        if (setting == nullptr || strcmp(choice.setting, setting) != 0 || choice.choices == nullptr)
            continue;
        std::vector<std::string> choices = choice.choices();
        if (choice.instead != nullptr && strcmp(choice.instead, "None") == 0)
            choices.insert(choices.begin(), "None");
        return choices;
    }
    return {};
}

bool OptionsConverter::isKnownChoice(const char* setting, const char* value)
{
    if (setting == nullptr || value == nullptr)
        return false;
    for (const Choice& choice : Choices)
        if (strcmp(choice.setting, setting) == 0)
            return choice.isKnown(value);
    return true;
}

void OptionsConverter::checkChoice(const char* setting, const char* value)
{
    if (setting == nullptr || value == nullptr)
        return;
    if (isKnownChoice(setting, value))
        return;
    for (const Choice& choice : Choices) {
        if (strcmp(choice.setting, setting) != 0)
            continue;
        const char* instead = choice.instead;
        if (instead == nullptr)
            instead = matches(value, "RM_") ? UnknownSingleColourRibbon : ColorRibbonTable[0].text;
        status.warning(std::string(setting) + ": \"" + shownValue(value) + "\" is not one of its choices; " + instead +
                       " is used instead");
        return;
    }
}

void OptionsConverter::checkTextInBlack(bool isRelatedToFrontSide)
{
    if (faceOptions(isRelatedToFrontSide)->getOption(BlackManagement) != BlackMgtOnlyText ||
        textRegionCount[isRelatedToFrontSide ? 0 : 1] > 0)
        return;
    // A one-sided job prints no back face.
    if (!isRelatedToFrontSide && cardOptions->getOption(TwoSidedMode) != TavGdiOptions::Duplex)
        return;
    status.warning(std::string(isRelatedToFrontSide ? "FBlackManagement" : "BBlackManagement") +
                   " is TEXTINBLACK but the job gives no text region for the " +
                   (isRelatedToFrontSide ? "front" : "back") +
                   ": no text was extracted to the black panel (the regions are set with " +
                   (isRelatedToFrontSide ? "IFTextRegion" : "IBTextRegion") + ")");
}

std::string OptionsConverter::describeJob()
{
    if (existsNullOptionManager())
        return std::string();
    const bool isTwoSided = cardOptions->getOption(TwoSidedMode) == TavGdiOptions::Duplex;

    std::string card;
    const int width = frontFaceOptions->getOption(PaperSizeW);
    const int height = frontFaceOptions->getOption(PaperSizeH);
    if (frontFaceOptions->getOption(PaperSizeCustom) != OptionTrue) {
        for (const FormEntry& entry : FormTable) {
            if (static_cast<int>(entry.width) == width && static_cast<int>(entry.height) == height) {
                card = entry.name;
                break;
            }
        }
    }
    if (card.empty()) {
        // Card sizes are dots at 300 dpi; tenths of a millimetre read better.
        const auto mm = [](int dots) {
            const long long tenths = (static_cast<long long>(dots) * 254 + 150) / 300;
            return std::to_string(tenths / 10) + "." + std::to_string(std::llabs(tenths % 10));
        };
        card = "custom " + mm(width) + "x" + mm(height) + " mm";
    }

    const auto faceKind = [this](bool isFront) {
        return faceOptions(isFront)->getOption(OutputDeviceType) == DeviceColor ? "colour" : "monochrome";
    };
    const auto black = [this](bool isFront) -> std::string {
        switch (faceOptions(isFront)->getOption(BlackManagement)) {
        case BlackMgtAll:
            return "all black dots";
        case BlackMgtOnlyText:
            return "text regions (" + std::to_string(textRegionCount[isFront ? 0 : 1]) + ")";
        case BlackMgtBmp:
            return "picture";
        default:
            return "none";
        }
    };
    const auto overlay = [this](bool isFront) -> std::string {
        switch (faceOptions(isFront)->getOption(OverlayManagement)) {
        case OverlayMgtFull:
            return "full";
        case OverlayMgtBmp:
            return "picture";
        default:
            return "none";
        }
    };
    const auto perFace = [isTwoSided](const std::string& front, const std::string& back) {
        return isTwoSided ? "front " + front + ", back " + back : front;
    };

    std::string tracks;
    for (int track = 0; track < 3; ++track) {
        if (hasTrackData[track])
            tracks += (tracks.empty() ? "" : ", ") + std::to_string(track + 1);
    }

    std::string text = "Card " + card + " at " + std::to_string(frontFaceOptions->getOption(DpiX)) + "x" +
                       std::to_string(frontFaceOptions->getOption(DpiY)) + " dpi, ribbon " +
                       (ribbonName.empty() ? ColorRibbonTable[0].text : ribbonName) + ", ";
    text += isTwoSided ? std::string("two-sided (front ") + faceKind(true) + ", back " + faceKind(false) + ")"
                       : std::string("one-sided");
    text += ", black: " + perFace(black(true), black(false));
    text += ", overlay: " + perFace(overlay(true), overlay(false));
    text += ", tracks: " + (tracks.empty() ? std::string("none") : tracks);
    return text;
}

bool OptionsConverter::loadDelimStringFromRegistry(void*, wchar_t*, wchar_t*)
{
    return false;
}

// ---------------------------------------------------------------------------
// The conversion

bool OptionsConverter::convert()
{
    IExternalInterSettingsReader* settings = nullptr;
    if (pDevObj != nullptr && pDevObj->pdevOEM != nullptr)
        settings = pDevObj->pdevOEM->interSettings;

    if (existsNullOptionManager())
        return false;

    int copyCount = 1;
    PDEVMODE devMode = pDevObj != nullptr ? pDevObj->pPublicDM : nullptr;
    InternalLog::print(L"[TAVRIN UNIDRIVER][OptionsConverter::convert] Copy Count - DevMode: %lx\r\n", LOGPTR(devMode));
    if (devMode != nullptr) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][OptionsConverter::convert] Copy Count - dmCopies: %d\r\n",
                           static_cast<int>(devMode->dmCopies));
        if (devMode->dmCopies >= 1)
            copyCount = devMode->dmCopies;
    }
    cardOptions->setOption(CopyCount, copyCount);

    bool rv = true;
    auto load = [this, settings](const char* name) {
        const char* value = loadOptionValue(name, settings, nullptr);
        checkChoice(name, value);
        return value;
    };

    updateDpiOptions(load("Resolution"), &rv);
    updateFormNameOptions(load("PaperSize"), &rv);
    updateFormCustomValue(load("IFormCustomWidth"), &rv, true);
    updateFormCustomValue(load("IFormCustomHeight"), &rv, false);
    updateSendBlankPanelOptions(load("ISendBlankPanel"), &rv);
    updateQualityModeOptions(load("GHighQualityMode"), &rv);
    updateMonoReaderTypeOptions(load("IGMonoReaderType"), &rv);
    updatePictureDirectory(settings);
    updateBlackManagementOptions(load("FBlackManagement"), &rv, true);
    updateBlackManagementOptions(load("BBlackManagement"), &rv, false);
    updateCustomBlackBitmapOptions(load("IFBlackCustom"), &rv, true);
    updateCustomBlackBitmapOptions(load("IBBlackCustom"), &rv, false);
    updateOverlayManagementOptions(load("FOverlayManagement"), &rv, true);
    updateOverlayManagementOptions(load("BOverlayManagement"), &rv, false);
    updateCustomOverlayBitmapOptions(load("IFOverlayCustom"), &rv, true);
    updateCustomOverlayBitmapOptions(load("IBOverlayCustom"), &rv, false);
    updatePageRotationOptions(load("FPageRotate180"), &rv, true);
    updatePageRotationOptions(load("BPageRotate180"), &rv, false);
    updateRibbonTypeOptions(load("GRibbonType"), &rv);
    {
        const char* duplex = load("Duplex");
        const char* duplexType = load("GDuplexType");
        const char* duplexMode = load("GDuplexMode");
        updateDuplexModeOptions(duplex, duplexType, duplexMode, &rv);
    }
    updateHalftoningOptions(load("FHalftoning"), &rv, true);
    updateHalftoningOptions(load("BHalftoning"), &rv, false);
    updateSmoothingOptions(load("GSmoothing"), true, &rv);
    updateSmoothingOptions(load("IPostSmoothing"), false, &rv);
    updateInputTrayOptions(load("GInputTray"), &rv);
    updateOutputTrayOptions(load("GOutputTray"), &rv);
    updateRejectBoxOptions(load("GRejectBox"), &rv);
    updateFeederCfgOptions(load("GFeederCfg"), &rv);
    updateFeederPosOptions(load("GFeederPos"), &rv);
    updateCardPreloadingOptions(load("GCardPreloading"), &rv);
    updateValueOptions(load("FColorContrast"), ColorConstrast, &rv, true);
    updateValueOptions(load("BColorContrast"), ColorConstrast, &rv, false);
    updateValueOptions(load("FColorBrightness"), ColorLuminosity, &rv, true);
    updateValueOptions(load("BColorBrightness"), ColorLuminosity, &rv, false);
    updateValueOptions(load("FMonochromeContrast"), MonochromeContrast, &rv, true);
    updateValueOptions(load("BMonochromeContrast"), MonochromeContrast, &rv, false);
    updateValueOptions(load("FOverlayContrast"), OverlayContrast, &rv, true);
    updateValueOptions(load("BOverlayContrast"), OverlayContrast, &rv, false);
    updateThresholdOptions(load("IFThresholdValue"), &rv, ThresholdValue, true);
    updateThresholdOptions(load("IFBlackLevelValue"), &rv, BlackLevelValue, true);
    updateThresholdOptions(load("IFDarkLevelValue"), &rv, DarkLevelValue, true);
    updateThresholdOptions(load("IBThresholdValue"), &rv, ThresholdValue, false);
    updateThresholdOptions(load("IBBlackLevelValue"), &rv, BlackLevelValue, false);
    updateThresholdOptions(load("IBDarkLevelValue"), &rv, DarkLevelValue, false);
    updateTextRegionOptions(load("IFTextRegion"), &rv, true);
    updateTextRegionOptions(load("IBTextRegion"), &rv, false);
    checkTextInBlack(true);
    checkTextInBlack(false);
    updatePipeDetectionOptions(load("GPipeDetection"), &rv);
    updatePipeDefinitionOptions(load("IPipeDefinition"), &rv);
    updateMagCoercivityOptions(load("GMagCoercivity"), &rv);
    updateMagEncodingOptions(load("GMagT1Encoding"), 1, &rv);
    updateMagEncodingOptions(load("GMagT2Encoding"), 2, &rv);
    updateMagEncodingOptions(load("GMagT3Encoding"), 3, &rv);
    updatePanelManagementOptions(load("GShortPanelManagement"), ShortPanelManagement, &rv);
    updatePanelShiftOptions(load("IShortPanelShift"), ShortPanelGlobalShift, 3, &rv);
    updatePanelManagementOptions(load("GColorPanelManagement"), ColorPanelManagement, &rv);
    updatePanelShiftOptions(load("IColorPanelShiftXS"), ColorPanelGlobalShiftXS, 3, &rv);
    updatePanelShiftOptions(load("IColorPanelShiftXE"), ColorPanelGlobalShiftXE, 3, &rv);
    updatePanelManagementOptions(load("GMonoPanelManagement"), MonoPanelManagement, &rv);
    updatePanelShiftOptions(load("IMonoPanelShiftXS"), MonoPanelGlobalShiftXS, 3, &rv);
    updatePanelShiftOptions(load("IMonoPanelShiftXE"), MonoPanelGlobalShiftXE, 3, &rv);
    updatePanelManagementOptions(load("GOverlayPanelManagement"), OverlayPanelManagement, &rv);
    updatePanelShiftOptions(load("IOverlayPanelShiftXS"), OverlayPanelGlobalShiftXS, 3, &rv);
    updatePanelShiftOptions(load("IOverlayPanelShiftXE"), OverlayPanelGlobalShiftXE, 3, &rv);
    updatePanelShiftOptions(load("IOverlayPanelShiftYS"), OverlayPanelGlobalShiftYS, 3, &rv);
    updatePanelShiftOptions(load("IOverlayPanelShiftYE"), OverlayPanelGlobalShiftYE, 3, &rv);
    updateTextRectangleErrOptions(load("IGTextRectErr"), &rv);
    updateSendSpoolSessionOptions(load("IGSendSpoolerSession"), &rv);
    updateSendPrintStatusDisableModeOptions(load("IGSendPrintStatusDisableMode"), &rv);
    updateInternalStrictPageSetup(load("IGStrictPageSetup"), &rv);
    updateSendIqlaOptions(load("IGSendIQLA"), &rv);
    updateIqlaxValueOptions(load("IGIQLABY"), Iqlaby, &rv);
    updateIqlaxValueOptions(load("IGIQLACY"), Iqlacy, &rv);
    updateIqlaxValueOptions(load("IGIQLABM"), Iqlabm, &rv);
    updateIqlaxValueOptions(load("IGIQLACM"), Iqlacm, &rv);
    updateIqlaxValueOptions(load("IGIQLABC"), Iqlabc, &rv);
    updateIqlaxValueOptions(load("IGIQLACC"), Iqlacc, &rv);
    updatePassthrough(load("passthrough"), &rv);
    updatePassthrough(load("RawData"), &rv);
    updateMagData(settings, &rv);
    updateBlackSubsStrategyOptions(load("IGBlackSub"), &rv);
    updateMonochromeSpeedValueOptions(load("IGMonochromeSpeed"), MonochromeSpeed, &rv);
    return true;
}

// ---------------------------------------------------------------------------
// General options

void OptionsConverter::updateSendBlankPanelOptions(const char* gpdOption, bool*)
{
    if (gpdOption == nullptr) {
        InternalLog::print(
            L"[TAVRIN UNIDRIVER][OptionsConverter::updateSendBlankPanelOptions] BlankPanelOption: NULL\r\n");
        return;
    }
    InternalLog::print(L"[TAVRIN UNIDRIVER][OptionsConverter::updateSendBlankPanelOptions] BlankPanelOption: %S\r\n",
                       gpdOption);
    if (matches(gpdOption, "ON"))
        setBothFaces(SendBlankPanel, OptionTrue);
}

void OptionsConverter::updateQualityModeOptions(const char* gpdOption, bool*)
{
    setBothFaces(DbFormatOut, matches(gpdOption, "ON") ? DbFormat8bit : DbFormat7bit);
}

void OptionsConverter::updateMonoReaderTypeOptions(const char* gpdOption, bool*)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][OptionsConverter::updateMonoReaderTypeOptions] MonoReaderType: %S\r\n",
                       gpdOption != nullptr ? gpdOption : "REG");
    if (gpdOption == nullptr || monochromeReaders == nullptr)
        return;
    if (matches(gpdOption, "FILE"))
        monochromeReaders->changeType(TavFactory::FileMonoReader);
    else if (matches(gpdOption, "REG"))
        monochromeReaders->changeType(TavFactory::RegMonoReader);
}

void OptionsConverter::updatePictureDirectory(IExternalInterSettingsReader* externalSettings)
{
    if (monochromeReaders == nullptr)
        return;
    const char* source = "environment";
    const char* directory = getenv(PictureFiles::DirectoryVariable);
    if (directory == nullptr || directory[0] == '\0') {
        source = "PPD";
        directory = externalSettings != nullptr ? externalSettings->findPrinterSetting(PictureFiles::DirectoryKeyword)
                                                : nullptr;
    }
    if (directory == nullptr || directory[0] == '\0') {
        source = "working directory";
        directory = "";
    }
    InternalLog::print(L"[TAVRIN UNIDRIVER][OptionsConverter::updatePictureDirectory] Picture directory (%S): %S\r\n",
                       source, directory);
    monochromeReaders->setPictureDirectory(directory);
}

void OptionsConverter::updateBlackManagementOptions(const char* gpdOption, bool*, bool isRelatedToFrontSide)
{
    const int value = lookup(gpdOption, BlackManagementTable, NotStored);
    if (value != NotStored)
        faceOptions(isRelatedToFrontSide)->setOption(BlackManagement, value);
}

void OptionsConverter::updateCustomBlackBitmapOptions(const char* gpdOption, bool*, bool isRelatedToFrontSide)
{
    if (monochromeReaders == nullptr)
        return;
    void* hPrinter = pDevObj != nullptr ? pDevObj->hPrinter : nullptr;
    if (isRelatedToFrontSide)
        monochromeReaders->set(hPrinter, gpdOption != nullptr ? gpdOption : "black",
                               MonoReaders::BlackMonochromeReaderFront);
    else
        monochromeReaders->set(hPrinter, gpdOption != nullptr ? gpdOption : "backBlack",
                               MonoReaders::BlackMonochromeReaderBack);
}

void OptionsConverter::updateOverlayManagementOptions(const char* gpdOption, bool*, bool isRelatedToFrontSide)
{
    const int value = lookup(gpdOption, OverlayManagementTable, NotStored);
    if (value != NotStored)
        faceOptions(isRelatedToFrontSide)->setOption(OverlayManagement, value);
}

void OptionsConverter::updateCustomOverlayBitmapOptions(const char* gpdOption, bool*, bool isRelatedToFrontSide)
{
    if (monochromeReaders == nullptr)
        return;
    void* hPrinter = pDevObj != nullptr ? pDevObj->hPrinter : nullptr;
    if (isRelatedToFrontSide)
        monochromeReaders->set(hPrinter, gpdOption != nullptr ? gpdOption : "overlay",
                               MonoReaders::OverlayMonochromeReaderFront);
    else
        monochromeReaders->set(hPrinter, gpdOption != nullptr ? gpdOption : "backOverlay",
                               MonoReaders::OverlayMonochromeReaderBack);
}

void OptionsConverter::updatePageRotationOptions(const char* gpdOption, bool*, bool isRelatedToFrontSide)
{
    if (matches(gpdOption, "ON"))
        faceOptions(isRelatedToFrontSide)->setOption(Rotate180, OptionTrue);
}

void OptionsConverter::updateHalftoningOptions(const char* gpdOption, bool*, bool isRelatedToFrontSide)
{
    faceOptions(isRelatedToFrontSide)->setOption(ColorToMonochrome, lookup(gpdOption, HalftoningTable, ColorBWFloyd));
}

void OptionsConverter::updateSmoothingOptions(const char* gpdOption, bool isStandardOption, bool*)
{
    const int value = lookup(gpdOption, SmoothingTable, NotStored);
    if (value != NotStored)
        setBothFaces(isStandardOption ? Smoothing : PostSmoothing, value);
    if (matches(gpdOption, "ADVSMOOTH"))
        setBothFaces(DbFormatOut, DbFormat8bit);
}

void OptionsConverter::updateInputTrayOptions(const char* gpdOption, bool*)
{
    docOptions->setOption(InsertionMode, lookup(gpdOption, InputTrayTable, 0));
}

void OptionsConverter::updateOutputTrayOptions(const char* gpdOption, bool*)
{
    docOptions->setOption(EjectionMode, lookup(gpdOption, OutputTrayTable, 0));
}

void OptionsConverter::updateRejectBoxOptions(const char* gpdOption, bool*)
{
    docOptions->setOption(RejectionMode, lookup(gpdOption, RejectBoxTable, 0));
}

void OptionsConverter::updateFeederCfgOptions(const char* gpdOption, bool*)
{
    docOptions->setOption(FeederCfgMode, lookup(gpdOption, FeederCfgTable, 0));
}

void OptionsConverter::updateFeederPosOptions(const char* gpdOption, bool*)
{
    docOptions->setOption(FeederPosMode, lookup(gpdOption, FeederPosTable, 0));
}

void OptionsConverter::updateCardPreloadingOptions(const char* gpdOption, bool*)
{
    docOptions->setOption(CardPreloading, 'D');
    if (matches(gpdOption, "ON"))
        docOptions->setOption(CardPreloading, 'E');
}

void OptionsConverter::updateValueOptions(const char* gpdOption, Keys optionKey, bool*, bool isRelatedToFrontSide)
{
    faceOptions(isRelatedToFrontSide)->setOption(optionKey, valLevel(gpdOption));
}

void OptionsConverter::updateThresholdOptions(const char* gpdOption, bool*, Keys optionKey, bool isRelatedToFrontSide)
{
    int defaultValue = 128;
    if (optionKey == BlackLevelValue)
        defaultValue = 249;
    else if (optionKey == DarkLevelValue)
        defaultValue = 200;

    int level = gpdOption != nullptr ? toInt(gpdOption) : -1;
    if (level < 0 || (level == 0 && optionKey != DarkLevelValue))
        level = defaultValue;
    faceOptions(isRelatedToFrontSide)->setOption(optionKey, level);
}

void OptionsConverter::updatePipeDetectionOptions(const char* gpdOption, bool*)
{
    if (gpdOption != nullptr && !matches(gpdOption, "OFF"))
        docOptions->setOption(PipeDetection, OptionTrue);
}

void OptionsConverter::updatePipeDefinitionOptions(const char*, bool*)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][OptionsConverter::updatePipeDefinitionOptions]");
}

void OptionsConverter::updatePanelManagementOptions(const char* gpdOption, Keys optionKey, bool*)
{
    const int value = lookup(gpdOption, PanelManagementTable, NotStored);
    if (value != NotStored)
        setBothFaces(optionKey, value);
}

void OptionsConverter::updatePanelShiftOptions(const char* gpdOption, Keys optionKey, int defaultValue, bool*)
{
    setBothFaces(optionKey, gpdOption != nullptr ? toInt(gpdOption) : defaultValue);
}

void OptionsConverter::updateTextRectangleErrOptions(const char* gpdOption, bool*)
{
    int value = 2;
    if (gpdOption != nullptr) {
        const int number = toInt(gpdOption);
        if (number >= 0 && number <= 20)
            value = number;
    }
    docOptions->setOption(TextRectErr, value);
}

void OptionsConverter::updateSendSpoolSessionOptions(const char* gpdOption, bool*)
{
    docOptions->setOption(SendSpoolSession, gpdOption == nullptr || matches(gpdOption, "ON") ? 1 : 0);
}

void OptionsConverter::updateSendPrintStatusDisableModeOptions(const char* gpdOption, bool*)
{
    docOptions->setOption(SendPrintStatusDisableMode, matches(gpdOption, "ON") ? 1 : 0);
}

void OptionsConverter::updateMonochromeSpeedValueOptions(const char* gpdOption, Keys optionKey, bool*)
{
    docOptions->setOption(optionKey, valLevel(gpdOption));
}

// ---------------------------------------------------------------------------
// Resolution, card size, ribbon, two-sided mode, strict page setup

void OptionsConverter::updateDpiOptions(const char* gpdOption, bool*)
{
    int dpiX = 300;
    int dpiY = 300;
    for (const DpiEntry& entry : DpiTable) {
        if (matches(gpdOption, entry.text)) {
            dpiX = entry.dpiX;
            dpiY = entry.dpiY;
            break;
        }
    }
    setBothFaces(DpiX, dpiX);
    setBothFaces(DpiY, dpiY);
}

void OptionsConverter::updateFormNameOptions(const char* gpdOption, bool*)
{
    setBothFaces(PaperSizeCustom, 0);
    dword width = MediaDefinition::CR80Width;
    dword height = MediaDefinition::CR80Height;
    bool isFound = false;
    for (const FormEntry& entry : FormTable) {
        if (matches(gpdOption, entry.name)) {
            width = entry.width;
            height = entry.height;
            isFound = true;
            break;
        }
    }
    if (!isFound && matches(gpdOption, "CRCUSTOM"))
        setBothFaces(PaperSizeCustom, OptionTrue);
    setBothFaces(PaperSizeW, static_cast<int>(width));
    setBothFaces(PaperSizeH, static_cast<int>(height));
}

void OptionsConverter::updateFormCustomValue(const char* gpdOption, bool*, bool isRelatedToWidth)
{
    if (gpdOption == nullptr)
        return;
    const Keys key = isRelatedToWidth ? PaperSizeW : PaperSizeH;
    IGDataOptions* faces[] = {frontFaceOptions, backFaceOptions};
    for (IGDataOptions* face : faces) {
        if (face->getOption(PaperSizeCustom) == OptionTrue)
            face->setOption(key, toInt(gpdOption));
    }
}

void OptionsConverter::updateRibbonTypeOptions(const char* gpdOption, bool*)
{
    int code = 0;
    // Code 0 of a colour ribbon is YMCKO.
    ribbonName = ColorRibbonTable[0].text;
    if (gpdOption == nullptr) {
        setFaceKind(frontFaceOptions, true);
        setFaceKind(backFaceOptions, true);
    } else if (matches(gpdOption, "RC_")) {
        setFaceKind(frontFaceOptions, true);
        setFaceKind(backFaceOptions, true);
        for (const ColorRibbonEntry& entry : ColorRibbonTable) {
            if (matches(gpdOption, entry.text)) {
                code = entry.code;
                ribbonName = entry.text;
                if (entry.isShortPanel)
                    setBothFaces(ShortPanelManagement, OptionAuto);
            }
        }
    } else if (matches(gpdOption, "RM_KO")) {
        setFaceKind(frontFaceOptions, false);
        setFaceKind(backFaceOptions, false);
        code = 1;
        ribbonName = "RM_KO";
    } else if (matches(gpdOption, "RM_SOKO")) {
        setFaceKind(frontFaceOptions, false);
        setFaceKind(backFaceOptions, false);
        code = 12;
        ribbonName = "RM_SOKO";
    } else if (!matches(gpdOption, "RM_")) {
        setFaceKind(frontFaceOptions, true);
        setFaceKind(backFaceOptions, true);
    } else {
        // Single-colour ribbons carry no overlay panel.
        setFaceKind(frontFaceOptions, false);
        setFaceKind(backFaceOptions, false);
        setBothFaces(OverlayManagement, 0);
        ribbonName = UnknownSingleColourRibbon;
        for (const Keyword& entry : MonoRibbonTable) {
            if (matches(gpdOption, entry.text)) {
                code = entry.value;
                ribbonName = entry.text;
                break;
            }
        }
    }
    docOptions->setOption(RibbonType, code);
}

void OptionsConverter::updateDuplexModeOptions(const char* gpdOption, const char* gpdOption1, const char* gpdOption2,
                                               bool*)
{
    if (gpdOption2 != nullptr) {
        // GDuplexMode decides alone.
        const DuplexEntry* mode = findDuplex(gpdOption2);
        if (mode == nullptr)
            return;
        cardOptions->setOption(TwoSidedMode, TavGdiOptions::Duplex);
        setFaceKind(frontFaceOptions, mode->isFrontColor);
        setFaceKind(backFaceOptions, mode->isBackColor);
        return;
    }
    if (!matches(gpdOption, "HORIZONTAL"))
        return;
    cardOptions->setOption(TwoSidedMode, TavGdiOptions::Duplex);
    if (gpdOption1 == nullptr) {
        // No face kinds given: each face keeps the kind the ribbon gave it.
        return;
    }
    const DuplexEntry* type = findDuplex(gpdOption1);
    const bool isFrontColor = type != nullptr && type->isFrontColor;
    const bool isBackColor = type != nullptr && type->isBackColor;
    setFaceKind(frontFaceOptions, isFrontColor);
    setFaceKind(backFaceOptions, isBackColor);
}

void OptionsConverter::updateInternalStrictPageSetup(const char* gpdOption, bool*)
{
    if (gpdOption == nullptr || matches(gpdOption, "OFF"))
        setBothFaces(StrictPageSetup, StretchImage);
}

// ---------------------------------------------------------------------------
// Text regions

void OptionsConverter::addTextRegion(const dword coord[4], byte blackLevel, bool isRelatedToFrontSide,
                                     bool isClosedBySeparator)
{
    // Numbers are assigned from the right: B, R, T, L.
    dword bottom = coord[0];
    const dword right = coord[1];
    dword top = coord[2];
    const dword left = coord[3];

    const int dpiX = faceOptions(isRelatedToFrontSide)->getOption(DpiX);
    if (dpiX == 600 || dpiX == 1200) {
        InternalLog::print(
            L"[TAVRIN UNIDRIVER][OptionsConverter::updateTextRegionOptions] 600/1200 DPI management\r\n");
        top = MediaDefinition::ComputeLengthFromDpiWithVarMedia(top, 300, static_cast<dword>(dpiX));
        bottom = MediaDefinition::ComputeLengthFromDpiWithVarMedia(bottom, 300, static_cast<dword>(dpiX));
    }

    GRect* rect = new (std::nothrow) GRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
                                           static_cast<int>(bottom), blackLevel, -1);
    if (rect != nullptr && rectManager->Add(rect, isRelatedToFrontSide)) {
        ++textRegionCount[isRelatedToFrontSide ? 0 : 1];
        if (isClosedBySeparator)
            InternalLog::print(L"[TAVRIN UNIDRIVER][OptionsConverter::updateTextRegionOptions] AddRectangle: rect "
                               L"(%lu, %lu, %lu, %lu)) @ %u\r\n",
                               (unsigned long)left, (unsigned long)top, (unsigned long)right, (unsigned long)bottom,
                               (unsigned)blackLevel);
        else
            InternalLog::print(L"[TAVRIN UNIDRIVER][OptionsConverter::updateTextRegionOptions] AddRectangle: rect "
                               L"(%lu, %lu, %lu, %lu) @ %u\r\n",
                               (unsigned long)left, (unsigned long)top, (unsigned long)right, (unsigned long)bottom,
                               (unsigned)blackLevel);
    } else {
        InternalLog::print(
            L"[TAVRIN UNIDRIVER][OptionsConverter::updateTextRegionOptions] WARNING - Failed to add rectangle\r\n");
    }
}

void OptionsConverter::updateTextRegionOptions(const char* gpdOption, bool*, bool isRelatedToFrontSide)
{
    if (gpdOption == nullptr)
        return;
    if (rectManager == nullptr) {
        InternalLog::print(
            L"[TAVRIN UNIDRIVER][OptionsConverter::updateTextRegionOptions] WARNING - NULL rectangle manager\r\n");
        return;
    }

    dword coord[4] = {0, 0, 0, 0};
    int coordPos = 0;
    uint64_t exponent = 1;
    byte blackLevel = 0;

    // Read from the last character to the first: numbers fill B, R, T, L.
    for (size_t i = strlen(gpdOption); i-- > 0;) {
        const char c = gpdOption[i];
        if (c == ')') {
            continue;
        } else if (c == '(') {
            blackLevel = static_cast<byte>(coord[coordPos] & 0xFF);
            coord[coordPos] = 0;
            exponent = 1;
        } else if (c == 'x' && coordPos < 3) {
            exponent = 1;
            ++coordPos;
        } else if (c >= '0' && c <= '9') {
            // Saturates instead of wrapping: an absurd number stays absurd.
            const uint64_t sum = coord[coordPos] + static_cast<uint64_t>(c - '0') * exponent;
            coord[coordPos] = sum > MaxRegionNumber ? MaxRegionNumber : static_cast<dword>(sum);
            if (exponent < MaxRegionExponent)
                exponent *= 10;
        } else if (c == ';' || c == ':') {
            addTextRegion(coord, blackLevel, isRelatedToFrontSide, true);
            coord[0] = coord[1] = coord[2] = coord[3] = 0;
            coordPos = 0;
            exponent = 1;
            blackLevel = 0;
        } else {
            // Any other character, and a fifth number in one region.
            InternalLog::print(
                L"[TAVRIN UNIDRIVER][OptionsConverter::updateTextRegionOptions] WARNING - Parsing error (%S)\r\n",
                gpdOption);
            status.warning(std::string(isRelatedToFrontSide ? "IFTextRegion" : "IBTextRegion") + ": \"" +
                           shownValue(gpdOption) + "\" cannot be read at character " + std::to_string(i + 1) +
                           "; that region and those before it are not used");
            return;
        }
    }
    addTextRegion(coord, blackLevel, isRelatedToFrontSide, false);
}

// ---------------------------------------------------------------------------
// Magnetic stripe

void OptionsConverter::updateMagCoercivityOptions(const char* gpdOption, bool*)
{
    const int value = lookup(gpdOption, MagCoercivityTable, NotStored);
    if (value != NotStored)
        docOptions->setOption(MagCoercivity, value);
}

void OptionsConverter::updateMagEncodingOptions(const char* gpdOption, int track, bool*)
{
    Keys key;
    switch (track) {
    case 1:
        key = MagEncodingTrack1;
        break;
    case 2:
        key = MagEncodingTrack2;
        break;
    case 3:
        key = MagEncodingTrack3;
        break;
    default:
        return;
    }
    const int value = gpdOption == nullptr ? 0 : lookup(gpdOption, MagEncodingTable, NotStored);
    if (value != NotStored)
        docOptions->setOption(key, value);
}

void OptionsConverter::updateMagData(IExternalInterSettingsReader* externalSettings, bool*)
{
    if (externalSettings == nullptr)
        return;

    static const char* const TrackSettings[] = {"Track1Data", "Track2Data", "Track3Data"};
    static const Keys TrackFormats[] = {MagEncodingTrack1, MagEncodingTrack2, MagEncodingTrack3};
    const char* values[3];
    bool hasData = false;
    for (int track = 1; track <= 3; ++track) {
        values[track - 1] = loadOptionValue(TrackSettings[track - 1], externalSettings, nullptr);
        hasTrackData[track - 1] = values[track - 1] != nullptr;
        hasData = hasData || values[track - 1] != nullptr;
    }

    const dword bufferSize = externalSettings->getMaxSize();
    byte* buffer = Allocator::alloc(bufferSize);
    if (buffer == nullptr) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][OptionsConverter::updateMagData] WARNING - Not enough memory "
                           L"(size:%lu)\r\n",
                           (unsigned long)bufferSize);
        if (hasData)
            refuseJob("there is not enough memory for the magnetic stripe data");
        return;
    }
    if (bufferSize > 0)
        memset(buffer, 0, bufferSize);

    // A track the printer would mangle or leave blank refuses the whole job:
    // a card must not leave without the stripe it was meant to carry.
    dword pos = 0;
    for (int track = 1; track <= 3 && jobRefusal.empty(); ++track) {
        const char* value = values[track - 1];
        if (value == nullptr)
            continue;
        // ESC "Dm;n;" value CR, and room for a terminating NUL as formatted
        // text would need.
        const size_t valueLength = strlen(value);
        const size_t pieceLength = 1 + 5 + valueLength + 1;
        std::string fault = magTrackFault(track, docOptions->getOption(TrackFormats[track - 1]), value, valueLength);
        if (fault.empty() && pieceLength + 1 > static_cast<size_t>(bufferSize - pos))
            fault = "Track " + std::to_string(track) + " data of " + std::to_string(valueLength) +
                    " characters does not fit in the magnetic encoding command (" + std::to_string(bufferSize) +
                    " bytes for all tracks together)";
        if (!fault.empty()) {
            refuseJob(fault);
            break;
        }
        byte* out = buffer + pos;
        out[0] = EscByte;
        memcpy(out + 1, "Dm;", 3);
        out[4] = static_cast<byte>('0' + track);
        out[5] = ';';
        memcpy(out + 6, value, valueLength);
        out[6 + valueLength] = CrByte;
        pos += static_cast<dword>(pieceLength);
    }

    if (aggregator != nullptr && jobRefusal.empty())
        aggregator->add(PrintingTags::FrontFaceHead, buffer, static_cast<int>(pos), 14000, true, false);
    Allocator::desalloc(buffer);
}

void OptionsConverter::refuseJob(const std::string& cause)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][OptionsConverter::updateMagData] ERROR - %S - Job refused\r\n",
                       cause.c_str());
    if (jobRefusal.empty())
        jobRefusal = cause;
}

// ---------------------------------------------------------------------------
// Passthrough commands

void OptionsConverter::updatePassthrough(const char* gpdOption, bool*)
{
    if (gpdOption == nullptr)
        return;
    std::unique_ptr<IPassthroughOptionsParser> parser = TavFactory::FactoryIPassthroughOptionsParser();
    if (parser == nullptr)
        return;

    const size_t length = strlen(gpdOption);
    if (length <= static_cast<size_t>(INT_MAX) && parser->begin(gpdOption, static_cast<int>(length))) {
        while (parser->next()) {
            if (aggregator == nullptr ||
                !aggregator->add(parser->getPrintingTag(), reinterpret_cast<const byte*>(parser->getCommand()),
                                 parser->getCommandSize(), parser->getPriority(), parser->getLifeTime(), true)) {
                InternalLog::print(L"[TAVRIN UNIDRIVER][OptionsConverter::updatePassthrough] WARNING - Failed to fill "
                                   L"aggregator - Abort\r\n");
                break;
            }
        }
    }
    // This release line has a line of its own ("\t " before the pointer).
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] FREE - \t PTR: %lx\r\n", LOGPTR(parser.get()));
    parser.reset();
}

// ---------------------------------------------------------------------------
// Black substitution and print-quality adjustment

void OptionsConverter::updateBlackSubsStrategyOptions(const char* gpdOption, bool*)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][OptionsConverter::updateBlackSubsStrategyOptions] IGBlackSub: %S\r\n",
                       gpdOption != nullptr ? gpdOption : "OFF");
    if (gpdOption == nullptr)
        return;
    if (strlen(gpdOption) != 6) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][OptionsConverter::updateBlackSubsStrategyOptions] WARNING - "
                           L"IGBlackSub: Bad format - Option skipped\r\n");
        status.warning("IGBlackSub: \"" + shownValue(gpdOption) +
                       "\" is not six hexadecimal digits; black is not replaced by a fixed colour");
        return;
    }
    setBothFaces(isFixedColorBlackSubst, OptionTrue);
    setBothFaces(FixedBlackSubY, hexChar2ToByte(gpdOption[0], gpdOption[1]));
    setBothFaces(FixedBlackSubM, hexChar2ToByte(gpdOption[2], gpdOption[3]));
    setBothFaces(FixedBlackSubC, hexChar2ToByte(gpdOption[4], gpdOption[5]));
}

void OptionsConverter::updateSendIqlaOptions(const char* gpdOption, bool*)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][OptionsConverter::updateSendIqlaOptions] IqlaOption: %S\r\n",
                       gpdOption != nullptr ? gpdOption : "OFF");
    if (matches(gpdOption, "ON"))
        docOptions->setOption(SendIqla, OptionTrue);
}

void OptionsConverter::updateIqlaxValueOptions(const char* gpdOption, Keys optionKey, bool*)
{
    docOptions->setOption(optionKey, valLevel(gpdOption));
}

} // namespace tavgdi
