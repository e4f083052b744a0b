#include "FilterRun.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace cr80test {

namespace {

long long nowMs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000 + ts.tv_nsec / 1000000;
}

void closeFd(int& fd)
{
    if (fd >= 0)
        close(fd);
    fd = -1;
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

// Reads what is available on `fd` into `into`; closes it at end of file.
void drain(int& fd, std::string& into)
{
    char buf[65536];
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n > 0) {
            into.append(buf, size_t(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        closeFd(fd); // end of file or a hard error
        return;
    }
}

// Blocks SIGPIPE while the parent writes to a child that may stop reading,
// and swallows a SIGPIPE raised meanwhile.
class SigpipeGuard {
public:
    SigpipeGuard()
    {
        sigset_t pipeSet;
        sigemptyset(&pipeSet);
        sigaddset(&pipeSet, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSet, &oldMask);
    }
    ~SigpipeGuard()
    {
        sigset_t pending;
        sigpending(&pending);
        if (sigismember(&pending, SIGPIPE) && !sigismember(&oldMask, SIGPIPE)) {
            sigset_t pipeSet;
            sigemptyset(&pipeSet);
            sigaddset(&pipeSet, SIGPIPE);
            timespec zero = {0, 0};
            sigtimedwait(&pipeSet, nullptr, &zero);
        }
        pthread_sigmask(SIG_SETMASK, &oldMask, nullptr);
    }

private:
    sigset_t oldMask;
};

} // namespace

ProcessResult runProcess(const ProcessRequest& request)
{
    ProcessResult result;
    if (request.argv.empty()) {
        result.startError = "no program given";
        return result;
    }
    // Everything the child needs is prepared before fork.
    std::vector<std::string> args = request.argv;
    std::vector<std::string> env = buildEnvironment(request.env);
    std::vector<char*> argp = pointers(args), envp = pointers(env);
    const char* workingDirectory = request.workingDirectory ? request.workingDirectory->c_str() : nullptr;

    int inPipe[2] = {-1, -1}, outPipe[2] = {-1, -1}, errPipe[2] = {-1, -1}, execPipe[2] = {-1, -1};
    bool ok = pipe2(outPipe, O_CLOEXEC) == 0 && pipe2(errPipe, O_CLOEXEC) == 0 && pipe2(execPipe, O_CLOEXEC) == 0;
    if (ok && request.stdinBytes)
        ok = pipe2(inPipe, O_CLOEXEC) == 0;
    else if (ok)
        ok = (inPipe[0] = open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;
    if (!ok) {
        result.startError = std::string("pipe: ") + std::strerror(errno);
        for (int* p : {inPipe, outPipe, errPipe, execPipe}) {
            closeFd(p[0]);
            closeFd(p[1]);
        }
        return result;
    }

    SigpipeGuard sigpipeGuard;
    const pid_t pid = fork();
    if (pid == 0) {
        // Child: own process group (so a timeout kills its children too),
        // default signal handling, the pipes on 0, 1 and 2.
        setpgid(0, 0);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        signal(SIGPIPE, SIG_DFL);
        signal(SIGTERM, SIG_DFL);
        if (dup2(inPipe[0], 0) < 0 || dup2(outPipe[1], 1) < 0 || dup2(errPipe[1], 2) < 0)
            _exit(127);
        if (workingDirectory != nullptr && chdir(workingDirectory) != 0) {
            const int code = errno;
            (void)!write(execPipe[1], &code, sizeof code);
            _exit(127);
        }
        execvpe(argp[0], argp.data(), envp.data());
        const int code = errno;
        (void)!write(execPipe[1], &code, sizeof code);
        _exit(127);
    }
    closeFd(inPipe[0]);
    closeFd(outPipe[1]);
    closeFd(errPipe[1]);
    closeFd(execPipe[1]);
    if (pid < 0) {
        result.startError = std::string("fork: ") + std::strerror(errno);
        for (int* p : {inPipe, outPipe, errPipe, execPipe})
            closeFd(p[0]), closeFd(p[1]);
        return result;
    }

    int execErrno = 0;
    ssize_t n;
    while ((n = read(execPipe[0], &execErrno, sizeof execErrno)) < 0 && errno == EINTR) {
    }
    closeFd(execPipe[0]);
    if (n == ssize_t(sizeof execErrno)) {
        result.startError = "cannot run " + request.argv[0] + ": " + std::strerror(execErrno);
        closeFd(inPipe[1]);
        closeFd(outPipe[0]);
        closeFd(errPipe[0]);
        waitpid(pid, nullptr, 0);
        return result;
    }
    result.started = true;

    for (int fd : {inPipe[1], outPipe[0], errPipe[0]})
        if (fd >= 0)
            fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    const std::string input = request.stdinBytes.value_or("");
    size_t written = 0;
    if (inPipe[1] >= 0 && input.empty())
        closeFd(inPipe[1]);

    const long long deadline = nowMs() + request.timeoutMs;
    while (outPipe[0] >= 0 || errPipe[0] >= 0) {
        const long long left = deadline - nowMs();
        if (left <= 0) {
            result.timedOut = true;
            break;
        }
        pollfd fds[3];
        nfds_t count = 0;
        if (outPipe[0] >= 0)
            fds[count++] = {outPipe[0], POLLIN, 0};
        if (errPipe[0] >= 0)
            fds[count++] = {errPipe[0], POLLIN, 0};
        if (inPipe[1] >= 0)
            fds[count++] = {inPipe[1], POLLOUT, 0};
        if (poll(fds, count, int(left)) < 0 && errno != EINTR)
            break;
        for (nfds_t k = 0; k < count; ++k) {
            if (!fds[k].revents)
                continue;
            if (fds[k].fd == outPipe[0]) {
                drain(outPipe[0], result.out);
            } else if (fds[k].fd == errPipe[0]) {
                drain(errPipe[0], result.err);
            } else {
                const ssize_t w = write(inPipe[1], input.data() + written, input.size() - written);
                if (w > 0)
                    written += size_t(w);
                else if (w < 0 && errno != EAGAIN && errno != EINTR)
                    closeFd(inPipe[1]); // the child stopped reading
                if (written == input.size())
                    closeFd(inPipe[1]);
            }
        }
    }
    closeFd(inPipe[1]);

    // Wait for the exit within what is left of the time limit.
    int status = 0;
    pid_t done = 0;
    while (!result.timedOut && (done = waitpid(pid, &status, WNOHANG)) == 0) {
        if (nowMs() >= deadline)
            result.timedOut = true;
        else
            usleep(2000);
    }
    if (result.timedOut) {
        kill(-pid, SIGKILL);
        kill(pid, SIGKILL);
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        done = pid;
    }
    closeFd(outPipe[0]);
    closeFd(errPipe[0]);
    if (done == pid) {
        if (WIFEXITED(status))
            result.exitCode = WEXITSTATUS(status);
        else if (WIFSIGNALED(status))
            result.signal = WTERMSIG(status);
    }
    return result;
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

ProcessResult runFilter(const FilterJob& job)
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
    return runProcess(request);
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
