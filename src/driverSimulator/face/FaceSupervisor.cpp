#include "face/FaceSupervisor.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "Allocator.h"
#include "Exceptions/NullException.h"
#include "GlobalFactory.h"
#include "InternalLog.h"
#include "MediaDefinition.h"
#include "OptionsDefinition.h"
#include "Owned.h"
#include "builders/IGDataOutputBuilder.h"
#include "face/FactoryGDInvariantProcessor.h"
#include "face/FastKernels.h"
#include "face/IGDInvariantProcessor.h"
#include "face/IGRasterOperation.h"
#include "face/PixelOperation.h"
#include "image/IGDataSupervisor.h"
#include "image/MonoDeviceSupervisor.h"
#include "image/IPixel.h"
#include "input/IMonochromeReader.h"
#include "pipeline/IOutputWriter.h"
#include "pipeline/StatusReporter.h"
#include "pipeline/StdLGRect.h"
#include "pipeline/StdLGRectIterator.h"
#include "settings/IGDataOptions.h"

namespace tavgdi {

using namespace GraphicalConstants;
using namespace TavGdiOptions;

namespace {

bool isPortrait(CardOrientation o)
{
    return o == Portrait || o == PortraitFlip;
}

byte level(int value)
{
    return static_cast<byte>(clipControl(value, 0, 255));
}

// Tells the user that the face needs a custom picture it cannot get, naming
// the setting that chose it (never the file: the job's name for it may be
// anything).
void noteMissingPicture(StatusReporter& status, bool isBlack, const IMonochromeReader* reader)
{
    const char* setting = reader != nullptr ? reader->getSetting() : nullptr;
    std::string cause = isBlack ? "the custom black picture chosen for it" : "the custom overlay picture chosen for it";
    if (setting != nullptr)
        cause += std::string(" (") + setting + ")";
    cause += " cannot be read";
    status.noteFailureCause(cause.c_str());
}

} // namespace

FaceSupervisor::FaceSupervisor(IGDataOptions* opts, MediaDefinition* mediaDef, StatusReporter& reporter)
    : orientation(Landscape), options(opts), media(mediaDef), status(reporter)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +FaceSupervisor (%lx) \tDependancy: IGDataOptions(%lx), "
                       L"MediaDefinition(%lx)\r\n",
                       LOGPTR(this), LOGPTR(opts), LOGPTR(mediaDef));
    factoryGDInvariantProcessor = makeLogged<FactoryGDInvariantProcessor>(
        L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - NEW FactoryGDInvariantProcessor \tPTR: %lx\r\n");
    try {
        YMCSupervisor = TavFactory::FactoryGDataSupervisor(TavFactory::DbColorSupervisor, media, options);
        KSupervisor = TavFactory::FactoryGDataSupervisor(TavFactory::DbMonochromeSupervisor, media, options);
        OSupervisor = TavFactory::FactoryGDataSupervisor(TavFactory::DbOverlaySupervisor, media, options);
    } catch (...) {
        releaseAll();
        throw;
    }
    if (YMCSupervisor == nullptr || KSupervisor == nullptr || OSupervisor == nullptr || options == nullptr) {
        releaseAll();
        throw NullException("[DriverSequencer::DriverSequencer] Null Object");
    }
}

void FaceSupervisor::releaseAll()
{
    YMCSupervisor.reset();
    KSupervisor.reset();
    OSupervisor.reset();
    invariantColor.reset();
    invariantMono.reset();
    factoryGDInvariantProcessor.reset();
}

FaceSupervisor::~FaceSupervisor()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] start destruction : FaceSupervisor (%lx)\r\n",
                       LOGPTR(this));
    logFree("YMCSupervisor", YMCSupervisor.get());
    logFree("KSupervisor", KSupervisor.get());
    logFree("OSupervisor", OSupervisor.get());
    logFree("invariantColor", invariantColor.get());
    logFree("invariantMono", invariantMono.get());
    logFree("factoryGDInvariantProcessor", factoryGDInvariantProcessor.get());
    releaseAll();
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -FaceSupervisor (%lx)\r\n", LOGPTR(this));
}

void FaceSupervisor::UpdateOptionsManager(IGDataOptions* opts)
{
    if (opts != nullptr)
        options = opts;
}

