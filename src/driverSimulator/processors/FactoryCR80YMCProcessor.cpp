#include "processors/FactoryCR80YMCProcessor.h"

#include "InternalLog.h"
#include "Owned.h"
#include "Windows.h"
#include "OptionsDefinition.h"
#include "processors/Convert8to7bitProcessor.h"
#include "processors/StandardSmoothingProcessor.h"
#include "settings/IGDataOptions.h"

namespace tavgdi {

FactoryCR80YMCProcessor::FactoryCR80YMCProcessor()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +FactoryCR80YMCProcessor (%lx)\r\n", LOGPTR(this));
}

FactoryCR80YMCProcessor::~FactoryCR80YMCProcessor()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -FactoryCR80YMCProcessor (%lx)\r\n", LOGPTR(this));
}

std::unique_ptr<IGDataProcessor> FactoryCR80YMCProcessor::build(IGDataOptions* options, ProcessorType type)
{
    switch (type) {
    case inputProcessor:
        return inputBuild(options);
    case outputProcessor:
        return outputBuild(options);
    default:
        return nullptr;
    }
}

std::unique_ptr<IGDataProcessor> FactoryCR80YMCProcessor::addSmoothing(std::unique_ptr<IGDataProcessor> conversion,
                                                                       int smoothing)
{
    int passes = 0;
    if (smoothing == TavGdiOptions::SmoothingStandard)
        passes = 1;
    else if (smoothing == TavGdiOptions::SmoothingAdvanced)
        passes = 2;
    std::unique_ptr<IGDataProcessor> chain = std::move(conversion);
    for (int i = 0; i < passes; ++i)
        chain = makeLogged<StandardSmoothingProcessor>(
            L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - StandardSmoothingProcessor \tPTR: %lx\r\n", chain.release());
    return chain;
}

std::unique_ptr<IGDataProcessor> FactoryCR80YMCProcessor::outputBuild(IGDataOptions* options)
{
    if (options == nullptr)
        return nullptr;
    std::unique_ptr<IGDataProcessor> conversion;
    if (options->getOption(TavGdiOptions::DbFormatOut) == TavGdiOptions::DbFormat7bit)
        conversion = makeLogged<Convert8to7bitProcessor>(
            L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - Convert8to7bitProcessor \tPTR: %lx\r\n", nullptr);
    return addSmoothing(std::move(conversion), options->getOption(TavGdiOptions::Smoothing));
}

std::unique_ptr<IGDataProcessor> FactoryCR80YMCProcessor::inputBuild(IGDataOptions* options)
{
    if (options == nullptr)
        return nullptr;
    std::unique_ptr<IGDataProcessor> conversion;
    if (options->getOption(TavGdiOptions::DbFormatIn) == TavGdiOptions::DbFormat7bit)
        conversion = makeLogged<Convert7to8bitProcessor>(
            L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - Convert7to8bitProcessor \tPTR: %lx\r\n", nullptr);
    return addSmoothing(std::move(conversion), options->getOption(TavGdiOptions::PostSmoothing));
}

} // namespace tavgdi
