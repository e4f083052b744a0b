// The black (K) or overlay (O) panel of one face as one panel download
// command: ESC header with the level count 2, the 1-bit panel as stored,
// CR. An empty panel is not sent unless blank panels are asked for.
#pragma once

#include <memory>

#include "GlobalFactory.h"
#include <cstddef>

#include "Windows.h"
#include "builders/IGDataOutputBuilder.h"

namespace tavgdi {

class IGDataOptions;
class IGDataMemoryManager;
class MediaDefinition;

class CR80MonoDbOutputBuilder : public IGDataOutputBuilder {
public:
    static const char stdDbCmdPattern[];
    static const char extDbCmdPattern[];
    static const char extSDbCmdPattern[];
    static const int stdDbCmdLength = 8;
    static const int extDbCmdLength = 11;
    static const int extSDbCmdLength = 14;

    CR80MonoDbOutputBuilder(TavFactory::SupervisorType type, IGDataOptions* options, IGDataMemoryManager* memMgr,
                            MediaDefinition* media);
    ~CR80MonoDbOutputBuilder() override;

    bool init(IGDataProcessor* processor) override;
    byte* getBuffer() override;
    dword getSize() override;
    dword getOutputSize() override;
    bool next() override;
    IGDataOutputBuilder* clone() override;

    BuilderStates getState() const { return state; }
    int getCmdLength() const { return dbCmdLength; }

private:
    CR80MonoDbOutputBuilder(const CR80MonoDbOutputBuilder&) = delete;
    CR80MonoDbOutputBuilder& operator=(const CR80MonoDbOutputBuilder&) = delete;

    int formatHeader(char* target, size_t capacity);

    IGDataOptions* options;
    std::unique_ptr<IGDataMemoryManager> memMgr;
    dword size;
    dword outSize;
    BuilderStates state;
    byte* buffer;
    char panel;
    bool alwaysSent;
    const char* dbCmdPattern;
    int dbCmdLength;
    MediaDefinition* media;
};

} // namespace tavgdi
