// The card printer application: PAPPL's main loop with one driver, "cr80".
// One file per concern: the system and its server options (CardSystem.cpp),
// what the printer offers (CardDriver.cpp), PAPPL's raster callbacks turned
// into the pipeline's card faces (CardFaces.cpp), and PDF through
// ghostscript (PdfFilter.cpp).
#pragma once

#include <pappl/pappl.h>

#include <string>

#include "settings/OptionPairsSettingsReader.h"

namespace cr80app {

// The one driver's name, as `add -m` and `-o printer-name=` use it.
extern const char* const DriverName;

// papplMainloop's callbacks.
pappl_system_t* createSystem(int num_options, cups_option_t* options, void* data);
bool fillDriver(pappl_system_t* system, const char* driver_name, const char* device_uri, const char* device_id,
                pappl_pr_driver_data_t* driver_data, ipp_t** driver_attrs, void* data);
// Runs after a printer is created or loaded: supplies.
void printerCreated(pappl_printer_t* printer, void* data);

// The driver's printer attributes beyond its data: the card settings
// -supported and -default values (the defaults kept from `current`, the
// printer's attributes, when given) and what IPP Everywhere asks for.
ipp_t* driverAttributes(pappl_pr_driver_data_t* driver_data, ipp_t* current);

// The card settings as vendor attributes: their names in the driver data,
// their -supported and -default values in `attrs` (defaults kept from
// `current` when given), and the colour modes of the ribbon they name.
void fillCardSettings(pappl_pr_driver_data_t* driver_data, ipp_t* attrs, ipp_t* current);
// The printer's "Card settings" web page and its tab.
void addCardSettingsPage(pappl_printer_t* printer);
// The words of the card settings and their choices, for the web pages.
void addCardSettingsStrings(pappl_system_t* system);
// Offers the colour modes of the ribbon the printer's settings name.
void followRibbon(pappl_printer_t* printer);
// The job's card settings as the filter's settings: the job's vendor
// attributes, else the printer's defaults. False, with the job message in
// `refusal`, when a value is none the setting takes.
bool cardSettingsOf(pappl_job_t* job, const pappl_pr_options_t* options, OptionPairsSettingsReader::Pairs* pairs,
                    std::string* refusal);

// The offered card sizes: the PWG media name of a card, and whether a job's
// media is one the printer offers (name, or size in hundredths of mm).
bool isOfferedMedia(const char* name);
bool isOfferedSize(int width, int length);

// Sends the pipeline's trace and status lines to the job being printed
// (PAPPL's log and job messages) instead of standard error; called once,
// before any job.
void routePipelineOutput();

// Claims `job` for the calling thread; a second thread with a job already
// claimed ends here (see JobClaims.cpp).
void claimJobOrLeave(pappl_job_t* job);

// The raster callbacks of the driver.
bool startJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device);
bool startPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, unsigned page);
bool writeLine(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, unsigned y,
               const unsigned char* line);
bool endPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, unsigned page);
bool endJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device);

// The driver's format: documents PAPPL cannot tell the format of, refused by
// refuseUnknownDocument. Filters that print through the raster callbacks
// themselves convert to it.
extern const char* const RawFormat;
bool refuseUnknownDocument(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device);

// The image/jpeg filter: the decoded photo goes to PAPPL's image printing,
// interpolated only when it must be scaled to the card.
bool printJpeg(pappl_job_t* job, pappl_device_t* device, void* data);

// The application/pdf filter: ghostscript renders the pages as PWG raster at
// the job's media and resolution, and they go through the callbacks above.
bool printPdf(pappl_job_t* job, pappl_device_t* device, void* data);

// The picture directory given with -o picture-directory= ("" when none).
const std::string& pictureDirectory();
void setPictureDirectory(const std::string& directory);

} // namespace cr80app
