#include "FilterRun.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

extern char** environ;

namespace cr80test {

namespace {

void closeFd(int& fd)
{
    if (fd >= 0)
        close(fd);
    fd = -1;
}

bool openPipe(int& readEnd, int& writeEnd)
{
    int p[2];
    if (pipe2(p, O_CLOEXEC) != 0)
        return false;
    readEnd = p[0];
    writeEnd = p[1];
    return true;
}

bool openFile(int& fd, const char* path, int flags)
{
    return (fd = open(path, flags | O_CLOEXEC)) >= 0;
}

std::vector<std::string>
buildEnvironment(const std::vector<std::pair<std::string, std::optional<std::string>>>& changes)
{
    std::vector<std::string> env;
    for (char** e = environ; e && *e; ++e)
        env.emplace_back(*e);
    for (const auto& change : changes) {
        const std::string prefix = change.first + "=";
        for (auto it = env.begin(); it != env.end();)
            it = it->compare(0, prefix.size(), prefix) == 0 ? env.erase(it) : it + 1;
        if (change.second)
            env.push_back(prefix + *change.second);
    }
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings)
{
    std::vector<char*> p;
    for (std::string& s : strings)
        p.push_back(&s[0]);
    p.push_back(nullptr);
    return p;
}

} // namespace

Child::Child(const ProcessRequest& request, ChildIo io)
{
    signal(SIGPIPE, SIG_IGN);
    if (request.argv.empty()) {
        result.startError = "no program given";
        return;
    }
    // Everything the child needs is prepared before fork.
    std::vector<std::string> args = request.argv;
    std::vector<std::string> env = buildEnvironment(request.env);
    std::vector<char*> argp = pointers(args), envp = pointers(env);
    const char* workingDirectory = request.workingDirectory ? request.workingDirectory->c_str() : nullptr;

    // The child's ends of its standard streams (-1 for standard output: closed) and ours.
    int childIn = -1, childOut = -1, childErr = -1, outRead = -1, errRead = -1, dead = -1, execPipe[2] = {-1, -1};
    bool ok = openPipe(execPipe[0], execPipe[1]);
    if (request.stdinBytes || io.feedInput)
        ok = ok && openPipe(childIn, inFd);
    else
        ok = ok && openFile(childIn, "/dev/null", O_RDONLY);
    if (io.output == ChildOutput::Collected)
        ok = ok && openPipe(outRead, childOut);
    else if (io.output == ChildOutput::DevFull)
        ok = ok && openFile(childOut, "/dev/full", O_WRONLY);
    else if (io.output == ChildOutput::BrokenPipe)
        ok = ok && openPipe(dead, childOut);
    closeFd(dead); // the reader is gone before the child starts
    ok = ok && (io.discardErr ? openFile(childErr, "/dev/null", O_WRONLY) : openPipe(errRead, childErr));
    const pid_t pid = ok ? fork() : -1;
    const int setupErrno = errno;
    if (pid == 0) {
        // Child: own process group (so a timeout kills its children too),
        // default signal handling, the streams on 0, 1 and 2.
        setpgid(0, 0);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        signal(SIGPIPE, SIG_DFL);
        signal(SIGTERM, SIG_DFL);
        if (dup2(childIn, 0) < 0 || (childOut >= 0 ? dup2(childOut, 1) < 0 : close(1) != 0) || dup2(childErr, 2) < 0)
            _exit(127);
        if (workingDirectory == nullptr || chdir(workingDirectory) == 0)
            execvpe(argp[0], argp.data(), envp.data());
        const int code = errno;
        (void)!write(execPipe[1], &code, sizeof code);
        _exit(127);
    }
    for (int* fd : {&childIn, &childOut, &childErr, &execPipe[1]})
        closeFd(*fd);
    int execErrno = 0;
    ssize_t n = 0;
    while (pid > 0 && (n = read(execPipe[0], &execErrno, sizeof execErrno)) < 0 && errno == EINTR) {
    }
    closeFd(execPipe[0]);
    if (pid <= 0 || n == ssize_t(sizeof execErrno)) {
        if (pid > 0)
            waitpid(pid, nullptr, 0);
        result.startError = !ok       ? std::string("pipe: ") + std::strerror(setupErrno)
                            : pid < 0 ? std::string("fork: ") + std::strerror(setupErrno)
                                      : "cannot run " + request.argv[0] + ": " + std::strerror(execErrno);
        for (int* fd : {&inFd, &outRead, &errRead})
            closeFd(*fd);
        return;
    }
    childPid = pid;
    result.started = true;
    openStreams = (outRead >= 0) + (errRead >= 0);
    if (outRead >= 0)
        outReader = std::thread(&Child::collect, this, outRead, &result.out);
    if (errRead >= 0)
        errReader = std::thread(&Child::collect, this, errRead, &result.err);
    if (request.stdinBytes) {
        fcntl(inFd, F_SETFL, fcntl(inFd, F_GETFL) | O_NONBLOCK);
        writer = std::thread([this, bytes = *request.stdinBytes]() {
            for (size_t written = 0; written < bytes.size() && !stopWriting;) {
                pollfd p = {inFd, POLLOUT, 0};
                if (poll(&p, 1, 50) <= 0)
                    continue;
                const ssize_t w = write(inFd, bytes.data() + written, bytes.size() - written);
                if (w > 0)
                    written += size_t(w);
                else if (w < 0 && errno != EAGAIN && errno != EINTR)
                    break; // the child stopped reading
            }
            closeInput();
        });
    }
}

void Child::collect(int fd, std::string* into)
{
    char buf[65536];
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break; // end of file or a hard error
        std::lock_guard<std::mutex> lock(mutex);
        into->append(buf, size_t(n));
    }
    close(fd);
    --openStreams;
}

