// The filter log: one narrow line per call on standard error, with the
// "ZEZ2O1 <LEVEL>: " prefix.
#pragma once

#define CR80_PRINTF(f, a) __attribute__((format(printf, f, a)))

void error(const char* format, ...) CR80_PRINTF(1, 2);
void fatal(const char* format, ...) CR80_PRINTF(1, 2);
void debug(const char* format, ...) CR80_PRINTF(1, 2);
void info(const char* format, ...) CR80_PRINTF(1, 2);
// Formats to standard output with no prefix and no line feed.
void output(const char* format, ...) CR80_PRINTF(1, 2);
