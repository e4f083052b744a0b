#include "InternalLog.h"

#include <climits>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <memory>

namespace tavgdi {

bool InternalLog::isEnable = true;
bool InternalLog::isAtLineStart = true;
size_t InternalLog::lineBytes = 0;
void (*InternalLog::sink)(const char* text, size_t length) = nullptr;
wchar_t InternalLog::pblah[InternalLog::MaxMessageSize];

void appendEscaped(std::string& out, const char* text, size_t length)
{
    static const char Hex[] = "0123456789abcdef";
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (!isEscapedInLog(c)) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        out.push_back('\\');
        switch (c) {
        case '\n':
            out.push_back('n');
            break;
        case '\r':
            out.push_back('r');
            break;
        case '\t':
            out.push_back('t');
            break;
        case '\\':
            out.push_back('\\');
            break;
        default:
            out.push_back('x');
            out.push_back(Hex[c >> 4]);
            out.push_back(Hex[c & 15]);
        }
    }
}

std::string escapedForLog(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && !isEscapedInLog(static_cast<unsigned char>(text[i])))
        ++i;
    if (i == text.size())
        return text;
    std::string out(text, 0, i);
    appendEscaped(out, text.data() + i, text.size() - i);
    return out;
}

namespace {

size_t escapedCount(const char* text, size_t length)
{
    size_t n = 0;
    for (size_t i = 0; i < length; ++i)
        n += isEscapedInLog(static_cast<unsigned char>(text[i])) ? 1 : 0;
    return n;
}

// One conversion formatted alone: `directive` with its '*' values and the value.
template <typename T>
void appendConversion(std::string& out, const std::string& directive, const int* stars, int starCount, T value)
{
    char small[256];
    for (size_t room = sizeof(small);;) {
        std::string large;
        char* buffer = small;
        if (room > sizeof(small)) {
            large.resize(room);
            buffer = &large[0];
        }
        int n;
        if (starCount == 0)
            n = snprintf(buffer, room, directive.c_str(), value);
        else if (starCount == 1)
            n = snprintf(buffer, room, directive.c_str(), stars[0], value);
        else
            n = snprintf(buffer, room, directive.c_str(), stars[0], stars[1], value);
        if (n < 0)
            return;
        if (static_cast<size_t>(n) < room) {
            out.append(buffer, static_cast<size_t>(n));
            return;
        }
        room = static_cast<size_t>(n) + 1;
    }
}

// Past a width or precision of a conversion: a '*' (isStar true) and/or digits.
const char* skipCount(const char* p, bool* isStar)
{
    *isStar = *p == '*';
    if (*isStar)
        ++p;
    while (*p >= '0' && *p <= '9')
        ++p;
    return p;
}

// The slow way of formatEscaped: the format taken conversion by conversion,
// the text of string and character conversions escaped. A conversion it does
// not know ends the text there (the arguments after it cannot be found).
std::string formatByConversion(const char* format, va_list args)
{
    std::string out;
    const char* p = format;
    while (*p != '\0') {
        if (*p != '%') {
            const char* next = strchr(p, '%');
            const size_t n = next != nullptr ? static_cast<size_t>(next - p) : strlen(p);
            out.append(p, n);
            p += n;
            continue;
        }
        if (p[1] == '%') {
            out.push_back('%');
            p += 2;
            continue;
        }
        const char* start = p++;
        int stars[2] = {0, 0};
        int starCount = 0;
        while (*p != '\0' && strchr("-+ #0'", *p) != nullptr)
            ++p;
        // Width, then precision: each a '*' (taken from the arguments) or digits.
        bool isStar = false;
        p = skipCount(p, &isStar);
        if (isStar)
            stars[starCount++] = va_arg(args, int);
        if (*p == '.') {
            p = skipCount(p + 1, &isStar);
            if (isStar)
                stars[starCount++] = va_arg(args, int);
        }
        // Length: 0 none, 'H' hh, 'h', 'l', 'L' ll (and q), 'D' long double,
        // 'z', 'j', 't'.
        char length = 0;
        if (p[0] == 'h' && p[1] == 'h') {
            length = 'H';
            p += 2;
        } else if (p[0] == 'l' && p[1] == 'l') {
            length = 'L';
            p += 2;
        } else if (*p == 'h' || *p == 'l' || *p == 'z' || *p == 'j' || *p == 't') {
            length = *p++;
        } else if (*p == 'q') {
            length = 'L';
            ++p;
        } else if (*p == 'L') {
            length = 'D';
            ++p;
        }
        const char conversion = *p;
        if (conversion == '\0')
            break;
        ++p;
        const std::string directive(start, static_cast<size_t>(p - start));
        const size_t before = out.size();
        switch (conversion) {
        case 'd':
        case 'i':
            if (length == 'l')
                appendConversion(out, directive, stars, starCount, va_arg(args, long));
            else if (length == 'L')
                appendConversion(out, directive, stars, starCount, va_arg(args, long long));
            else if (length == 'z' || length == 't')
                appendConversion(out, directive, stars, starCount, va_arg(args, ptrdiff_t));
            else if (length == 'j')
                appendConversion(out, directive, stars, starCount, va_arg(args, intmax_t));
            else
                appendConversion(out, directive, stars, starCount, va_arg(args, int));
            break;
        case 'u':
        case 'o':
        case 'x':
        case 'X':
            if (length == 'l')
                appendConversion(out, directive, stars, starCount, va_arg(args, unsigned long));
            else if (length == 'L')
                appendConversion(out, directive, stars, starCount, va_arg(args, unsigned long long));
            else if (length == 'z' || length == 't')
                appendConversion(out, directive, stars, starCount, va_arg(args, size_t));
            else if (length == 'j')
                appendConversion(out, directive, stars, starCount, va_arg(args, uintmax_t));
            else
                appendConversion(out, directive, stars, starCount, va_arg(args, unsigned int));
            break;
        case 'e':
        case 'E':
        case 'f':
        case 'F':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
            if (length == 'D')
                appendConversion(out, directive, stars, starCount, va_arg(args, long double));
            else
                appendConversion(out, directive, stars, starCount, va_arg(args, double));
            break;
        case 'c':
            if (length == 'l')
                appendConversion(out, directive, stars, starCount, va_arg(args, wint_t));
            else
                appendConversion(out, directive, stars, starCount, va_arg(args, int));
            break;
        case 's':
            if (length == 'l')
                appendConversion(out, directive, stars, starCount, va_arg(args, const wchar_t*));
            else
                appendConversion(out, directive, stars, starCount, va_arg(args, const char*));
            break;
        case 'p':
            appendConversion(out, directive, stars, starCount, va_arg(args, void*));
            break;
        default:
            // %n and anything unknown: stop before the arguments go astray.
            return out;
        }
        if (conversion == 'c' || conversion == 's') {
            const std::string text = out.substr(before);
            out.resize(before);
            appendEscaped(out, text.data(), text.size());
        }
    }
    return out;
}

} // namespace

