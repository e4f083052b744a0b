// The card settings users choose per card or per printer: vendor attributes
// ("ribbon-type", "front-black-mode", "track-2-data", ...) with their
// -supported and -default values and their words, the job's settings built
// from them (the job's values, then the printer's defaults), and the colour
// modes that follow the printer's ribbon.
#include "CardApp.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "settings/OptionPairsSettingsReader.h"
#include "settings/OptionsConverter.h"

namespace cr80app {

namespace {

using Vendor = OptionPairsSettingsReader::VendorSetting;
using Kind = OptionPairsSettingsReader::VendorKind;

// The driver's default of a setting, as its vendor attribute says it.
std::string driverDefault(const Vendor& vendor)
{
    switch (vendor.kind) {
    case Kind::Keyword:
        return OptionPairsSettingsReader::vendorKeyword(vendor.choices.front().choice);
    case Kind::Level:
        return "10";
    case Kind::Text:
        break;
    }
    return "";
}

// A -default attribute's value as text ("" when absent).
std::string defaultValue(ipp_t* attrs, const Vendor& vendor)
{
    const std::string name = std::string(vendor.name) + "-default";
    ipp_attribute_t* attr = attrs != nullptr ? ippFindAttribute(attrs, name.c_str(), IPP_TAG_ZERO) : nullptr;
    if (attr == nullptr)
        return driverDefault(vendor);
    switch (ippGetValueTag(attr)) {
    case IPP_TAG_INTEGER:
        return std::to_string(ippGetInteger(attr, 0));
    case IPP_TAG_NOVALUE:
        return "";
    default: {
        const char* value = ippGetString(attr, 0, nullptr);
        return value != nullptr ? value : "";
    }
    }
}

// The ribbon the printer's card settings name (its filter keyword).
std::string printerRibbon(ipp_t* attrs)
{
    const Vendor& ribbon = OptionPairsSettingsReader::vendorSettings().front();
    std::string setting, why;
    if (!OptionPairsSettingsReader::toSetting(ribbon, defaultValue(attrs, ribbon), &setting, &why))
        return ribbon.choices.front().choice;
    return setting;
}

// Monochrome ribbons are named RM_...; every other ribbon prints colour.
bool isColourRibbon(const std::string& ribbon)
{
    return ribbon.compare(0, 3, "RM_") != 0;
}

void setColourModes(pappl_pr_driver_data_t* d, bool isColour)
{
    // Only what the installed ribbon prints is offered: a colour mode the
    // card would not show is never offered.
    if (isColour) {
        d->color_supported = PAPPL_COLOR_MODE_COLOR;
        d->color_default = PAPPL_COLOR_MODE_COLOR;
        d->ppm_color = 2;
    } else {
        d->color_supported = PAPPL_COLOR_MODE_MONOCHROME;
        d->color_default = PAPPL_COLOR_MODE_MONOCHROME;
        d->ppm_color = 0;
    }
}

// "ribbon-type" = "Ribbon"; "ribbon-type.rc-ymcko" = "Colour YMCKO"; ...
const std::string& stringsData()
{
    static const std::string Strings = [] {
        std::string text;
        for (const Vendor& vendor : OptionPairsSettingsReader::vendorSettings()) {
            text += "\"" + std::string(vendor.name) + "\" = \"" + vendor.words + "\";\n";
            for (const auto& choice : vendor.choices)
                text += "\"" + std::string(vendor.name) + "." +
                        OptionPairsSettingsReader::vendorKeyword(choice.choice) + "\" = \"" + choice.words + "\";\n";
        }
        return text;
    }();
    return Strings;
}

// The printer settings of the "Card settings" page, kept as one vendor
// attribute: NAME="VALUE" NAME="VALUE" ..., read with cupsParseOptions.
const char* const PrinterSettingsName = "printer-settings";

std::string storedPrinterSettings(pappl_printer_t* printer)
{
    ipp_t* attrs = papplPrinterGetDriverAttributes(printer);
    const std::string name = std::string(PrinterSettingsName) + "-default";
    ipp_attribute_t* attr = attrs != nullptr ? ippFindAttribute(attrs, name.c_str(), IPP_TAG_ZERO) : nullptr;
    const char* value = attr != nullptr ? ippGetString(attr, 0, nullptr) : nullptr;
    std::string text = value != nullptr ? value : "";
    ippDelete(attrs);
    return text;
}

std::string encodedSetting(const std::string& name, const std::string& value)
{
    std::string text = name + "=\"";
    for (char c : value) {
        if (c == '"' || c == '\\')
            text += '\\';
        text += c;
    }
    return text + "\" ";
}

// The "Card settings" page: a form of the printer settings, saved with
// PAPPL's CSRF check; a value the filter does not take is not saved.
bool cardSettingsPage(pappl_client_t* client, void* data)
{
    pappl_printer_t* printer = static_cast<pappl_printer_t*>(data);
    if (!papplClientHTMLAuthorize(client))
        return true;
    std::string status;
    if (papplClientGetMethod(client) == HTTP_STATE_POST) {
        cups_option_t* form = nullptr;
        const int numForm = papplClientGetForm(client, &form);
        if (!papplClientIsValidForm(client, numForm, form)) {
            status = "Invalid form submission.";
        } else {
            std::string stored, why;
            for (const auto& setting : OptionPairsSettingsReader::printerSettings()) {
                const char* value = cupsGetOption(setting.setting, numForm, form);
                if (value == nullptr || *value == '\0')
                    continue;
                if (!OptionPairsSettingsReader::isPrinterSettingValue(setting.setting, value, &why))
                    break;
                stored += encodedSetting(setting.setting, value);
            }
            if (!why.empty()) {
                status = "Not saved: " + why + ".";
            } else {
                pappl_pr_driver_data_t driverData;
                papplPrinterGetDriverData(printer, &driverData);
                cups_option_t option = {const_cast<char*>(PrinterSettingsName), &stored[0]};
                status =
                    papplPrinterSetDriverDefaults(printer, &driverData, 1, &option) ? "Changes saved." : "Not saved.";
            }
        }
        cupsFreeOptions(numForm, form);
    }

    cups_option_t* current = nullptr;
    const int numCurrent = cupsParseOptions(storedPrinterSettings(printer).c_str(), 0, &current);
    char path[256];
    papplPrinterGetPath(printer, "cardsettings", path, sizeof path);
    papplClientHTMLPrinterHeader(client, printer, "Card Settings", 0, nullptr, nullptr);
    if (!status.empty())
        papplClientHTMLPrintf(client, "<div class=\"banner\">%s</div>\n", status.c_str());
    papplClientHTMLStartForm(client, path, false);
    papplClientHTMLPuts(client, "<table class=\"form\">\n<tbody>\n");
    for (const auto& setting : OptionPairsSettingsReader::printerSettings()) {
        const char* stored = cupsGetOption(setting.setting, numCurrent, current);
        const std::string value = stored != nullptr ? stored : "";
        papplClientHTMLPrintf(client, "<tr><th><label for=\"%s\">%s:</label></th><td>", setting.setting, setting.words);
        std::vector<std::string> choices = tavgdi::OptionsConverter::choicesOf(setting.setting);
        if (choices.empty()) {
            papplClientHTMLPrintf(client,
                                  "<input type=\"text\" id=\"%s\" name=\"%s\" value=\"%s\" "
                                  "placeholder=\"default\">",
                                  setting.setting, setting.setting, value.c_str());
        } else {
            // A keyword setting is a list; a stored value the list does not
            // name (saved before, or a prefix the filter takes) stays in it.
            if (!value.empty() && std::find(choices.begin(), choices.end(), value) == choices.end())
                choices.push_back(value);
            papplClientHTMLPrintf(client, "<select id=\"%s\" name=\"%s\"><option value=\"\">default</option>",
                                  setting.setting, setting.setting);
            for (const std::string& choice : choices)
                papplClientHTMLPrintf(client, "<option value=\"%s\"%s>%s</option>", choice.c_str(),
                                      choice == value ? " selected" : "", choice.c_str());
            papplClientHTMLPuts(client, "</select>");
        }
        papplClientHTMLPuts(client, "</td></tr>\n");
    }
    papplClientHTMLPuts(client, "<tr><th></th><td><input type=\"submit\" value=\"Save Changes\"></td></tr>\n"
                                "</tbody></table></form>\n");
    papplClientHTMLPrinterFooter(client);
    cupsFreeOptions(numCurrent, current);
    return true;
}

} // namespace

void addCardSettingsPage(pappl_printer_t* printer)
{
    char path[256];
    papplPrinterGetPath(printer, "cardsettings", path, sizeof path);
    papplSystemAddResourceCallback(papplPrinterGetSystem(printer), path, "text/html", cardSettingsPage, printer);
    papplPrinterAddLink(printer, "Card Settings", path,
                        static_cast<pappl_loptions_t>(PAPPL_LOPTIONS_NAVIGATION | PAPPL_LOPTIONS_PRINTER));
}

// The words go into the web pages' English strings. The file stays served
// at /en.strings, but not as a localization resource: PAPPL 1.3.1 appends
// "printer-strings-languages-supported" to the printer's own attributes at
// every Get-Printer-Attributes that asks for it (or for everything) while a
// resource with a language exists, so each such request would grow the
// printer's attributes for good (and repeat the attribute in the answers),
// written under a read lock shared with other clients.
void addCardSettingsStrings(pappl_system_t* system)
{
    const std::string& strings = stringsData();
    papplSystemAddStringsData(system, "/en.strings", "en", strings.c_str());
    papplSystemRemoveResource(system, "/en.strings");
    papplSystemAddResourceData(system, "/en.strings", "text/strings", strings.data(), strings.size());
}

void fillCardSettings(pappl_pr_driver_data_t* d, ipp_t* attrs, ipp_t* current)
{
    const auto& settings = OptionPairsSettingsReader::vendorSettings();
    d->num_vendor = 0;
    for (const Vendor& vendor : settings) {
        if (d->num_vendor >= PAPPL_MAX_VENDOR)
            break;
        d->vendor[d->num_vendor++] = vendor.name;
        const std::string supported = std::string(vendor.name) + "-supported";
        const std::string defaultName = std::string(vendor.name) + "-default";
        const std::string value = defaultValue(current, vendor);
        switch (vendor.kind) {
        case Kind::Keyword: {
            ipp_attribute_t* attr = ippAddStrings(attrs, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, supported.c_str(),
                                                  static_cast<int>(vendor.choices.size()), nullptr, nullptr);
            for (size_t i = 0; i < vendor.choices.size(); ++i)
                ippSetString(attrs, &attr, static_cast<int>(i),
                             OptionPairsSettingsReader::vendorKeyword(vendor.choices[i].choice).c_str());
            ippAddString(attrs, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, defaultName.c_str(), nullptr, value.c_str());
            break;
        }
        case Kind::Level:
            ippAddRange(attrs, IPP_TAG_PRINTER, supported.c_str(), 0, 20);
            ippAddInteger(attrs, IPP_TAG_PRINTER, IPP_TAG_INTEGER, defaultName.c_str(), std::atoi(value.c_str()));
            break;
        case Kind::Text:
            // No -supported: PAPPL's pages show a text field.
            ippAddString(attrs, IPP_TAG_PRINTER, IPP_TAG_TEXT, defaultName.c_str(), nullptr, value.c_str());
            break;
        }
    }
    if (d->num_vendor < PAPPL_MAX_VENDOR) {
        d->vendor[d->num_vendor++] = PrinterSettingsName;
        const std::string defaultName = std::string(PrinterSettingsName) + "-default";
        ipp_attribute_t* attr =
            current != nullptr ? ippFindAttribute(current, defaultName.c_str(), IPP_TAG_ZERO) : nullptr;
        const char* value = attr != nullptr ? ippGetString(attr, 0, nullptr) : nullptr;
        ippAddString(attrs, IPP_TAG_PRINTER, IPP_TAG_TEXT, defaultName.c_str(), nullptr, value ? value : "");
    }
    setColourModes(d, isColourRibbon(printerRibbon(current)));
}

void followRibbon(pappl_printer_t* printer)
{
    ipp_t* current = papplPrinterGetDriverAttributes(printer);
    const bool isColour = isColourRibbon(printerRibbon(current));
    pappl_pr_driver_data_t data;
    papplPrinterGetDriverData(printer, &data);
    if ((data.color_supported == PAPPL_COLOR_MODE_COLOR) != isColour) {
        setColourModes(&data, isColour);
        ipp_t* attrs = driverAttributes(&data, current);
        papplPrinterSetDriverData(printer, &data, attrs);
        ippDelete(attrs);
    }
    ippDelete(current);
}

bool cardSettingsOf(pappl_job_t* job, const pappl_pr_options_t* options, OptionPairsSettingsReader::Pairs* pairs,
                    std::string* refusal)
{
    ipp_t* printerDefaults = papplPrinterGetDriverAttributes(papplJobGetPrinter(job));
    // The printer's settings first: the card settings come after them.
    cups_option_t* stored = nullptr;
    const char* storedName = "printer-settings-default";
    ipp_attribute_t* storedAttr =
        printerDefaults != nullptr ? ippFindAttribute(printerDefaults, storedName, IPP_TAG_ZERO) : nullptr;
    const char* storedText = storedAttr != nullptr ? ippGetString(storedAttr, 0, nullptr) : nullptr;
    const int numStored = cupsParseOptions(storedText != nullptr ? storedText : "", 0, &stored);
    for (int i = 0; i < numStored; ++i) {
        std::string why;
        if (OptionPairsSettingsReader::isPrinterSettingValue(stored[i].name, stored[i].value, &why))
            pairs->emplace_back(stored[i].name, stored[i].value);
        else
            papplLogJob(job, PAPPL_LOGLEVEL_WARN, "Printer setting left out: %s.", why.c_str());
    }
    cupsFreeOptions(numStored, stored);
    bool ok = true;
    for (const Vendor& vendor : OptionPairsSettingsReader::vendorSettings()) {
        const char* sent = cupsGetOption(vendor.name, static_cast<int>(options->num_vendor), options->vendor);
        const std::string value = sent != nullptr ? std::string(sent) : defaultValue(printerDefaults, vendor);
        if (vendor.kind == Kind::Text && value.empty())
            continue;
        std::string setting, why;
        if (!OptionPairsSettingsReader::toSetting(vendor, value, &setting, &why)) {
            *refusal = "The card setting " + why + "; nothing was printed";
            ok = false;
            break;
        }
        pairs->emplace_back(vendor.setting, setting);
    }
    ippDelete(printerDefaults);
    return ok;
}

} // namespace cr80app
