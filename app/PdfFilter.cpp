// application/pdf: ghostscript renders each PDF page as a PWG raster page at
// the job's card size and resolution, and every page goes through the
// driver's raster callbacks, as PAPPL's own raster formats do.
#include "CardApp.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace cr80app {

namespace {

// Starts ghostscript on `file`; its standard output (the raster) is *out.
pid_t startGhostscript(const pappl_pr_options_t* options, const char* file, int* out)
{
    char resolution[64], width[64], height[64];
    std::snprintf(resolution, sizeof resolution, "-r%dx%d", options->printer_resolution[0],
                  options->printer_resolution[1]);
    // Points from hundredths of mm.
    std::snprintf(width, sizeof width, "-dDEVICEWIDTHPOINTS=%.3f", options->media.size_width * 72.0 / 2540.0);
    std::snprintf(height, sizeof height, "-dDEVICEHEIGHTPOINTS=%.3f", options->media.size_length * 72.0 / 2540.0);
    std::vector<const char*> argv = {"gs",
                                     "-q",
                                     "-dNOPAUSE",
                                     "-dBATCH",
                                     "-dSAFER",
                                     "-sDEVICE=pwgraster",
                                     resolution,
                                     "-dcupsColorSpace=19",
                                     "-dcupsBitsPerColor=8",
                                     width,
                                     height,
                                     "-dFIXEDMEDIA",
                                     "-dPDFFitPage",
                                     "-sOutputFile=-",
                                     file,
                                     nullptr};
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        close(fds[1]);
        const int null = open("/dev/null", O_RDWR);
        if (null >= 0) {
            dup2(null, 0);
            dup2(null, 2);
        }
        execvp("gs", const_cast<char* const*>(argv.data()));
        _exit(127);
    }
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return -1;
    }
    *out = fds[0];
    return pid;
}

// Feeds the raster's pages to the driver's callbacks; false when a callback
// refused or the job was canceled.
bool printPages(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, cups_raster_t* raster,
                const pappl_pr_driver_data_t& driver, unsigned* pages)
{
    cups_page_header2_t header;
    if (!cupsRasterReadHeader2(raster, &header))
        return false;
    options->header = header;
    if (!(driver.rstartjob_cb)(job, options, device))
        return false;
    std::vector<unsigned char> line;
    bool ok = true;
    do {
        options->header = header;
        ++*pages;
        if (!(driver.rstartpage_cb)(job, options, device, *pages))
            return false;
        line.resize(header.cupsBytesPerLine);
        for (unsigned y = 0; y < header.cupsHeight; ++y) {
            if (cupsRasterReadPixels(raster, line.data(), header.cupsBytesPerLine) == 0)
                break;
            if (!(driver.rwriteline_cb)(job, options, device, y, line.data()))
                return false;
        }
        if (!(driver.rendpage_cb)(job, options, device, *pages))
            return false;
        papplJobSetImpressionsCompleted(job, 1);
    } while (!papplJobIsCanceled(job) && cupsRasterReadHeader2(raster, &header));
    ok = (driver.rendjob_cb)(job, options, device) && !papplJobIsCanceled(job);
    return ok;
}

} // namespace

bool printPdf(pappl_job_t* job, pappl_device_t* device, void*)
{
    claimJobOrLeave(job);
    pappl_pr_driver_data_t driver;
    papplPrinterGetDriverData(papplJobGetPrinter(job), &driver);
    pappl_pr_options_t* options = papplJobCreatePrintOptions(job, 0, true);
    if (options == nullptr)
        return false;
    int out = -1;
    const pid_t gs = startGhostscript(options, papplJobGetFilename(job), &out);
    if (gs < 0) {
        papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Unable to start ghostscript: %s", std::strerror(errno));
        papplJobDeletePrintOptions(options);
        return false;
    }
    cups_raster_t* raster = cupsRasterOpen(out, CUPS_RASTER_READ);
    unsigned pages = 0;
    bool ok = raster != nullptr && printPages(job, options, device, raster, driver, &pages);
    cupsRasterClose(raster);
    close(out);
    // A job that stopped early does not wait for the rest of the rendering.
    if (!ok)
        kill(gs, SIGTERM);
    int status = 0;
    waitpid(gs, &status, 0);
    if (ok && pages == 0) {
        papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "The PDF document gave no page (ghostscript status %d).", status);
        papplJobSetMessage(job, "The PDF document could not be read; nothing was printed");
        ok = false;
    }
    papplJobSetImpressions(job, static_cast<int>(pages));
    papplJobDeletePrintOptions(options);
    return ok;
}

} // namespace cr80app
