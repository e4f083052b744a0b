// What the printer offers: the twelve card sizes under PWG names, full bleed,
// the resolutions the pipeline prints, one- and two-sided cards, the colour
// modes of the installed ribbon, and the ribbon and overlay as supplies.
#include "CardApp.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "settings/CardMedia.h"

namespace cr80app {

const char* const DriverName = "cr80";
const char* const RawFormat = "application/octet-stream";

namespace {

using tavgdi::CardMedia;

const std::vector<CardMedia>& offeredCards()
{
    return tavgdi::cardMediaList();
}

void fillMedia(pappl_pr_driver_data_t* d)
{
    const std::vector<CardMedia>& cards = offeredCards();
    d->num_media = 0;
    for (const CardMedia& card : cards)
        d->media[d->num_media++] = card.pwgName.c_str();
    // Full bleed, plus nominal margins of 0.01 mm (less than a dot): with
    // borderless sizes alone, a driverless CUPS queue lists only the
    // ".Borderless" variants while naming the plain size as its default,
    // and lays a PDF out on its own default paper instead of the card.
    d->borderless = true;
    d->left_right = 1;
    d->bottom_top = 1;
    d->num_source = 1;
    d->source[0] = "main";
    d->num_type = 1;
    d->type[0] = "cardstock";
    pappl_media_col_t& ready = d->media_ready[0];
    std::memset(&ready, 0, sizeof ready);
    std::snprintf(ready.size_name, sizeof ready.size_name, "%s", cards[0].pwgName.c_str());
    std::snprintf(ready.source, sizeof ready.source, "%s", d->source[0]);
    std::snprintf(ready.type, sizeof ready.type, "%s", d->type[0]);
    ready.size_width = cards[0].width;
    ready.size_length = cards[0].length;
    d->media_default = ready;
}

// A job with no printer-resolution gets the one PAPPL picks from its
// print-quality: draft the first entry, normal the middle one (index 2 of
// 4), high the last. 300x300 stands in the middle, so that a job naming
// neither prints at 300x300, the default.
void fillResolutions(pappl_pr_driver_data_t* d)
{
    static const int Resolutions[][2] = {{600, 300}, {600, 600}, {300, 300}, {1200, 300}};
    d->num_resolution = 4;
    for (int i = 0; i < 4; ++i) {
        d->x_resolution[i] = Resolutions[i][0];
        d->y_resolution[i] = Resolutions[i][1];
    }
    d->x_default = d->y_default = 300;
}

// The printer has no light or sound to drive: identification is logged.
void identify(pappl_printer_t* printer, pappl_identify_actions_t actions, const char* message)
{
    papplLogPrinter(printer, PAPPL_LOGLEVEL_INFO, "Identify-Printer (actions 0x%04x): %s", actions,
                    message != nullptr ? message : "");
}

} // namespace

bool isOfferedMedia(const char* name)
{
    for (const CardMedia& card : offeredCards())
        if (name != nullptr && card.pwgName == name)
            return true;
    return false;
}

bool isOfferedSize(int width, int length)
{
    for (const CardMedia& card : offeredCards())
        if (std::abs(card.width - width) <= 1 && std::abs(card.length - length) <= 1)
            return true;
    return false;
}

bool refuseUnknownDocument(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t*)
{
    papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "The document's format was not recognised.");
    papplJobSetReasons(job, PAPPL_JREASON_DOCUMENT_FORMAT_ERROR, PAPPL_JREASON_NONE);
    papplJobSetMessage(job, "The document is not a PDF, JPEG, PNG or raster picture; nothing was printed");
    return false;
}

