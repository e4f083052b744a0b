#include "InternalLog.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

namespace tavgdi {

bool InternalLog::isEnable = true;
bool InternalLog::isAtLineStart = true;
wchar_t InternalLog::pblah[InternalLog::MaxMessageSize];

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
    int n = vsnprintf(message, sizeof(message), narrowFormat, args);
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

    fwrite(message, 1, cut, stderr);
    if (cut > 0)
        isAtLineStart = message[cut - 1] == '\n';
}

} // namespace tavgdi
