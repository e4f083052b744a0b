#include "debuginfo.h"

#include <cstdint>

#include "rasterheader.h"
#include "tavrinerror.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

#define PTR(p) ((unsigned long)(uintptr_t)(p))

void debugOptions(int num_options, cups_option_t* options)
{
    if (options == nullptr)
        return;
    for (int i = 0; i < num_options; ++i)
        info("Option(%d) Name:%s Value:%s", i, options[i].name, options[i].value);
}

void debugRaster(const cups_raster_t* ras)
{
    info("============== DEBUG CUPS_RASTER_T - ptr:%lx", PTR(ras));
}

// Null strings are written as the C library writes them for "%s".
static const char* str(const char* s)
{
    return s ? s : "(null)";
}

void debugPPDFile(const ppd_file_t* ppd)
{
    info("============== DEBUG PPD_FILE_T - ptr:%lx", PTR(ppd));
    if (ppd == nullptr)
        return;
    info("ppd->Langage Level: %d", ppd->language_level);
    info("ppd->color_device: %d", ppd->color_device);
    info("ppd->variable_sizes: %d", ppd->variable_sizes);
    info("ppd->accurate_screens: %d", ppd->accurate_screens);
    info("ppd->contone_only: %d", ppd->contone_only);
    info("ppd->landscape: %d", ppd->landscape);
    info("ppd->model_number: %d", ppd->model_number);
    info("ppd->manual_copies: %d", ppd->manual_copies);
    info("ppd->throughput: %d", ppd->throughput);
    info("ppd->colorspace: %d", static_cast<int>(ppd->colorspace));
    info("ppd->num_emulations: %d", ppd->num_emulations);
    if (ppd->num_emulations > 0 && ppd->emulations != nullptr)
        info("ppd->emulation: %s", ppd->emulations[0].name);
    info("ppd->jcl_begin: %s", str(ppd->jcl_begin));
    info("ppd->pjcl_end: %s", str(ppd->jcl_end));
    info("ppd->lang_encoding: %s", str(ppd->lang_encoding));
    info("ppd->lang_version: %s", str(ppd->lang_version));
    info("ppd->modelname: %s", str(ppd->modelname));
    info("ppd->ttrasterizer: %s", str(ppd->ttrasterizer));
    info("ppd->manufacturer: %s", str(ppd->manufacturer));
    info("ppd->product: %s", str(ppd->product));
    info("ppd->nickname: %s", str(ppd->nickname));
    info("ppd->shortnickname: %s", str(ppd->shortnickname));
    info("ppd->num_groups: %d", ppd->num_groups);
    info("ppd->num_sizes: %d", ppd->num_sizes);
    if (ppd->num_sizes > 0 && ppd->sizes != nullptr) {
        const ppd_size_t& s = ppd->sizes[0];
        info("ppd->sizes[0]: %d, %s, %f, %f, %f, %f, %f, %f", s.marked, s.name, s.width, s.length, s.left, s.bottom,
             s.right, s.top);
    }
    info("ppd->custom_min: %f, %f", ppd->custom_min[0], ppd->custom_min[1]);
    info("ppd->custom_max: %f, %f", ppd->custom_max[0], ppd->custom_max[1]);
    info("ppd->custom_margins: %f,%f,%f,%f", ppd->custom_margins[0], ppd->custom_margins[1], ppd->custom_margins[2],
         ppd->custom_margins[3]);
    info("ppd->num_consts: %d", ppd->num_consts);
    info("ppd->num_fonts: %d", ppd->num_fonts);
    info("ppd->num_profiles: %d", ppd->num_profiles);
    info("ppd->num_filters: %d", ppd->num_filters);
    if (ppd->num_filters > 0 && ppd->filters != nullptr)
        info("ppd->filters: %s", str(ppd->filters[0]));
    info("ppd->flip_duplex: %d", ppd->flip_duplex);
    info("ppd->consts: %lx", PTR(ppd->consts));
    info("ppd->fonts: %s", (ppd->num_fonts > 0 && ppd->fonts != nullptr) ? str(ppd->fonts[0]) : "(null)");
    info("ppd->groups: %lx", PTR(ppd->groups));
    info("ppd->jcl_ps: %s", str(ppd->jcl_ps));
    info("ppd->patches: %s", str(ppd->patches));
    info("ppd->pcfilename: %s", str(ppd->pcfilename));
    info("ppd->profiles: %lx", PTR(ppd->profiles));
    info("ppd->protocols: %s", str(ppd->protocols));
}

