// Turns one page (one face of one card) into the printer data of that face:
// its colour, black and overlay panels between the face head and tail.
#pragma once

#include <memory>

#include "GraphicalConstants.h"
#include "Windows.h"

namespace tavgdi {

class IFactoryGDInvariantProcessor;
class IGDInvariantProcessor;
class IGDataOptions;
class IGDataSupervisor;
class IMonochromeReader;
class IOutputWriter;
class MediaDefinition;
class StatusReporter;
class StdLGRect;

class FaceSupervisor {
public:
    // Why a face fails is noted with `status`.
    FaceSupervisor(IGDataOptions* options, MediaDefinition* media, StatusReporter& status);
    virtual ~FaceSupervisor();

    void UpdateOptionsManager(IGDataOptions* options);

    // Whole processing of one page: the picture into the colour or black
    // panel, black management, invariants and overlay.
    bool runGraphicalProcessing(byte* buffer, dword size, dword width, dword height, int bitCount, StdLGRect* lrect,
                                IMonochromeReader* oreader, IMonochromeReader* kreader);
    bool runMainGraphicalProcessing(byte* buffer, dword size, dword width, dword height);
    bool runMonochromeProcessing(StdLGRect* lrect, IMonochromeReader* kreader);
    bool runOverlayProcessing(IMonochromeReader* oreader);
    bool setBlack(byte* buffer, dword size, dword width, dword height);
    bool setOverlay(byte* buffer, dword size, dword width, dword height);
    std::unique_ptr<IGDataSupervisor> getInputGDataSupervisor(bool isColorInput, bool isColorOutput,
                                                              IGDataOptions* options);

    // Writes the face head, the panels in printing order and the face tail.
    bool sendFace(IOutputWriter* writer, void* obj, byte* headBuffer, int headBufferSize, byte* tailBuffer,
                  int tailBufferSize);
    // Writes one panel supervisor's data between "<BINARY Size=%lu>" and "</BINARY>".
    static bool ProcessSupervisor(IOutputWriter* writer, void* obj, IGDataSupervisor* supervisor);

    // Read access for tests and tools.
    IGDataSupervisor* getColorSupervisor() { return YMCSupervisor.get(); }
    IGDataSupervisor* getBlackSupervisor() { return KSupervisor.get(); }
    IGDataSupervisor* getOverlaySupervisor() { return OSupervisor.get(); }
    GraphicalConstants::CardOrientation getOrientation() const { return orientation; }

    FaceSupervisor(const FaceSupervisor&) = delete;
    FaceSupervisor& operator=(const FaceSupervisor&) = delete;

private:
    int option(int key);
    bool writeInvariant(IOutputWriter* writer, void* obj, IGDInvariantProcessor* invariant);
    bool applyCustomPicture(IGDataSupervisor* target, bool isBlack, byte* buffer, dword size, dword width,
                            dword height);
    void measure(IGDataSupervisor* target, IGDInvariantProcessor* invariant,
                 GraphicalConstants::CoordinateTransform pr1, GraphicalConstants::CoordinateTransform pr2);
    void buildInvariant(std::unique_ptr<IGDInvariantProcessor>& slot, IGDataSupervisor* target, int type);
    void releaseAll();

    GraphicalConstants::CardOrientation orientation;
    std::unique_ptr<IFactoryGDInvariantProcessor> factoryGDInvariantProcessor;
    std::unique_ptr<IGDInvariantProcessor> invariantColor;
    std::unique_ptr<IGDInvariantProcessor> invariantMono;
    std::unique_ptr<IGDataSupervisor> YMCSupervisor;
    std::unique_ptr<IGDataSupervisor> KSupervisor;
    std::unique_ptr<IGDataSupervisor> OSupervisor;
    IGDataOptions* options;
    MediaDefinition* media;
    StatusReporter& status;
};

} // namespace tavgdi
