// Processor chains of the colour panels: 7/8-bit conversion and smoothing,
// chosen from the image's options.
#pragma once

#include "processors/IFactoryGDProcessor.h"

namespace tavgdi {

class FactoryCR80YMCProcessor : public IFactoryGDProcessor {
public:
    FactoryCR80YMCProcessor();
    ~FactoryCR80YMCProcessor() override;

    // inputProcessor and outputProcessor chains; null for anything else.
    std::unique_ptr<IGDataProcessor> build(IGDataOptions* options, ProcessorType type) override;

    // Smoothing (PostSmoothing) passes first, then the expansion when
    // DbFormatIn is DbFormat7bit.
    std::unique_ptr<IGDataProcessor> inputBuild(IGDataOptions* options);
    // Smoothing passes first, then the packing when DbFormatOut is
    // DbFormat7bit.
    std::unique_ptr<IGDataProcessor> outputBuild(IGDataOptions* options);

private:
    // conversion wrapped in the smoothing passes asked for by smoothing.
    static std::unique_ptr<IGDataProcessor> addSmoothing(std::unique_ptr<IGDataProcessor> conversion, int smoothing);
};

} // namespace tavgdi
