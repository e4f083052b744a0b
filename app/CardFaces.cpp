// PAPPL's raster callbacks turned into the pipeline's card faces: every page
// becomes the bottom-up BGR face bitmap the filter's page loop builds, and
// the pipeline's stream goes to the device, one whole card per write.
//
// The pipeline keeps class-wide state (the pixel levels of the face being
// processed, the log and its sink), and PAPPL runs every job on a thread of
// its own: a job holds the process-wide pipelineMutex from its start
// (startJob) to its end (endJob, or the callback that fails), so jobs of
// several printers take turns through the pipeline. The status lines and
// counters are the job's own (CardJob::status).
#include "CardApp.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include "COemPDEV.h"
#include "Exceptions/TavGdiException.h"
#include "InternalLog.h"
#include "MediaDefinition.h"
#include "input/PageBounds.h"
#include "input/RasterRows.h"
#include "pipeline/StatusReporter.h"
#include "pipeline/UniDriverAdapter.h"
#include "settings/OptionPairsSettingsReader.h"

using tavgdi::StatusReporter;

namespace cr80app {

namespace {

std::mutex pipelineMutex;

void statusLine(const std::string& line);

// One job on its way through the pipeline.
struct CardJob {
    std::unique_lock<std::mutex> lock{pipelineMutex};
    pappl_job_t* job = nullptr;
    pappl_device_t* device = nullptr;
    struct DeviceCloser {
        void operator()(pappl_device_t* d) const { papplDeviceClose(d); }
    };
    std::unique_ptr<pappl_device_t, DeviceCloser> ownDevice;
    std::unique_ptr<OptionPairsSettingsReader> settings;
    // The job's status lines become its messages (statusLine).
    StatusReporter status{statusLine};
    COemPDEV pdev{status};
    DEVOBJ devobj = {};
    std::unique_ptr<tavgdi::UniDriverAdapter> adapter;
    // The page being received.
    unsigned width = 0, height = 0;
    bool isGray = false;
    unsigned long long stride = 0;
    unsigned rowsWritten = 0;
    // A whole face waits in pdev until the next page or the end of the job
    // says whether it is the last one.
    bool hasPendingFace = false;
    bool hasFailed = false;
    std::string logLine;

    ~CardJob()
    {
        adapter.reset();
        releaseFace();
        pdev.interSettings = nullptr;
    }
    void releaseFace()
    {
        std::free(pdev.pBufStart);
        pdev.pBufStart = nullptr;
        pdev.bmInfoHeader.biSizeImage = 0;
    }
};

// The job holding pipelineMutex, for the pipeline's writer and logs.
CardJob* current = nullptr;

// The pipeline's output callback: each call is a whole unit of the stream
// (the document head, one copy of a card, the document tail), pushed to the
// printer at once.
dword deviceWriter(void*, void* buffer, dword size)
{
    if (current == nullptr || buffer == nullptr || size == 0 || current->status.isStreamLost())
        return 0;
    if (papplDeviceWrite(current->device, buffer, size) != static_cast<ssize_t>(size)) {
        papplLogJob(current->job, PAPPL_LOGLEVEL_ERROR, "Unable to send %u bytes to the printer.", size);
        current->status.streamFailed("the printer did not take the data");
        return 0;
    }
    papplDeviceFlush(current->device);
    return size;
}

// The pipeline's status lines become the job's messages; an ERROR line
// fails the job.
void statusLine(const std::string& line)
{
    if (current == nullptr)
        return;
    struct Kind {
        const char* prefix;
        pappl_loglevel_t level;
    };
    static const Kind Kinds[] = {
        {"ERROR: ", PAPPL_LOGLEVEL_ERROR}, {"WARNING: ", PAPPL_LOGLEVEL_WARN}, {"INFO: ", PAPPL_LOGLEVEL_INFO}};
    for (const Kind& kind : Kinds) {
        const size_t n = std::strlen(kind.prefix);
        if (line.compare(0, n, kind.prefix) != 0)
            continue;
        const std::string text = line.substr(n);
        papplLogJob(current->job, kind.level, "%s", text.c_str());
        papplJobSetMessage(current->job, "%s", text.c_str());
        if (kind.level == PAPPL_LOGLEVEL_ERROR)
            current->hasFailed = true;
        return;
    }
}

// The pipeline's trace, at debug level, line by line.
void traceText(const char* text, size_t length)
{
    if (current == nullptr)
        return;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == '\n') {
            papplLogJob(current->job, PAPPL_LOGLEVEL_DEBUG, "%s", current->logLine.c_str());
            current->logLine.clear();
        } else if (text[i] != '\r' && current->logLine.size() < 2048) {
            current->logLine.push_back(text[i]);
        }
    }
}

