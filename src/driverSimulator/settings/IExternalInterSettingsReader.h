// Source of the job's external settings: a setting's text value by name.
#pragma once

#include "Windows.h"

class IExternalInterSettingsReader {
public:
    virtual ~IExternalInterSettingsReader() {}
    // The value of the setting named feature, or null. Readers that hold
    // several pairs of the same name resume the search at *savedPosition
    // and move it past the pair found; others ignore it.
    virtual const char* findFeature(const char* feature, int* savedPosition) = 0;
    // Replaces the settings with a settings list of size bytes.
    virtual bool readPCSettingsFromBuffer(char* multistr, int size) = 0;
    // Merges a settings list into the settings.
    virtual bool updatePCSettingsFromBuffer(char* multistr) = 0;
    // Size of the scratch buffers the caller should use with this reader.
    virtual dword getMaxSize() = 0;
    // A setting of the printer that a job cannot give (a keyword of the
    // queue's PPD), or null.
    virtual const char* findPrinterSetting(const char* /*keyword*/) { return nullptr; }
};
