// Reads a custom picture from a bitmap file named by its key.
#pragma once

#include "input/IMonochromeReader.h"

namespace tavgdi {

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
    byte* read(MediaDefinition* media) override;

    const char* getFilename() const { return filename; }

private:
    char filename[MaxFilenameLength + 1];
};

} // namespace tavgdi
