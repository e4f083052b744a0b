#include "Owned.h"

#include "InternalLog.h"
#include "Windows.h"

namespace tavgdi {

void logAllocation(const wchar_t* format, const void* p)
{
    InternalLog::print(format, LOGPTR(p));
}

void logFree(const char* what, const void* p, const char* why)
{
    if (what == nullptr || *what == '\0')
        InternalLog::print(L"[TAVRIN UNIDRIVER MEM] FREE - \t\tPTR: %lx\r\n", LOGPTR(p));
    else if (why != nullptr)
        InternalLog::print(L"[TAVRIN UNIDRIVER MEM] %s FREE (%s) - \t\tPTR: %lx\r\n", what, why, LOGPTR(p));
    else
        InternalLog::print(L"[TAVRIN UNIDRIVER MEM] %s FREE - \t\tPTR: %lx\r\n", what, LOGPTR(p));
}

} // namespace tavgdi
