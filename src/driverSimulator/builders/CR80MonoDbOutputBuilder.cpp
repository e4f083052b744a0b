#include "builders/CR80MonoDbOutputBuilder.h"

#include <cstdio>

#include "Allocator.h"
#include "Exceptions/NullException.h"
#include "GraphicalConstants.h"
#include "InternalLog.h"
#include "MediaDefinition.h"
#include "Owned.h"
#include "builders/PanelCommand.h"
#include "image/IGDataMemoryManager.h"
#include "processors/IGDataProcessor.h"
#include "settings/IGDataOptions.h"

namespace tavgdi {

const char CR80MonoDbOutputBuilder::stdDbCmdPattern[] = "\x1b" "Db;%c;%d;";
const char CR80MonoDbOutputBuilder::extDbCmdPattern[] = "\x1b" "Dbx;%c;%d;%d;%d;";
const char CR80MonoDbOutputBuilder::extSDbCmdPattern[] = "\x1b" "Dbxs;%c;%d;%d;%d;%d;%d;";

// One bit per dot.
static const int MonoLevels = 2;

CR80MonoDbOutputBuilder::CR80MonoDbOutputBuilder(TavFactory::SupervisorType type, IGDataOptions* options,
                                                 IGDataMemoryManager* memMgr, MediaDefinition* media)
    : options(options),
      size(0),
      outSize(0),
      state(constructionDone),
      buffer(nullptr),
      panel(type == TavFactory::DbMonochromeSupervisor ? 'k' : 'o'),
      alwaysSent(false),
      dbCmdPattern(stdDbCmdPattern),
      dbCmdLength(stdDbCmdLength),
      media(media)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +CR80MonoDbOutputBuilder (%lx) \tDependancy: "
                       L"IGDataOptions(%lx), IGDataMemoryManager(%lx), MediaDefinition(%lx)\r\n",
                       LOGPTR(this), LOGPTR(options), LOGPTR(memMgr), LOGPTR(media));
    if (memMgr == nullptr || media == nullptr)
        throw NullException("[CR80MonoDbOutputBuilder::CR80MonoDbOutputBuilder] Null IGDataMemoryManager or Media");

    this->memMgr.reset(memMgr->clone());

    using GraphicalConstants::Log10_32bit;
    switch (PanelCommand::chooseForm(media)) {
    case PanelCommand::StdForm:
        dbCmdPattern = stdDbCmdPattern;
        dbCmdLength = stdDbCmdLength;
        break;
    case PanelCommand::ExtForm:
        dbCmdPattern = extDbCmdPattern;
        dbCmdLength = static_cast<int>(extDbCmdLength + Log10_32bit(media->getDpiX()) + Log10_32bit(media->getDpiY()));
        break;
    default:
        dbCmdPattern = extSDbCmdPattern;
        dbCmdLength = static_cast<int>(extSDbCmdLength + Log10_32bit(media->getDpiX()) +
                                       Log10_32bit(media->getDpiY()) + Log10_32bit(media->getCRWidth()) +
                                       Log10_32bit(media->getCRHeight()));
        break;
    }

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
    alwaysSent = options != nullptr &&
                 options->getOption(TavGdiOptions::SendBlankPanel) == TavGdiOptions::OptionTrue;
}

CR80MonoDbOutputBuilder::~CR80MonoDbOutputBuilder()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] Start destruction : CR80MonoDbOutputBuilder (%lx)\r\n",
                       LOGPTR(this));
    logFree("IGDataMemoryManager", memMgr.get());
    memMgr.reset();
    Allocator::desalloc(buffer);
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -CR80MonoDbOutputBuilder (%lx)\r\n", LOGPTR(this));
}

int CR80MonoDbOutputBuilder::formatHeader(char* target, size_t capacity)
{
    if (dbCmdPattern == stdDbCmdPattern)
        return snprintf(target, capacity, dbCmdPattern, panel, MonoLevels);
    if (dbCmdPattern == extDbCmdPattern)
        return snprintf(target, capacity, dbCmdPattern, panel, MonoLevels, static_cast<int>(media->getDpiX()),
                        static_cast<int>(media->getDpiY()));
    return snprintf(target, capacity, dbCmdPattern, panel, MonoLevels, static_cast<int>(media->getDpiX()),
                    static_cast<int>(media->getDpiY()), static_cast<int>(media->getCRWidth()),
                    static_cast<int>(media->getCRHeight()));
}

bool CR80MonoDbOutputBuilder::init(IGDataProcessor* processor)
{
    if (state == constructionDone && buffer != nullptr && memMgr != nullptr &&
        (processor == nullptr || processor->process(nullptr, memMgr.get(), media)))
        state = initDone;
    else
        state = onError;
    if (state == onError)
        InternalLog::print(
            L"[TAVRIN UNIDRIVER][CR80MonoDbOutputBuilder::init] WARNING - (ptr:%lx) nothing to send\r\n",
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

dword CR80MonoDbOutputBuilder::getOutputSize()
{
    return getSize();
}

bool CR80MonoDbOutputBuilder::next()
{
    return false;
}

IGDataOutputBuilder* CR80MonoDbOutputBuilder::clone()
{
    return this;
}

} // namespace tavgdi
