#include "face/FastKernels.h"

#include <typeinfo>

#include "face/PixelOperation.h"
#include "image/CR80ColorBmpManager.h"
#include "image/CR80MonoDataManager.h"
#include "image/CR80YMCManager.h"
#include "image/GDMemoryManager.h"
#include "image/MonoDeviceSupervisor.h"
#include "input/CR80BmpParser.h"
#include "processors/Convert8to7bitProcessor.h"
#include "processors/FactoryNullProcessor.h"

namespace tavgdi {
namespace FastKernels {

namespace {

using RA = RasterAccess;
using PixelOperation::copy;
using PixelOperation::copyBlackPoint;
using PixelOperation::copyColorBW;

const Kernel kernels[] = {
    {ColourCopy, "bitmap tiles into the colour planes", bit(RA::BgrBitmap), bit(RA::YMCPlanes), {copy, nullptr}},
    {BlackWithMemory,
     "black runs out of the colour planes",
     bit(RA::YMCPlanes),
     bit(RA::OneBit),
     {copyBlackPoint, nullptr}},
    {BlackWithFixedColour,
     "black dots of the colour planes replaced once",
     bit(RA::YMCPlanes),
     bit(RA::OneBit),
     {copyBlackPoint, nullptr}},
    {PanelMeasure, "panel measured column by column", 0, bit(RA::YMCPlanes) | bit(RA::OneBit), {nullptr, nullptr}},
    {Thresholding, "threshold over bitmap bytes", bit(RA::BgrBitmap), bit(RA::OneBit), {copy, copyColorBW}},
    {Dithering, "ordered dither over bitmap bytes", bit(RA::BgrBitmap), bit(RA::OneBit), {copy, copyColorBW}},
    {ClusteredDithering,
     "clustered dither over bitmap bytes",
     bit(RA::BgrBitmap),
     bit(RA::OneBit),
     {copy, copyColorBW}},
    {ErrorDiffusion,
     "error diffusion with the error in registers",
     bit(RA::BgrBitmap),
     bit(RA::OneBit),
     {copy, copyColorBW}},
    {GrayConversion, "bitmap converted in storage order", bit(RA::BgrBitmap), bit(RA::BgrBitmap), {nullptr, nullptr}},
};

bool takes(const Kernel& k, PixelOperation::PixelOp op)
{
    return (k.ops[0] == nullptr && k.ops[1] == nullptr) || op == k.ops[0] || op == k.ops[1];
}

} // namespace

const Kernel* begin()
{
    return kernels;
}

const Kernel* end()
{
    return kernels + sizeof(kernels) / sizeof(kernels[0]);
}

const Kernel* choose(Operation operation, const RasterAccess& from, const RasterAccess& to, PixelOperation::PixelOp op,
                     Projection* p)
{
    for (const Kernel* k = begin(); k != end(); ++k) {
        if (k->operation != operation)
            continue;
        if ((k->from != 0 && (k->from & bit(from.layout())) == 0) || (k->to & bit(to.layout())) == 0 ||
            to.layout() == RA::None || !takes(*k, op))
            return nullptr;
        if (p != nullptr &&
            (!projectionAxis(p->Wtransform, p->W, p->H, p->X) || !projectionAxis(p->Htransform, p->W, p->H, p->Y)))
            return nullptr;
        return k;
    }
    return nullptr;
}

RasterAccess::Layout layoutOf(IGDataSupervisor* supervisor, IGDataManager*& manager, IGDataMemoryManager*& memory)
{
    manager = nullptr;
    memory = nullptr;
    MonoDeviceSupervisor* s = dataSupervisor(supervisor);
    return s != nullptr ? layoutOf(manager = s->getDataManager(), memory) : RA::None;
}

RasterAccess::Layout layoutOf(IGDataManager* manager, IGDataMemoryManager*& memory)
{
    memory = nullptr;
    if (manager == nullptr)
        return RA::None;
    const std::type_info& type = typeid(*manager);
    const RA::Layout layout = type == typeid(CR80YMCManager)        ? RA::YMCPlanes
                              : type == typeid(CR80ColorBmpManager) ? RA::BgrBitmap
                              : type == typeid(CR80MonoDataManager) ? RA::OneBit
                                                                    : RA::None;
    if (layout == RA::None)
        return RA::None;
    memory = plainMemory(static_cast<GenericDataManager*>(manager)->getMemoryManager());
    return memory != nullptr ? layout : RA::None;
}

GDMemoryManager* plainMemory(IGDataMemoryManager* memory)
{
    return memory != nullptr && typeid(*memory) == typeid(GDMemoryManager) ? static_cast<GDMemoryManager*>(memory)
                                                                           : nullptr;
}

MonoDeviceSupervisor* dataSupervisor(IGDataSupervisor* supervisor)
{
    return supervisor != nullptr && typeid(*supervisor) == typeid(MonoDeviceSupervisor)
               ? static_cast<MonoDeviceSupervisor*>(supervisor)
               : nullptr;
}

Convert8to7bitProcessor* sevenBitPacking(IGDataProcessor* processor)
{
    return processor != nullptr && typeid(*processor) == typeid(Convert8to7bitProcessor)
               ? static_cast<Convert8to7bitProcessor*>(processor)
               : nullptr;
}

CR80BmpParser* unprocessedPicture(IGDataParser* parser, IFactoryGDProcessor* processors)
{
    return parser != nullptr && typeid(*parser) == typeid(CR80BmpParser) && processors != nullptr &&
                   typeid(*processors) == typeid(FactoryNullProcessor)
               ? static_cast<CR80BmpParser*>(parser)
               : nullptr;
}

const CR80MonoDataManager* oneBitManager(const IGDataManager* manager)
{
    return dynamic_cast<const CR80MonoDataManager*>(manager);
}

} // namespace FastKernels
} // namespace tavgdi
