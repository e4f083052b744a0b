// The factory functions of the pipeline and the enumerations they take.
// Each function is defined beside the class family it builds.
#pragma once

#include <memory>

#include "OptionsDefinition.h"
#include "Windows.h"

namespace tavgdi {
class IGDataOptions;
class IOutputWriter;
class IPixel;
class IGDataMemoryManager;
class IGDataManager;
class IGDataSupervisor;
class IFactoryGDProcessor;
class IGDataOutputBuilder;
class IGRasterOperation;
class IGDInvariantProcessor;
class IGDataParser;
class IMonochromeReader;
class IPassthroughOptionsParser;
class MediaDefinition;

// Row layout wanted from a bitmap parser.
enum AlignmentOutputBuffer {
    Aligned = 0,   // keep bitmap rows padded to 4 bytes
    Unaligned = 1, // pack rows without padding
};
} // namespace tavgdi

namespace TavFactory {

enum SupervisorType {
    DbColorSupervisor = 0,
    DbMonochromeSupervisor = 1,
    DbOverlaySupervisor = 2,
    BmpColorSupervisor = 3,
    BmpGraySupervisor = 4,
    BmpMonochromeSupervisor = 5,
    UndefinedSupervisor = 6,
};

enum GRasterOperationType {
    RasterOpUndefined = 0,
    RasterOpTrivialWithInvariant = 1,
    RasterOpStandard = 2,
    RasterOpWithMemory = 3,
    RasterOpWithInvariant = 4,
    RasterOpFloyd = 5,
    RasterOpDithering = 6,
    RasterOpThresholding = 7,
    RasterOpClusteredDithering = 8,
};

enum MonochromeReaderType {
    RegMonoReader = 0,
    FileMonoReader = 1,
    UndefinedMonoReader = 2,
};

tavgdi::IGDataOptions* FactoryDataOptions(SupervisorType type);
std::unique_ptr<tavgdi::IOutputWriter> FactoryOutputWriter(dword size);
std::unique_ptr<tavgdi::IPixel> FactoryPixel(SupervisorType type, byte y, byte m, byte c);
tavgdi::IGDataMemoryManager* FactoryMemoryManager();
std::unique_ptr<tavgdi::IGDataManager> FactoryDataManager(SupervisorType type, tavgdi::IGDataMemoryManager* memMgr,
                                                          tavgdi::MediaDefinition* media);
std::unique_ptr<tavgdi::IGDataSupervisor> FactoryGDataSupervisor(SupervisorType type, tavgdi::MediaDefinition* media,
                                                                 tavgdi::IGDataOptions* options);
std::unique_ptr<tavgdi::IFactoryGDProcessor> FactorySquareGDProcessor(SupervisorType type);
std::unique_ptr<tavgdi::IGDataOutputBuilder> FactoryOutputBuilder(SupervisorType type, tavgdi::IGDataOptions* options,
                                                                  tavgdi::IGDataMemoryManager* memMgr,
                                                                  tavgdi::IGDataManager* dataMgr);
std::unique_ptr<tavgdi::IGRasterOperation> FactoryGRasterOperation(tavgdi::IGDataSupervisor* target,
                                                                   GRasterOperationType type,
                                                                   tavgdi::IGDInvariantProcessor* invariant);
GRasterOperationType getGROTypeFromOption(TavGdiOptions::Values value);
std::unique_ptr<tavgdi::IGDataParser> FactoryDataParser(SupervisorType type, tavgdi::IGDataMemoryManager* mgr,
                                                        tavgdi::AlignmentOutputBuffer alignement);
tavgdi::IMonochromeReader* FactoryMonochromeReader(void* obj, const char* key,
                                                   tavgdi::IMonochromeReader* previousReader,
                                                   MonochromeReaderType monoReaderType);
std::unique_ptr<tavgdi::IPassthroughOptionsParser> FactoryIPassthroughOptionsParser();

} // namespace TavFactory
