#include "BmpFile.h"

#include <fcntl.h>
#include <unistd.h>

namespace cr80test {

namespace {

void put(std::string& s, size_t at, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        s[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string headers(unsigned width, unsigned height, int bpp, size_t rowBytes)
{
    const size_t tableBytes = bpp == 1 ? 8 : 0;
    const size_t offset = 54 + tableBytes;
    const size_t imageBytes = rowBytes * height;
    std::string h(offset, '\0');
    h[0] = 'B';
    h[1] = 'M';
    put(h, 2, static_cast<uint32_t>(offset + imageBytes), 4);
    put(h, 10, static_cast<uint32_t>(offset), 4);
    put(h, 14, 40, 4);
    put(h, 18, width, 4);
    put(h, 22, height, 4);
    put(h, 26, 1, 2);
    put(h, 28, static_cast<uint32_t>(bpp), 2);
    put(h, 34, static_cast<uint32_t>(imageBytes), 4);
    put(h, 38, 11811, 4);
    put(h, 42, 11811, 4);
    if (bpp == 1)
        put(h, 58, 0x00FFFFFF, 4); // entry 0 black, entry 1 white
    return h;
}

}  // namespace

std::string monoBmp(unsigned width, unsigned height, const DotIsBlack& isBlack)
{
    const size_t rowBytes = ((width + 31) / 32) * 4;
    std::string file = headers(width, height, 1, rowBytes);
    std::string pixels(rowBytes * height, '\0');
    for (unsigned row = 0; row < height; ++row) {
        const unsigned y = height - 1 - row;
        for (unsigned x = 0; x < width; ++x)
            if (!isBlack(x, y))
                pixels[row * rowBytes + x / 8] |= static_cast<char>(0x80 >> (x % 8));
    }
    return file + pixels;
}

std::string colourBmp(unsigned width, unsigned height, const DotColour& rgb)
{
    const size_t rowBytes = (width * 3 + 3) & ~size_t(3);
    std::string file = headers(width, height, 24, rowBytes);
    std::string pixels(rowBytes * height, '\0');
    for (unsigned row = 0; row < height; ++row) {
        const unsigned y = height - 1 - row;
        for (unsigned x = 0; x < width; ++x) {
            const uint32_t c = rgb(x, y);
            char* dot = &pixels[row * rowBytes + x * 3];
            dot[0] = static_cast<char>(c & 0xFF);         // blue
            dot[1] = static_cast<char>((c >> 8) & 0xFF);  // green
            dot[2] = static_cast<char>((c >> 16) & 0xFF); // red
        }
    }
    return file + pixels;
}

unsigned long long writeSparseBlackBmp(const std::string& path, unsigned width, unsigned height)
{
    const size_t rowBytes = ((width + 31ull) / 32) * 4;
    const std::string header = headers(width, height, 1, rowBytes);
    const unsigned long long size = header.size() + static_cast<unsigned long long>(rowBytes) * height;
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return 0;
    const bool ok = write(fd, header.data(), header.size()) == static_cast<ssize_t>(header.size()) &&
                    ftruncate(fd, static_cast<off_t>(size)) == 0;
    close(fd);
    return ok ? size : 0;
}

DotIsBlack frameAndDiagonal(unsigned width, unsigned height, unsigned border)
{
    return [=](unsigned x, unsigned y) {
        if (x < border || y < border || x + border >= width || y + border >= height)
            return true;
        if (width > 1 && y == static_cast<unsigned>(static_cast<unsigned long long>(x) * (height - 1) / (width - 1)))
            return true;
        return x >= width - 66 && x < width - 26 && y >= 20 && y < 40;
    };
}

unsigned long countBlack(unsigned width, unsigned height, const DotIsBlack& isBlack)
{
    unsigned long n = 0;
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x)
            n += isBlack(x, y) ? 1 : 0;
    return n;
}

}  // namespace cr80test
