#include "builders/CR80MonoDbOutputBuilder.h"

#include <cstdio>

#include "Allocator.h"
#include "Exceptions/NullException.h"
#include "GraphicalConstants.h"
#include "InternalLog.h"
#include "MediaDefinition.h"
#include "builders/PanelCommand.h"
#include "image/IGDataMemoryManager.h"
#include "processors/IGDataProcessor.h"
#include "settings/IGDataOptions.h"

namespace tavgdi {

// One bit per dot.
static const int MonoLevels = 2;

CR80MonoDbOutputBuilder::CR80MonoDbOutputBuilder(TavFactory::SupervisorType type, IGDataOptions* options,
                                                 IGDataMemoryManager* memMgr, MediaDefinition* media)
    : OutputBuilderBase("CR80MonoDbOutputBuilder"), size(0), outSize(0),
      panel(type == TavFactory::DbMonochromeSupervisor ? 'k' : 'o'), alwaysSent(false), dbCmdLength(0), media(media)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +CR80MonoDbOutputBuilder (%lx) \tDependancy: "
                       L"IGDataOptions(%lx), IGDataMemoryManager(%lx), MediaDefinition(%lx)\r\n",
                       LOGPTR(this), LOGPTR(options), LOGPTR(memMgr), LOGPTR(media));
    if (memMgr == nullptr || media == nullptr)
        throw NullException("[CR80MonoDbOutputBuilder::CR80MonoDbOutputBuilder] Null IGDataMemoryManager or Media");

    this->memMgr.reset(memMgr->clone());

    dbCmdLength = PanelCommand::headerLength(media, MonoLevels);

    size = media->getMonochromeDataSize();
    const unsigned long long total = static_cast<unsigned long long>(dbCmdLength) + size + 1;
    outSize = total <= 0xFFFFFFFFull ? static_cast<dword>(total) : 0;
    char header[96];
    if (outSize != 0 && formatHeader(header, sizeof(header)) == dbCmdLength)
        buffer = Allocator::alloc(outSize);
    if (buffer == nullptr)
        InternalLog::print(L"[TAVRIN UNIDRIVER][CR80MonoDbOutputBuilder::CR80MonoDbOutputBuilder] WARNING - no "
                           L"command buffer (ptr:%lx, sz:%lu)\r\n",
                           LOGPTR(this), (unsigned long)total);
    alwaysSent = options != nullptr && options->getOption(TavGdiOptions::SendBlankPanel) == TavGdiOptions::OptionTrue;
}

int CR80MonoDbOutputBuilder::formatHeader(char* target, size_t capacity)
{
    return PanelCommand::formatHeader(media, panel, MonoLevels, target, capacity);
}

bool CR80MonoDbOutputBuilder::init(IGDataProcessor* processor)
{
    if (state == constructionDone && buffer != nullptr && memMgr != nullptr &&
        (processor == nullptr || processor->process(nullptr, memMgr.get(), media)))
        state = initDone;
    else
        state = onError;
    if (state == onError)
        InternalLog::print(L"[TAVRIN UNIDRIVER][CR80MonoDbOutputBuilder::init] WARNING - (ptr:%lx) nothing to send\r\n",
                           LOGPTR(this));
    return state == initDone;
}

byte* CR80MonoDbOutputBuilder::getBuffer()
{
    if (state != initDone) {
        state = onError;
        return nullptr;
    }
    char header[96];
    formatHeader(header, sizeof(header));
    for (int i = 0; i < dbCmdLength; ++i)
        buffer[i] = static_cast<byte>(header[i]);
    PanelCommand::copyOut(memMgr.get(), 0, size, buffer + dbCmdLength);
    buffer[dbCmdLength + size] = static_cast<byte>(GraphicalConstants::EndCommandChar);
    return buffer;
}

dword CR80MonoDbOutputBuilder::getSize()
{
    // A builder in error sends nothing, so it announces nothing either.
    if (state == onError || buffer == nullptr)
        return 0;
    if (!alwaysSent && PanelCommand::isBlank(memMgr.get(), 0, size))
        return 0;
    return outSize;
}

bool CR80MonoDbOutputBuilder::next()
{
    return false;
}

} // namespace tavgdi
