// A whole filter run in-process: the raster stream, the option string and
// the PPD come from the input.
//
// Input layout: one byte of flags, the CUPS option string up to the first
// NUL byte, then the raster stream (everything after the NUL).
//   flags & 3: 0 the test PPD, 1 no PPD variable, 2 a PPD that does not
//              exist, 3 a PPD file of garbage.
//
// The raster goes through a memory file whose /proc path is the filter's
// file argument, so the page loop runs exactly as in the installed filter;
// its printer stream and logs go to a discarding sink.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "pageloop.h"

namespace {

std::string garbagePpdPath;

int memoryFile(const uint8_t* data, size_t size)
{
    int fd = memfd_create("cr80-raster", MFD_CLOEXEC);
    if (fd < 0)
        abort();
    size_t done = 0;
    while (done < size) {
        ssize_t n = write(fd, data + done, size - done);
        if (n <= 0)
            abort();
        done += static_cast<size_t>(n);
    }
    lseek(fd, 0, SEEK_SET);
    return fd;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("SOURCE_DATE_EPOCH", "1767225600", 1);
    static const char garbage[] = "*PPD-Adobe: \"4.3\"\n*OpenUI *GRibbonType: PickOne\n\x01\xff*Default";
    char path[] = "/tmp/cr80fuzz-ppd-XXXXXX";
    int fd = mkstemp(path);
    if (fd >= 0) {
        if (write(fd, garbage, sizeof(garbage) - 1) < 0)
            abort();
        close(fd);
        garbagePpdPath = path;
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t flags = data[0];
    const uint8_t* text = data + 1;
    const uint8_t* end = data + size;
    const uint8_t* nul = static_cast<const uint8_t*>(memchr(text, 0, static_cast<size_t>(end - text)));
    const uint8_t* raster = nul ? nul + 1 : end;
    std::string options(reinterpret_cast<const char*>(text), static_cast<size_t>((nul ? nul : end) - text));

    switch (flags & 3) {
    case 0: setenv("PPD", CR80_FUZZ_PPD, 1); break;
    case 1: unsetenv("PPD"); break;
    case 2: setenv("PPD", "/nonexistent/cr80card.ppd", 1); break;
    default: setenv("PPD", garbagePpdPath.c_str(), 1); break;
    }

    int fd = memoryFile(raster, static_cast<size_t>(end - raster));
    std::vector<std::string> args = {"rastertocr80", "1", "fuzz", "Fuzz card", "1", options,
                                     "/proc/self/fd/" + std::to_string(fd)};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(&a[0]);
    argv.push_back(nullptr);
    {
        cr80fuzz::JobStateGuard state;
        cr80fuzz::QuietStdio quiet;
        runFilter(static_cast<int>(args.size()), argv.data());
    }
    close(fd);
    return 0;
}
