// The filter's settings reader: a setting comes from the job's options when
// given there, else from the default choice of the PPD option of that name.
//
// CUPS names a few settings its own way: the card size is chosen with
// PageSize (or media), two-sided printing with the standard Duplex choices or
// sides, and resolutions have the standard "600x300dpi" choice names. The
// alias table in the .cpp maps those forms onto the settings the converter
// reads. A lookup takes, in order and stopping at the first usable value:
//   1. the job option of the setting's own name;
//   2. the job options of its CUPS aliases (PageSize before media);
//   3. the PPD default of the setting's own name;
//   4. the PPD defaults of its aliases.
// Whatever the source, a "Custom." prefix (the CUPS form of a typed value of
// a custom option, e.g. Track1Data=Custom.;123=45?) is dropped, and the
// value "None" (the PPD's "no value" choice) reads as a missing setting, so
// the converter applies its own default.
#pragma once

#include <cups/cups.h>
#include <cups/ppd.h>

#include "settings/IExternalInterSettingsReader.h"

class CupsExternalInterSettingsReader : public IExternalInterSettingsReader {
public:
    // Borrows all three; the PPD may be null. The returned strings point
    // into them (or into static tables), so they must outlive every use of
    // the values.
    CupsExternalInterSettingsReader(cups_option_t* options, int num_options, ppd_file_t* ppd);
    virtual ~CupsExternalInterSettingsReader();

    // savedPosition is ignored: a name has at most one value here.
    virtual const char* findFeature(const char* feature, int* savedPosition);
    // The job's settings are fixed: both do nothing.
    virtual bool readPCSettingsFromBuffer(char* multistr, int size);
    virtual bool updatePCSettingsFromBuffer(char* multistr);
    // Scratch size for the magnetic track commands.
    virtual dword getMaxSize();
    // The value of the PPD keyword (*keyword: "value"), never a job option.
    virtual const char* findPrinterSetting(const char* keyword);

    static const dword MaxSize = 32000;

private:
    // Where a setting's value came from: the value for the setting, the
    // value as found (null when nowhere), the name it was found under and
    // the source ("LOCAL  " or "DEFAULT").
    struct Found {
        const char* value = nullptr;
        const char* raw = nullptr;
        const char* keyword = nullptr;
        const char* source = nullptr;
        bool isCustomSize = false;
    };
    Found resolve(const char* feature);

    // The PPD default choice of `keyword`, or null.
    const char* ppdDefault(const char* keyword);

    cups_option_t* options;
    int num_options;
    ppd_file_t* ppd;
    // The lengths of the last custom card size read, as returned text.
    char customWidth[24] = {};
    char customHeight[24] = {};
};
