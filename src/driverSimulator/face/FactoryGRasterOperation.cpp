// The raster-operation factory and the choice of halftoning from the
// ColorToMonochrome option.
#include "GlobalFactory.h"
#include "InternalLog.h"
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

tavgdi::IGRasterOperation* logged(tavgdi::IGRasterOperation* op, const wchar_t* format)
{
    tavgdi::InternalLog::print(format, LOGPTR(op));
    return op;
}

} // namespace

tavgdi::IGRasterOperation* FactoryGRasterOperation(tavgdi::IGDataSupervisor* target, GRasterOperationType type,
                                                   tavgdi::IGDInvariantProcessor* invariant)
{
    using namespace tavgdi;
    switch (type) {
    case RasterOpTrivialWithInvariant:
        return logged(new TrivialRasterOperationWithInvariant(target, invariant),
                      L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - TrivialRasterOperationWithInvariant \tPTR: %lx\r\n");
    case RasterOpWithMemory:
        if (isFixedColorSubstitution(target))
            return logged(new StandardRasterOperationWithFixedColor(target),
                          L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - StandardRasterOperationWithFixedColor \tPTR: "
                          L"%lx\r\n");
        return logged(new StandardRasterOperationWithMem(target),
                      L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - StandardRasterOperationWithMem \tPTR: %lx\r\n");
    case RasterOpWithInvariant:
        return logged(new StandardRasterOperationWithInvariant(target, invariant),
                      L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - StandardRasterOperationWithInvariant \tPTR: %lx\r\n");
    case RasterOpFloyd:
        return logged(new FloydRasterOperation(target),
                      L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - FloydRasterOperation \tPTR: %lx\r\n");
    case RasterOpDithering:
        return logged(new DitheringRasterOperation(target),
                      L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - DitheringRasterOperation \tPTR: %lx\r\n");
    case RasterOpThresholding:
        return logged(new ThresholdingRasterOperation(target),
                      L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - ThresholdingRasterOperation \tPTR: %lx\r\n");
    case RasterOpClusteredDithering:
        return logged(new OrderedClusteredDotDitheringRasterOperation(target),
                      L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - OrderedClusteredDotDitheringRasterOperation \tPTR: "
                      L"%lx\r\n");
    case RasterOpStandard:
    case RasterOpUndefined:
    default:
        return logged(new StandardRasterOperation(target),
                      L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - StandardRasterOperation \tPTR: %lx\r\n");
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
