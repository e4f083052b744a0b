#include "input/CR80BmpParser.h"

#include <climits>
#include <cstring>

#include "Allocator.h"
#include "InternalLog.h"
#include "MediaDefinition.h"
#include "face/FastKernels.h"
#include "image/GDMemoryManager.h"
#include "image/IGDataMemoryManager.h"
#include "input/PictureFiles.h"
#include "input/resizers.h"
#include "settings/IGDataOptions.h"

namespace tavgdi {

namespace {

inline dword readDword(const byte* p)
{
    return static_cast<dword>(p[0]) | (static_cast<dword>(p[1]) << 8) | (static_cast<dword>(p[2]) << 16) |
           (static_cast<dword>(p[3]) << 24);
}

inline word readWord(const byte* p)
{
    return static_cast<word>(p[0] | (p[1] << 8));
}

// "BM" is the Windows bitmap; the OS/2 kinds are read with the same layout.
bool isKnownMagic(byte a, byte b)
{
    static const char* const magics[] = {"BM", "BA", "CI", "CP", "IC", "PT"};
    for (const char* m : magics)
        if (a == static_cast<byte>(m[0]) && b == static_cast<byte>(m[1]))
            return true;
    return false;
}

} // namespace

CR80BmpParser::CR80BmpParser(IGDataMemoryManager* mgr, AlignmentOutputBuffer alignment)
    : fp(nullptr), state(GDParser_ok), isColorBmp(true), mgr(mgr), cardOrientation(GraphicalConstants::Landscape),
      cardWidth(MediaDefinition::CR80Width), cardHeight(MediaDefinition::CR80Height), isDataParsed(false),
      alignment(alignment), isReadInPlace(false)
{
    InternalLog::print(
        L"[TAVRIN UNIDRIVER][Object LifeLine] +CR80BmpParser (%lx) \tDependancy: IGDataMemoryManager(%lx)\r\n",
        LOGPTR(this), LOGPTR(mgr));
}

CR80BmpParser::~CR80BmpParser()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -CR80BmpParser (%lx)\r\n", LOGPTR(this));
}

unsigned long long CR80BmpParser::rowLength(dword width, bool isColor)
{
    if (isColor)
        return (3ull * width + 3ull) & ~3ull;
    return ((static_cast<unsigned long long>(width) + 31ull) >> 5) * 4ull;
}

bool CR80BmpParser::parse(const char* filename, IGDataOptions* options, MediaDefinition* media)
{
    // Only a regular file of bounded size is read: a FIFO or a device
    // would block or never end.
    FILE* file = PictureFiles::openRegular(filename);
    state = file != nullptr ? GDParser_ok : GDParser_ioerror;
    const bool result = parse(file, options, media);
    // Without a target the stream parse reads nothing and leaves the file
    // open; it was opened here, so it is closed here.
    if (file != nullptr && mgr == nullptr)
        fclose(file);
    return result;
}

bool CR80BmpParser::parse(FILE* file, IGDataOptions* /*options*/, MediaDefinition* media)
{
    if (mgr == nullptr) {
        state = GDParser_ok;
        return true;
    }
    state = file != nullptr ? GDParser_ok : GDParser_ioerror;
    fp = file;

    TAVBMPINFOHEADER header;
    memset(&header, 0, sizeof(header));
    state = readHeader(&header);
    state = validateFormat(&header);
    byte* raster = loadRaster(&header);
    if (fp != nullptr) {
        fclose(fp);
        fp = nullptr;
    }
    // A file that could not be read keeps the reason it was refused.
    if (raster == nullptr) {
        if (state == GDParser_ok)
            state = GDParser_parsingerror;
        return false;
    }
    const bool result = parse(raster, header.biSizeImage, static_cast<dword>(header.biWidth),
                              static_cast<dword>(header.biHeight), isColorBmp, nullptr, media);
    Allocator::desalloc(raster);
    return result;
}

