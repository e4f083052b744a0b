// Reads a custom picture from a bitmap file named by its key, inside the
// picture directory, once per job.
#pragma once

#include <memory>
#include <string>

#include "Allocator.h"
#include "GraphicalConstants.h"
#include "input/IMonochromeReader.h"

namespace tavgdi {

class IGDataMemoryManager;

class FileMonochromeReader : public IMonochromeReader {
public:
    // Longest file name kept; longer keys are cut.
    static const int MaxFilenameLength = 249;

    explicit FileMonochromeReader(const char* key);
    ~FileMonochromeReader() override;

    FileMonochromeReader(const FileMonochromeReader&) = delete;
    FileMonochromeReader& operator=(const FileMonochromeReader&) = delete;

    // obj is ignored; a null key empties the file name. Forgets the
    // picture read so far.
    void update(void* obj, const char* key) override;
    // The picture of the file fitted to the card: a landscape 1-bit bitmap
    // (bit 1 white, rows padded to 4 bytes, bottom row first) of
    // media->getBMPMonochromeDataSize() bytes, whatever the file's depth
    // (1 or 24 bits) and orientation; null when the file cannot be read.
    // The name must stay inside the picture directory (relative, without a
    // ".." component), and the file must be a regular file of at most
    // PictureFiles::MaxFileSize bytes.
    // The file is read once: the card bitmap is kept, and later calls for a
    // card of the same size (and, for a 24-bit picture, the same
    // threshold) get a copy of it. A file that could not be read is not
    // tried again either, so every card of a job gets the same picture or
    // fails the same way.
    byte* read(MediaDefinition* media) override;
    // Forgets the picture read so far when the directory changes.
    void setSource(const char* directory, const char* setting) override;
    const char* getSetting() const override { return setting; }

    const char* getFilename() const { return filename; }
    const std::string& getDirectory() const { return directory; }

private:
    struct Release {
        void operator()(byte* p) const { Allocator::desalloc(p); }
    };

    // What the last read from the file gave, and for which card.
    struct Kept {
        bool isKnown = false;                  // a read has been tried
        dword width = 0, height = 0;           // the card it was fitted to
        bool isThresholded = false;            // a 24-bit picture, made 1-bit with...
        int threshold = 0;                     // ...this threshold
        std::unique_ptr<byte[], Release> card; // null: the file could not be read
        dword size = 0;
    };

    // Reads the file into `kept` for this media.
    void load(MediaDefinition* media);
    bool isKeptFor(MediaDefinition* media) const;
    void forget();

    // The parsed picture (packed rows, as the parser stored it) as the
    // landscape card bitmap described at read; a 24-bit picture is made
    // 1-bit with the pixel threshold, and *isColour says so. Null when the
    // sizes do not match.
    static byte* cardBitmap(IGDataMemoryManager* mgr, GraphicalConstants::CardOrientation orientation,
                            MediaDefinition* media, bool* isColour);

    char filename[MaxFilenameLength + 1];
    std::string directory;
    const char* setting;
    Kept kept;
};

} // namespace tavgdi
