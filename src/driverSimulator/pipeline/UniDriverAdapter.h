// The one object through which the page loop drives the document pipeline:
// start of document, one call per face, end of document.
#pragma once

#include "Windows.h"

namespace tavgdi {

class MediaDefinition;

class UniDriverAdapter {
public:
    explicit UniDriverAdapter(PFN_WriteBuffer writer);
    virtual ~UniDriverAdapter();

    bool startDoc(char* docName, dword jobId, PDEVOBJ pDevObj, IPrintOemDriverUni* helper, int copyCount,
                  bool isExternalOptionManagement);
    bool newFace(PDEVOBJ pDevObj, bool flush);
    bool endDoc(PDEVOBJ pDevObj);
    MediaDefinition* getMedia();

private:
    PFN_WriteBuffer writer;
    bool isStartDocTaggedVisited;
    MediaDefinition* media;
};

} // namespace tavgdi
