#include "settings/OptionPairsSettingsReader.h"

OptionPairsSettingsReader::OptionPairsSettingsReader(const Pairs& jobSettings, const Pairs& printerSettings)
    : printer(printerSettings)
{
    for (const auto& pair : jobSettings)
        numOptions = cupsAddOption(pair.first.c_str(), pair.second.c_str(), numOptions, &options);
    rules.reset(new CupsExternalInterSettingsReader(options, numOptions, nullptr));
}

OptionPairsSettingsReader::~OptionPairsSettingsReader()
{
    rules.reset();
    cupsFreeOptions(numOptions, options);
}

const char* OptionPairsSettingsReader::findFeature(const char* feature, int* savedPosition)
{
    return rules->findFeature(feature, savedPosition);
}

bool OptionPairsSettingsReader::readPCSettingsFromBuffer(char* multistr, int size)
{
    return rules->readPCSettingsFromBuffer(multistr, size);
}

bool OptionPairsSettingsReader::updatePCSettingsFromBuffer(char* multistr)
{
    return rules->updatePCSettingsFromBuffer(multistr);
}

dword OptionPairsSettingsReader::getMaxSize()
{
    return rules->getMaxSize();
}

const char* OptionPairsSettingsReader::findPrinterSetting(const char* keyword)
{
    if (keyword == nullptr)
        return nullptr;
    const char* value = nullptr;
    for (const auto& pair : printer)
        if (pair.first == keyword)
            value = pair.second.c_str();
    return value;
}
