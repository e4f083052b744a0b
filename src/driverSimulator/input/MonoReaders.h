// The four custom-picture readers of a job: overlay and black, front and back.
#pragma once

#include <memory>

#include <string>

#include "GlobalFactory.h"
#include "input/IMonochromeReader.h"

namespace tavgdi {

class MonoReaders {
public:
    enum MonoReaderItemType {
        OverlayMonochromeReaderFront = 0,
        OverlayMonochromeReaderBack = 1,
        BlackMonochromeReaderFront = 2,
        BlackMonochromeReaderBack = 3,
    };
    static const int MonoReaderItemCount = 4;

    // Every slot empty; readers made later are of kind type.
    explicit MonoReaders(TavFactory::MonochromeReaderType type);
    virtual ~MonoReaders();

    MonoReaders(const MonoReaders&) = delete;
    MonoReaders& operator=(const MonoReaders&) = delete;

    // The slot's reader, possibly null (also for a slot out of range).
    // Ownership stays.
    IMonochromeReader* get(MonoReaderItemType item);
    TavFactory::MonochromeReaderType getType();
    // A different kind releases every reader; the same kind keeps them.
    void changeType(TavFactory::MonochromeReaderType type);
    // Renames the slot's reader in place, or makes one when the slot is
    // empty. True when the slot now holds a reader. The reader looks its
    // picture up in the picture directory.
    bool set(void* obj, const char* key, MonoReaderItemType item);

    // The directory in which every reader, present or later, looks its
    // picture up (empty: the working directory).
    void setPictureDirectory(const std::string& directory);
    const std::string& getPictureDirectory() const { return pictureDirectory; }

    // The job setting that names the picture of a slot ("IFBlackCustom"),
    // or null for a slot out of range.
    static const char* settingName(MonoReaderItemType item);

private:
    void releaseAll();

    std::unique_ptr<IMonochromeReader> arrayMonoReaders[MonoReaderItemCount];
    TavFactory::MonochromeReaderType monoReadersType;
    std::string pictureDirectory;
};

} // namespace tavgdi