int formatEscaped(char* out, size_t size, const char* format, va_list args)
{
    va_list again;
    va_copy(again, args);
    const int n = vsnprintf(out, size, format, args);
    // The arguments brought nothing to escape when the text holds no more such
    // bytes than the format itself (a cut text is checked the slow way).
    if (n < 0 || (static_cast<size_t>(n) < size &&
                  escapedCount(out, static_cast<size_t>(n)) == escapedCount(format, strlen(format)))) {
        va_end(again);
        return n;
    }
    const std::string text = formatByConversion(format, again);
    va_end(again);
    if (size > 0) {
        const size_t kept = text.size() < size ? text.size() : size - 1;
        memcpy(out, text.data(), kept);
        out[kept] = '\0';
    }
    return text.size() > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(text.size());
}

void InternalLog::write(const char* text, size_t length)
{
    if (length == 0)
        return;
    if (sink != nullptr) {
        sink(text, length);
        return;
    }
    if (isAtLineStart)
        lineBytes = 0; // a caller may start a fresh stream
    const char* lastEnd = static_cast<const char*>(memrchr(text, '\n', length));
    if (lineBytes + length <= MaxLineBytes) {
        // Everything fits (the usual case).
        fwrite(text, 1, length, stderr);
        lineBytes = lastEnd != nullptr ? static_cast<size_t>(text + length - lastEnd - 1) : lineBytes + length;
    } else {
        // A message that does not fit after an open line (one cut, or without
        // a line end) starts a line of its own: every write begins with a
        // format's first bytes, never with a value.
        const char* firstEnd = static_cast<const char*>(memchr(text, '\n', length));
        const size_t firstPart = firstEnd != nullptr ? static_cast<size_t>(firstEnd - text) : length;
        if (lineBytes > 0 && lineBytes + firstPart > MaxLineBytes) {
            fputc('\n', stderr);
            lineBytes = 0;
        }
        for (size_t at = 0; at < length;) {
            const char* end = static_cast<const char*>(memchr(text + at, '\n', length - at));
            const size_t part = (end != nullptr ? static_cast<size_t>(end - text) : length) - at;
            const size_t room = MaxLineBytes > lineBytes ? MaxLineBytes - lineBytes : 0;
            const size_t kept = part < room ? part : room;
            fwrite(text + at, 1, kept, stderr);
            lineBytes += kept;
            if (end == nullptr)
                break;
            fputc('\n', stderr);
            lineBytes = 0;
            at += part + 1;
        }
    }
    isAtLineStart = lineBytes == 0;
}

