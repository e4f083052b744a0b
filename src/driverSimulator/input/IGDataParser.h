// Brings a picture (a bitmap in memory or in a file, or a panel download
// stream) into a memory manager.
#pragma once

#include <cstdio>

#include "GlobalFactory.h"
#include "GraphicalConstants.h"
#include "Windows.h"

namespace tavgdi {

class IGDataOptions;
class MediaDefinition;

class IGDataParser {
public:
    enum GDParserStates {
        GDParser_ok = 0,
        GDParser_ioerror = 1,
        GDParser_parsingerror = 2,
        GDParser_resolution_error = 3,
        GDParser_eof = 4,
        GDParser_overflow = 5,
    };
    typedef tavgdi::AlignmentOutputBuffer AlignmentOutputBuffer;

    virtual bool parse(const char* filename, IGDataOptions* options, MediaDefinition* media) = 0;
    virtual bool parse(FILE* file, IGDataOptions* options, MediaDefinition* media) = 0;
    virtual bool parse(byte* buffer, dword size, dword width, dword height, bool isColorDevice, IGDataOptions* options,
                       MediaDefinition* media) = 0;
    virtual dword getHeight() = 0;
    virtual dword getWidth() = 0;
    virtual GraphicalConstants::CardOrientation getCardOrientation() = 0;
    virtual bool isOnError() = 0;
    virtual bool isDataAvailable() = 0;
    virtual ~IGDataParser() {}
};

} // namespace tavgdi
