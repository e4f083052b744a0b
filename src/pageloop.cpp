#include "pageloop.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <malloc.h>
#include <memory>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "COemPDEV.h"
#include "Exceptions/TavGdiException.h"
#include "MediaDefinition.h"
#include "debuginfo.h"
#include "pipeline/StatusReporter.h"
#include "input/RasterRows.h"
#include "pipeline/UniDriverAdapter.h"
#include "rasterheader.h"
#include "settings/CupsExternalInterSettingsReader.h"
#include "tavrinerror.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

#ifndef CR80_VERSION
#define CR80_VERSION "0.0.0"
#endif

#define PTR(p) ((unsigned long)(uintptr_t)(p))

using tavgdi::StatusReporter;
using tavgdi::UniDriverAdapter;

// Every call hands over a whole unit of the stream (the document head, one
// copy of a card, the document tail), so each one is pushed out of the stdio
// buffer at once: a card the filter has counted has left the process whole,
// and the printer never waits on the end of a card while the next page is
// being read. A write that fails loses the stream for good.
dword fileWriter(void* obj, void* pBuffer, dword cbSize)
{
    PDEVOBJ devobj = static_cast<PDEVOBJ>(obj);
    StatusReporter* status = devobj != nullptr && devobj->pdevOEM != nullptr ? &devobj->pdevOEM->status : nullptr;
    if (pBuffer == nullptr || cbSize == 0 || (status != nullptr && status->isStreamLost()))
        return 0;
    errno = 0;
    const size_t written = fwrite(pBuffer, 1, cbSize, stdout);
    if (written == cbSize && fflush(stdout) == 0)
        return cbSize;
    const int cause = errno;
    info("fileWriter fails (%lu of %lu bytes written: %s)", static_cast<unsigned long>(written),
         static_cast<unsigned long>(cbSize), cause != 0 ? strerror(cause) : "write error");
    if (status != nullptr)
        status->streamFailed(cause != 0 ? strerror(cause) : nullptr);
    return 0;
}

// Releases the face bitmap the page loop handed over last.
static void releaseFace(COemPDEV* pdev)
{
    free(pdev->pBufStart);
    pdev->pBufStart = nullptr;
    pdev->bmInfoHeader.biSizeImage = 0;
}

// False, with why in `failure`, for a page the filter does not take.
static bool isAcceptedPage(const cups_page_header2_t* h, const tavgdi::MediaDefinition* media,
                           unsigned long long* stride, std::string* failure)
{
    const unsigned long long width = h->cupsWidth, height = h->cupsHeight;
    if (h->cupsBitsPerColor != 8 || h->cupsBitsPerPixel != 24 || headerValue(h->cupsColorOrder) != CUPS_ORDER_CHUNKED ||
        width == 0 || height == 0 || h->cupsBytesPerLine != 3 * width) {
        info("fillBitmap fails (unsupported page: %ux%u dots, %u bits per colour, %u bits per pixel, colour order %u, "
             "%u bytes per line; 8-bit chunky RGB expected)",
             h->cupsWidth, h->cupsHeight, h->cupsBitsPerColor, h->cupsBitsPerPixel, headerValue(h->cupsColorOrder),
             h->cupsBytesPerLine);
        char why[256];
        snprintf(why, sizeof(why),
                 "cannot be printed: it is not an 8-bit RGB page (%ux%u dots, %u bits per colour, %u bits per "
                 "pixel); the queue must use the card printer's PPD",
                 h->cupsWidth, h->cupsHeight, h->cupsBitsPerColor, h->cupsBitsPerPixel);
        *failure = why;
        return false;
    }
    const tavgdi::PageBounds::Verdict verdict = tavgdi::PageBounds::check(h->cupsWidth, h->cupsHeight, media);
    if (verdict == tavgdi::PageBounds::LargerThanCard)
        info("fillBitmap fails (page of %ux%u dots is more than %llu times the card's %ux%u dots)", h->cupsWidth,
             h->cupsHeight, MaxPageToCardRatio, media->getWidth(), media->getHeight());
    else if (verdict == tavgdi::PageBounds::LargerThanBuffer)
        info("fillBitmap fails (page of %ux%u dots is larger than %llu bytes)", h->cupsWidth, h->cupsHeight,
             MaxFaceBufferBytes);
    if (verdict != tavgdi::PageBounds::Fits) {
        char why[160];
        snprintf(why, sizeof(why), "cannot be printed: at %ux%u dots it is far larger than a card", h->cupsWidth,
                 h->cupsHeight);
        *failure = why;
        return false;
    }
    *stride = tavgdi::PageBounds::stride(h->cupsWidth);
    return true;
}

