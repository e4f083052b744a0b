// JPEG photos: decoded here and handed whole to PAPPL's image printing, which
// places them on the card and calls the raster callbacks line by line.
// PAPPL's own JPEG filter always interpolates between neighbouring pixels,
// even for a photo that has exactly the card's dots, and that costs about as
// much as making the card; here interpolation is asked for only when the
// photo has to be scaled. Everything else (limits, colour spaces, density)
// is handled as PAPPL does.
#include "CardApp.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

#include "input/PageBounds.h"

namespace cr80app {

namespace {

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf exit;
    char message[JMSG_LENGTH_MAX];
};

void onJpegError(j_common_ptr info)
{
    JpegErrors* errors = reinterpret_cast<JpegErrors*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->exit, 1);
}

// Whether a `width` x `height` photo must be scaled to the job's card: not
// when it has the card's dots, either way round.
bool needsScaling(const pappl_pr_options_t* options, unsigned width, unsigned height)
{
    const unsigned cardWidth = options->header.cupsWidth, cardHeight = options->header.cupsHeight;
    return !((width == cardWidth && height == cardHeight) || (width == cardHeight && height == cardWidth));
}

// Dots per inch from the JPEG's density (0 when it gives none).
int densityOf(const jpeg_decompress_struct& info, UINT16 density)
{
    switch (info.density_unit) {
    case 1:
        return density;
    case 2:
        return density * 254 / 100;
    default:
        return 0;
    }
}

// libjpeg decodes at 1/2, 1/4 or 1/8 of the size as cheaply as whole. A photo
// far larger than the card is decoded at the smallest of these that still
// has a pixel for every dot of the card (the whole photo scaled to the card,
// or the part of it printed at its own density), so that memory follows the
// card rather than what the photo declares.
unsigned reductionFor(const jpeg_decompress_struct& info, const pappl_pr_options_t* options)
{
    const unsigned cardShort = std::min(options->header.cupsWidth, options->header.cupsHeight);
    const unsigned cardLong = std::max(options->header.cupsWidth, options->header.cupsHeight);
    const unsigned photoShort = std::min(info.image_width, info.image_height);
    const unsigned photoLong = std::max(info.image_width, info.image_height);
    const int dpi = densityOf(info, info.X_density);
    const int printerDpi = std::max(options->printer_resolution[0], options->printer_resolution[1]);
    unsigned reduction = 1;
    for (unsigned next = 2; next <= 8; next *= 2) {
        const bool coversCard = photoShort / next >= cardShort && photoLong / next >= cardLong;
        const bool keepsDensity =
            dpi == 0 || (dpi % static_cast<int>(next) == 0 && dpi / static_cast<int>(next) >= printerDpi);
        if (!coversCard || !keepsDensity)
            break;
        reduction = next;
    }
    return reduction;
}

} // namespace

// Nothing with a destructor lives in this frame: libjpeg leaves by longjmp.
bool printJpeg(pappl_job_t* job, pappl_device_t* device, void*)
{
    claimJobOrLeave(job);
    const char* filename = papplJobGetFilename(job);
    std::FILE* file = std::fopen(filename, "rb");
    if (file == nullptr) {
        papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Unable to open the JPEG file: %s", std::strerror(errno));
        return false;
    }
    jpeg_decompress_struct info;
    std::memset(&info, 0, sizeof info);
    JpegErrors errors;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = onJpegError;
    pappl_pr_options_t* volatile options = nullptr;
    unsigned char* volatile pixels = nullptr;
    volatile bool isPrinted = false;

    if (setjmp(errors.exit) == 0) {
        jpeg_create_decompress(&info);
        jpeg_stdio_src(&info, file);
        jpeg_read_header(&info, TRUE);
        options = papplJobCreatePrintOptions(job, 1, info.num_components > 1);
        info.quantize_colors = FALSE;
        const bool isGray = options->header.cupsNumColors == 1;
        info.out_color_space = isGray ? JCS_GRAYSCALE : JCS_RGB;
        info.out_color_components = info.output_components = isGray ? 1 : 3;
        const unsigned reduction = reductionFor(info, options);
        info.scale_num = 1;
        info.scale_denom = reduction;
        jpeg_calc_output_dimensions(&info);

        int maxWidth = 0, maxHeight = 0;
        const size_t maxSize =
            papplSystemGetMaxImageSize(papplPrinterGetSystem(papplJobGetPrinter(job)), &maxWidth, &maxHeight);
        const size_t bytes =
            static_cast<size_t>(info.output_width) * info.output_height * static_cast<size_t>(info.output_components);
        const int dpi = densityOf(info, info.X_density) / static_cast<int>(reduction);
        // As for any page: one far larger than the card, even at 1/8, is not
        // a card (and its header may simply lie about its size).
        const unsigned long long cardDots = 1ull * options->header.cupsWidth * options->header.cupsHeight;
        if (cardDots > 0 &&
            1ull * info.output_width * info.output_height > tavgdi::PageBounds::MaxPageToCardRatio * cardDots) {
            papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "JPEG image of %ux%u is far larger than a card.", info.image_width,
                        info.image_height);
            papplJobSetMessage(job, "The photo is far larger than a card; nothing was printed");
            papplJobSetReasons(job, PAPPL_JREASON_DOCUMENT_UNPRINTABLE_ERROR, PAPPL_JREASON_NONE);
        } else if (info.output_width < 1 || info.output_width > static_cast<JDIMENSION>(maxWidth) ||
                   info.output_height < 1 || info.output_height > static_cast<JDIMENSION>(maxHeight) ||
                   bytes > maxSize) {
            papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "JPEG image is too large to print.");
            papplJobSetReasons(job, PAPPL_JREASON_DOCUMENT_UNPRINTABLE_ERROR, PAPPL_JREASON_NONE);
        } else if (densityOf(info, info.X_density) != densityOf(info, info.Y_density)) {
            papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "JPEG image has non-square pixels, which cannot be printed.");
            papplJobSetReasons(job, PAPPL_JREASON_DOCUMENT_UNPRINTABLE_ERROR, PAPPL_JREASON_NONE);
        } else if ((pixels = static_cast<unsigned char*>(std::malloc(bytes))) == nullptr) {
            papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Unable to allocate memory for the JPEG image.");
            papplJobSetReasons(job, PAPPL_JREASON_ERRORS_DETECTED, PAPPL_JREASON_NONE);
        } else {
            jpeg_start_decompress(&info);
            const size_t stride = static_cast<size_t>(info.output_width) * info.output_components;
            while (info.output_scanline < info.output_height) {
                JSAMPROW row = pixels + info.output_scanline * stride;
                jpeg_read_scanlines(&info, &row, 1);
            }
            isPrinted = papplJobFilterImage(job, device, options, pixels, static_cast<int>(info.output_width),
                                            static_cast<int>(info.output_height), info.output_components, dpi,
                                            needsScaling(options, info.output_width, info.output_height));
            jpeg_finish_decompress(&info);
        }
    } else {
        papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Unable to read the JPEG file: %s", errors.message);
        papplJobSetReasons(job, PAPPL_JREASON_DOCUMENT_FORMAT_ERROR, PAPPL_JREASON_NONE);
    }
    papplJobDeletePrintOptions(options);
    std::free(pixels);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return isPrinted;
}

} // namespace cr80app
