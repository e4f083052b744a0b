#pragma once
// Running programs (above all the built filter) as child processes from tests:
// fork/exec with a given argument list, environment changes and standard
// input bytes; standard output and standard error are captured separately,
// and a child that runs past its time limit is killed, so a hanging filter
// fails its test instead of hanging the suite.

#include <sys/types.h>

#include <atomic>
#include <initializer_list>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
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
// runProcess for a command line alone.
ProcessResult runCommand(std::vector<std::string> argv, int timeoutMs = 120000);
// Ghostscript, quiet and safe, with these arguments; a failure is a test failure.
bool ghostscript(const std::vector<std::string>& args);

// Where a Child's standard output goes: a pipe the test reads, or a stream
// that cannot be written.
enum class ChildOutput { Collected, DevFull, BrokenPipe, Closed };

struct ChildIo {
    bool feedInput = false; // standard input is a pipe the test writes to (input())
    ChildOutput output = ChildOutput::Collected;
    bool discardErr = false; // standard error to /dev/null (long jobs log a lot)
};

// A running child in a process group of its own: standard input from the
// request's bytes (written by a thread), from the test (feedInput) or
// /dev/null; standard output and error collected by threads and readable
// while it runs. The test process ignores SIGPIPE from the first child on:
// writing to a child that stopped reading fails instead of ending the test.
class Child {
public:
    explicit Child(const ProcessRequest& request, ChildIo io = {});
    ~Child() { finish(0); } // kills a child still running
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    pid_t pid() const { return childPid; }
    int input() const { return inFd; }
    void closeInput();
    std::string outSoFar();
    std::string errSoFar();
    // True until the child has ended.
    bool running();
    // Waits up to timeoutMs for the child to end and its output to close; past
    // that its process group is killed (timedOut).
    ProcessResult finish(int timeoutMs);

private:
    void collect(int fd, std::string* into);

    ProcessResult result;
    pid_t childPid = -1;
    int inFd = -1;
    bool reaped = false, finished = false;
    int status = 0;
    std::mutex mutex; // guards result.out and result.err while the threads run
    std::atomic<int> openStreams{0};
    std::atomic<bool> stopWriting{false};
    std::thread outReader, errReader, writer;
};

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

// The arguments after the program name for `job`, and the whole request.
std::vector<std::string> filterArgs(const FilterJob& job);
ProcessRequest filterRequest(const FilterJob& job);
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