FillResult fillBitmap(cups_raster_t* ras, cups_page_header2_t* header, PDEVOBJ pdevobj, tavgdi::MediaDefinition* media)
{
    if (ras == nullptr || header == nullptr || pdevobj == nullptr || pdevobj->pdevOEM == nullptr) {
        info("fillBitmap fails (null parameter)");
        return {false, "cannot be read: the print data is missing"};
    }
    COemPDEV* pdev = pdevobj->pdevOEM;
    releaseFace(pdev);

    unsigned long long stride = 0;
    FillResult refused{false, std::string()};
    if (!isAcceptedPage(header, media, &stride, &refused.failure))
        return refused;

    const dword width = header->cupsWidth, height = header->cupsHeight;
    const dword lineBytes = header->cupsBytesPerLine;
    const size_t bufferSz = static_cast<size_t>(stride * height);
    byte* buffer = static_cast<byte*>(malloc(bufferSz));
    byte* bufferLine = static_cast<byte*>(malloc(lineBytes));
    if (buffer == nullptr || bufferLine == nullptr) {
        free(buffer);
        free(bufferLine);
        info("fillBitmap fails (malloc)");
        return {false, "cannot be printed: there is not enough memory for it"};
    }
    // Each row is written whole below, its padding (stride - lineBytes) as 0.
    const size_t padding = static_cast<size_t>(stride) - lineBytes;

    // The first raster row becomes the last bitmap row; each RGB triple
    // becomes B, G, R.
    dword y = 0;
    for (; y < height; ++y) {
        if (cupsRasterReadPixels(ras, bufferLine, lineBytes) == 0)
            break;
        byte* dst = buffer + static_cast<size_t>(height - y - 1) * stride;
        tavgdi::RasterRows::toBgr(bufferLine, dst, width);
        memset(dst + lineBytes, 0, padding);
    }
    if (y < height) {
        // Rows the raster did not deliver carry no ink.
        for (dword missing = y; missing < height; ++missing) {
            byte* row = buffer + static_cast<size_t>(height - missing - 1) * stride;
            memset(row, 255, lineBytes);
            memset(row + lineBytes, 0, padding);
        }
        info("Warning - raster ended %u rows before the end of the page (%u rows); the missing rows are left white",
             height - y, height);
    }
    free(bufferLine);

    pdev->bmInfoHeader.biBitCount = 24;
    pdev->pBufStart = buffer;
    pdev->bmInfoHeader.biSizeImage = static_cast<dword>(bufferSz);
    pdev->bmInfoHeader.biWidth = static_cast<int32_t>(width);
    pdev->bmInfoHeader.biHeight = static_cast<int32_t>(height);
    return {true, std::string()};
}

void Setup()
{
    info(">>>>>>.<<<<<< Setup");
}

void Shutdown()
{
    info(">>>>>>.<<<<<< Shutdown");
}

void EndPage(cups_page_header2_t* header)
{
    info(">>>>>> EndPage");
    info("Cups Header Ptr: %lx", PTR(header));
    info("on gere les signaux ici pour ignorer effet du signal");
    signal(SIGTERM, SIG_IGN);
    info("<<<<<< EndPage");
    // Standard error is buffered: each page's log goes out when the page ends.
    fflush(stderr);
}

