#pragma once
// Servers the live tests start: the printer application on a free loopback
// port, in a scratch directory, stopped and waited for when the test ends
// whatever happened.

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace cr80test {

// A loopback port nobody listens on (the kernel's pick, released for the
// server to take), and whether something accepts connections on one.
int freeLoopbackPort();
bool acceptsConnections(int port);

// Polls `done` every 0.2 s for up to `seconds`.
bool waitFor(const std::function<bool()>& done, int seconds);

// The last 6000 bytes of a log, for a failure message.
std::string tailOf(const std::string& text);

// The printer application as a private server with one printer "card"
// writing its cards into `root`/out: `root`/state, spool, pictures,
// server.log and server.out hold the rest.
class PrinterAppServer {
public:
    PrinterAppServer(std::string program, std::string root) : program(std::move(program)), root(std::move(root)) {}
    ~PrinterAppServer() { stop(); }
    PrinterAppServer(const PrinterAppServer&) = delete;
    PrinterAppServer& operator=(const PrinterAppServer&) = delete;

    // Starts the server and waits until it answers; false with `why` when it
    // does not. A non-empty `sourceDateEpoch` fixes the cards' time stamp; a
    // non-empty `deviceUri` replaces the out directory as the printer.
    bool start(std::string* why, const std::string& logLevel = "info", const std::string& sourceDateEpoch = "",
               const std::string& deviceUri = "");
    void stop();

    std::string uri() const { return "ipp://localhost:" + std::to_string(port) + "/ipp/print/card"; }
    std::string outDir() const { return root + "/out"; }
    // The cards written so far (PAPPL leaves an empty file for a job it refuses).
    std::vector<std::string> cards() const;
    // The number of the printer's jobs that ended completed (Get-Jobs).
    int completedJobs() const;

    const std::string program;
    const std::string root;
    int port = 0;
    pid_t pid = -1;
};

} // namespace cr80test
