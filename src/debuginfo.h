// Dumps of the filter's inputs to the filter log, one line per value.
#pragma once

#include <cups/cups.h>
#include <cups/raster.h>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>
#pragma GCC diagnostic pop

void debugOptions(int num_options, cups_option_t* options);
void debugRaster(const cups_raster_t* ras);
void debugPPDFile(const ppd_file_t* ppd);
void debugPageHeader(const cups_page_header2_t* header);
