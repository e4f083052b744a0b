#include "pipeline/ExternalBufferAggregator.h"

#include "InternalLog.h"
#include "Owned.h"

namespace tavgdi {

static const char* const SourcePath = "driverSimulator/ExternalBufferAggregator";

ExternalBufferAggregator::ExternalBufferAggregator()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +ExternalBufferAggregator (%lx)\r\n", LOGPTR(this));
    createAll();
}

ExternalBufferAggregator::~ExternalBufferAggregator()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] Start destruction : ExternalBufferAggregator (%lx)\r\n",
                       LOGPTR(this));
    destroyAll();
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -ExternalBufferAggregator (%lx)\r\n", LOGPTR(this));
}

// Each position gets an empty list of its own, with its allocation line.
void ExternalBufferAggregator::createAll()
{
    for (int i = 0; i < PrintingTags::PrintingTagsTypeSize; ++i) {
        taggedRestrictedAggregator[i] = makeLogged<InternalBufferAggregator>(
            L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - InternalBufferAggregator \tPTR: %lx\r\n");
    }
}

// Each position's release is logged in position order, also for a slot that
// clear() has emptied already (with a null pointer).
void ExternalBufferAggregator::destroyAll()
{
    for (int i = 0; i < PrintingTags::PrintingTagsTypeSize; ++i) {
        logFree("taggedRestrictedAggregator", taggedRestrictedAggregator[i].get());
        taggedRestrictedAggregator[i].reset();
    }
}

InternalBufferAggregator* ExternalBufferAggregator::slot(PrintingTags::PrintingTagsType tagType)
{
    // Unspecified and any value out of range have no list.
    const int index = static_cast<int>(tagType);
    if (index < 0 || index >= PrintingTags::PrintingTagsTypeSize)
        return nullptr;
    return taggedRestrictedAggregator[index].get();
}

bool ExternalBufferAggregator::add(PrintingTags::PrintingTagsType tagType, const byte* buffer, int sz, word priority,
                                   bool isEthernal, bool needEscCR)
{
    InternalBufferAggregator* list = slot(tagType);
    if (list == nullptr) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][ExternalBufferAggregator::add] WARNING - (prt:%lx) - no list for "
                           L"position %d (%S::%d)\r\n",
                           LOGPTR(this), static_cast<int>(tagType), SourcePath, __LINE__);
        return false;
    }
    return list->add(buffer, sz, priority, isEthernal, needEscCR);
}

byte* ExternalBufferAggregator::aggregate(PrintingTags::PrintingTagsType tagType)
{
    InternalBufferAggregator* list = slot(tagType);
    return list == nullptr ? nullptr : list->aggregate();
}

dword ExternalBufferAggregator::getAggregateSize(PrintingTags::PrintingTagsType tagType)
{
    InternalBufferAggregator* list = slot(tagType);
    if (list == nullptr)
        return 0;
    const int size = list->getAggregateSize();
    return size > 0 ? static_cast<dword>(size) : 0;
}

void ExternalBufferAggregator::clear(PrintingTags::PrintingTagsType tagType)
{
    const int index = static_cast<int>(tagType);
    if (index < 0 || index >= PrintingTags::PrintingTagsTypeSize)
        return;
    logFree("taggedRestrictedAggregator", taggedRestrictedAggregator[index].get());
    taggedRestrictedAggregator[index].reset();
}

void ExternalBufferAggregator::removeMortal(PrintingTags::PrintingTagsType tagType)
{
    InternalBufferAggregator* list = slot(tagType);
    if (list != nullptr)
        list->RemoveMortal();
}

void ExternalBufferAggregator::cleanUp()
{
    destroyAll();
    createAll();
}

} // namespace tavgdi
