// The card printer application: PAPPL's main loop with one driver, "cr80".
// One file per concern: the system and its server options (CardSystem.cpp),
// what the printer offers (CardDriver.cpp), PAPPL's raster callbacks turned
// into the pipeline's card faces (CardFaces.cpp), and PDF through
// ghostscript (PdfFilter.cpp).
#pragma once

#include <pappl/pappl.h>

#include <string>

namespace cr80app {

// The one driver's name, as `add -m` and `-o printer-name=` use it.
extern const char* const DriverName;

// papplMainloop's callbacks.
pappl_system_t* createSystem(int num_options, cups_option_t* options, void* data);
bool fillDriver(pappl_system_t* system, const char* driver_name, const char* device_uri, const char* device_id,
                pappl_pr_driver_data_t* driver_data, ipp_t** driver_attrs, void* data);
// Runs after a printer is created or loaded: supplies.
void printerCreated(pappl_printer_t* printer, void* data);

// The offered card sizes: the PWG media name of a card, and whether a job's
// media is one the printer offers (name, or size in hundredths of mm).
bool isOfferedMedia(const char* name);
bool isOfferedSize(int width, int length);

// Sends the pipeline's trace and status lines to the job being printed
// (PAPPL's log and job messages) instead of standard error; called once,
// before any job.
void routePipelineOutput();

// The raster callbacks of the driver.
bool startJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device);
bool startPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, unsigned page);
bool writeLine(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, unsigned y,
               const unsigned char* line);
bool endPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, unsigned page);
bool endJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device);

// The application/pdf filter: ghostscript renders the pages as PWG raster at
// the job's media and resolution, and they go through the callbacks above.
bool printPdf(pappl_job_t* job, pappl_device_t* device, void* data);

// The picture directory given with -o picture-directory= ("" when none).
const std::string& pictureDirectory();
void setPictureDirectory(const std::string& directory);

} // namespace cr80app
