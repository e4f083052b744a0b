// The pipeline log: wide-character printf-style messages, written as UTF-8
// on standard error through the narrow stream.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cwchar>
#include <string>

namespace tavgdi {

// Values in log lines. CUPS reads standard error line by line and acts on the
// lines that begin "PAGE:", "ATTR:", "PPD:", "STATE:", "ERROR:" and so on; a
// job's title, user or option value written into a log line must not be able
// to end that line and start one of its own. The control bytes of a value
// (below 0x20, and 0x7F) and its backslashes are written as escapes: \n, \r,
// \t, \\ and \xhh for the others (ESC is \x1b). The logs' own formats keep
// their bytes, line ends included.

// True for the bytes of a value that are written escaped.
inline bool isEscapedInLog(unsigned char c)
{
    return c < 0x20 || c == 0x7F || c == '\\';
}

// Appends the `length` bytes of `text` to `out`, escaped.
void appendEscaped(std::string& out, const char* text, size_t length);

// `text` escaped; the text itself when it holds nothing to escape.
std::string escapedForLog(const std::string& text);

// vsnprintf into `out` (`size` bytes, the terminating NUL included), except
// that the text of every argument is escaped. Returns the length of the whole
// text as vsnprintf does (negative on a format error); the text is cut to
// size - 1 bytes.
int formatEscaped(char* out, size_t size, const char* format, va_list args);

class InternalLog {
public:
    static bool isEnable;
    static const int MaxMessageSize = 2024;
    static wchar_t pblah[MaxMessageSize];
    // True while the last text written to standard error (by this log or the
    // filter log) ended its line; the CUPS status lines need a fresh line.
    // Setting it true declares that the next text starts a line.
    static bool isAtLineStart;
    // Bytes written on the current line of standard error, and the most a
    // line may take: CUPS cuts a longer line (at 2047 bytes) and reads the
    // rest as a line of its own, whose start a long value could choose.
    static size_t lineBytes;
    static const size_t MaxLineBytes = 2040;

    // Writes log text (a whole message, from its format's first byte) to
    // standard error. Text that does not fit on an open line starts a new
    // one; what a line holds beyond MaxLineBytes is left out. Every log and
    // status line goes through here.
    static void write(const char* text, size_t length);
    // Where log text goes instead of standard error when set (a program
    // with a log of its own, such as the printer application).
    static void (*sink)(const char* text, size_t length);

    // Every format carries its own line end. "%S" and "%s" both take a
    // narrow string; "%lx" takes a pointer cast with LOGPTR.
    static void print(const wchar_t* format, ...);
};

// Encodes wide characters as UTF-8 (invalid code points become U+FFFD).
std::string toUtf8(const wchar_t* text, size_t length);

} // namespace tavgdi
