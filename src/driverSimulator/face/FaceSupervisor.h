// Turns one page (one face of one card) into the printer data of that face:
// its colour, black and overlay panels between the face head and tail.
#pragma once

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
class StdLGRect;

class FaceSupervisor {
public:
    FaceSupervisor(IGDataOptions* options, MediaDefinition* media);
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
    IGDataSupervisor* getInputGDataSupervisor(bool isColorInput, bool isColorOutput, IGDataOptions* options);

    // Writes the face head, the panels in printing order and the face tail.
    bool sendFace(IOutputWriter* writer, void* obj, byte* headBuffer, int headBufferSize, byte* tailBuffer,
                  int tailBufferSize);
    // Writes one panel supervisor's data between "<BINARY Size=%lu>" and "</BINARY>".
    static bool ProcessSupervisor(IOutputWriter* writer, void* obj, IGDataSupervisor* supervisor);

    // Read access for tests and tools.
    IGDataSupervisor* getColorSupervisor() { return YMCSupervisor; }
    IGDataSupervisor* getBlackSupervisor() { return KSupervisor; }
    IGDataSupervisor* getOverlaySupervisor() { return OSupervisor; }
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
    void buildInvariant(IGDInvariantProcessor*& slot, IGDataSupervisor* target, int type);
    void releaseAll();

    GraphicalConstants::CardOrientation orientation;
    IFactoryGDInvariantProcessor* factoryGDInvariantProcessor;
    IGDInvariantProcessor* invariantColor;
    IGDInvariantProcessor* invariantMono;
    IGDataSupervisor* YMCSupervisor;
    IGDataSupervisor* KSupervisor;
    IGDataSupervisor* OSupervisor;
    IGDataOptions* options;
    MediaDefinition* media;
};

} // namespace tavgdi
