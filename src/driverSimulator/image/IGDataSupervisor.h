// One image of a face with everything needed to fill it, draw on it and turn
// it into printer data.
#pragma once

#include "GraphicalConstants.h"
#include "OptionsDefinition.h"
#include "Windows.h"

namespace tavgdi {

class IGDataOptions;
class IGDataOutputBuilder;
class IPixel;
class MediaDefinition;

class IGDataSupervisor {
public:
    virtual IGDataOptions* getIGDataOptions() = 0;
    // A new builder that has already run its output processors; the caller
    // deletes it before the supervisor.
    virtual IGDataOutputBuilder* getIGDataOutputBuilder() = 0;
    virtual void setOrientation(GraphicalConstants::CardOrientation orientation, MediaDefinition* media) = 0;
    virtual GraphicalConstants::CardOrientation getOrientation() = 0;
    virtual void setPixel(int w, int h, IPixel* p) = 0;
    // The supervisor's shared pixel, refilled with the dot's value.
    virtual IPixel* getPixel(int w, int h) = 0;
    virtual void getPixel(int w, int h, IPixel* p) = 0;
    virtual dword getWidth() = 0;
    virtual dword getHeight() = 0;
    virtual MediaDefinition* getMedia() = 0;
    virtual bool load(void* input, bool isFileStream) = 0;
    virtual bool save(char* filename) = 0;
    virtual IGDataSupervisor* clone() = 0;
    virtual bool setRaster(byte* buffer, dword size, dword width, dword height, bool isColorDevice) = 0;
    virtual void setOption(TavGdiOptions::Keys key, TavGdiOptions::Values value) = 0;
    virtual bool newRaster(MediaDefinition* media, bool fullBlack) = 0;
    virtual bool preProcessing() = 0;
    virtual ~IGDataSupervisor() {}
};

} // namespace tavgdi
