#include "builders/CR80YMCOutputBuilder.h"

#include <cstdio>
#include <cstring>

#include "Allocator.h"
#include "Exceptions/NullException.h"
#include "GraphicalConstants.h"
#include "InternalLog.h"
#include "MediaDefinition.h"
#include "builders/PanelCommand.h"
#include "face/FastKernels.h"
#include "image/GDMemoryManager.h"
#include "image/IGDataMemoryManager.h"
#include "processors/Convert8to7bitProcessor.h"
#include "processors/IGDataProcessor.h"
#include "settings/IGDataOptions.h"

namespace tavgdi {

CR80YMCOutputBuilder::CR80YMCOutputBuilder(IGDataOptions* options, IGDataMemoryManager* memMgr, MediaDefinition* media)
    : OutputBuilderBase("CR80YMCOutputBuilder"), options(options), source(nullptr), commands(nullptr),
      size(0), singlePanelSize{0, 0, 0}, reductionParameter(256), panelIndex(0), media(media), cmdSize(0)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +CR80YMCOutputBuilder (%lx) \tDependancy: "
                       L"IGDataOptions(%lx), IGDataMemoryManager(%lx), MediaDefinition(%lx)\r\n",
                       LOGPTR(this), LOGPTR(options), LOGPTR(memMgr), LOGPTR(media));
    if (memMgr == nullptr || media == nullptr)
        throw NullException("[CR80YMCOutputBuilder::CR80YMCOutputBuilder] Null IGDataMemoryManager or Media");

    // The output conversions work on a private copy: the face keeps its image.
    // A plain manager's copy is filled by init, where the 7-bit packing can
    // read the panel directly instead of a copy of it.
    if (GDMemoryManager* plain = FastKernels::plainMemory(memMgr)) {
        this->memMgr.reset(plain->cloneUnfilled());
        source = this->memMgr != nullptr ? memMgr : nullptr;
    } else {
        this->memMgr.reset(memMgr->clone());
    }

    const dword area = media->getArea();
    if (options != nullptr && options->getOption(TavGdiOptions::DbFormatOut) == TavGdiOptions::DbFormat7bit) {
        reductionParameter = 128;
        size = MediaDefinition::to7bits(area);
    } else {
        reductionParameter = 256;
        size = area;
    }

    cmdSize = PanelCommand::headerLength(media, reductionParameter);

    // The three planes and one command must be addressable in 32 bits, and
    // the header as printed must have the length counted above.
    char header[96];
    const unsigned long long total = static_cast<unsigned long long>(cmdSize) + size + 1;
    if (3ull * area <= 0xFFFFFFFFull && 3ull * total <= 0xFFFFFFFFull &&
        formatHeader('y', header, sizeof(header)) == cmdSize)
        buffer = Allocator::alloc(static_cast<dword>(total));
    if (buffer == nullptr)
        InternalLog::print(L"[TAVRIN UNIDRIVER][CR80YMCOutputBuilder::CR80YMCOutputBuilder] WARNING - no command "
                           L"buffer (ptr:%lx, sz:%lu)\r\n",
                           LOGPTR(this), (unsigned long)total);
}

CR80YMCOutputBuilder::~CR80YMCOutputBuilder()
{
    Allocator::desalloc(commands);
}

int CR80YMCOutputBuilder::formatHeader(char panel, char* target, size_t capacity)
{
    return PanelCommand::formatHeader(media, panel, reductionParameter, target, capacity);
}

void CR80YMCOutputBuilder::copySource()
{
    if (source == nullptr)
        return;
    const dword count = source->getSize() < memMgr->getSize() ? source->getSize() : memMgr->getSize();
    if (count != 0 && source->getBuffer(0) != nullptr && memMgr->getBuffer(0) != nullptr)
        memcpy(memMgr->getBuffer(0), source->getBuffer(0), count);
    source = nullptr;
}

