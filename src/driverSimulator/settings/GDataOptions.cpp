#include "settings/GDataOptions.h"

#include <memory>
#include <new>

#include "GlobalFactory.h"
#include "InternalLog.h"
#include "Owned.h"
#include "Windows.h"

namespace tavgdi {

GDataOptions::GDataOptions() : first(nullptr), last(nullptr)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +GDataOptions (%lx)\r\n", LOGPTR(this));
}

GDataOptions::~GDataOptions()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] Start destruction : GDataOptions (%lx)\r\n",
                       LOGPTR(this));
    cleanUp();
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -GDataOptions (%lx)\r\n", LOGPTR(this));
}

void GDataOptions::cleanUp()
{
    MapNode* node = first;
    while (node != nullptr) {
        MapNode* next = node->next;
        LoggedDelete{"MapNode"}(node);
        node = next;
    }
    first = nullptr;
    last = nullptr;
}

bool GDataOptions::setOption(TavGdiOptions::Keys key, int value)
{
    // Values are logged as their 32-bit pattern.
    InternalLog::print(L"[TAVRIN UNIDRIVER][GDataOptions::setOption] ptr:%lx key:%lu value:%lu\r\n", LOGPTR(this),
                       (unsigned long)(dword)key, (unsigned long)(dword)value);
    for (MapNode* node = first; node != nullptr; node = node->next) {
        if (node->key == key) {
            node->value = value;
            return true;
        }
    }
    return appendMapValue(key, value);
}

int GDataOptions::getOption(TavGdiOptions::Keys key)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][GDataOptions::getOption] ptr:%lx key:%lu\r\n", LOGPTR(this),
                       (unsigned long)(dword)key);
    for (MapNode* node = first; node != nullptr; node = node->next) {
        if (node->key == key)
            return node->value;
    }
    return 0;
}

void GDataOptions::removeOption(TavGdiOptions::Keys key)
{
    MapNode* previous = nullptr;
    for (MapNode* node = first; node != nullptr; previous = node, node = node->next) {
        if (node->key != key)
            continue;
        if (previous == nullptr)
            first = node->next;
        else
            previous->next = node->next;
        if (node == last)
            last = previous;
        LoggedDelete{"MapNode"}(node);
        return;
    }
}

IGDataOptions* GDataOptions::clone()
{
    std::unique_ptr<GDataOptions> copy(new (std::nothrow) GDataOptions());
    if (copy == nullptr)
        return nullptr;
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - GDataOptions::clone \tPTR: %lx\r\n",
                       LOGPTR(copy.get()));
    for (MapNode* node = first; node != nullptr; node = node->next) {
        if (!copy->appendMapValue(node->key, node->value))
            return nullptr; // a partial copy would silently lose settings
    }
    return copy.release();
}

bool GDataOptions::appendMapValue(TavGdiOptions::Keys key, int value)
{
    MapNode* node = new (std::nothrow) MapNode(key, value, last);
    if (node == nullptr)
        return false;
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - MapNode \tPTR: %lx\r\n", LOGPTR(node));
    if (first == nullptr)
        first = node;
    last = node;
    return true;
}

} // namespace tavgdi

namespace TavFactory {

// Every supervisor kind gets the same kind of map.
tavgdi::IGDataOptions* FactoryDataOptions(SupervisorType /*type*/)
{
    tavgdi::IGDataOptions* options = new (std::nothrow) tavgdi::GDataOptions();
    if (options != nullptr)
        tavgdi::InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - IGDataOptions \tPTR: %lx\r\n",
                                   LOGPTR(options));
    return options;
}

} // namespace TavFactory