CR80BmpParser::GDParserStates CR80BmpParser::readHeader(TAVBMPINFOHEADER* header)
{
    if (state != GDParser_ok)
        return state;

    byte block[HeaderBlockSize];
    if (fread(block, 1, HeaderBlockSize, fp) != HeaderBlockSize)
        return GDParser_ioerror;
    if (!isKnownMagic(block[0], block[1]))
        return GDParser_parsingerror;

    const dword pixelOffset = readDword(block + 10);
    header->biSize = readDword(block + 14);
    header->biWidth = static_cast<int32_t>(readDword(block + 18));
    header->biHeight = static_cast<int32_t>(readDword(block + 22));
    header->biPlanes = readWord(block + 26);
    header->biBitCount = readWord(block + 28);
    header->biCompression = readDword(block + 30);
    header->biSizeImage = readDword(block + 34);
    header->biXPelsPerMeter = static_cast<int32_t>(readDword(block + 38));
    header->biYPelsPerMeter = static_cast<int32_t>(readDword(block + 42));
    header->biClrUsed = readDword(block + 46);
    header->biClrImportant = readDword(block + 50);

    // Only bottom-up pictures with a real size are read; a negative height
    // (top-down rows) is refused.
    if (header->biWidth <= 0 || header->biHeight <= 0)
        return GDParser_parsingerror;

    const bool isReadableDepth = header->biBitCount == 24 || header->biBitCount == 1;
    if (isReadableDepth) {
        const unsigned long long imageSize = rowLength(static_cast<dword>(header->biWidth), header->biBitCount == 24) *
                                             static_cast<unsigned long long>(header->biHeight);
        if (imageSize > MaxImageSize)
            return GDParser_parsingerror;
        header->biSizeImage = static_cast<dword>(imageSize);
    }

    if (fseek(fp, 0, SEEK_END) != 0)
        return GDParser_ioerror;
    const long fileSize = ftell(fp);
    if (fileSize < 0)
        return GDParser_ioerror;
    if (static_cast<unsigned long long>(pixelOffset) > static_cast<unsigned long long>(fileSize))
        return GDParser_parsingerror;
    if (fseek(fp, static_cast<long>(pixelOffset), SEEK_SET) != 0)
        return GDParser_ioerror;
    // Pixels promised beyond the end of the file: the file is short. (Other
    // depths are refused by the format check that follows.)
    if (isReadableDepth &&
        static_cast<unsigned long long>(pixelOffset) + header->biSizeImage > static_cast<unsigned long long>(fileSize))
        return GDParser_ioerror;
    return GDParser_ok;
}

CR80BmpParser::GDParserStates CR80BmpParser::validateFormat(const TAVBMPINFOHEADER* header)
{
    if (state != GDParser_ok)
        return state;
    if (header->biPlanes != 1 || header->biCompression != 0)
        return GDParser_parsingerror;
    switch (header->biBitCount) {
    case 24:
        isColorBmp = true;
        return GDParser_ok;
    case 1:
        isColorBmp = false;
        return GDParser_ok;
    default: // 4, 8, 16, 32 and anything else
        return GDParser_parsingerror;
    }
}

byte* CR80BmpParser::loadRaster(const TAVBMPINFOHEADER* header)
{
    if (state != GDParser_ok)
        return nullptr;
    byte* raster = Allocator::alloc(header->biSizeImage);
    if (raster == nullptr) {
        state = GDParser_overflow;
        return nullptr;
    }
    if (fread(raster, 1, header->biSizeImage, fp) != header->biSizeImage) {
        Allocator::desalloc(raster);
        state = GDParser_ioerror;
        return nullptr;
    }
    return raster;
}

byte* CR80BmpParser::resize(byte* src, dword srcWidth, dword srcHeight, bool isColor, dword dstWidth, dword dstHeight)
{
    InternalLog::print(
        L"[TAVRIN UNIDRIVER][CR80BmpParser::resize] ptr:%lx srcW:%lu srcH:%lu bpp:%d dstW:%lu dstH:%lu\r\n",
        LOGPTR(this), (unsigned long)srcWidth, (unsigned long)srcHeight, isColor ? 24 : 1, (unsigned long)dstWidth,
        (unsigned long)dstHeight);
    byte* dst = nullptr;
    bool ok = srcWidth <= INT_MAX && srcHeight <= INT_MAX && dstWidth <= INT_MAX && dstHeight <= INT_MAX;
    if (ok)
        ok = resizers::resize(resizers::NearestNeighbour, src, static_cast<int>(srcWidth), static_cast<int>(srcHeight),
                              isColor, &dst, static_cast<int>(dstWidth), static_cast<int>(dstHeight));
    if (!ok) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][CR80BmpParser::resize] WARNING\r\n");
        Allocator::desalloc(dst);
        return nullptr;
    }
    return dst;
}

