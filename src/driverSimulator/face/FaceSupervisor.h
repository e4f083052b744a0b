// Turns one page (one face of one card) into the printer data of that face:
// its colour, black and overlay panels between the face head and tail.
#pragma once

#include "GraphicalConstants.h"
#include "Windows.h"

namespace tavgdi {

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
    bool runGraphicalProcessing(byte* buffer, dword size, dword width, dword height, int bitCount, StdLGRect* lrect,
                                IMonochromeReader* oreader, IMonochromeReader* kreader);
    bool sendFace(IOutputWriter* writer, void* obj, byte* headBuffer, int headBufferSize, byte* tailBuffer,
                  int tailBufferSize);

    FaceSupervisor(const FaceSupervisor&) = delete;
    FaceSupervisor& operator=(const FaceSupervisor&) = delete;

private:
    GraphicalConstants::CardOrientation orientation;
    IGDataOptions* options;
    MediaDefinition* media;
};

} // namespace tavgdi