int FaceSupervisor::option(int key)
{
    return options->getOption(static_cast<Keys>(key));
}

std::unique_ptr<IGDataSupervisor> FaceSupervisor::getInputGDataSupervisor(bool isColorInput, bool isColorOutput,
                                                                          IGDataOptions* opts)
{
    TavFactory::SupervisorType type = TavFactory::BmpMonochromeSupervisor;
    if (isColorInput)
        type = isColorOutput ? TavFactory::BmpColorSupervisor : TavFactory::BmpGraySupervisor;
    return TavFactory::FactoryGDataSupervisor(type, media, opts);
}

void FaceSupervisor::buildInvariant(std::unique_ptr<IGDInvariantProcessor>& slot, IGDataSupervisor* target, int type)
{
    // A face is processed once; a second build replaces the first.
    slot.reset();
    slot = factoryGDInvariantProcessor->build(options, target->getMedia(),
                                              static_cast<IFactoryGDInvariantProcessor::IProcessorType>(type));
}

bool FaceSupervisor::runGraphicalProcessing(byte* buffer, dword size, dword width, dword height, int bitCount,
                                            StdLGRect* lrect, IMonochromeReader* oreader, IMonochromeReader* kreader)
{
    const wchar_t* const tag = L"[TAVRIN UNIDRIVER][FaceSupervisor::runGraphicalProcessing]";
    InternalLog::print(L"%ls (prt:%lx)\r\n", tag, LOGPTR(this));
    InternalLog::print(L"%ls   Buffer  : %lx\r\n", tag, LOGPTR(buffer));
    InternalLog::print(L"%ls   Size    : %ld\r\n", tag, (long)size);
    InternalLog::print(L"%ls   Width   : %ld\r\n", tag, (long)width);
    InternalLog::print(L"%ls   Height  : %ld\r\n", tag, (long)height);
    InternalLog::print(L"%ls   Depth   : %d\r\n", tag, bitCount);
    InternalLog::print(L"%ls   Region  : %lx\r\n", tag, LOGPTR(lrect));
    InternalLog::print(L"%ls   Overlay : %lx\r\n", tag, LOGPTR(oreader));
    InternalLog::print(L"%ls   Black   : %lx\r\n", tag, LOGPTR(kreader));

    options->setOption(InputDeviceType, bitCount == 24 ? DeviceColor : DeviceMonochrome);
    IPixel::setThreshold(level(option(ThresholdValue)));
    InternalLog::print(L"%ls   Threshold : %d\r\n", tag, (int)IPixel::getThreshold());
    IPixel::setBlackLevel(level(option(BlackLevelValue)));
    InternalLog::print(L"%ls   BlackLevel: %d\r\n", tag, (int)IPixel::getBlackLevel());
    IPixel::setDarkLevel(level(option(DarkLevelValue)));
    InternalLog::print(L"%ls   DarkLevel: %d\r\n", tag, (int)IPixel::getDarkLevel());

    if (!runMainGraphicalProcessing(buffer, size, width, height))
        return false;

    if (option(OutputDeviceType) == DeviceColor) {
        if (option(BlackManagement) != NoValue && !runMonochromeProcessing(lrect, kreader))
            return false;
        if (invariantColor != nullptr)
            measure(YMCSupervisor.get(), invariantColor.get(), proj1, negLproj2);
    }
    if (invariantMono != nullptr)
        measure(KSupervisor.get(), invariantMono.get(), negLproj1, proj2);

    if (option(OverlayManagement) == NoValue)
        return true;
    return runOverlayProcessing(oreader);
}

void FaceSupervisor::measure(IGDataSupervisor* target, IGDInvariantProcessor* invariant, CoordinateTransform pr1,
                             CoordinateTransform pr2)
{
    std::unique_ptr<IGRasterOperation> op =
        TavFactory::FactoryGRasterOperation(target, TavFactory::RasterOpTrivialWithInvariant, invariant);
    if (op != nullptr)
        op->apply(nullptr, PixelOperation::copy, nullptr, pr1, pr2);
    logFree("RasterOpTrivialWithInvariant", op.get());
}

