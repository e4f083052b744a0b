#include "settings/CupsExternalInterSettingsReader.h"

#include <cstring>
#include <strings.h>

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

const char* withoutCustomPrefix(const char* value)
{
    const size_t n = std::strlen(CustomPrefix);
    return std::strncmp(value, CustomPrefix, n) == 0 ? value + n : value;
}

} // namespace

CupsExternalInterSettingsReader::CupsExternalInterSettingsReader(cups_option_t* options, int num_options,
                                                                 ppd_file_t* ppd)
    : options(options), num_options(num_options), ppd(ppd)
{
}

CupsExternalInterSettingsReader::~CupsExternalInterSettingsReader() {}

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

const char* CupsExternalInterSettingsReader::findFeature(const char* feature, int* /*savedPosition*/)
{
    if (feature == nullptr) {
        debug("NO      OPTION - key:%s value:NULL", "(null)");
        return nullptr;
    }

    const char* source = nullptr;   // "LOCAL  " or "DEFAULT"
    const char* keyword = feature;  // the name the value was found under
    const char* raw = nullptr;      // the value as found
    const char* value = nullptr;    // the value for the setting

    for (int pass = 0; pass < 2 && raw == nullptr; ++pass) {
        const bool isJob = pass == 0;
        auto lookUp = [&](const char* name) {
            return isJob ? cupsGetOption(name, num_options, options) : ppdDefault(name);
        };
        if ((raw = lookUp(feature)) != nullptr) {
            value = ownValue(feature, withoutCustomPrefix(raw));
        } else {
            const char* tried = nullptr;
            for (const Alias& a : Aliases) {
                // The rows of one alias are contiguous: look each alias up once.
                if (!isAlias(a) || std::strcmp(a.setting, feature) != 0 ||
                    (tried != nullptr && std::strcmp(a.keyword, tried) == 0))
                    continue;
                tried = a.keyword;
                const char* found = lookUp(a.keyword);
                const char* mapped = found != nullptr ? aliasValue(feature, a.keyword, withoutCustomPrefix(found))
                                                      : nullptr;
                if (mapped != nullptr) {
                    keyword = a.keyword;
                    raw = found;
                    value = mapped;
                    break;
                }
            }
        }
        if (raw != nullptr)
            source = isJob ? "LOCAL  " : "DEFAULT";
    }

    if (raw == nullptr) {
        debug("NO      OPTION - key:%s value:NULL", feature);
        return nullptr;
    }
    if (std::strcmp(value, "None") == 0) {
        debug("NO      OPTION - key:%s value:NULL (%s %s=%s)", feature, source, keyword, raw);
        return nullptr;
    }
    if (keyword == feature && value == raw)
        debug("%s OPTION - key:%s value:%s", source, feature, value);
    else
        debug("%s OPTION - key:%s value:%s (%s=%s)", source, feature, value, keyword, raw);
    return value;
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
