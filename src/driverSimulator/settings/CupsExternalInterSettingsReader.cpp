#include "settings/CupsExternalInterSettingsReader.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>

#include "settings/CardSizes.h"
#include "tavrinerror.h"

namespace {

// The CUPS forms of settings. A row maps the value `cupsValue` of the CUPS
// keyword `keyword` onto the value `value` of the setting `setting`.
// - Rows whose keyword is the setting itself translate standard choice names
//   (Resolution, Duplex); any other value of that setting passes unchanged.
// - Rows whose keyword differs make that keyword an alias of the setting,
//   looked up when the setting is not given under its own name. A null
//   cupsValue passes any value through (PageSize choices are named like the
//   card sizes); otherwise only the listed values count (compared ignoring
//   case) and each item of a comma-separated list is tried in turn
//   (media=CR80,Tray1).
struct Alias {
    const char* setting;
    const char* keyword;
    const char* cupsValue;
    const char* value;
};

const Alias Aliases[] = {
    {"Resolution", "Resolution", "300dpi", "DPI300"},
    {"Resolution", "Resolution", "300x300dpi", "DPI300"},
    {"Resolution", "Resolution", "600dpi", "DPI600"},
    {"Resolution", "Resolution", "600x600dpi", "DPI600"},
    {"Resolution", "Resolution", "600x300dpi", "DPI600300"},
    {"Resolution", "Resolution", "300x600dpi", "DPI300600"},
    {"Resolution", "Resolution", "1200x300dpi", "DPI1200300"},
    {"Resolution", "Resolution", "300x1200dpi", "DPI3001200"},
    {"Resolution", "Resolution", "300x260dpi", "DPI300260"},
    {"Resolution", "Resolution", "260x300dpi", "DPI260300"},
    // The card is turned over by the printer whichever edge CUPS names:
    // both two-sided forms make the job two-sided (GDuplexType then says
    // which faces are in colour).
    {"Duplex", "Duplex", "DuplexNoTumble", "HORIZONTAL"},
    {"Duplex", "Duplex", "DuplexTumble", "HORIZONTAL"},
    {"Duplex", "sides", "two-sided-long-edge", "HORIZONTAL"},
    {"Duplex", "sides", "two-sided-short-edge", "HORIZONTAL"},
    {"Duplex", "sides", "one-sided", "None"},
    {"PaperSize", "PageSize", nullptr, nullptr},
    {"PaperSize", "media", "CR80", "CR80"},
    {"PaperSize", "media", "CR109X54", "CR109X54"},
    {"PaperSize", "media", "CR128X54", "CR128X54"},
    {"PaperSize", "media", "CR140X54", "CR140X54"},
    {"PaperSize", "media", "CR165X54", "CR165X54"},
    {"PaperSize", "media", "CR210X54", "CR210X54"},
    {"PaperSize", "media", "CR86X50", "CR86X50"},
    {"PaperSize", "media", "CR109X50", "CR109X50"},
    {"PaperSize", "media", "CR120X50", "CR120X50"},
    {"PaperSize", "media", "CR128X50", "CR128X50"},
    {"PaperSize", "media", "CR140X50", "CR140X50"},
    {"PaperSize", "media", "CR150X50", "CR150X50"},
};

const char* const CustomPrefix = "Custom.";

bool isAlias(const Alias& a)
{
    return std::strcmp(a.setting, a.keyword) != 0;
}

// The value of `setting` given by `raw` under its own name: standard choice
// names translated, anything else unchanged.
const char* ownValue(const char* setting, const char* raw)
{
    for (const Alias& a : Aliases)
        if (!isAlias(a) && std::strcmp(a.setting, setting) == 0 && std::strcmp(a.cupsValue, raw) == 0)
            return a.value;
    return raw;
}

// The value of `setting` given by `raw` under the alias `keyword`, or null
// when the alias value does not name one.
const char* aliasValue(const char* setting, const char* keyword, const char* raw)
{
    for (const char* item = raw;; ++item) {
        const char* end = std::strchr(item, ',');
        const size_t length = end != nullptr ? static_cast<size_t>(end - item) : std::strlen(item);
        for (const Alias& a : Aliases) {
            if (std::strcmp(a.setting, setting) != 0 || std::strcmp(a.keyword, keyword) != 0)
                continue;
            if (a.cupsValue == nullptr)
                return raw;
            if (std::strlen(a.cupsValue) == length && strncasecmp(a.cupsValue, item, length) == 0)
                return a.value;
        }
        if (end == nullptr)
            return nullptr;
        item = end;
    }
}

// The value without CUPS's marks: the "Custom." of a typed value, and the
// "_" CUPS puts before a PPD choice named "Custom" (older PPDs of this
// printer had CUSTOM choices, which CUPS passes as _CUSTOM).
const char* withoutCustomPrefix(const char* value)
{
    const size_t n = std::strlen(CustomPrefix);
    if (std::strncmp(value, CustomPrefix, n) == 0)
        return value + n;
    return strcasecmp(value, "_Custom") == 0 ? value + 1 : value;
}

// Card length standing for a size that cannot be printed (negative, zero,
// not a number, beyond any card): the media definition refuses it as a card
// too large, so the job fails loudly instead of printing on another card.
const long UnusableLength = long(tavgdi::MediaDefinition::MaxCardSideDots) + 1;

// Parses "WxH" and an optional unit ("pt" or none: points; "in", "ft",
// "cm", "mm", "m"), the forms CUPS gives custom sizes in, into dots at
// 300 dpi. False when the text is not of that form at all.
bool parseSize(const std::string& text, long* width, long* height)
{
    const char* start = text.c_str();
    char* end = nullptr;
    double w = std::strtod(start, &end);
    if (end == start || *end != 'x')
        return false;
    const char* second = end + 1;
    double h = std::strtod(second, &end);
    if (end == second)
        return false;
    struct Unit {
        const char* name;
        double dots;
    };
    static const Unit Units[] = {{"", 300.0 / 72.0},   {"pt", 300.0 / 72.0}, {"in", 300.0},        {"ft", 3600.0},
                                 {"cm", 300.0 / 2.54}, {"mm", 300.0 / 25.4}, {"m", 30000.0 / 2.54}};
    for (const Unit& unit : Units) {
        if (std::strcmp(end, unit.name) != 0)
            continue;
        auto dots = [&](double length) {
            const double d = length * unit.dots;
            return std::isfinite(d) && d >= 0.5 && d < UnusableLength ? std::lround(d) : UnusableLength;
        };
        *width = dots(w);
        *height = dots(h);
        return true;
    }
    return false;
}

// The card of the size table whose name is `name` (ignoring case), or whose
// lengths are within a dot of the given ones; null when none is.
const char* cardNamed(const std::string& name)
{
    for (const tavgdi::CardSize& card : tavgdi::CardSizes)
        if (strcasecmp(card.name, name.c_str()) == 0)
            return card.name;
    return nullptr;
}

const char* cardSized(long width, long height)
{
    for (const tavgdi::CardSize& card : tavgdi::CardSizes)
        if (std::labs(width - long(card.width)) <= 1 && std::labs(height - long(card.height)) <= 1)
            return card.name;
    return nullptr;
}

const char* const CustomCard = "CRCUSTOM";

// The card a CUPS page size or media value names, when it is one of the
// forms the alias table cannot list:
// - "Custom.WxH[unit]", a custom size (CUPS's *CustomPageSize): CRCUSTOM
//   with the lengths, or a card of the table when the size is one;
// - an IPP self-describing media name "class_name_WxHunit" (what CUPS
//   shows IPP clients, e.g. custom_86.02x54.86mm_86.02x54.86mm): the card
//   of that name or size; a size of no card counts only in the "custom"
//   class (a request for a custom size, not a sheet the printer lacks).
// Of a comma-separated media list only the first item counts. Null when the
// value is none of these forms; otherwise the lengths are set (dots at
// 300 dpi) when the result is CRCUSTOM.
const char* cardOf(const char* value, long* width, long* height)
{
    std::string item(value, std::strcspn(value, ","));
    if (item.compare(0, std::strlen(CustomPrefix), CustomPrefix) == 0) {
        if (!parseSize(item.substr(std::strlen(CustomPrefix)), width, height))
            *width = *height = UnusableLength;
        const char* card = cardSized(*width, *height);
        return card != nullptr ? card : CustomCard;
    }
    const size_t first = item.find('_'), last = item.rfind('_');
    if (first == std::string::npos || first == last || first == 0)
        return nullptr;
    const std::string sizeText = item.substr(last + 1);
    if (sizeText.size() < 3 ||
        (sizeText.compare(sizeText.size() - 2, 2, "mm") != 0 && sizeText.compare(sizeText.size() - 2, 2, "in") != 0))
        return nullptr;
    long w = 0, h = 0;
    if (!parseSize(sizeText, &w, &h))
        return nullptr;
    if (const char* card = cardNamed(item.substr(first + 1, last - first - 1)))
        return card;
    if (const char* card = cardSized(w, h))
        return card;
    if (item.compare(0, first, "custom") != 0)
        return nullptr;
    *width = w;
    *height = h;
    return CustomCard;
}

bool isCustomLength(const char* feature)
{
    return std::strcmp(feature, "IFormCustomWidth") == 0 || std::strcmp(feature, "IFormCustomHeight") == 0;
}

} // namespace

