// The pipeline log: wide-character printf-style messages, written as UTF-8
// on standard error through the narrow stream.
#pragma once

#include <cstddef>
#include <cwchar>
#include <string>

namespace tavgdi {

class InternalLog {
public:
    static bool isEnable;
    static const int MaxMessageSize = 2024;
    static wchar_t pblah[MaxMessageSize];
    // True while the last text written to standard error (by this log or the
    // filter log) ended its line; the CUPS status lines need a fresh line.
    static bool isAtLineStart;

    // Every format carries its own line end. "%S" and "%s" both take a
    // narrow string; "%lx" takes a pointer cast with LOGPTR.
    static void print(const wchar_t* format, ...);
};

// Encodes wide characters as UTF-8 (invalid code points become U+FFFD).
std::string toUtf8(const wchar_t* text, size_t length);

} // namespace tavgdi
