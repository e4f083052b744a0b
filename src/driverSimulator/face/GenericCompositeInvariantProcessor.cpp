#include "face/GenericCompositeInvariantProcessor.h"

#include <cstdarg>
#include <cstdio>

#include "InternalLog.h"
#include "Owned.h"
#include "Windows.h"

namespace tavgdi {

GenericCompositeInvariantProcessor::GenericCompositeInvariantProcessor(IGDInvariantProcessor* p) : parent(p)
{
    localoutput[0] = '\0';
}

GenericCompositeInvariantProcessor::~GenericCompositeInvariantProcessor()
{
    logFree("IGDInvariantProcessor", parent.get());
    parent.reset();
}

void GenericCompositeInvariantProcessor::resetCountersNext()
{
    if (parent != nullptr)
        parent->resetCounters();
}

char* GenericCompositeInvariantProcessor::getInvariantNext(char* text)
{
    if (parent == nullptr || text == nullptr)
        return text;
    const char* parentText = parent->getInvariant();
    if (parentText == nullptr)
        return nullptr;
    int n = snprintf(localoutput, sizeof(localoutput), "%s%s", text, parentText);
    if (n < 0 || n >= static_cast<int>(sizeof(localoutput))) {
        localoutput[0] = '\0';
        return nullptr;
    }
    return localoutput;
}

char* GenericCompositeInvariantProcessor::formatOwn(char* output, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int n = vsnprintf(output, OwnTextSize, format, args);
    va_end(args);
    if (n < 0 || n >= OwnTextSize) {
        output[0] = '\0';
        return nullptr;
    }
    return output;
}

} // namespace tavgdi
