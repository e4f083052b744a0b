// The raster-operation factory and the choice of halftoning from the
// ColorToMonochrome option.
#include <memory>

#include "GlobalFactory.h"
#include "InternalLog.h"
#include "Owned.h"
#include "face/RasterOperations.h"
#include "image/IGDataSupervisor.h"
#include "settings/IGDataOptions.h"

namespace TavFactory {

namespace {

bool isFixedColorSubstitution(tavgdi::IGDataSupervisor* target)
{
    if (target == nullptr)
        return false;
    tavgdi::IGDataOptions* options = target->getIGDataOptions();
    return options != nullptr && options->getOption(TavGdiOptions::isFixedColorBlackSubst) == TavGdiOptions::OptionTrue;
}

} // namespace

std::unique_ptr<tavgdi::IGRasterOperation> FactoryGRasterOperation(tavgdi::IGDataSupervisor* target,
                                                                   GRasterOperationType type,
                                                                   tavgdi::IGDInvariantProcessor* invariant)
{
    using namespace tavgdi;
    switch (type) {
    case RasterOpTrivialWithInvariant:
        return makeLogged<TrivialRasterOperationWithInvariant>(
            L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - TrivialRasterOperationWithInvariant \tPTR: %lx\r\n", target,
            invariant);
    case RasterOpWithMemory:
        if (isFixedColorSubstitution(target))
            return makeLogged<StandardRasterOperationWithFixedColor>(
                L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - StandardRasterOperationWithFixedColor \tPTR: %lx\r\n", target);
        return makeLogged<StandardRasterOperationWithMem>(
            L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - StandardRasterOperationWithMem \tPTR: %lx\r\n", target);
    case RasterOpWithInvariant:
        return makeLogged<StandardRasterOperationWithInvariant>(
            L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - StandardRasterOperationWithInvariant \tPTR: %lx\r\n", target,
            invariant);
    case RasterOpFloyd:
        return makeLogged<FloydRasterOperation>(
            L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - FloydRasterOperation \tPTR: %lx\r\n", target);
    case RasterOpDithering:
        return makeLogged<DitheringRasterOperation>(
            L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - DitheringRasterOperation \tPTR: %lx\r\n", target);
    case RasterOpThresholding:
        return makeLogged<ThresholdingRasterOperation>(
            L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - ThresholdingRasterOperation \tPTR: %lx\r\n", target);
    case RasterOpClusteredDithering:
        return makeLogged<OrderedClusteredDotDitheringRasterOperation>(
            L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - OrderedClusteredDotDitheringRasterOperation \tPTR: %lx\r\n",
            target);
    case RasterOpStandard:
    case RasterOpUndefined:
    default:
        return makeLogged<StandardRasterOperation>(
            L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - StandardRasterOperation \tPTR: %lx\r\n", target);
    }
}

GRasterOperationType getGROTypeFromOption(TavGdiOptions::Values value)
{
    switch (value) {
    case TavGdiOptions::ColorBWDithering:
        return RasterOpDithering;
    case TavGdiOptions::ColorBWFloyd:
        return RasterOpFloyd;
    case TavGdiOptions::ColorBWThresholding:
        return RasterOpThresholding;
    case TavGdiOptions::ColorBWClusteredDithering:
        return RasterOpClusteredDithering;
    default:
        return RasterOpUndefined;
    }
}

} // namespace TavFactory
