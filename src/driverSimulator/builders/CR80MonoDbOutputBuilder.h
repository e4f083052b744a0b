// The black (K) or overlay (O) panel of one face as one panel download
// command: ESC header with the level count 2, the 1-bit panel as stored,
// CR. An empty panel is not sent unless blank panels are asked for.
#pragma once

#include "GlobalFactory.h"
#include <cstddef>

#include "Windows.h"
#include "builders/OutputBuilderBase.h"

namespace tavgdi {

class IGDataOptions;
class IGDataMemoryManager;
class MediaDefinition;

class CR80MonoDbOutputBuilder : public OutputBuilderBase {
public:
    CR80MonoDbOutputBuilder(TavFactory::SupervisorType type, IGDataOptions* options, IGDataMemoryManager* memMgr,
                            MediaDefinition* media);

    bool init(IGDataProcessor* processor) override;
    byte* getBuffer() override;
    dword getSize() override;
    bool next() override;

    int getCmdLength() const { return dbCmdLength; }

private:
    int formatHeader(char* target, size_t capacity);

    IGDataOptions* options;
    dword size;
    dword outSize;
    char panel;
    bool alwaysSent;
    int dbCmdLength;
    MediaDefinition* media;
};

} // namespace tavgdi
