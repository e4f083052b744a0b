// The yellow, magenta and cyan panels of one face as three panel download
// commands: ESC header, the plane (one byte or 7 packed bits per dot, column
// by column), CR. A blank panel is skipped unless blank panels are asked for.
#pragma once

#include "builders/OutputBuilderBase.h"
#include <cstddef>

#include "Windows.h"

namespace tavgdi {

class IGDataOptions;
class IGDataMemoryManager;
class MediaDefinition;

class CR80YMCOutputBuilder : public OutputBuilderBase {
public:
    static const int PanelCount = 3;

    CR80YMCOutputBuilder(IGDataOptions* options, IGDataMemoryManager* memMgr, MediaDefinition* media);
    ~CR80YMCOutputBuilder() override;

    bool init(IGDataProcessor* processor) override;
    byte* getBuffer() override;
    dword getSize() override;
    dword getOutputSize() override;
    bool next() override;

    int getCmdSize() const { return cmdSize; }

private:
    void initSizes();
    // Writes the header of the panel into target (cmdSize characters plus a
    // terminating zero at most) and returns its length.
    int formatHeader(char panel, char* target, size_t capacity);

    // Copies the source into memMgr if that is still to be done.
    void copySource();
    // Bytes of one command: header, panel data, end character.
    size_t commandSize() const { return static_cast<size_t>(cmdSize) + size + 1; }
    // True when the data of the command made in commands is all 0.
    bool isBlankCommand(int panel) const;

    IGDataOptions* options;
    // The panel's memory manager while memMgr is a copy of its size whose
    // bytes are still to be copied (by init, together with the packing when
    // it can); null once memMgr holds the copy.
    IGDataMemoryManager* source;
    // The three commands, one after the other, when init packed the panel
    // straight into them (the 7-bit packing alone); null otherwise, the
    // commands then being made in buffer from memMgr one at a time.
    byte* commands;
    dword size;
    dword singlePanelSize[PanelCount];
    int reductionParameter;
    int panelIndex;
    MediaDefinition* media;
    int cmdSize;
};

} // namespace tavgdi
