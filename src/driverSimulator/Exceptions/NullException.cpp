#include "NullException.h"

namespace tavgdi {

NullException::NullException(const char* message) : TavGdiException(message)
{
}

NullException::~NullException() = default;

} // namespace tavgdi