CupsExternalInterSettingsReader::CupsExternalInterSettingsReader(cups_option_t* options, int num_options,
                                                                 ppd_file_t* ppd)
    : options(options), num_options(num_options), ppd(ppd)
{
}

CupsExternalInterSettingsReader::~CupsExternalInterSettingsReader()
{
}

const char* CupsExternalInterSettingsReader::ppdDefault(const char* keyword)
{
    if (ppd == nullptr)
        return nullptr;
        // The PPD interface is deprecated in libcups but is the only way to read
        // a PPD's default choices.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ppd_option_t* option = ppdFindOption(ppd, keyword);
#pragma GCC diagnostic pop
    return option != nullptr ? option->defchoice : nullptr;
}

const char* CupsExternalInterSettingsReader::findPrinterSetting(const char* keyword)
{
    if (ppd == nullptr || keyword == nullptr)
        return nullptr;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ppd_attr_t* attr = ppdFindAttr(ppd, keyword, nullptr);
#pragma GCC diagnostic pop
    const char* value = attr != nullptr ? attr->value : nullptr;
    debug("PRINTER SETTING - key:%s value:%s", keyword, value != nullptr ? value : "NULL");
    return value;
}

CupsExternalInterSettingsReader::Found CupsExternalInterSettingsReader::resolve(const char* feature)
{
    Found f;
    f.keyword = feature;
    for (int pass = 0; pass < 2 && f.raw == nullptr; ++pass) {
        const bool isJob = pass == 0;
        auto lookUp = [&](const char* name) {
            return isJob ? cupsGetOption(name, num_options, options) : ppdDefault(name);
        };
        if ((f.raw = lookUp(feature)) != nullptr) {
            f.value = ownValue(feature, withoutCustomPrefix(f.raw));
        } else {
            const char* tried = nullptr;
            for (const Alias& a : Aliases) {
                // The rows of one alias are contiguous: look each alias up once.
                if (!isAlias(a) || std::strcmp(a.setting, feature) != 0 ||
                    (tried != nullptr && std::strcmp(a.keyword, tried) == 0))
                    continue;
                tried = a.keyword;
                const char* found = lookUp(a.keyword);
                if (found == nullptr)
                    continue;
                long width = 0, height = 0;
                const char* card = std::strcmp(feature, "PaperSize") == 0 ? cardOf(found, &width, &height) : nullptr;
                const char* mapped =
                    card != nullptr ? card : aliasValue(feature, a.keyword, withoutCustomPrefix(found));
                if (mapped != nullptr) {
                    f.keyword = a.keyword;
                    f.raw = found;
                    f.value = mapped;
                    if (mapped == CustomCard) {
                        f.isCustomSize = true;
                        std::snprintf(customWidth, sizeof customWidth, "%ld", width);
                        std::snprintf(customHeight, sizeof customHeight, "%ld", height);
                    }
                    break;
                }
            }
        }
        if (f.raw != nullptr)
            f.source = isJob ? "LOCAL  " : "DEFAULT";
    }
    // A custom card size given as a CUPS page size or media carries its own
    // lengths, unless the job names them itself.
    if (isCustomLength(feature) && !(f.raw != nullptr && std::strcmp(f.source, "LOCAL  ") == 0)) {
        const Found size = resolve("PaperSize");
        if (size.isCustomSize) {
            f = size;
            f.value = std::strcmp(feature, "IFormCustomWidth") == 0 ? customWidth : customHeight;
        }
    }
    return f;
}