bool fillDriver(pappl_system_t* system, const char* driver_name, const char* /*device_uri*/, const char* /*device_id*/,
                pappl_pr_driver_data_t* d, ipp_t** driver_attrs, void* /*data*/)
{
    if (driver_name == nullptr || std::strcmp(driver_name, DriverName) != 0) {
        papplLog(system, PAPPL_LOGLEVEL_ERROR, "Unknown driver \"%s\".", driver_name ? driver_name : "(null)");
        return false;
    }
    d->rstartjob_cb = startJob;
    d->rstartpage_cb = startPage;
    d->rwriteline_cb = writeLine;
    d->rendpage_cb = endPage;
    d->rendjob_cb = endJob;
    d->identify_cb = identify;
    // No printer-ready format is offered: every card is made here. A
    // document whose format PAPPL cannot tell reaches the driver as
    // application/octet-stream (never advertised) and is refused; with no
    // format at all PAPPL 1.3.1 would compare the job's format with a null
    // one and crash.
    d->format = RawFormat;
    d->printfile_cb = refuseUnknownDocument;
    std::snprintf(d->make_and_model, sizeof d->make_and_model, "CR80 card printer");
    d->kind = PAPPL_KIND_POSTCARD;
    d->ppm = 2;
    d->has_supplies = true;
    d->orient_default = IPP_ORIENT_PORTRAIT;
    d->quality_default = IPP_QUALITY_NORMAL;
    d->identify_supported = PAPPL_IDENTIFY_ACTIONS_DISPLAY | PAPPL_IDENTIFY_ACTIONS_SOUND;
    d->identify_default = PAPPL_IDENTIFY_ACTIONS_SOUND;

    d->raster_types = PAPPL_PWG_RASTER_TYPE_SRGB_8 | PAPPL_PWG_RASTER_TYPE_SGRAY_8;

    // The printer turns the card over itself.
    d->duplex = PAPPL_DUPLEX_NORMAL;
    d->sides_supported = PAPPL_SIDES_ONE_SIDED | PAPPL_SIDES_TWO_SIDED_LONG_EDGE | PAPPL_SIDES_TWO_SIDED_SHORT_EDGE;
    d->sides_default = PAPPL_SIDES_ONE_SIDED;

    fillResolutions(d);
    fillMedia(d);

    *driver_attrs = driverAttributes(d, nullptr);
    return true;
}

ipp_t* driverAttributes(pappl_pr_driver_data_t* d, ipp_t* current)
{
    ipp_t* attrs = ippNew();
    ippAddBoolean(attrs, IPP_TAG_PRINTER, "preferred-attributes-supported", 0);
    ippAddString(attrs, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "print-rendering-intent-default", nullptr, "auto");
    ippAddString(attrs, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "print-rendering-intent-supported", nullptr, "auto");
    fillCardSettings(d, attrs, current);
    return attrs;
}

void printerCreated(pappl_printer_t* printer, void* /*data*/)
{
    followRibbon(printer);
    addCardSettingsPage(printer);
    pappl_pr_driver_data_t data;
    papplPrinterGetDriverData(printer, &data);
    // The printer reports no levels: both supplies are of unknown level.
    pappl_supply_t supplies[2];
    std::memset(supplies, 0, sizeof supplies);
    supplies[0].color =
        data.color_supported == PAPPL_COLOR_MODE_COLOR ? PAPPL_SUPPLY_COLOR_MULTIPLE : PAPPL_SUPPLY_COLOR_BLACK;
    std::snprintf(supplies[0].description, sizeof supplies[0].description, "Ribbon");
    supplies[0].is_consumed = true;
    supplies[0].level = -1;
    supplies[0].type = PAPPL_SUPPLY_TYPE_INK_RIBBON;
    supplies[1].color = PAPPL_SUPPLY_COLOR_NO_COLOR;
    std::snprintf(supplies[1].description, sizeof supplies[1].description, "Overlay");
    supplies[1].is_consumed = true;
    supplies[1].level = -1;
    supplies[1].type = PAPPL_SUPPLY_TYPE_INK_RIBBON;
    papplPrinterSetSupplies(printer, 2, supplies);
}

} // namespace cr80app
