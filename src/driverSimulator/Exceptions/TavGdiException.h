#pragma once

namespace tavgdi {

// Base of the pipeline's exceptions; the message is logged, not stored.
class TavGdiException {
public:
    explicit TavGdiException(const char* message);
    TavGdiException(const TavGdiException&) = default;
    TavGdiException& operator=(const TavGdiException&) = default;
    virtual ~TavGdiException();
};

} // namespace tavgdi