const char* CupsExternalInterSettingsReader::findFeature(const char* feature, int* /*savedPosition*/)
{
    if (feature == nullptr) {
        debug("NO      OPTION - key:%s value:NULL", "(null)");
        return nullptr;
    }

    const Found f = resolve(feature);
    if (f.raw == nullptr) {
        debug("NO      OPTION - key:%s value:NULL", feature);
        return nullptr;
    }
    if (std::strcmp(f.value, "None") == 0) {
        debug("NO      OPTION - key:%s value:NULL (%s %s=%s)", feature, f.source, f.keyword, f.raw);
        return nullptr;
    }
    if (std::strcmp(f.keyword, feature) == 0 && f.value == f.raw)
        debug("%s OPTION - key:%s value:%s", f.source, feature, f.value);
    else
        debug("%s OPTION - key:%s value:%s (%s=%s)", f.source, feature, f.value, f.keyword, f.raw);
    return f.value;
}

bool CupsExternalInterSettingsReader::readPCSettingsFromBuffer(char* /*multistr*/, int /*size*/)
{
    return true;
}

bool CupsExternalInterSettingsReader::updatePCSettingsFromBuffer(char* /*multistr*/)
{
    return true;
}

dword CupsExternalInterSettingsReader::getMaxSize()
{
    return MaxSize;
}
