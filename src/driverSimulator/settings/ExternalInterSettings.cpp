#include "settings/ExternalInterSettings.h"

#include <cstring>
#include <string>

#include "InternalLog.h"

using tavgdi::InternalLog;

namespace {

// Longest list the store keeps; the buffer's last byte stays zero.
const int MaxListSize = ExternalInterSettings::MaxSize - 1;

} // namespace

ExternalInterSettings::ExternalInterSettings() : size(1)
{
    memset(buffer, 0, sizeof(buffer));
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +ExternalInterSettings (%lx)\r\n", LOGPTR(this));
}

ExternalInterSettings::ExternalInterSettings(const char* multistr, int size) : size(0)
{
    memset(buffer, 0, sizeof(buffer));
    if (multistr != nullptr && size >= 0 && size <= MaxListSize) {
        memcpy(buffer, multistr, static_cast<size_t>(size));
        this->size = size;
    }
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +ExternalInterSettings (%lx)\r\n", LOGPTR(this));
}

ExternalInterSettings::~ExternalInterSettings()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -ExternalInterSettings (%lx)\r\n", LOGPTR(this));
}

const char* ExternalInterSettings::findFeature(const char* feature, int* savedPosition)
{
    int position = search(feature, savedPosition != nullptr ? *savedPosition : 0);
    if (position < 0)
        return nullptr;
    int valuePosition = nextPosition(position);
    if (savedPosition != nullptr)
        *savedPosition = nextPosition(valuePosition);
    // The final empty name has no value: searching for "" yields null.
    return getString(valuePosition);
}

bool ExternalInterSettings::readPCSettingsFromBuffer(char* multistr, int size)
{
    memset(buffer, 0, sizeof(buffer));
    this->size = 0;
    if (size < 0 || size > MaxListSize)
        return false;
    if (size > 0 && multistr == nullptr)
        return false;
    if (size > 0)
        memcpy(buffer, multistr, static_cast<size_t>(size));
    this->size = size;
    return true;
}

bool ExternalInterSettings::updatePCSettingsFromBuffer(char* multistr)
{
    if (multistr == nullptr)
        return false;
    // The caller's list has no stated length: a list is never longer than
    // MaxListSize bytes, so no string is looked for beyond that.
    int position = 0;
    while (position < MaxListSize) {
        const char* name = multistr + position;
        size_t nameLength = strnlen(name, static_cast<size_t>(MaxListSize - position));
        if (nameLength == 0 || nameLength + 2 > static_cast<size_t>(MaxListSize))
            break;
        int valuePosition = position + static_cast<int>(nameLength) + 1;
        if (valuePosition >= MaxListSize)
            break; // the name runs to the limit without its terminator
        const char* value = multistr + valuePosition;
        size_t valueLength = strnlen(value, static_cast<size_t>(MaxListSize - valuePosition));
        if (valuePosition + static_cast<int>(valueLength) >= MaxListSize)
            break; // unterminated value
        updateSetting(name, value);
        position = valuePosition + static_cast<int>(valueLength) + 1;
    }
    return true;
}

dword ExternalInterSettings::getMaxSize()
{
    return MaxSize;
}

bool ExternalInterSettings::writePCSettingsToBuffer(char* multistr, int* size)
{
    if (size == nullptr)
        return false;
    int capacity = *size;
    if (multistr == nullptr || capacity < 0) {
        *size = 0;
        return false;
    }
    memset(multistr, 0, static_cast<size_t>(capacity));
    if (this->size >= capacity) {
        *size = 0;
        return false;
    }
    memcpy(multistr, buffer, static_cast<size_t>(this->size));
    *size = this->size;
    return true;
}

int ExternalInterSettings::findFeaturePosition(const char* feature)
{
    return search(feature, 0);
}

bool ExternalInterSettings::insertSetting(const char* feature, const char* option)
{
    if (feature == nullptr || option == nullptr || feature[0] == '\0')
        return false;
    size_t nameLength = strlen(feature);
    size_t valueLength = strlen(option);
    if (size < 1 || nameLength + static_cast<size_t>(size) + valueLength + 2 > static_cast<size_t>(MaxListSize))
        return true;
    // The pair goes over the final NUL, and a new final NUL follows it.
    char* end = buffer + size - 1;
    memmove(end, feature, nameLength);
    end[nameLength] = '\0';
    memmove(end + nameLength + 1, option, valueLength);
    end[nameLength + 1 + valueLength] = '\0';
    end[nameLength + valueLength + 2] = '\0';
    size += static_cast<int>(nameLength + valueLength + 2);
    return true;
}

bool ExternalInterSettings::removeSetting(const char* feature)
{
    // The empty name is the end of the list, not a setting.
    if (feature == nullptr || feature[0] == '\0')
        return true;
    int position = findFeaturePosition(feature);
    if (position < 0)
        return true;
    int following = nextPosition(nextPosition(position));
    if (following > size)
        following = size; // the pair ran past the list's end
    int pairLength = following - position;
    memmove(buffer + position, buffer + following, static_cast<size_t>(size - following));
    memset(buffer + size - pairLength, 0, static_cast<size_t>(pairLength));
    size -= pairLength;
    return true;
}

bool ExternalInterSettings::updateSetting(const char* feature, const char* option)
{
    if (feature == nullptr || option == nullptr)
        return false;
    // The arguments may point into this very list, which removal shifts.
    std::string name(feature);
    std::string value(option);
    removeSetting(name.c_str());
    return insertSetting(name.c_str(), value.c_str());
}

bool ExternalInterSettings::readPCSettingsFromRegistry(void* /*hPrinter*/, char* /*key*/)
{
    return false;
}

bool ExternalInterSettings::writePCSettingsToRegistry(void* /*hPrinter*/, char* /*key*/)
{
    return false;
}

char* ExternalInterSettings::getString(int position)
{
    if (position < 0 || position >= size)
        return nullptr;
    return buffer + position;
}

int ExternalInterSettings::nextPosition(int position)
{
    const char* string = getString(position);
    if (string == nullptr)
        return position;
    // Ends at the latest on the buffer's last byte, which stays zero.
    return position + static_cast<int>(strlen(string)) + 1;
}

char* ExternalInterSettings::nextString(int position)
{
    int next = nextPosition(position);
    if (next == position)
        return nullptr;
    return getString(next);
}

int ExternalInterSettings::search(const char* feature, int start)
{
    if (feature == nullptr)
        return -1;
    int position = start;
    for (;;) {
        const char* name = getString(position);
        if (name != nullptr && strcmp(name, feature) == 0)
            return position;
        int next = nextPosition(nextPosition(position));
        if (next <= position)
            return -1;
        position = next;
    }
}
