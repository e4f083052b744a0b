// Reads a custom picture from a bitmap file named by its key.
#pragma once

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

    // obj is ignored; a null key empties the file name.
    void update(void* obj, const char* key) override;
    // The picture of the file fitted to the card: a landscape 1-bit bitmap
    // (bit 1 white, rows padded to 4 bytes, bottom row first) of
    // media->getBMPMonochromeDataSize() bytes, whatever the file's depth
    // (1 or 24 bits) and orientation; null when the file cannot be read.
    byte* read(MediaDefinition* media) override;

    const char* getFilename() const { return filename; }

private:
    // The parsed picture (packed rows, as the parser stored it) as the
    // landscape card bitmap described at read; a 24-bit picture is made
    // 1-bit with the pixel threshold. Null when the sizes do not match.
    static byte* cardBitmap(IGDataMemoryManager* mgr, GraphicalConstants::CardOrientation orientation,
                            MediaDefinition* media);

    char filename[MaxFilenameLength + 1];
};

} // namespace tavgdi
