// The floor of the filter's work: reads a CUPS raster the way the filter does
// (header by header, line by line with libcups) and throws the pixels away.
// Usage: raster-decode-floor [file]   (standard input without a file)
#include <cups/raster.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

int main(int argc, char* argv[])
{
    int fd = 0;
    if (argc > 1) {
        fd = open(argv[1], O_RDONLY);
        if (fd < 0) {
            perror(argv[1]);
            return 1;
        }
    }
    cups_raster_t* ras = cupsRasterOpen(fd, CUPS_RASTER_READ);
    if (ras == nullptr)
        return 1;
    cups_page_header2_t header;
    std::vector<unsigned char> line;
    unsigned long pages = 0;
    unsigned long long checksum = 0;
    while (cupsRasterReadHeader2(ras, &header)) {
        line.resize(header.cupsBytesPerLine);
        for (unsigned y = 0; y < header.cupsHeight; ++y) {
            if (cupsRasterReadPixels(ras, line.data(), header.cupsBytesPerLine) == 0)
                break;
            checksum += line.empty() ? 0 : line[0];
        }
        ++pages;
    }
    cupsRasterClose(ras);
    if (fd != 0)
        close(fd);
    fprintf(stderr, "%lu pages (%llu)\n", pages, checksum);
    return 0;
}
