#include "input/FileMonochromeReader.h"

#include <cstring>

#include "InternalLog.h"

namespace tavgdi {

FileMonochromeReader::FileMonochromeReader(const char* key)
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
    InternalLog::print(L"[TAVRIN UNIDRIVER][FileMonochromeReader::update] Init\tPTR: %lx - filename: %S\r\n",
                       LOGPTR(this), filename);
}

byte* FileMonochromeReader::read(MediaDefinition* media)
{
    // Bitmap files are not loaded yet: every custom picture reads as absent.
    InternalLog::print(L"[TAVRIN UNIDRIVER][FileMonochromeReader::read] WARNING - Bitmap reading not available "
                       L"(media: %lx, filename: %S)\r\n",
                       LOGPTR(media), filename);
    return nullptr;
}

} // namespace tavgdi
