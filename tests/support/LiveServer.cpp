#include "LiveServer.h"

#include <arpa/inet.h>
#include <cups/cups.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "TestRaster.h"

namespace fs = std::filesystem;

namespace cr80test {

namespace {

sockaddr_in loopback(int port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

} // namespace

int freeLoopbackPort()
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0)
        return 0;
    sockaddr_in a = loopback(0);
    socklen_t len = sizeof a;
    int port = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    close(s);
    return port;
}

bool acceptsConnections(int port)
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0)
        return false;
    const sockaddr_in a = loopback(port);
    const bool ok = connect(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
    close(s);
    return ok;
}

bool waitFor(const std::function<bool()>& done, int seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return done();
}

std::string tailOf(const std::string& text)
{
    return text.size() > 6000 ? text.substr(text.size() - 6000) : text;
}

bool ServerProcess::start(const ProcessRequest& request, int port, std::string* why)
{
    child = std::make_unique<Child>(request);
    if (waitFor([&]() { return !child->running() || acceptsConnections(port); }, 30) && child->running())
        return true;
    const ProcessResult r = stop();
    *why = r.startError + r.out + r.err;
    return false;
}

ProcessResult ServerProcess::stop()
{
    if (child == nullptr)
        return {};
    if (child->running())
        kill(child->pid(), SIGTERM);
    const ProcessResult r = child->finish(30000);
    child.reset();
    return r;
}

bool PrinterAppServer::start(std::string* why, const std::string& logLevel, const std::string& sourceDateEpoch,
                             const std::string& deviceUri)
{
    for (const char* d : {"spool", "pictures", "out"})
        fs::create_directories(root + "/" + d);
    port = freeLoopbackPort();
    ProcessRequest request;
    request.argv = {program, "server",
                    "-o",    "server-port=" + std::to_string(port),
                    "-o",    "log-file=" + root + "/server.log",
                    "-o",    "log-level=" + logLevel,
                    "-o",    "state-file=" + root + "/state",
                    "-o",    "spool-directory=" + root + "/spool",
                    "-o",    "picture-directory=" + root + "/pictures",
                    "-o",    "printer-name=card",
                    "-o",    "device-uri=" + (deviceUri.empty() ? "file://" + outDir() : deviceUri)};
    if (!sourceDateEpoch.empty())
        request.env = {{"SOURCE_DATE_EPOCH", sourceDateEpoch}};
    // Listening starts once the printer exists.
    if (server.start(request, port, why))
        return true;
    *why = "the printer application did not start:\n" + *why + tailOf(readFile(root + "/server.log"));
    return false;
}

std::vector<std::string> PrinterAppServer::cards() const
{
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(outDir()))
        if (fs::file_size(entry.path()) > 0)
            found.push_back(readFile(entry.path().string()));
    return found;
}

int PrinterAppServer::completedJobs() const
{
    http_t* http = httpConnect2("localhost", port, nullptr, AF_UNSPEC, HTTP_ENCRYPTION_IF_REQUESTED, 1, 10000, nullptr);
    if (http == nullptr)
        return 0;
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOBS);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri().c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "completed");
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "job-state");
    ipp_t* response = cupsDoRequest(http, request, "/ipp/print/card");
    int completed = 0;
    for (ipp_attribute_t* a = ippFindAttribute(response, "job-state", IPP_TAG_ENUM); a != nullptr;
         a = ippFindNextAttribute(response, "job-state", IPP_TAG_ENUM))
        completed += ippGetInteger(a, 0) == IPP_JSTATE_COMPLETED;
    ippDelete(response);
    httpClose(http);
    return completed;
}

} // namespace cr80test
