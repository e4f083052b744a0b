// The one object through which the page loop drives the document pipeline:
// start of document, one call per face, end of document. It owns the job's
// option maps, the command fragments, the text rectangles, the custom
// picture readers and the card geometry.
#pragma once

#include <string>

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

    // False when the job's settings refuse it (see OptionsConverter::
    // getJobRefusal): the cause has been reported to CUPS and no card of the
    // job will be printed.
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
    // Reports the refusal (jobRefusal) to CUPS and drops the document
    // supervisor, so that no card of the job is printed.
    void refuse(const wchar_t* operation);

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
    // Why the last conversion refused the job; empty when it may be printed.
    std::string jobRefusal;
    // The last conversion's settings in words, told to CUPS once per job.
    std::string jobSummary;
};

} // namespace tavgdi