void debugPageHeader(const cups_page_header2_t* h)
{
    info("============== DEBUG CUPS_PAGE_HEADER_T - ptr:%lx", PTR(h));
    if (h == nullptr)
        return;
    info("header->cupsWidth: %d", static_cast<int>(h->cupsWidth));
    info("header->cupsHeight: %d", static_cast<int>(h->cupsHeight));
    info("header->MediaClass: %.64s", h->MediaClass);
    info("header->MediaColor: %.64s", h->MediaColor);
    info("header->MediaType: %.64s", h->MediaType);
    info("header->OutputType: %.64s", h->OutputType);
    info("header->CutMedia: %d", static_cast<int>(headerValue(h->CutMedia)));
    info("header->AdvanceDistance: %u", h->AdvanceDistance);
    info("header->AdvanceMedia: %d", static_cast<int>(headerValue(h->AdvanceMedia)));
    info("header->Collate: %d", static_cast<int>(headerValue(h->Collate)));
    info("header->Duplex: %d", static_cast<int>(headerValue(h->Duplex)));
    info("header->HWResolution: %d %d", static_cast<int>(h->HWResolution[0]), static_cast<int>(h->HWResolution[1]));
    info("header->ImagingBoundingBox: %d %d %d %d", static_cast<int>(h->ImagingBoundingBox[0]),
         static_cast<int>(h->ImagingBoundingBox[1]), static_cast<int>(h->ImagingBoundingBox[2]),
         static_cast<int>(h->ImagingBoundingBox[3]));
    info("header->InsertSheet: %d", static_cast<int>(headerValue(h->InsertSheet)));
    info("header->Jog: %d", static_cast<int>(headerValue(h->Jog)));
    info("header->LeadingEdge: %d", static_cast<int>(headerValue(h->LeadingEdge)));
    info("header->Margins: %d , %d", static_cast<int>(h->Margins[0]), static_cast<int>(h->Margins[1]));
    info("header->ManualFeed: %d", static_cast<int>(headerValue(h->ManualFeed)));
    info("header->MediaPosition: %d", static_cast<int>(h->MediaPosition));
    info("header->MediaWeight: %d", static_cast<int>(h->MediaWeight));
    info("header->MirrorPrint: %d", static_cast<int>(headerValue(h->MirrorPrint)));
    info("header->NegativePrint: %d", static_cast<int>(headerValue(h->NegativePrint)));
    info("header->NumCopies: %d", static_cast<int>(h->NumCopies));
    info("header->Orientation: %d", static_cast<int>(headerValue(h->Orientation)));
    info("header->OutputFaceUp: %d", static_cast<int>(headerValue(h->OutputFaceUp)));
    info("header->PageSize: %d ,%d", static_cast<int>(h->PageSize[0]), static_cast<int>(h->PageSize[1]));
    info("header->Separations: %d", static_cast<int>(headerValue(h->Separations)));
    info("header->TraySwitch: %d", static_cast<int>(headerValue(h->TraySwitch)));
    info("header->Tumble: %d", static_cast<int>(headerValue(h->Tumble)));
    info("header->cupsBitsPercolor: %d", static_cast<int>(h->cupsBitsPerColor));
    info("header->cupsBitsPerPixel: %d", static_cast<int>(h->cupsBitsPerPixel));
    info("header->cupsBitsPerline: %d", static_cast<int>(h->cupsBytesPerLine));
    info("header->cupsColorOrder: %d", static_cast<int>(headerValue(h->cupsColorOrder)));
    info("header->cupsColorSpace: %d", static_cast<int>(headerValue(h->cupsColorSpace)));
    info("header->cupsCompression: %d", static_cast<int>(h->cupsCompression));
    info("header->cupsRowCount: %d", static_cast<int>(h->cupsRowCount));
    info("header->cupsRowFeed: %d", static_cast<int>(h->cupsRowFeed));
    info("header->cupsRowStep: %d", static_cast<int>(h->cupsRowStep));
    info("header->cupsMediaType: %d", static_cast<int>(h->cupsMediaType));
}
