#include "settings/GDataOptions.h"

#include <memory>
#include <new>

#include "GlobalFactory.h"
#include "InternalLog.h"
#include "Owned.h"
#include "Windows.h"

namespace tavgdi {

GDataOptions::GDataOptions() : last(nullptr)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +GDataOptions (%lx)\r\n", LOGPTR(this));
}

GDataOptions::~GDataOptions()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] Start destruction : GDataOptions (%lx)\r\n", LOGPTR(this));
    cleanUp();
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -GDataOptions (%lx)\r\n", LOGPTR(this));
}

void GDataOptions::cleanUp()
{
    // Node by node from the head, each after its line (no recursion down a
    // long list).
    while (first != nullptr) {
        Logged<MapNode> node(first.release(), LoggedDelete{"MapNode"});
        first = std::move(node->next);
    }
    last = nullptr;
}

bool GDataOptions::setOption(TavGdiOptions::Keys key, int value)
{
    // Values are logged as their 32-bit pattern.
    InternalLog::print(L"[TAVRIN UNIDRIVER][GDataOptions::setOption] ptr:%lx key:%lu value:%lu\r\n", LOGPTR(this),
                       (unsigned long)(dword)key, (unsigned long)(dword)value);
    for (MapNode* node = first.get(); node != nullptr; node = node->next.get()) {
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
    for (MapNode* node = first.get(); node != nullptr; node = node->next.get()) {
        if (node->key == key)
            return node->value;
    }
    return 0;
}

void GDataOptions::removeOption(TavGdiOptions::Keys key)
{
    MapNode* previous = nullptr;
    for (std::unique_ptr<MapNode>* link = &first; *link != nullptr; previous = link->get(), link = &(*link)->next) {
        if ((*link)->key != key)
            continue;
        Logged<MapNode> node(link->release(), LoggedDelete{"MapNode"});
        *link = std::move(node->next);
        if (node.get() == last)
            last = previous;
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
    for (const MapNode* node = first.get(); node != nullptr; node = node->next.get()) {
        if (!copy->appendMapValue(node->key, node->value))
            return nullptr; // a partial copy would silently lose settings
    }
    return copy.release();
}

bool GDataOptions::appendMapValue(TavGdiOptions::Keys key, int value)
{
    std::unique_ptr<MapNode> node(new (std::nothrow) MapNode(key, value));
    if (node == nullptr)
        return false;
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - MapNode \tPTR: %lx\r\n", LOGPTR(node.get()));
    MapNode* added = node.get();
    (last != nullptr ? last->next : first) = std::move(node);
    last = added;
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
