#include "Conversion.h"

#include <gtest/gtest.h>

#include "Allocator.h"
#include "GlobalFactory.h"
#include "InternalLog.h"
#include "input/FileMonochromeReader.h"
#include "settings/OptionsConverter.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace cr80test {

Conversion::Conversion() : readers(TavFactory::FileMonoReader), devObj{nullptr, &pdev, nullptr, nullptr}
{
    for (auto& map : maps)
        map.reset(TavFactory::FactoryDataOptions(TavFactory::UndefinedSupervisor));
    rects.create(nullptr);
}

Conversion::~Conversion()
{
    pdev.interSettings = nullptr;
}

bool Conversion::convert(IExternalInterSettingsReader* settings, bool trace)
{
    pdev.interSettings = settings;
    return convertWith(&devObj, trace);
}

bool Conversion::convertWith(PDEVOBJ obj, bool trace)
{
    tavgdi::OptionsConverter converter(maps[Doc].get(), maps[Card].get(), maps[Front].get(), maps[Back].get(),
                                       &aggregator, &rects, &readers, obj, nullptr, status);
    const bool wasEnabled = tavgdi::InternalLog::isEnable;
    tavgdi::InternalLog::isEnable = trace;
    testing::internal::CaptureStderr();
    const bool isConverted = converter.convert();
    log = testing::internal::GetCapturedStderr();
    tavgdi::InternalLog::isEnable = wasEnabled;
    refusal = converter.getJobRefusal();
    return isConverted;
}

std::string Conversion::fragments(PrintingTags::PrintingTagsType tag)
{
    byte* bytes = aggregator.aggregate(tag);
    if (bytes == nullptr)
        return "";
    std::string out(reinterpret_cast<char*>(bytes), aggregator.getAggregateSize(tag));
    tavgdi::Allocator::desalloc(bytes);
    return out;
}

std::string Conversion::readerName(tavgdi::MonoReaders::MonoReaderItemType slot)
{
    auto* r = dynamic_cast<tavgdi::FileMonochromeReader*>(readers.get(slot));
    return r != nullptr ? r->getFilename() : "<none>";
}

CupsSettings::CupsSettings(ppd_file_t* ppd, const std::string& text)
{
    numOptions = cupsParseOptions(text.c_str(), 0, &options);
    reader.reset(new CupsExternalInterSettingsReader(options, numOptions, ppd));
}

CupsSettings::~CupsSettings()
{
    reader.reset();
    cupsFreeOptions(numOptions, options);
}

const char* CupsSettings::findFeature(const char* feature, int* position)
{
    names.insert(feature);
    return reader->findFeature(feature, position);
}

} // namespace cr80test
