// The filter's settings reader: a setting comes from the job's options when
// given there, else from the default choice of the PPD option of that name.
#pragma once

#include <cups/cups.h>
#include <cups/ppd.h>

#include "settings/IExternalInterSettingsReader.h"

class CupsExternalInterSettingsReader : public IExternalInterSettingsReader {
public:
    // Borrows all three; the PPD may be null. The returned strings point
    // into them, so they must outlive every use of the values.
    CupsExternalInterSettingsReader(cups_option_t* options, int num_options, ppd_file_t* ppd);
    virtual ~CupsExternalInterSettingsReader();

    // savedPosition is ignored: a name has at most one value here.
    virtual const char* findFeature(const char* feature, int* savedPosition);
    // The job's settings are fixed: both do nothing.
    virtual bool readPCSettingsFromBuffer(char* multistr, int size);
    virtual bool updatePCSettingsFromBuffer(char* multistr);
    // Scratch size for the magnetic track commands.
    virtual dword getMaxSize();

    static const dword MaxSize = 32000;

private:
    cups_option_t* options;
    int num_options;
    ppd_file_t* ppd;
};