bool FaceSupervisor::runMainGraphicalProcessing(byte* buffer, dword size, dword width, dword height)
{
    const bool colourOut = option(OutputDeviceType) == DeviceColor;
    const bool colourIn = option(InputDeviceType) == DeviceColor;

    IGDataSupervisor* target = colourOut ? YMCSupervisor.get() : KSupervisor.get();
    TavFactory::GRasterOperationType opType = TavFactory::RasterOpStandard;
    PixelOperation::PixelOp pixelOp = PixelOperation::copy;
    if (colourIn && !colourOut) {
        opType = TavFactory::getGROTypeFromOption(static_cast<Values>(option(ColorToMonochrome)));
        pixelOp = PixelOperation::copyColorBW;
    }

    std::unique_ptr<IGDataSupervisor> picture = getInputGDataSupervisor(colourIn, colourOut, options);
    // The picture lives for this operation only and is only read: it may
    // read the page where it is.
    if (MonoDeviceSupervisor* plain = FastKernels::dataSupervisor(picture.get()))
        plain->setBorrowsRaster(true);
    if (colourOut)
        buildInvariant(invariantColor, YMCSupervisor.get(), IFactoryGDInvariantProcessor::colorProcessor);
    else
        buildInvariant(invariantMono, KSupervisor.get(), IFactoryGDInvariantProcessor::monoProcessor);
    std::unique_ptr<IGRasterOperation> rasterOp = TavFactory::FactoryGRasterOperation(target, opType, nullptr);

    bool result = false;
    if (picture != nullptr && rasterOp != nullptr && picture->setRaster(buffer, size, width, height, colourIn)) {
        picture->setOrientation(UpdateOrientation(picture->getOrientation(), option(Rotate180) == OptionTrue), nullptr);
        orientation = picture->getOrientation();

        CoordinateTransform pr1 = proj1, pr2 = negLproj2;
        if (colourOut) {
            if (isPortrait(orientation)) {
                pr1 = negLproj1;
                pr2 = proj2;
            }
        } else {
            if (!isPortrait(orientation)) {
                pr1 = negLproj1;
                pr2 = proj2;
            }
            target->setOrientation(Portrait, nullptr);
        }
        if (target->newRaster(picture->getMedia(), false)) {
            result = rasterOp->apply(picture.get(), pixelOp, nullptr, pr1, pr2);
            target->preProcessing();
        }
    }
    logFree("designBmpSupervisor", picture.get());
    logFree("rasterOp", rasterOp.get());
    picture.reset();
    rasterOp.reset();
    return result;
}

bool FaceSupervisor::runMonochromeProcessing(StdLGRect* lrect, IMonochromeReader* kreader)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][FaceSupervisor::runMonochromeProcessing] (ptr:%lx)\r\n", LOGPTR(this));

    if (option(BlackManagement) == BlackMgtBmp) {
        if (KSupervisor == nullptr || kreader == nullptr) {
            // No reader for this face (a reader kind without readers): the
            // face fails as it does for a picture that cannot be read.
            InternalLog::print(L"[TAVRIN UNIDRIVER][FaceSupervisor::runMonochromeProcessing] WARNING - Failed (reading "
                               L"external data)\r\n");
            noteMissingPicture(status, true, kreader);
            return false;
        }
        buildInvariant(invariantMono, KSupervisor.get(), IFactoryGDInvariantProcessor::monoProcessor);
        byte* picture = kreader->read(media);
        bool result = false;
        if (picture != nullptr && media != nullptr) {
            result = setBlack(picture, media->getBMPMonochromeDataSize(), media->getWidth(), media->getHeight());
        } else {
            InternalLog::print(L"[TAVRIN UNIDRIVER][FaceSupervisor::runMonochromeProcessing] WARNING - Failed (reading "
                               L"external data)\r\n");
            noteMissingPicture(status, true, kreader);
        }
        Allocator::desalloc(picture);
        return result;
    }

    buildInvariant(invariantMono, KSupervisor.get(), IFactoryGDInvariantProcessor::monoProcessor);
    InternalLog::print(L"[TAVRIN UNIDRIVER][FaceSupervisor::runMonochromeProcessing] Rect list PTR : %lx)\r\n",
                       LOGPTR(lrect));
    std::unique_ptr<IGRasterOperation> rasterOp =
        TavFactory::FactoryGRasterOperation(KSupervisor.get(), TavFactory::RasterOpWithMemory, nullptr);
    std::unique_ptr<StdLGRectIterator> iterRect;
    if (option(BlackManagement) == BlackMgtOnlyText) {
        if (lrect != nullptr) {
            iterRect = makeLogged<StdLGRectIterator>(
                L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - StdLGRectIterator \tPTR: %lx\r\n", lrect);
        } else {
            // Without a text list, black is taken from the whole face but
            // the black panel is left out of the face.
            options->setOption(BlackManagement, NoValue);
        }
    }

    bool result = false;
    if (rasterOp != nullptr && KSupervisor->newRaster(media, false)) {
        if (iterRect != nullptr) {
            if (media != nullptr)
                iterRect->orientationTransform(orientation, media->getWidth(), media->getHeight());
            else
                InternalLog::print(L"[TAVRIN UNIDRIVER][FaceSupervisor::runMonochromeProcessing] WARNING - (ptr:%lx) "
                                   L": NULL MEDIA\r\n",
                                   LOGPTR(this));
        }
        result =
            rasterOp->apply(YMCSupervisor.get(), PixelOperation::copyBlackPoint, iterRect.get(), negLproj1, negLproj2);
    }
    logFree("rasterOp", rasterOp.get());
    logFree("iterRect", iterRect.get());
    rasterOp.reset();
    iterRect.reset();
    return result;
}