bool CR80BmpParser::parse(byte* buffer, dword size, dword width, dword height, bool isColorDevice,
                          IGDataOptions* options, MediaDefinition* media)
{
    if (buffer == nullptr || media == nullptr) {
        state = GDParser_parsingerror;
        return false;
    }
    // The caller's rows are read at the bitmap stride: the buffer must hold
    // every one of them before anything is copied or rescaled.
    const unsigned long long needed = rowLength(width, isColorDevice) * height;
    if (width == 0 || height == 0 || width > INT_MAX || height > INT_MAX || needed > size) {
        InternalLog::print(
            L"[TAVRIN UNIDRIVER][CR80BmpParser::parse] WARNING - bad picture (sz:%lu w:%lu h:%lu color:%d)\r\n",
            (unsigned long)size, (unsigned long)width, (unsigned long)height, isColorDevice ? 1 : 0);
        state = GDParser_parsingerror;
        return false;
    }

    dword pictureWidth = width;
    dword pictureHeight = height;
    byte* picture = buffer;
    if (!media->isCompatibleFormat(pictureWidth, pictureHeight, cardOrientation)) {
        if (options != nullptr && options->getOption(TavGdiOptions::StrictPageSetup) != TavGdiOptions::StretchImage)
            return false;
        picture = resize(buffer, width, height, isColorDevice, pictureWidth, pictureHeight);
    }

    if (cardOrientation == GraphicalConstants::Landscape) {
        cardWidth = pictureWidth;
        cardHeight = pictureHeight;
    } else {
        cardWidth = pictureHeight;
        cardHeight = pictureWidth;
    }

    if (pictureWidth == 0 || pictureHeight == 0 || picture == nullptr) {
        if (picture != buffer)
            Allocator::desalloc(picture);
        state = GDParser_parsingerror;
        return false;
    }
    const unsigned long long pictureSize = rowLength(pictureWidth, isColorDevice) * pictureHeight;

    isColorBmp = isColorDevice;
    if (mgr != nullptr) {
        const dword targetSize = isColorDevice            ? media->getColorDataSize()
                                 : alignment == Unaligned ? media->getMonochromeDataSize()
                                                          : media->getBMPMonochromeDataSize();
        // A plain memory manager is not filled first: the picture is copied
        // in from the start, and whatever it leaves is filled afterwards.
        GDMemoryManager* plain = FastKernels::plainMemory(mgr);
        // Or not copied at all, when the caller lets the manager read its
        // buffer: the copy would be the same bytes.
        if (plain != nullptr && isReadInPlace && isColorDevice && alignment == Unaligned && picture == buffer &&
            rowLength(pictureWidth, true) == 3ull * pictureWidth && pictureSize == targetSize) {
            if (!plain->allocateOver(buffer, targetSize)) {
                state = GDParser_overflow;
                return false;
            }
            InternalLog::print(L"[TAVRIN UNIDRIVER][CR80BmpParser::parse] hCR80:%lu hmin:%lu offset:%lu rwidthDest:%lu "
                               L"rwidthSrc:%lu\r\n",
                               (unsigned long)cardWidth, (unsigned long)pictureHeight, 0ul,
                               (unsigned long)(3ull * pictureWidth), (unsigned long)(3ull * pictureWidth));
            state = GDParser_ok;
            isDataParsed = true;
            return true;
        }
        const bool allocated = targetSize <= static_cast<dword>(INT_MAX) &&
                               (plain != nullptr ? plain->allocateBytes(static_cast<int>(targetSize), nullptr)
                                                 : mgr->allocate(static_cast<int>(targetSize), 255));
        if (!allocated) {
            if (picture != buffer)
                Allocator::desalloc(picture);
            state = GDParser_overflow;
            return false;
        }

        const unsigned long long target = mgr->getSize();
        unsigned long long written = 0;
        if (alignment == Aligned) {
            const unsigned long long count = target < pictureSize ? target : pictureSize;
            byte* dst = mgr->getBuffer(0);
            if (dst != nullptr && count > 0) {
                memcpy(dst, picture, static_cast<size_t>(count));
                written = count;
            }
        } else {
            const unsigned long long srcRow = rowLength(pictureWidth, isColorDevice);
            const unsigned long long dstRow =
                isColorDevice ? 3ull * pictureWidth : static_cast<unsigned long long>(pictureWidth / 8);
            InternalLog::print(L"[TAVRIN UNIDRIVER][CR80BmpParser::parse] hCR80:%lu hmin:%lu offset:%lu rwidthDest:%lu "
                               L"rwidthSrc:%lu\r\n",
                               (unsigned long)cardWidth, (unsigned long)pictureHeight, 0ul, (unsigned long)dstRow,
                               (unsigned long)srcRow);
            for (dword h = 0; h < pictureHeight && dstRow > 0; ++h) {
                const unsigned long long offset = h * dstRow;
                if (offset + dstRow > target)
                    break;
                byte* dst = mgr->getBuffer(static_cast<dword>(offset));
                if (dst == nullptr)
                    break;
                memcpy(dst, picture + h * srcRow, static_cast<size_t>(dstRow));
                written = offset + dstRow;
            }
        }
        if (plain != nullptr && written < target)
            memset(mgr->getBuffer(0) + written, 255, static_cast<size_t>(target - written));
    }

    state = GDParser_ok;
    isDataParsed = true;
    if (picture != buffer)
        Allocator::desalloc(picture);
    return true;
}

} // namespace tavgdi