// Whether the job's media is one the printer offers: PAPPL puts its default
// in place of media it does not offer, so the job's own request is checked.
bool isOfferedJobMedia(pappl_job_t* job, std::string* named)
{
    if (ipp_attribute_t* media = papplJobGetAttribute(job, "media")) {
        const char* name = ippGetString(media, 0, nullptr);
        *named = name != nullptr ? name : "";
        return isOfferedMedia(name);
    }
    ipp_attribute_t* col = papplJobGetAttribute(job, "media-col");
    ipp_t* value = col != nullptr ? ippGetCollection(col, 0) : nullptr;
    if (value == nullptr)
        return true;
    if (ipp_attribute_t* name = ippFindAttribute(value, "media-size-name", IPP_TAG_ZERO)) {
        *named = ippGetString(name, 0, nullptr) ? ippGetString(name, 0, nullptr) : "";
        return isOfferedMedia(named->c_str());
    }
    ipp_attribute_t* size = ippFindAttribute(value, "media-size", IPP_TAG_BEGIN_COLLECTION);
    ipp_t* sizeCol = size != nullptr ? ippGetCollection(size, 0) : nullptr;
    if (sizeCol == nullptr)
        return true;
    const int width = ippGetInteger(ippFindAttribute(sizeCol, "x-dimension", IPP_TAG_INTEGER), 0);
    const int length = ippGetInteger(ippFindAttribute(sizeCol, "y-dimension", IPP_TAG_INTEGER), 0);
    *named = std::to_string(width) + "x" + std::to_string(length) + " (hundredths of mm)";
    return isOfferedSize(width, length);
}

// The job's settings as the pipeline reads them: media, resolution and
// sides under the names the filter's settings reader knows.
OptionPairsSettingsReader::Pairs jobSettings(const pappl_pr_options_t* options)
{
    OptionPairsSettingsReader::Pairs pairs;
    pairs.emplace_back("media", options->media.size_name);
    unsigned xdpi = options->header.HWResolution[0], ydpi = options->header.HWResolution[1];
    if (xdpi == 0 || ydpi == 0) {
        xdpi = static_cast<unsigned>(options->printer_resolution[0]);
        ydpi = static_cast<unsigned>(options->printer_resolution[1]);
    }
    pairs.emplace_back("Resolution", std::to_string(xdpi) + "x" + std::to_string(ydpi) + "dpi");
    const char* sides = options->sides == PAPPL_SIDES_TWO_SIDED_LONG_EDGE    ? "two-sided-long-edge"
                        : options->sides == PAPPL_SIDES_TWO_SIDED_SHORT_EDGE ? "two-sided-short-edge"
                                                                             : "one-sided";
    pairs.emplace_back("sides", sides);
    return pairs;
}

// Hands the waiting face over; `isLast` closes an odd last card.
void handOverFace(CardJob& cj, bool isLast)
{
    if (!cj.hasPendingFace)
        return;
    cj.hasPendingFace = false;
    if (!cj.status.isStreamLost() && !cj.adapter->newFace(&cj.devobj, isLast))
        papplLogJob(cj.job, PAPPL_LOGLEVEL_WARN, "The pipeline refused a face.");
    cj.releaseFace();
}

// Ends the document: the last face, the document tail, and the job's
// release of the pipeline. True when no card was lost.
bool finishJob(pappl_job_t* job, bool isAborted)
{
    CardJob* cj = static_cast<CardJob*>(papplJobGetData(job));
    if (cj == nullptr)
        return false;
    bool ok = !isAborted;
    try {
        if (!isAborted)
            handOverFace(*cj, true);
        if (!cj->adapter->endDoc(&cj->devobj))
            papplLogJob(job, PAPPL_LOGLEVEL_DEBUG, "No card was sent.");
    } catch (const tavgdi::TavGdiException&) {
        cj->status.jobError("The printer driver stopped on an internal error; the rest of the job was not printed");
    }
    ok = ok && !cj->hasFailed && !cj->status.isStreamLost();
    papplJobSetData(job, nullptr);
    current = nullptr;
    delete cj;
    return ok;
}