bool FaceSupervisor::applyCustomPicture(IGDataSupervisor* target, bool isBlack, byte* buffer, dword size, dword width,
                                        dword height)
{
    std::unique_ptr<IGDataSupervisor> picture =
        TavFactory::FactoryGDataSupervisor(TavFactory::BmpMonochromeSupervisor, media, nullptr);
    std::unique_ptr<IGRasterOperation> rasterOp =
        TavFactory::FactoryGRasterOperation(target, TavFactory::RasterOpStandard, nullptr);
    bool result = false;
    if (target->newRaster(media, false) && picture != nullptr && rasterOp != nullptr &&
        picture->setRaster(buffer, size, width, height, false)) {
        // A custom black picture turns with the page; an overlay stays as loaded.
        if (isBlack)
            picture->setOrientation(UpdateOrientation(picture->getOrientation(), option(Rotate180) == OptionTrue),
                                    nullptr);
        result = rasterOp->apply(picture.get(), PixelOperation::copy, nullptr, negLproj1, proj2);
    } else {
        options->setOption(isBlack ? BlackManagement : OverlayManagement, NoValue);
    }
    logFree(isBlack ? "blackBmpSupervisor" : "overlayBmpSupervisor", picture.get());
    logFree("rasterOp", rasterOp.get());
    picture.reset();
    rasterOp.reset();
    return result;
}

bool FaceSupervisor::setBlack(byte* buffer, dword size, dword width, dword height)
{
    return applyCustomPicture(KSupervisor.get(), true, buffer, size, width, height);
}

bool FaceSupervisor::setOverlay(byte* buffer, dword size, dword width, dword height)
{
    return applyCustomPicture(OSupervisor.get(), false, buffer, size, width, height);
}

bool FaceSupervisor::runOverlayProcessing(IMonochromeReader* oreader)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][FaceSupervisor::runOverlayProcessing] (ptr:%lx)\r\n", LOGPTR(this));
    const int management = option(OverlayManagement);
    if (management == OverlayMgtFull)
        return OSupervisor != nullptr && OSupervisor->newRaster(media, true);
    if (management != OverlayMgtBmp || OSupervisor == nullptr)
        return false;
    if (oreader == nullptr) {
        InternalLog::print(
            L"[TAVRIN UNIDRIVER][FaceSupervisor::runOverlayProcessing] WARNING - Failed (reading external data)\r\n");
        noteMissingPicture(status, false, oreader);
        return false;
    }
    byte* picture = oreader->read(media);
    bool result = false;
    if (picture != nullptr && media != nullptr)
        result = setOverlay(picture, media->getBMPMonochromeDataSize(), media->getWidth(), media->getHeight());
    else {
        InternalLog::print(
            L"[TAVRIN UNIDRIVER][FaceSupervisor::runOverlayProcessing] WARNING - Failed (reading external data)\r\n");
        noteMissingPicture(status, false, oreader);
    }
    Allocator::desalloc(picture);
    return result;
}

