#include "input/FileMonochromeReader.h"

#include <cstring>

#include "Allocator.h"
#include "GlobalFactory.h"
#include "InternalLog.h"
#include "MediaDefinition.h"
#include "Owned.h"
#include "image/IGDataMemoryManager.h"
#include "image/IPixel.h"
#include "input/IGDataParser.h"
#include "input/PictureFiles.h"

namespace tavgdi {

FileMonochromeReader::FileMonochromeReader(const char* key) : setting(nullptr)
{
    filename[0] = '\0';
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +FileMonochromeReader (%lx) \tDependancy: CHAR(%lx)\r\n",
                       LOGPTR(this), LOGPTR(key));
    update(nullptr, key);
}

FileMonochromeReader::~FileMonochromeReader()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -FileMonochromeReader (%lx)\r\n", LOGPTR(this));
}

void FileMonochromeReader::update(void* /*obj*/, const char* key)
{
    size_t length = 0;
    if (key != nullptr) {
        // Bounded scan: the key need not be terminated within our storage.
        while (length < static_cast<size_t>(MaxFilenameLength) && key[length] != '\0')
            ++length;
        std::memcpy(filename, key, length);
    }
    filename[length] = '\0';
    forget();
    InternalLog::print(L"[TAVRIN UNIDRIVER][FileMonochromeReader::update] Init\tPTR: %lx - filename: %S\r\n",
                       LOGPTR(this), filename);
}

void FileMonochromeReader::setSource(const char* dir, const char* settingName)
{
    setting = settingName;
    const char* newDirectory = dir != nullptr ? dir : "";
    if (directory != newDirectory) {
        directory = newDirectory;
        forget();
    }
}

void FileMonochromeReader::forget()
{
    kept = Kept();
}

bool FileMonochromeReader::isKeptFor(MediaDefinition* media) const
{
    return kept.isKnown && kept.width == media->getWidth() && kept.height == media->getHeight() &&
           (!kept.isThresholded || kept.threshold == IPixel::getThreshold());
}

byte* FileMonochromeReader::read(MediaDefinition* media)
{
    if (media == nullptr)
        return nullptr;
    if (isKeptFor(media))
        InternalLog::print(L"[TAVRIN UNIDRIVER][FileMonochromeReader::read] (ptr:%lx) file already read for this "
                           L"job\r\n",
                           LOGPTR(this));
    else
        load(media);
    if (kept.card == nullptr)
        return nullptr;
    byte* copy = Allocator::alloc(kept.size);
    if (copy != nullptr)
        memcpy(copy, kept.card.get(), kept.size);
    return copy;
}

void FileMonochromeReader::load(MediaDefinition* media)
{
    forget();
    kept.isKnown = true;
    kept.width = media->getWidth();
    kept.height = media->getHeight();
    // The job names a picture, not a place: the name stays inside the
    // picture directory.
    if (!PictureFiles::isNameInside(filename)) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][FileMonochromeReader::read] WARNING - (ptr:%lx) picture name "
                           L"refused: it must be relative and without a \"..\" component\r\n",
                           LOGPTR(this));
        return;
    }
    const std::string path = PictureFiles::pathInside(directory, filename);
    Logged<IGDataMemoryManager> mgr(TavFactory::FactoryMemoryManager(), LoggedDelete{"IGDataMemoryManager"});
    if (mgr == nullptr)
        return;
    Logged<IGDataParser> parser = logged(
        TavFactory::FactoryDataParser(TavFactory::BmpMonochromeSupervisor, mgr.get(), Unaligned), "IGDataParser");
    if (parser != nullptr) {
        // Rows are read packed: a card-sized picture then fills the buffer in
        // either orientation, and is laid out as a landscape bitmap below.
        if (parser->parse(path.c_str(), nullptr, media) && !parser->isOnError()) {
            bool isColour = false;
            kept.card.reset(cardBitmap(mgr.get(), parser->getCardOrientation(), media, &isColour));
            kept.size = media->getBMPMonochromeDataSize();
            kept.isThresholded = isColour;
            kept.threshold = IPixel::getThreshold();
        }
        parser.reset();
    }
    mgr.reset();
}

byte* FileMonochromeReader::cardBitmap(IGDataMemoryManager* mgr, GraphicalConstants::CardOrientation orientation,
                                       MediaDefinition* media, bool* isColourPicture)
{
    *isColourPicture = false;
    const dword W = media->getWidth();
    const dword H = media->getHeight();
    const dword size = mgr->getSize();
    const byte* source = mgr->getBuffer(0);
    if (W == 0 || H == 0 || source == nullptr)
        return nullptr;
    // The parser fills the whole buffer of the kind it read: three bytes per
    // dot for a 24-bit file, one bit per dot for a 1-bit file.
    const bool isColour = size == media->getColorDataSize();
    if (!isColour && size != media->getMonochromeDataSize())
        return nullptr;
    *isColourPicture = isColour;
    const bool isPortrait =
        orientation == GraphicalConstants::Portrait || orientation == GraphicalConstants::PortraitFlip;
    // The stored picture: pictureWidth dots per row, pictureHeight rows.
    const dword pictureWidth = isPortrait ? H : W;
    const dword pictureHeight = isPortrait ? W : H;
    const unsigned long long sourceRow = isColour ? 3ull * pictureWidth : pictureWidth / 8;
    if (sourceRow * pictureHeight > size)
        return nullptr;

    const dword targetRow = static_cast<dword>(MediaDefinition::ComputeRWidth(static_cast<int>(W)));
    const dword targetSize = media->getBMPMonochromeDataSize();
    if (static_cast<unsigned long long>(targetRow) * H > targetSize)
        return nullptr;
    byte* target = Allocator::alloc(targetSize);
    if (target == nullptr)
        return nullptr;
    // White everywhere (bit 1), padding included; dots a packed row could
    // not hold stay white.
    memset(target, 0xFF, targetSize);

    if (!isColour && !isPortrait) {
        for (dword h = 0; h < H; ++h)
            memcpy(target + static_cast<size_t>(h) * targetRow, source + static_cast<size_t>(h) * sourceRow,
                   static_cast<size_t>(sourceRow));
        return target;
    }

    const int threshold = IPixel::getThreshold();
    const dword usableWidth = isColour ? pictureWidth : static_cast<dword>(sourceRow * 8);
    for (dword h = 0; h < H; ++h) {
        byte* row = target + static_cast<size_t>(h) * targetRow;
        for (dword w = 0; w < W; ++w) {
            // Landscape storage (w, h) and the same card dot in the picture.
            // A portrait picture is turned as a portrait page is: its top
            // edge along the right edge of the card, its left edge along the
            // top, so its stored row w and column H - 1 - h give the dot.
            const dword pw = isPortrait ? H - 1 - h : w;
            const dword ph = isPortrait ? w : h;
            if (pw >= usableWidth)
                continue;
            bool white;
            if (isColour) {
                const byte* dot = source + static_cast<size_t>(ph) * sourceRow + static_cast<size_t>(pw) * 3;
                // Gray as ink (equal weights), then the face's threshold.
                const int ink = (765 - (dot[0] + dot[1] + dot[2])) / 3;
                white = 255 - ink >= threshold;
            } else {
                const byte bits = source[static_cast<size_t>(ph) * sourceRow + pw / 8];
                white = ((bits >> (7 - (pw & 7))) & 1) != 0;
            }
            if (!white)
                row[w >> 3] = static_cast<byte>(row[w >> 3] & ~(0x80u >> (w & 7)));
        }
    }
    return target;
}

} // namespace tavgdi
