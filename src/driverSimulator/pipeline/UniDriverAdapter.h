// The one object through which the page loop drives the document pipeline:
// start of document, one call per face, end of document. It owns the job's
// option maps, the command fragments, the text rectangles, the custom
// picture readers and the card geometry.
#pragma once

#include <memory>
#include <string>

#include "Owned.h"
#include "Windows.h"
#include "pipeline/StdLGRectManager.h"

namespace tavgdi {

class DocumentSupervisor;
class ExternalBufferAggregator;
class IGDataOptions;
class MediaDefinition;
class MonoReaders;
class StatusReporter;

class UniDriverAdapter {
public:
    // Status lines of the job go to `status`, which outlives the adapter.
    UniDriverAdapter(PFN_WriteBuffer writer, StatusReporter& status);
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
    IGDataOptions* getDocOptions() { return docOptions.get(); }
    IGDataOptions* getCardOptions() { return cardOptions.get(); }
    IGDataOptions* getFrontFaceOptions() { return frontFaceOptions.get(); }
    IGDataOptions* getBackFaceOptions() { return backFaceOptions.get(); }

    UniDriverAdapter(const UniDriverAdapter&) = delete;
    UniDriverAdapter& operator=(const UniDriverAdapter&) = delete;

private:
    // Reports the refusal (jobRefusal) to CUPS and drops the document
    // supervisor, so that no card of the job is printed.
    void refuse(const wchar_t* operation);

    PFN_WriteBuffer writer;
    StatusReporter& status;
    bool isStartDocTaggedVisited;
    std::unique_ptr<IGDataOptions> docOptions;
    std::unique_ptr<IGDataOptions> cardOptions;
    std::unique_ptr<IGDataOptions> frontFaceOptions;
    std::unique_ptr<IGDataOptions> backFaceOptions;
    std::unique_ptr<MonoReaders> monochromeReaders;
    std::unique_ptr<ExternalBufferAggregator> aggregator;
    std::unique_ptr<DocumentSupervisor> docSupervisor;
    StdLGRectManager rectManager;
    std::unique_ptr<MediaDefinition> media;
    // Why the last conversion refused the job; empty when it may be printed.
    std::string jobRefusal;
    // The last conversion's settings in words, told to CUPS once per job.
    std::string jobSummary;
};

} // namespace tavgdi
