// Runs a command several times and reports the medians of its wall time and
// CPU time and the largest peak resident set size.
// Usage: cr80measure RUNS OUTFILE -- command [args...]
// The command's standard output goes to OUTFILE, its standard error to
// /dev/null. Prints "wall_ms cpu_ms maxrss_kb" on one line.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

static double now()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

static double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

int main(int argc, char* argv[])
{
    if (argc < 5 || strcmp(argv[3], "--") != 0) {
        fprintf(stderr, "usage: cr80measure RUNS OUTFILE -- command [args...]\n");
        return 2;
    }
    const int runs = atoi(argv[1]);
    const char* outFile = argv[2];
    std::vector<double> walls, cpus;
    long maxRss = 0;
    for (int i = 0; i < std::max(runs, 1); ++i) {
        const double start = now();
        pid_t pid = fork();
        if (pid < 0)
            return 1;
        if (pid == 0) {
            int out = open(outFile, O_WRONLY | O_CREAT | O_TRUNC, 0644);
            int err = open("/dev/null", O_WRONLY);
            if (out < 0 || err < 0)
                _exit(127);
            dup2(out, 1);
            dup2(err, 2);
            execvp(argv[4], argv + 4);
            _exit(127);
        }
        int status = 0;
        rusage usage;
        if (wait4(pid, &status, 0, &usage) != pid)
            return 1;
        const double wall = now() - start;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            fprintf(stderr, "cr80measure: %s failed (status %d)\n", argv[4], status);
            return 1;
        }
        walls.push_back(wall);
        cpus.push_back(usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3 + usage.ru_stime.tv_sec * 1e3 +
                       usage.ru_stime.tv_usec / 1e3);
        maxRss = std::max(maxRss, usage.ru_maxrss);
    }
    printf("%.2f %.2f %ld\n", median(walls), median(cpus), maxRss);
    return 0;
}
