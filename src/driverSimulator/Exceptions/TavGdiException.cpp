#include "TavGdiException.h"

#include "InternalLog.h"

namespace tavgdi {

TavGdiException::TavGdiException(const char* message)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][TavGdiException::TavGdiException] EXCEPTION - %S\r\n",
                       message ? message : "");
}

TavGdiException::~TavGdiException() = default;

} // namespace tavgdi