// Fails the job at a page: the faces before it are still printed.
bool failPage(pappl_job_t* job, unsigned page, const char* what)
{
    CardJob* cj = static_cast<CardJob*>(papplJobGetData(job));
    if (cj != nullptr) {
        cj->status.pageError(static_cast<int>(page), what);
        handOverFace(*cj, true);
        finishJob(job, true);
    }
    return false;
}

} // namespace

void routePipelineOutput()
{
    tavgdi::InternalLog::isEnable = false;
    tavgdi::InternalLog::sink = traceText;
}

bool startJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device)
{
    claimJobOrLeave(job);
    std::string media;
    if (!isOfferedJobMedia(job, &media)) {
        papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Media \"%s\" is not offered.", media.c_str());
        papplJobSetMessage(job, "The card size \"%s\" is not offered by this printer; nothing was printed",
                           media.c_str());
        return false;
    }
    OptionPairsSettingsReader::Pairs settings = jobSettings(options);
    std::string refusal;
    if (!cardSettingsOf(job, options, &settings, &refusal)) {
        papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "%s", refusal.c_str());
        papplJobSetMessage(job, "%s", refusal.c_str());
        return false;
    }
    std::unique_ptr<CardJob> cj(new CardJob); // waits for the pipeline
    current = cj.get();
    cj->job = job;
    cj->device = device;
    // A job PAPPL 1.3.1 started beside another one of the same printer (see
    // JobClaims.cpp) was handed the device the other one opened, and PAPPL
    // closes a file: device when that job ends, while this one may still
    // print. A file takes a second writer, so each job writes its own.
    pappl_printer_t* owner = papplJobGetPrinter(job);
    const char* uri = papplPrinterGetDeviceURI(owner);
    if (uri != nullptr && std::strncmp(uri, "file:", 5) == 0) {
        cj->ownDevice.reset(papplDeviceOpen(uri, papplJobGetName(job), papplLogDevice, papplPrinterGetSystem(owner)));
        if (!cj->ownDevice) {
            papplJobSetMessage(job, "The output file could not be opened; nothing was printed");
            current = nullptr;
            return false;
        }
        cj->device = cj->ownDevice.get();
    }
    // The pipeline's trace costs time: it is written at debug level only.
    tavgdi::InternalLog::isEnable =
        papplSystemGetLogLevel(papplPrinterGetSystem(papplJobGetPrinter(job))) == PAPPL_LOGLEVEL_DEBUG;

    OptionPairsSettingsReader::Pairs printer;
    if (!pictureDirectory().empty())
        printer.emplace_back("cr80PictureDir", pictureDirectory());
    cj->settings.reset(new OptionPairsSettingsReader(settings, printer));
    cj->pdev.interSettings = cj->settings.get();
    cj->devobj.pdevOEM = &cj->pdev;
    cj->devobj.interSettings = cj->settings.get();
    try {
        cj->adapter = std::make_unique<tavgdi::UniDriverAdapter>(deviceWriter, cj->status);
        std::string title = papplJobGetName(job) != nullptr ? papplJobGetName(job) : "card";
        if (!cj->adapter->startDoc(&title[0], static_cast<dword>(papplJobGetID(job)), &cj->devobj, nullptr, 0, false))
            cj->status.jobError("The print job could not be started; nothing was printed");
    } catch (const tavgdi::TavGdiException&) {
        cj->status.jobError("The printer driver stopped on an internal error; nothing was printed");
        current = nullptr;
        return false;
    }
    papplJobSetData(job, cj.release());
    return true;
}

