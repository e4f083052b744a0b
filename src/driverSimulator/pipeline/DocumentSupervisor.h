// One document: prepares every framing command of the printer stream once,
// hands the faces to one card supervisor at a time and writes the document
// tail at the end.
#pragma once

#include <memory>

#include "Windows.h"

namespace tavgdi {

class CardSupervisor;
class ExternalBufferAggregator;
class IGDataOptions;
class MediaDefinition;
class MonoReaders;
class StatusReporter;
class StdLGRectManager;

class DocumentSupervisor {
public:
    static const int PsyncHeaderStart = 1;
    static const int PsyncHeaderEnd = 2;
    static const int PsyncDocStart = 3;
    static const int PsyncDocEnd = 4;
    static const int PsyncCardStart = 5;
    static const int PsyncCardEnd = 6;
    static const int PsyncMagStart = 7;
    static const int PsyncMagEnd = 8;
    static const int PsyncFaceStart = 9;
    static const int PsyncFaceEnd = 10;
    static const int PsyncEnd = 11;
    static const int PsyncOptionStart = 12;
    static const int PsyncOptionEnd = 13;

    DocumentSupervisor(IGDataOptions* docOptions, IGDataOptions* cardOptions, IGDataOptions* frontFaceOptions,
                       IGDataOptions* backFaceOptions, MonoReaders* monochromeReaders,
                       ExternalBufferAggregator* aggregator, StdLGRectManager* rectManager, MediaDefinition* media,
                       StatusReporter& status);
    virtual ~DocumentSupervisor();

    bool newFace(PFN_WriteBuffer writer, void* obj, byte* buffer, dword size, dword width, dword height, int bitCount,
                 bool flush);
    bool endDoc(PFN_WriteBuffer writer, void* obj);
    void setCopyCount(int n);

    void resetCard();
    void createCard();
    void clearCard();

    void fillAggregators();
    void fillDocAggregators();
    void fillCardAggregators();
    void fillFrontFaceAggregators();
    void fillBackFaceAggregators();

    // Seconds since the epoch carried by the header opening: the current
    // time, or SOURCE_DATE_EPOCH when it holds a number.
    static unsigned long headerTime();

    DocumentSupervisor(const DocumentSupervisor&) = delete;
    DocumentSupervisor& operator=(const DocumentSupervisor&) = delete;

private:
    void fillFaceAggregators(IGDataOptions* face, bool isFront);

    MonoReaders* monochromeReaders;
    std::unique_ptr<CardSupervisor> cardSupervisor;
    IGDataOptions* cardOptions;
    IGDataOptions* docOptions;
    IGDataOptions* frontFaceOptions;
    IGDataOptions* backFaceOptions;
    ExternalBufferAggregator* aggregator;
    std::unique_ptr<StdLGRectManager> rectManager;
    StdLGRectManager* initialRectManager;
    bool isACardSent;
    int copyCount;
    MediaDefinition* media;
    StatusReporter& status;
};

} // namespace tavgdi
