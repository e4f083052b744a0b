#pragma once

#include "Exceptions/TavGdiException.h"

namespace tavgdi {

// Thrown by a constructor that is given a null dependency.
class NullException : public TavGdiException {
public:
    explicit NullException(const char* message);
    NullException(const NullException&) = default;
    NullException& operator=(const NullException&) = default;
    ~NullException() override;
};

} // namespace tavgdi
