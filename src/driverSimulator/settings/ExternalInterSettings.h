// A self-contained settings store: name/value pairs kept in one fixed-size
// buffer as a settings list, which can be loaded, merged and written back.
//
// Settings list: pairs of NUL-terminated strings (name, then value), ended
// by one extra NUL (an empty name). Its size counts every byte up to and
// including that final NUL, so an empty list is one byte. A list holds at
// most MaxSize - 1 bytes; the buffer's last byte and every byte past the
// list stay zero, so every string read from the buffer ends inside it.
#pragma once

#include "settings/IExternalInterSettingsReader.h"

class ExternalInterSettings : public IExternalInterSettingsReader {
public:
    static const int MaxSize = 16256;

    // An empty list.
    ExternalInterSettings();
    // Takes the first size bytes of multistr as the list; a size outside
    // 0..MaxSize-1 (or a null multistr) leaves the store empty with size 0.
    ExternalInterSettings(const char* multistr, int size);
    virtual ~ExternalInterSettings();

    // The value of the next pair named feature at or after *savedPosition
    // (0 when savedPosition is null), or null; on success *savedPosition
    // moves to the start of the following pair.
    virtual const char* findFeature(const char* feature, int* savedPosition);
    // Replaces the store with size bytes of multistr; false (and an empty
    // store) when size is negative or above MaxSize - 1.
    virtual bool readPCSettingsFromBuffer(char* multistr, int size);
    // Updates the store with every pair of the list in multistr.
    virtual bool updatePCSettingsFromBuffer(char* multistr);
    virtual dword getMaxSize();

    // *size is the capacity of multistr on entry; it is zero-filled and, when
    // the list fits with room to spare, receives the list (true, *size is the
    // list's size); otherwise false with *size 0.
    bool writePCSettingsToBuffer(char* multistr, int* size);

    // Position of the first pair named feature, or -1.
    int findFeaturePosition(const char* feature);
    // Appends a pair at the end of the list. False for a null argument or an
    // empty name (an empty name ends the list); a pair that does not fit is
    // skipped and the result is still true.
    bool insertSetting(const char* feature, const char* option);
    // Removes the first pair named feature; an unknown name changes nothing.
    bool removeSetting(const char* feature);
    // Replaces the pair named feature; the pair moves to the end of the list.
    bool updateSetting(const char* feature, const char* option);

    // The store has no registry: both do nothing and return false.
    bool readPCSettingsFromRegistry(void* hPrinter, char* key);
    bool writePCSettingsToRegistry(void* hPrinter, char* key);

protected:
    // The string at position, or null outside the list.
    char* getString(int position);
    // The position after the string at position, or position itself when
    // there is no string there.
    int nextPosition(int position);
    // The string after the one at position, or null.
    char* nextString(int position);

private:
    // Position of the first pair named feature at or after start, or -1.
    int search(const char* feature, int start);

    char buffer[MaxSize];
    int size;
};