void Child::closeInput()
{
    closeFd(inFd);
}

std::string Child::outSoFar()
{
    std::lock_guard<std::mutex> lock(mutex);
    return result.out;
}

std::string Child::errSoFar()
{
    std::lock_guard<std::mutex> lock(mutex);
    return result.err;
}

bool Child::running()
{
    if (childPid > 0 && !reaped && waitpid(childPid, &status, WNOHANG) == childPid)
        reaped = true;
    return childPid > 0 && !reaped;
}

ProcessResult Child::finish(int timeoutMs)
{
    if (!result.started || finished)
        return result;
    finished = true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while ((running() || openStreams > 0) && !result.timedOut) {
        if (std::chrono::steady_clock::now() >= deadline)
            result.timedOut = true;
        else
            usleep(2000);
    }
    if (result.timedOut) {
        kill(-childPid, SIGKILL);
        kill(childPid, SIGKILL);
        while (!reaped && waitpid(childPid, &status, 0) < 0 && errno == EINTR) {
        }
        reaped = true;
    }
    stopWriting = true;
    if (writer.joinable())
        writer.join();
    closeInput();
    for (std::thread* t : {&outReader, &errReader})
        if (t->joinable())
            t->join();
    if (WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        result.signal = WTERMSIG(status);
    return result;
}

ProcessResult runProcess(const ProcessRequest& request)
{
    return Child(request).finish(request.timeoutMs);
}

ProcessResult runCommand(std::vector<std::string> argv, int timeoutMs)
{
    ProcessRequest request;
    request.argv = std::move(argv);
    request.timeoutMs = timeoutMs;
    return runProcess(request);
}

bool ghostscript(const std::vector<std::string>& args)
{
    std::vector<std::string> argv = {"gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER"};
    argv.insert(argv.end(), args.begin(), args.end());
    const ProcessResult r = runCommand(argv);
    EXPECT_TRUE(r.exitedWith(0)) << "ghostscript: " << r.startError << r.err;
    return r.exitedWith(0);
}

std::string filterPath()
{
    return CR80_FILTER_PATH;
}

std::string defaultPpdPath()
{
    return std::string(CR80_SOURCE_DIR) + "/ppd/cr80card.ppd";
}

std::vector<std::string> filterArgs(const FilterJob& job)
{
    if (job.args)
        return *job.args;
    std::vector<std::string> args = {"1", "user", job.title, "1", job.options};
    if (job.file)
        args.push_back(*job.file);
    return args;
}

ProcessRequest filterRequest(const FilterJob& job)
{
    ProcessRequest request;
    request.argv.push_back(filterPath());
    for (const std::string& a : filterArgs(job))
        request.argv.push_back(a);
    request.env.emplace_back("PPD", job.ppd);
    request.env.emplace_back("SOURCE_DATE_EPOCH", job.sourceDateEpoch);
    request.env.emplace_back("CR80_PICTURE_DIR", std::nullopt);
    request.env.insert(request.env.end(), job.env.begin(), job.env.end());
    request.stdinBytes = job.stdinBytes;
    request.workingDirectory = job.workingDirectory;
    request.timeoutMs = job.timeoutMs;
    return request;
}

ProcessResult runFilter(const FilterJob& job)
{
    return runProcess(filterRequest(job));
}

const cr80tools::StreamItem* Printed::panel(char letter, size_t nth) const
{
    for (const cr80tools::StreamItem& item : panels)
        if (item.panel == letter && nth-- == 0)
            return &item;
    return nullptr;
}

Printed print(const FilterJob& job)
{
    Printed p;
    p.run = runFilter(job);
    EXPECT_TRUE(p.run.exitedWith(0)) << p.run.err.substr(p.run.err.size() > 3000 ? p.run.err.size() - 3000 : 0);
    const cr80tools::ParsedStream parsed = cr80tools::parseStream(p.run.out);
    EXPECT_EQ(parsed.error, "");
    for (const cr80tools::StreamItem& item : parsed.items) {
        if (item.kind == cr80tools::StreamItem::Panel)
            p.panels.push_back(item);
        else if (item.kind == cr80tools::StreamItem::Command)
            p.commands.push_back(item.text);
    }
    return p;
}

std::string statusLines(const std::string& text, std::initializer_list<const char*> prefixes)
{
    std::string lines;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        for (const char* prefix : prefixes) {
            if (text.compare(at, strlen(prefix), prefix) == 0) {
                lines += text.substr(at, end - at) + "\n";
                break;
            }
        }
        at = end + 1;
    }
    return lines;
}

} // namespace cr80test
