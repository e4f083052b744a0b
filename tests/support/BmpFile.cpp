#include "BmpFile.h"

#include <fcntl.h>
#include <unistd.h>

namespace cr80test {

namespace {

std::string headers(unsigned width, unsigned height, int bpp, size_t rowBytes)
{
    const size_t tableBytes = bpp == 1 ? 8 : 0;
    const size_t offset = 54 + tableBytes;
    const size_t imageBytes = rowBytes * height;
    std::string h(offset, '\0');
    h[0] = 'B';
    h[1] = 'M';
    putLE(h, 2, static_cast<uint32_t>(offset + imageBytes), 4);
    putLE(h, 10, static_cast<uint32_t>(offset), 4);
    putLE(h, 14, 40, 4);
    putLE(h, 18, width, 4);
    putLE(h, 22, height, 4);
    putLE(h, 26, 1, 2);
    putLE(h, 28, static_cast<uint32_t>(bpp), 2);
    putLE(h, 34, static_cast<uint32_t>(imageBytes), 4);
    putLE(h, 38, 11811, 4);
    putLE(h, 42, 11811, 4);
    if (bpp == 1)
        putLE(h, 58, 0x00FFFFFF, 4); // entry 0 black, entry 1 white
    return h;
}

} // namespace

void putLE(std::string& s, size_t at, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        s[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string rawBmp(int32_t width, int32_t height, int bpp, bool pixels)
{
    const uint32_t w = static_cast<uint32_t>(width), h = static_cast<uint32_t>(height < 0 ? -height : height);
    const uint64_t row = bpp == 1 ? ((w + 31ull) / 32) * 4 : (w * uint64_t(bpp) / 8 + 3) & ~3ull;
    std::string f(54 + (pixels ? row * h : 0), '\0');
    f[0] = 'B';
    f[1] = 'M';
    putLE(f, 2, static_cast<uint32_t>(54 + row * h));
    putLE(f, 10, 54);
    putLE(f, 14, 40);
    putLE(f, 18, w);
    putLE(f, 22, static_cast<uint32_t>(height));
    putLE(f, 26, 1, 2);
    putLE(f, 28, static_cast<uint32_t>(bpp), 2);
    putLE(f, 34, static_cast<uint32_t>(row * h));
    for (size_t i = 54; i < f.size(); ++i)
        f[i] = static_cast<char>(i % 3 ? 0x0f : 0xf0);
    return f;
}

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

} // namespace cr80test
