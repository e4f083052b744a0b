#pragma once
// Servers the live tests start (cupsd, the printer application) on a free
// loopback port, in a scratch directory, stopped and waited for when the test
// ends whatever happened.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FilterRun.h"

namespace cr80test {

// A loopback port nobody listens on (the kernel's pick, released for the
// server to take), and whether something accepts connections on one.
int freeLoopbackPort();
bool acceptsConnections(int port);

// Polls `done` every 0.2 s for up to `seconds`.
bool waitFor(const std::function<bool()>& done, int seconds);

// The last 6000 bytes of a log, for a failure message.
std::string tailOf(const std::string& text);

// A server program as a Child, stopped when the object goes away.
class ServerProcess {
public:
    ~ServerProcess() { stop(); }
    // Starts `request` and waits up to 30 s until it accepts connections on
    // `port`; false with its output in `why` when it ends first or does not answer.
    bool start(const ProcessRequest& request, int port, std::string* why);
    // SIGTERM, then SIGKILL to its process group after 30 s; its output.
    ProcessResult stop();

private:
    std::unique_ptr<Child> child;
};

// The printer application as a private server with one printer "card"
// writing its cards into `root`/out: `root`/state, spool, pictures and
// server.log hold the rest.
class PrinterAppServer {
public:
    PrinterAppServer(std::string program, std::string root) : program(std::move(program)), root(std::move(root)) {}

    // Starts the server and waits until it answers; false with `why` when it
    // does not. A non-empty `sourceDateEpoch` fixes the cards' time stamp; a
    // non-empty `deviceUri` replaces the out directory as the printer.
    bool start(std::string* why, const std::string& logLevel = "info", const std::string& sourceDateEpoch = "",
               const std::string& deviceUri = "");
    void stop() { server.stop(); }

    std::string uri() const { return "ipp://localhost:" + std::to_string(port) + "/ipp/print/card"; }
    std::string outDir() const { return root + "/out"; }
    // The cards written so far (PAPPL leaves an empty file for a job it refuses).
    std::vector<std::string> cards() const;
    // The number of the printer's jobs that ended completed (Get-Jobs).
    int completedJobs() const;

    const std::string program;
    const std::string root;
    int port = 0;

private:
    ServerProcess server;
};

} // namespace cr80test
