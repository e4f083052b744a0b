// Command fragments of a document, one ordered list per printing position.
#pragma once

#include <memory>

#include "Windows.h"
#include "pipeline/InternalBufferAggregator.h"
#include "pipeline/PrintingTags.h"

namespace tavgdi {

class ExternalBufferAggregator {
public:
    ExternalBufferAggregator();
    virtual ~ExternalBufferAggregator();

    ExternalBufferAggregator(const ExternalBufferAggregator&) = delete;
    ExternalBufferAggregator& operator=(const ExternalBufferAggregator&) = delete;

    // Files a fragment at a position. False for Unspecified or any other
    // position that is not stored, for a cleared position, and when the
    // position's list refuses the fragment.
    bool add(PrintingTags::PrintingTagsType tagType, const byte* buffer, int sz, word priority, bool isEthernal,
             bool needEscCR);
    // The position's fragments in one new array (Allocator, owned by the
    // caller); null when the position is empty, cleared or not stored.
    byte* aggregate(PrintingTags::PrintingTagsType tagType);
    // Bytes at the position; 0 when it is cleared or not stored.
    dword getAggregateSize(PrintingTags::PrintingTagsType tagType);
    // Destroys the position's list; it stays empty until cleanUp.
    void clear(PrintingTags::PrintingTagsType tagType);
    // Drops the position's mortal fragments.
    void removeMortal(PrintingTags::PrintingTagsType tagType);
    // Replaces every list with an empty one.
    void cleanUp();

private:
    InternalBufferAggregator* slot(PrintingTags::PrintingTagsType tagType);
    void createAll();
    void destroyAll();

    std::unique_ptr<InternalBufferAggregator> taggedRestrictedAggregator[PrintingTags::PrintingTagsTypeSize];
};

} // namespace tavgdi
