// Shared by the fuzz targets: a sink for standard output and standard error
// while the code under test runs, and the reset of the process-wide state a
// job leaves behind, so that every input starts from the same state.
#pragma once

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "image/IPixel.h"

namespace cr80fuzz {

// A stream that accepts and drops every byte without a system call.
inline FILE* discardStream()
{
    static FILE* sink = [] {
        cookie_io_functions_t io = {};
        io.write = [](void*, const char*, size_t size) -> ssize_t { return static_cast<ssize_t>(size); };
        return fopencookie(nullptr, "w", io);
    }();
    return sink;
}

// While alive, the process's stdout and stderr streams are the discarding
// sink: the filter's logs and printer stream cost their formatting only.
// The sanitizers and libFuzzer write their reports straight to descriptor 2
// or to the stream they kept at start-up, so a fault still shows.
// CR80_FUZZ_VERBOSE=1 in the environment keeps the real streams.
class QuietStdio {
public:
    QuietStdio() : savedOut(stdout), savedErr(stderr), isQuiet(getenv("CR80_FUZZ_VERBOSE") == nullptr)
    {
        if (isQuiet) {
            stdout = discardStream();
            stderr = discardStream();
        }
    }
    ~QuietStdio()
    {
        if (isQuiet) {
            stdout = savedOut;
            stderr = savedErr;
        }
    }
    QuietStdio(const QuietStdio&) = delete;
    QuietStdio& operator=(const QuietStdio&) = delete;

private:
    FILE* savedOut;
    FILE* savedErr;
    bool isQuiet;
};

// The state a job changes for the rest of the process: the class-wide pixel
// levels (set per face) and the disposition of SIGTERM (ignored once the
// first card is under way). Restored when the guard goes away.
class JobStateGuard {
public:
    JobStateGuard()
    {
        resetPixelLevels();
        sigaction(SIGTERM, nullptr, &savedTerm);
    }
    ~JobStateGuard()
    {
        sigaction(SIGTERM, &savedTerm, nullptr);
        resetPixelLevels();
    }
    JobStateGuard(const JobStateGuard&) = delete;
    JobStateGuard& operator=(const JobStateGuard&) = delete;

    static void resetPixelLevels()
    {
        tavgdi::IPixel::Threshold = tavgdi::IPixel::DefaultThreshold;
        tavgdi::IPixel::BlackLevel = tavgdi::IPixel::DefaultBlackLevel;
        tavgdi::IPixel::DarkLevel = tavgdi::IPixel::DefaultDarkLevel;
    }

private:
    struct sigaction savedTerm;
};

} // namespace cr80fuzz
