// Reading the enumerated fields of a raster page header. They come from the
// input as raw 32-bit numbers; loading one through its enumeration type is
// undefined when the number is none of the enumeration's values, so they are
// read as plain unsigned numbers.
#pragma once

#include <cstring>
#include <type_traits>

template <typename E>
unsigned headerValue(const E& field)
{
    static_assert(std::is_enum<E>::value && sizeof(E) == sizeof(unsigned), "a 32-bit enumerated header field");
    unsigned value;
    std::memcpy(&value, &field, sizeof(value));
    return value;
}