// Standard error is fully buffered for speed (a card logs hundreds of lines);
// the buffer is flushed at the end of every page, on fatal messages, at the
// end of the run and when the process is about to abort.
static void bufferStandardError()
{
    static char buffer[1 << 16];
    setvbuf(stderr, buffer, _IOFBF, sizeof buffer);
    static bool isHandlerSet = false;
    if (!isHandlerSet) {
        isHandlerSet = true;
        static std::terminate_handler previous = std::set_terminate([] {
            fflush(stderr);
            setvbuf(stderr, nullptr, _IONBF, 0);
            if (previous != nullptr)
                previous();
            abort();
        });
    }
}

// The pipeline allocates and frees the same few large panel buffers for every
// card: keep them on the heap (not mapped and unmapped each time), so that a
// card does not pay for fresh zeroed pages. The heap is grown once by room
// for a card's buffers, and that room is marked for huge pages where the
// system offers them on request: the first card then touches a few 2 MB
// pages instead of thousands of small ones.
static void keepLargeBuffers()
{
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    mallopt(M_TOP_PAD, 24 << 20);
    // A block larger than the heap's room grows the heap by the pad; what
    // follows the block up to the break is the room.
    void* probe = malloc(1 << 20);
    if (probe == nullptr)
        return;
    const uintptr_t hugePage = 2u << 20;
    const uintptr_t from = (reinterpret_cast<uintptr_t>(probe) + hugePage - 1) & ~(hugePage - 1);
    const uintptr_t to = reinterpret_cast<uintptr_t>(sbrk(0)) & ~(hugePage - 1);
    if (to > from && to - from <= (64u << 20))
        madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE); // a hint: failure changes nothing
    free(probe);
}

// Drives the adapter over every page of the raster; iter counts the rounds.
static void runPageLoop(UniDriverAdapter& udrv, COemPDEV& cpdev, cups_raster_t* ras, char* title, int& iter)
{
    StatusReporter& status = cpdev.status;
    DEVOBJ devobj;
    devobj.hPrinter = nullptr;
    devobj.pdevOEM = &cpdev;
    devobj.interSettings = cpdev.interSettings;
    devobj.pPublicDM = nullptr;

    if (!udrv.startDoc(title, 1, &devobj, nullptr, 0, false)) {
        info("StartDoc failed");
        status.jobError("The print job could not be started; nothing was printed");
    }

    cups_page_header2_t header;
    memset(&header, 0, sizeof(header));
    iter = 0;
    int res = 3;
    int failedPage = 0;
    const bool hasFirstPage = cupsRasterReadHeader2(ras, &header) != 0;
    do {
        iter += 1;
        status.setCurrentPage(iter);
        info("Start Round #%d (cupsRasterReadHeader2)", iter);
        debugPageHeader(&header);
        debugRaster(ras);
        tavgdi::MediaDefinition* media = udrv.getMedia();
        const FillResult filled = fillBitmap(ras, &header, &devobj, media);
        if (filled) {
            // The next header may keep us waiting for input: let the log of
            // this page out first.
            fflush(stderr);
            res = cupsRasterReadHeader2(ras, &header);
            info("res : %d", res);
            if (res != 0) {
                if (!udrv.newFace(&devobj, false))
                    info("Warning - new face failed");
                releaseFace(&cpdev);
                EndPage(&header);
                if (status.isStreamLost()) {
                    // Nothing more can reach the printer: read no more pages.
                    info("Warning - the printer stream is lost; no further page is read");
                    res = 0;
                }
            }
        } else {
            // A page that cannot be read ends the job: the faces handed
            // over so far are still printed.
            info("Warning - not able to read input raster");
            releaseFace(&cpdev);
            failedPage = iter;
            if (iter == 1 && !hasFirstPage)
                status.pageError(iter, "cannot be read: the job holds no readable page (the print data is empty "
                                       "or damaged)");
            else
                status.pageError(iter, filled.failure.c_str());
            res = 0;
        }
        info("Calling EndPage from Main ...");
    } while (res != 0);

    if (!status.isStreamLost() && !udrv.newFace(&devobj, true))
        info("Warning - new face failed");
    releaseFace(&cpdev);
    if (!udrv.endDoc(&devobj))
        info("Warning - endDoc failed");
    EndPage(&header);
    if (failedPage != 0)
        error("Page %d could not be read from the raster; the job ends after the %d face(s) before it", failedPage,
              failedPage - 1);
}

