// Assembles one card: takes its faces as front or back, runs their graphical
// processing and, once the card is complete, writes it into its own buffer
// and flushes that buffer once per copy.
#pragma once

#include <memory>

#include "Windows.h"

namespace tavgdi {

class ExternalBufferAggregator;
class FaceSupervisor;
class IGDataOptions;
class IMonochromeReader;
class IOutputWriter;
class MediaDefinition;
class MonoReaders;
class StatusReporter;
class StdLGRectManager;

class CardSupervisor {
public:
    enum Status {
        Error = 0,
        InProgress = 1,
        Sent = 2,
    };

    CardSupervisor(IGDataOptions* cardOptions, IGDataOptions* frontFaceOptions, IGDataOptions* backFaceOptions,
                   ExternalBufferAggregator* aggregator, MonoReaders* monochromeReaders, StdLGRectManager* rectManager,
                   MediaDefinition* media, StatusReporter& status);
    virtual ~CardSupervisor();

    Status newFace(PFN_WriteBuffer writer, void* obj, byte* buffer, dword size, dword width, dword height, int bitCount,
                   bool flush);
    bool sendCard(PFN_WriteBuffer writer, void* obj, bool isDuplex);
    void setCopyCount(int n);
    dword ComputeBufferSizeUpperBound(IGDataOptions* options);
    void cleanUpMemory(byte* buffer[7]);

    CardSupervisor(const CardSupervisor&) = delete;
    CardSupervisor& operator=(const CardSupervisor&) = delete;

private:
    IMonochromeReader* reader(int slot);
    bool processFace(bool front, byte* buffer, dword size, dword width, dword height, int bitCount);
    void releaseAll();

    IGDataOptions* cardOptions;
    StdLGRectManager* rectManager;
    ExternalBufferAggregator* aggregator;
    std::unique_ptr<FaceSupervisor> frontFace;
    std::unique_ptr<FaceSupervisor> backFace;
    MonoReaders* monochromeReaders;
    bool isCurrentFrontFace;
    int copyCount;
    std::unique_ptr<IOutputWriter> outputWriter;
    StatusReporter& status;
};

} // namespace tavgdi