bool FaceSupervisor::writeInvariant(IOutputWriter* writer, void* obj, IGDInvariantProcessor* invariant)
{
    if (invariant == nullptr)
        return true;
    char* text = invariant->getInvariant();
    if (text == nullptr)
        return true;
    const dword length = static_cast<dword>(strlen(text));
    return writer->write(obj, text, length) == length;
}

bool FaceSupervisor::sendFace(IOutputWriter* writer, void* obj, byte* headBuffer, int headBufferSize, byte* tailBuffer,
                              int tailBufferSize)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][FaceSupervisor::sendFace] (prt:%lx)\r\n", LOGPTR(this));
    if (writer == nullptr || headBuffer == nullptr || tailBuffer == nullptr || headBufferSize < 0 || tailBufferSize < 0)
        return false;
    if (writer->write(obj, headBuffer, static_cast<dword>(headBufferSize)) != static_cast<dword>(headBufferSize)) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][FaceSupervisor::sendFace] ERROR - Face head writing error\r\n");
        return false;
    }
    const bool colourOut = option(OutputDeviceType) == DeviceColor;
    if (colourOut) {
        if (!writeInvariant(writer, obj, invariantColor.get()))
            InternalLog::print(
                L"[TAVRIN UNIDRIVER][FaceSupervisor::sendFace] WARNING - Unable to send graphical color invariant\r\n");
        if (!ProcessSupervisor(writer, obj, YMCSupervisor.get())) {
            InternalLog::print(L"[TAVRIN UNIDRIVER][FaceSupervisor::sendFace] ERROR - YMC Panel processing error\r\n");
            return false;
        }
    }
    if (option(BlackManagement) != NoValue || option(OutputDeviceType) == DeviceMonochrome) {
        if (!writeInvariant(writer, obj, invariantMono.get()))
            InternalLog::print(
                L"[TAVRIN UNIDRIVER][FaceSupervisor::sendFace] WARNING - Unable to send graphical mono invariant\r\n");
        if (!ProcessSupervisor(writer, obj, KSupervisor.get())) {
            InternalLog::print(
                L"[TAVRIN UNIDRIVER][FaceSupervisor::sendFace] ERROR - Black panel processing error\r\n");
            return false;
        }
    }
    if (option(OverlayManagement) != NoValue && !ProcessSupervisor(writer, obj, OSupervisor.get())) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][FaceSupervisor::sendFace] ERROR - Overlay panel processing error\r\n");
        return false;
    }
    if (writer->write(obj, tailBuffer, static_cast<dword>(tailBufferSize)) != static_cast<dword>(tailBufferSize)) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][FaceSupervisor::sendFace] ERROR - Face tail writing error\r\n");
        return false;
    }
    return true;
}

bool FaceSupervisor::ProcessSupervisor(IOutputWriter* writer, void* obj, IGDataSupervisor* supervisor)
{
    if (supervisor == nullptr || writer == nullptr)
        return false;
    std::unique_ptr<IGDataOutputBuilder> builder(supervisor->getIGDataOutputBuilder());
    if (!builder)
        return true;
    const dword globalSize = builder->getOutputSize();
    auto release = [&builder]() { releaseLogged(builder, "IGDataOutputBuilder"); };
    if (globalSize == 0) {
        release();
        return true;
    }
    char marker[32];
    snprintf(marker, sizeof(marker), "<BINARY Size=%lu>", (unsigned long)globalSize);
    const dword markerSize = static_cast<dword>(strlen(marker));
    if (writer->write(obj, marker, markerSize) != markerSize) {
        release();
        return false;
    }
    do {
        byte* buffer = builder->getBuffer();
        const dword bufferSize = builder->getSize();
        if (buffer != nullptr && bufferSize != 0 && writer->write(obj, buffer, bufferSize) != bufferSize) {
            release();
            return false;
        }
    } while (builder->next());
    release();
    const char* end = "</BINARY>";
    return writer->write(obj, const_cast<char*>(end), 9) == 9;
}

} // namespace tavgdi