bool startPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t*, unsigned page)
{
    CardJob* cj = static_cast<CardJob*>(papplJobGetData(job));
    if (cj == nullptr)
        return false;
    try {
        handOverFace(*cj, false);
    } catch (const tavgdi::TavGdiException&) {
        return failPage(job, page, "was not printed: the printer driver stopped on an internal error");
    }
    if (papplJobIsCanceled(job)) {
        finishJob(job, true);
        return false;
    }
    cj->status.setCurrentPage(static_cast<int>(page));

    // 8-bit sRGB, or 8-bit gray expanded to RGB; nothing else.
    const cups_page_header2_t& h = options->header;
    const bool isGraySpace = h.cupsColorSpace == CUPS_CSPACE_SW || h.cupsColorSpace == CUPS_CSPACE_W;
    const bool isRgbSpace = h.cupsColorSpace == CUPS_CSPACE_SRGB || h.cupsColorSpace == CUPS_CSPACE_RGB ||
                            h.cupsColorSpace == CUPS_CSPACE_ADOBERGB;
    const bool isGray = isGraySpace && h.cupsBitsPerPixel == 8 && h.cupsBytesPerLine == h.cupsWidth;
    const bool isRgb = isRgbSpace && h.cupsBitsPerPixel == 24 && h.cupsBytesPerLine == 3ull * h.cupsWidth;
    if (h.cupsBitsPerColor != 8 || (!isGray && !isRgb) || h.cupsWidth == 0 || h.cupsHeight == 0) {
        char why[200];
        std::snprintf(why, sizeof why,
                      "cannot be printed: it is not an 8-bit RGB or gray page (%ux%u dots, colour space %u, %u bits "
                      "per colour, %u bits per pixel)",
                      h.cupsWidth, h.cupsHeight, static_cast<unsigned>(h.cupsColorSpace), h.cupsBitsPerColor,
                      h.cupsBitsPerPixel);
        return failPage(job, page, why);
    }
    if (tavgdi::PageBounds::check(h.cupsWidth, h.cupsHeight, cj->adapter->getMedia()) != tavgdi::PageBounds::Fits) {
        char why[160];
        std::snprintf(why, sizeof why, "cannot be printed: at %ux%u dots it is far larger than a card", h.cupsWidth,
                      h.cupsHeight);
        return failPage(job, page, why);
    }
    cj->width = h.cupsWidth;
    cj->height = h.cupsHeight;
    cj->isGray = isGray;
    cj->stride = tavgdi::PageBounds::stride(h.cupsWidth);
    cj->rowsWritten = 0;
    const size_t bytes = static_cast<size_t>(cj->stride * cj->height);
    cj->pdev.pBufStart = static_cast<byte*>(std::malloc(bytes));
    if (cj->pdev.pBufStart == nullptr)
        return failPage(job, page, "cannot be printed: there is not enough memory for it");
    cj->pdev.bmInfoHeader.biBitCount = 24;
    cj->pdev.bmInfoHeader.biSizeImage = static_cast<dword>(bytes);
    cj->pdev.bmInfoHeader.biWidth = static_cast<int32_t>(cj->width);
    cj->pdev.bmInfoHeader.biHeight = static_cast<int32_t>(cj->height);
    return true;
}

bool writeLine(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t*, unsigned y, const unsigned char* line)
{
    CardJob* cj = static_cast<CardJob*>(papplJobGetData(job));
    if (cj == nullptr || cj->pdev.pBufStart == nullptr)
        return cj != nullptr ? finishJob(job, true) : false;
    if (y >= cj->height || line == nullptr)
        return true;
    // The first raster row becomes the last bitmap row.
    byte* row = cj->pdev.pBufStart + static_cast<size_t>(cj->height - y - 1) * cj->stride;
    if (cj->isGray)
        tavgdi::RasterRows::grayToBgr(line, row, cj->width);
    else
        tavgdi::RasterRows::toBgr(line, row, cj->width);
    std::memset(row + 3ull * cj->width, 0, static_cast<size_t>(cj->stride - 3ull * cj->width));
    if (y + 1 > cj->rowsWritten)
        cj->rowsWritten = y + 1;
    return true;
}

bool endPage(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t*, unsigned page)
{
    CardJob* cj = static_cast<CardJob*>(papplJobGetData(job));
    if (cj == nullptr || cj->pdev.pBufStart == nullptr)
        return cj != nullptr ? finishJob(job, true) : false;
    if (papplJobIsCanceled(job)) {
        finishJob(job, true);
        return false;
    }
    // Rows the document did not deliver carry no ink.
    for (unsigned y = cj->rowsWritten; y < cj->height; ++y) {
        byte* row = cj->pdev.pBufStart + static_cast<size_t>(cj->height - y - 1) * cj->stride;
        std::memset(row, 255, 3ull * cj->width);
        std::memset(row + 3ull * cj->width, 0, static_cast<size_t>(cj->stride - 3ull * cj->width));
    }
    if (cj->rowsWritten < cj->height)
        papplLogJob(job, PAPPL_LOGLEVEL_WARN, "Page %u ended %u rows early; the missing rows are left white.", page,
                    cj->height - cj->rowsWritten);
    cj->hasPendingFace = true;
    return true;
}

bool endJob(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t*)
{
    return finishJob(job, papplJobIsCanceled(job));
}

} // namespace cr80app
