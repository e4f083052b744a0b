#include "tavrinerror.h"

#include <cstdarg>
#include <cstdio>

#include "InternalLog.h"

namespace {

const char* const Prefix = "ZEZ2O1";

// One line per call, written in one piece so that it never mixes with the
// pipeline log's lines; the arguments' control bytes are escaped, so that the
// call writes exactly one line.
void logLine(const char* level, const char* format, va_list args)
{
    char line[8192];
    int head = snprintf(line, sizeof(line), "%s %s: ", Prefix, level);
    int body = tavgdi::formatEscaped(line + head, sizeof(line) - head - 1, format, args);
    if (body < 0)
        body = 0;
    size_t len = static_cast<size_t>(head) + static_cast<size_t>(body);
    if (len > sizeof(line) - 2)
        len = sizeof(line) - 2;
    line[len++] = '\n';
    tavgdi::InternalLog::write(line, len);
}

} // namespace

// Errors and fatal messages are flushed at once: standard error may be
// buffered, and they are the lines that must not be lost.
#define CR80_LOG_FUNCTION(name, level, isFlushed)                                                                      \
    void name(const char* format, ...)                                                                                 \
    {                                                                                                                  \
        va_list args;                                                                                                  \
        va_start(args, format);                                                                                        \
        logLine(level, format, args);                                                                                  \
        va_end(args);                                                                                                  \
        if (isFlushed)                                                                                                 \
            fflush(stderr);                                                                                            \
    }

CR80_LOG_FUNCTION(error, "ERROR", true)
CR80_LOG_FUNCTION(fatal, "FATAL", true)
CR80_LOG_FUNCTION(debug, "DEBUG", false)
CR80_LOG_FUNCTION(info, "INFO", false)

void output(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vfprintf(stdout, format, args);
    va_end(args);
}
