// The one object through which the page loop drives the document pipeline:
// start of document, one call per face, end of document. It owns the job's
// option maps, the command fragments, the text rectangles, the custom
// picture readers and the card geometry.
#pragma once

#include "Windows.h"
#include "pipeline/StdLGRectManager.h"

namespace tavgdi {

class DocumentSupervisor;
class ExternalBufferAggregator;
class IGDataOptions;
class MediaDefinition;
class MonoReaders;

class UniDriverAdapter {
public:
    explicit UniDriverAdapter(PFN_WriteBuffer writer);
    virtual ~UniDriverAdapter();

    bool startDoc(char* docName, dword jobId, PDEVOBJ pDevObj, IPrintOemDriverUni* helper, int copyCount,
                  bool isExternalOptionManagement);
    bool newFace(PDEVOBJ pDevObj, bool flush);
    bool endDoc(PDEVOBJ pDevObj);
    MediaDefinition* getMedia();
    bool resetPDEV(PDEVOBJ pDevObj, IPrintOemDriverUni* helper);
    bool externalToInternal(PDEVOBJ pDevObj, IPrintOemDriverUni* helper);
    bool BuildMedia();
    void cleanUpOptions();
    void buildOptions();

    // Read access for callers that inspect a converted job.
    IGDataOptions* getDocOptions() { return docOptions; }
    IGDataOptions* getCardOptions() { return cardOptions; }
    IGDataOptions* getFrontFaceOptions() { return frontFaceOptions; }
    IGDataOptions* getBackFaceOptions() { return backFaceOptions; }

    UniDriverAdapter(const UniDriverAdapter&) = delete;
    UniDriverAdapter& operator=(const UniDriverAdapter&) = delete;

private:
    PFN_WriteBuffer writer;
    bool isStartDocTaggedVisited;
    IGDataOptions* docOptions;
    IGDataOptions* cardOptions;
    IGDataOptions* frontFaceOptions;
    IGDataOptions* backFaceOptions;
    MonoReaders* monochromeReaders;
    ExternalBufferAggregator* aggregator;
    DocumentSupervisor* docSupervisor;
    StdLGRectManager rectManager;
    MediaDefinition* media;
};

} // namespace tavgdi