static void appendUtf8(std::string& out, uint32_t cp)
{
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = 0xFFFD;
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string toUtf8(const wchar_t* text, size_t length)
{
    std::string out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i)
        appendUtf8(out, static_cast<uint32_t>(text[i]));
    return out;
}

void InternalLog::print(const wchar_t* format, ...)
{
    if (!isEnable || format == nullptr)
        return;

    // The format is turned into a narrow one ("%S" becomes "%s") and the
    // message is formatted with the narrow printf: narrow string arguments
    // then go through byte for byte, whatever the locale, which the wide
    // printf would refuse for non-ASCII text in the "C" locale. A short
    // ASCII format (all of them in practice) is narrowed on the stack.
    char shortFormat[512];
    std::string longFormat;
    const char* narrowFormat = shortFormat;
    size_t len = 0;
    bool isShortAscii = true;
    for (; format[len] != L'\0'; ++len) {
        if (len + 1 >= sizeof(shortFormat) || static_cast<uint32_t>(format[len]) >= 0x80) {
            isShortAscii = false;
            break;
        }
        shortFormat[len] = static_cast<char>(format[len]);
    }
    char* narrow = shortFormat;
    size_t narrowLength = len;
    if (isShortAscii) {
        shortFormat[len] = '\0';
    } else {
        longFormat = toUtf8(format, wcslen(format));
        narrow = &longFormat[0];
        narrowLength = longFormat.size();
        narrowFormat = longFormat.c_str();
    }
    for (size_t i = 0; i + 1 < narrowLength; ++i) {
        if (narrow[i] == '%') {
            if (narrow[i + 1] == 'S')
                narrow[i + 1] = 's';
            ++i; // skip the conversion character, so "%%S" stays as it is
        }
    }

    char message[MaxMessageSize * 4];
    va_list args;
    va_start(args, format);
    int n = formatEscaped(message, sizeof(message), narrowFormat, args);
    va_end(args);
    if (n < 0)
        return;
    size_t outLen = strlen(message);

    // Keep at most MaxMessageSize - 1 characters, counting UTF-8 sequences
    // (a message of fewer bytes than that is kept whole).
    size_t chars = 0, cut = 0;
    if (outLen < static_cast<size_t>(MaxMessageSize))
        cut = outLen;
    while (cut < outLen && chars < static_cast<size_t>(MaxMessageSize - 1)) {
        unsigned char c = static_cast<unsigned char>(message[cut]);
        size_t step = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        if (cut + step > outLen)
            step = outLen - cut;
        cut += step;
        ++chars;
    }
    // pblah keeps the last message as wide text (ASCII widened byte by byte).
    size_t w = 0;
    for (; w < cut && w < static_cast<size_t>(MaxMessageSize - 1); ++w)
        pblah[w] = static_cast<unsigned char>(message[w]);
    pblah[w] = L'\0';

    write(message, cut);
}

} // namespace tavgdi