// Descriptors 0 to 2 that the filter was started without are opened on
// /dev/null, so that no file the filter opens later takes their place: a
// missing standard output is opened read-only, so that writing the stream
// fails and is reported instead of vanishing.
static void fillStandardDescriptors()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        const int opened = open("/dev/null", fd == 2 ? O_WRONLY : O_RDONLY);
        if (opened >= 0 && opened != fd) {
            dup2(opened, fd);
            close(opened);
        }
    }
}

int runFilter(int argc, char* argv[])
{
    fillStandardDescriptors();
    // A closed reader of the stream is reported as a failed write (EPIPE)
    // instead of ending the process without a word.
    signal(SIGPIPE, SIG_IGN);
    bufferStandardError();
    keepLargeBuffers();
    info("DBG <<<<<< NO SLEEP");
    info(">>>>>> Start Process");
    for (int i = 0; i < argc; ++i)
        info("# ARG(%d) : %s", i, argv[i]);

    if (argc != 6 && argc != 7) {
        printf("raster - version %s\n", CR80_VERSION);
        fatal("raster job-id user title copies options [file]");
        return 0;
    }

    int fd = 0;
    if (argc == 7) {
        fd = open(argv[6], O_RDONLY);
        if (fd == -1) {
            fatal("Unable to open raster file.");
            sleep(1);
            return 0;
        }
    }
    info("[TAV] executing raster version %s ...", CR80_VERSION);

    const char* ppdPath = getenv("PPD");
    ppd_file_t* ppd = ppdPath ? ppdOpenFile(ppdPath) : nullptr;
    info("PPD load (ptr: %lx, src:%s)", PTR(ppd), ppdPath ? ppdPath : "(null)");
    debugPPDFile(ppd);

    cups_raster_t* ras = cupsRasterOpen(fd, CUPS_RASTER_READ);
    info("Raster opened (ptr:%lx)", PTR(ras));
    debugRaster(ras);

    info("Calling Setup from Main ...");
    Setup();

    // The job's status lines and counters.
    StatusReporter status;
    info("Reading options");
    cups_option_t* options = nullptr;
    int num_options = cupsParseOptions(argv[5], 0, &options);
    debugOptions(num_options, options);

    {
        COemPDEV cpdev(status);
        auto settings = std::make_unique<CupsExternalInterSettingsReader>(options, num_options, ppd);
        cpdev.interSettings = settings.get();
        std::unique_ptr<UniDriverAdapter> udrv;
        int iter = 0;
        try {
            udrv = std::make_unique<UniDriverAdapter>(fileWriter, status);
            runPageLoop(*udrv, cpdev, ras, argv[3], iter);
        } catch (const tavgdi::TavGdiException&) {
            // The pipeline refused to go on: end the job cleanly.
            releaseFace(&cpdev);
            error("ERROR - the document pipeline stopped on an internal error; the job ends here");
            status.jobError("The printer driver stopped on an internal error; the rest of the job was not printed");
        }

        info("End Round #%d (cupsRasterReadHeader2)", iter);
        info("Call Shutdown from Main");
        Shutdown();
        info("Call ppdClose from Main");
        ppdClose(ppd);
        info("Call cupsRasterClose from Main");
        cupsRasterClose(ras);
        if (fd != 0)
            close(fd);
        settings.reset();
        cpdev.interSettings = nullptr;
        info("End Of Main");
        udrv.reset();
    }
    cupsFreeOptions(num_options, options);
    // Every card was flushed when it was written; anything else still in
    // the buffer must get out too.
    errno = 0;
    if (fflush(stdout) != 0 || ferror(stdout))
        status.streamFailed(errno != 0 ? strerror(errno) : nullptr);
    fflush(stderr);
    // Exit status 1 only when nothing could reach the printer; every other
    // failure has been told in an ERROR line and the job counts as done.
    return status.isStreamLost() ? 1 : 0;
}
