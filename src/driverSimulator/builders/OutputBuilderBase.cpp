#include "builders/OutputBuilderBase.h"

#include "Allocator.h"
#include "InternalLog.h"
#include "Owned.h"
#include "image/IGDataMemoryManager.h"

namespace tavgdi {

OutputBuilderBase::OutputBuilderBase(const char* name_) : name(name_)
{
}

OutputBuilderBase::~OutputBuilderBase()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] Start destruction : %s (%lx)\r\n", name, LOGPTR(this));
    logFree("IGDataMemoryManager", memMgr.get());
    memMgr.reset();
    Allocator::desalloc(buffer);
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -%s (%lx)\r\n", name, LOGPTR(this));
}

} // namespace tavgdi
