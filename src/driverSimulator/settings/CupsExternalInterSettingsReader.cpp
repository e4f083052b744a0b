#include "settings/CupsExternalInterSettingsReader.h"

#include "tavrinerror.h"

CupsExternalInterSettingsReader::CupsExternalInterSettingsReader(cups_option_t* options, int num_options,
                                                                 ppd_file_t* ppd)
    : options(options), num_options(num_options), ppd(ppd)
{
}

CupsExternalInterSettingsReader::~CupsExternalInterSettingsReader() {}

const char* CupsExternalInterSettingsReader::findFeature(const char* feature, int* /*savedPosition*/)
{
    if (feature == nullptr) {
        debug("NO      OPTION - key:%s value:NULL", "(null)");
        return nullptr;
    }

    const char* value = cupsGetOption(feature, num_options, options);
    if (value != nullptr) {
        debug("LOCAL   OPTION - key:%s value:%s", feature, value);
        return value;
    }

    // The PPD interface is deprecated in libcups but is the only way to read
    // a PPD's default choices.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ppd_option_t* option = ppd != nullptr ? ppdFindOption(ppd, feature) : nullptr;
#pragma GCC diagnostic pop
    if (option != nullptr) {
        debug("DEFAULT OPTION - key:%s value:%s", feature, option->defchoice);
        return option->defchoice;
    }

    debug("NO      OPTION - key:%s value:NULL", feature);
    return nullptr;
}

bool CupsExternalInterSettingsReader::readPCSettingsFromBuffer(char* /*multistr*/, int /*size*/)
{
    return true;
}

bool CupsExternalInterSettingsReader::updatePCSettingsFromBuffer(char* /*multistr*/)
{
    return true;
}

dword CupsExternalInterSettingsReader::getMaxSize()
{
    return MaxSize;
}
