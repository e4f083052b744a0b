#pragma once
// Running programs (above all the built filter) as child processes from tests:
// fork/exec with a given argument list, environment changes and standard
// input bytes; standard output and standard error are captured separately,
// and a child that runs past its time limit is killed, so a hanging filter
// fails its test instead of hanging the suite.

#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "streamreader.h"

namespace cr80test {

struct ProcessResult {
    bool started = false; // false: fork or exec failed, see startError
    std::string startError;
    std::string out;       // standard output, byte for byte
    std::string err;       // standard error
    int exitCode = -1;     // exit status when the child exited, else -1
    int signal = 0;        // the signal that ended the child, else 0
    bool timedOut = false; // killed at the time limit

    bool exitedWith(int code) const { return started && !timedOut && signal == 0 && exitCode == code; }
};

struct ProcessRequest {
    std::vector<std::string> argv; // argv[0] is the program; a name without '/' is searched in PATH
    // Environment: the test's own, with these changes applied in order
    // (a value sets the variable, no value removes it).
    std::vector<std::pair<std::string, std::optional<std::string>>> env;
    std::optional<std::string> stdinBytes; // none: standard input is /dev/null
    int timeoutMs = 60000;
    std::optional<std::string> workingDirectory; // none: the test's own
};

ProcessResult runProcess(const ProcessRequest& request);

// The built filter and the project's PPD.
std::string filterPath();
std::string defaultPpdPath();

// One filter run as CUPS would start it: `rastertocr80 1 user title 1 options [file]`.
struct FilterJob {
    std::string title = "Test card";
    std::string options;                   // the CUPS option string (argv[5])
    std::optional<std::string> file;       // argv[6]; none: the raster comes on standard input
    std::optional<std::string> stdinBytes; // the raster on standard input
    // Arguments after the program name, used instead of the ones above when
    // set (for argument-count cases).
    std::optional<std::vector<std::string>> args;
    std::optional<std::string> ppd = defaultPpdPath(); // none: PPD is unset
    std::optional<std::string> sourceDateEpoch = std::string("1767225600");
    // Applied last; CR80_PICTURE_DIR is removed before (the custom pictures
    // are then looked up in the working directory).
    std::vector<std::pair<std::string, std::optional<std::string>>> env;
    std::optional<std::string> workingDirectory; // none: the test's own
    int timeoutMs = 120000;
};

// The arguments after the program name for `job`.
std::vector<std::string> filterArgs(const FilterJob& job);
ProcessResult runFilter(const FilterJob& job);

// A filter run whose printer stream was read back (a stream the reader
// refuses fails the test): its panels and commands in stream order.
struct Printed {
    ProcessResult run;
    std::vector<cr80tools::StreamItem> panels;
    std::vector<std::string> commands;
    // The nth panel of the given letter, or null.
    const cr80tools::StreamItem* panel(char letter, size_t nth = 0) const;
};
Printed print(const FilterJob& job);

// The lines of `text` that start with one of `prefixes` (CUPS compares the
// start of each line of standard error), in order, each with its line end.
std::string statusLines(const std::string& text, std::initializer_list<const char*> prefixes);

} // namespace cr80test
