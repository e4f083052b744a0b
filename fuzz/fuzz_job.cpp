// A whole filter run in-process: the raster stream, the option string and
// the PPD come from the input.
//
// Input layout: one byte of flags, the CUPS option string up to the first
// NUL byte, then the raster stream (everything after the NUL).
//   flags & 3: 0 the test PPD, 1 no PPD variable, 2 a PPD that does not
//              exist, 3 a PPD file of garbage.
//   flags & 4: clear, the options begin with a small custom card (64 x 40
//              dots), which the fuzzed options may change; set, the job
//              has the card size of the options alone (CR80 by default).
//
// The filter refuses, before allocating anything, a page of more than four
// times the card's dots; a CR80 card at 600 dpi still takes pages of 31 MB.
// To keep the runs quick, inputs whose raster announces a page of more
// than 40 MiB are skipped (larger pages are accepted only for custom cards
// of many dots; the bad-input tests cover such pages).
//
// Custom black and overlay pictures are looked up in a scratch picture
// directory (CR80_PICTURE_DIR, set once at start-up), so the names the
// options give reach the picture reader: "good.bmp" (1-bit, the small
// card's size), "colour.bmp" (24-bit), "portrait.bmp" (1-bit, turned and
// larger), "garbage.bmp", "empty.bmp", "fifo" (a FIFO nobody writes to),
// "zero" (a link to /dev/zero), "dir" (a directory holding "good.bmp"),
// (names that would leave the directory are refused whatever they name).
//
// The raster goes through a memory file whose /proc path is the filter's
// file argument, so the page loop runs exactly as in the installed filter;
// its printer stream and logs go to a discarding sink.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <cups/raster.h>

#include "FuzzSupport.h"
#include "pageloop.h"

namespace {

std::string garbagePpdPath;
std::string pictureDir;

void put(std::string& s, size_t at, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        s[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A bottom-up bitmap file of 1 or 24 bits with a pattern of dots.
std::string bitmapFile(unsigned width, unsigned height, int bpp)
{
    const size_t row = bpp == 1 ? ((width + 31) / 32) * 4 : (width * 3 + 3) & ~size_t(3);
    const size_t offset = bpp == 1 ? 62 : 54;
    std::string f(offset + row * height, '\0');
    f[0] = 'B';
    f[1] = 'M';
    put(f, 2, static_cast<uint32_t>(f.size()), 4);
    put(f, 10, static_cast<uint32_t>(offset), 4);
    put(f, 14, 40, 4);
    put(f, 18, width, 4);
    put(f, 22, height, 4);
    put(f, 26, 1, 2);
    put(f, 28, static_cast<uint32_t>(bpp), 2);
    put(f, 34, static_cast<uint32_t>(row * height), 4);
    if (bpp == 1)
        put(f, 58, 0x00FFFFFF, 4);
    for (size_t i = offset; i < f.size(); ++i)
        f[i] = static_cast<char>((i * 37) ^ (i >> 5));
    return f;
}

void writeFile(const std::string& path, const std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (f == nullptr || fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size())
        abort();
    fclose(f);
}

const char* const ScratchPictures[] = {"good.bmp",  "colour.bmp", "portrait.bmp", "garbage.bmp",
                                       "empty.bmp", "fifo",       "zero",         "dir/good.bmp"};

void removePictureDir()
{
    for (const char* name : ScratchPictures)
        unlink((pictureDir + "/" + name).c_str());
    rmdir((pictureDir + "/dir").c_str());
    rmdir(pictureDir.c_str());
}

// The scratch picture directory, made once and named by CR80_PICTURE_DIR.
void makePictureDir()
{
    char path[] = "/tmp/cr80fuzz-pictures-XXXXXX";
    if (mkdtemp(path) == nullptr)
        abort();
    pictureDir = path;
    writeFile(pictureDir + "/good.bmp", bitmapFile(64, 40, 1));
    writeFile(pictureDir + "/colour.bmp", bitmapFile(64, 40, 24));
    writeFile(pictureDir + "/portrait.bmp", bitmapFile(80, 128, 1));
    writeFile(pictureDir + "/garbage.bmp", "BM" + std::string(300, '\x7f'));
    writeFile(pictureDir + "/empty.bmp", "");
    if (mkfifo((pictureDir + "/fifo").c_str(), 0600) != 0 ||
        symlink("/dev/zero", (pictureDir + "/zero").c_str()) != 0 || mkdir((pictureDir + "/dir").c_str(), 0700) != 0)
        abort();
    writeFile(pictureDir + "/dir/good.bmp", bitmapFile(64, 40, 1));
    atexit(removePictureDir);
    setenv("CR80_PICTURE_DIR", pictureDir.c_str(), 1);
}

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

const unsigned long long MaxFuzzPageBytes = 40ull << 20;
const char* const SmallCard = "PaperSize=CRCUSTOM IFormCustomWidth=64 IFormCustomHeight=40 ";

// True when every page header of the raster announces at most
// MaxFuzzPageBytes; the descriptor is rewound.
bool hasOnlySmallPages(int fd)
{
    bool ok = true;
    cups_raster_t* ras = cupsRasterOpen(fd, CUPS_RASTER_READ);
    if (ras != nullptr) {
        cups_page_header2_t header;
        std::vector<unsigned char> line;
        while (ok && cupsRasterReadHeader2(ras, &header)) {
            if (static_cast<unsigned long long>(header.cupsBytesPerLine) * header.cupsHeight > MaxFuzzPageBytes) {
                ok = false;
                break;
            }
            line.resize(header.cupsBytesPerLine + 1u);
            for (unsigned y = 0; y < header.cupsHeight; ++y)
                if (cupsRasterReadPixels(ras, line.data(), header.cupsBytesPerLine) == 0)
                    break;
        }
        cupsRasterClose(ras);
    }
    lseek(fd, 0, SEEK_SET);
    return ok;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("SOURCE_DATE_EPOCH", "1767225600", 1);
    makePictureDir();
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
    if ((flags & 4) == 0)
        options = SmallCard + options;

    switch (flags & 3) {
    case 0:
        setenv("PPD", CR80_FUZZ_PPD, 1);
        break;
    case 1:
        unsetenv("PPD");
        break;
    case 2:
        setenv("PPD", "/nonexistent/cr80card.ppd", 1);
        break;
    default:
        setenv("PPD", garbagePpdPath.c_str(), 1);
        break;
    }

    int fd = memoryFile(raster, static_cast<size_t>(end - raster));
    if (!hasOnlySmallPages(fd)) {
        close(fd);
        return -1; // not worth keeping in the corpus
    }
    std::vector<std::string> args = {
        "rastertocr80", "1", "fuzz", "Fuzz card", "1", options, "/proc/self/fd/" + std::to_string(fd)};
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