bool CR80YMCOutputBuilder::init(IGDataProcessor* processor)
{
    // A chain led by the 7-bit packing packs straight from the panel.
    Convert8to7bitProcessor* packing = FastKernels::sevenBitPacking(processor);
    if (state != constructionDone || buffer == nullptr || memMgr == nullptr) {
        copySource();
        state = onError;
    } else if (packing != nullptr && source != nullptr && packing->getParent() == nullptr &&
               reductionParameter == 128 && size == MediaDefinition::to7bits(media->getArea()) &&
               Convert8to7bitProcessor::canProcessCopy(source, memMgr.get(), media)) {
        // Only the whole groups of each packed plane are sent: packed
        // straight from the panel into the commands. Neither the copy nor
        // the one-command area is needed; their room goes to the commands.
        static_cast<GDMemoryManager*>(memMgr.get())->reset();
        Allocator::desalloc(buffer);
        buffer = nullptr;
        IGDataMemoryManager* from = source;
        source = nullptr;
        commands = Allocator::alloc(static_cast<dword>(3 * commandSize()));
        state = onError;
        if (commands != nullptr) {
            byte* const planes[3] = {commands + cmdSize, commands + commandSize() + cmdSize,
                                     commands + 2 * commandSize() + cmdSize};
            if (packing->processInto(from, planes, media))
                state = initDone;
        }
    } else if (packing != nullptr && source != nullptr &&
               Convert8to7bitProcessor::canProcessCopy(source, memMgr.get(), media)) {
        IGDataMemoryManager* from = source;
        source = nullptr;
        state = packing->processCopy(nullptr, from, memMgr.get(), media) ? initDone : onError;
    } else {
        copySource();
        if (processor == nullptr || processor->process(nullptr, memMgr.get(), media))
            state = initDone;
        else
            state = onError;
    }
    if (state == onError)
        InternalLog::print(L"[TAVRIN UNIDRIVER][CR80YMCOutputBuilder::init] WARNING - (ptr:%lx) nothing to send\r\n",
                           LOGPTR(this));
    initSizes();
    return state == initDone;
}

bool CR80YMCOutputBuilder::isBlankCommand(int panel) const
{
    const byte* data = commands + static_cast<size_t>(panel) * commandSize() + cmdSize;
    byte any = 0;
    for (dword i = 0; i < size; ++i)
        any |= data[i];
    return any == 0;
}

void CR80YMCOutputBuilder::initSizes()
{
    const dword area = media->getArea();
    const bool alwaysSent =
        options != nullptr && options->getOption(TavGdiOptions::SendBlankPanel) == TavGdiOptions::OptionTrue;
    for (int i = 0; i < PanelCount; ++i) {
        // A builder that cannot produce its panels announces nothing, so that
        // the declared size always matches the bytes sent.
        if (state == onError ||
            (!alwaysSent &&
             (commands != nullptr ? isBlankCommand(i) : PanelCommand::isBlank(memMgr.get(), area * i, size))))
            singlePanelSize[i] = 0;
        else
            singlePanelSize[i] = static_cast<dword>(cmdSize) + size + 1;
    }
}

byte* CR80YMCOutputBuilder::getBuffer()
{
    if (state != initDone || panelIndex < 0 || panelIndex >= PanelCount) {
        state = onError;
        return nullptr;
    }
    char header[96];
    formatHeader(GraphicalConstants::panelIndexToDescription(panelIndex), header, sizeof(header));
    byte* command = buffer;
    if (commands != nullptr)
        command = commands + static_cast<size_t>(panelIndex) * commandSize();
    else
        PanelCommand::copyOut(memMgr.get(), media->getArea() * static_cast<dword>(panelIndex), size, buffer + cmdSize);
    for (int i = 0; i < cmdSize; ++i)
        command[i] = static_cast<byte>(header[i]);
    command[cmdSize + size] = static_cast<byte>(GraphicalConstants::EndCommandChar);
    return command;
}

dword CR80YMCOutputBuilder::getSize()
{
    if (panelIndex < 0 || panelIndex >= PanelCount)
        return 0;
    return singlePanelSize[panelIndex];
}

dword CR80YMCOutputBuilder::getOutputSize()
{
    return singlePanelSize[0] + singlePanelSize[1] + singlePanelSize[2];
}

bool CR80YMCOutputBuilder::next()
{
    ++panelIndex;
    if (state == initDone && panelIndex >= PanelCount)
        state = iterationDone;
    return state == initDone;
}

} // namespace tavgdi
