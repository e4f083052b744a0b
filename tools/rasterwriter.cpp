#include "rasterwriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace cr80tools {

namespace {

void setError(std::string* err, const std::string& text)
{
    if (err)
        *err = text;
}

uint8_t clampByte(double v)
{
    if (v <= 0.0)
        return 0;
    if (v >= 255.0)
        return 255;
    return uint8_t(std::lround(v));
}

void put(RasterImage& img, unsigned x, unsigned y, double r, double g, double b)
{
    uint8_t* p = img.at(x, y);
    p[0] = clampByte(r);
    p[1] = clampByte(g);
    p[2] = clampByte(b);
}

// Hue in degrees, saturation and value in [0, 1]; result in [0, 255].
void hsvToRgb(double h, double s, double v, double& r, double& g, double& b)
{
    h = std::fmod(h, 360.0);
    if (h < 0)
        h += 360.0;
    const double c = v * s;
    const double hp = h / 60.0;
    const double x = c * (1.0 - std::fabs(std::fmod(hp, 2.0) - 1.0));
    double r1 = 0, g1 = 0, b1 = 0;
    if (hp < 1) {
        r1 = c;
        g1 = x;
    } else if (hp < 2) {
        r1 = x;
        g1 = c;
    } else if (hp < 3) {
        g1 = c;
        b1 = x;
    } else if (hp < 4) {
        g1 = x;
        b1 = c;
    } else if (hp < 5) {
        r1 = x;
        b1 = c;
    } else {
        r1 = c;
        b1 = x;
    }
    const double m = v - c;
    r = (r1 + m) * 255.0;
    g = (g1 + m) * 255.0;
    b = (b1 + m) * 255.0;
}

bool insideEllipse(double u, double v, double cu, double cv, double ru, double rv)
{
    const double du = (u - cu) / ru, dv = (v - cv) / rv;
    return du * du + dv * dv <= 1.0;
}

// The portrait: a cool background sweeping through hues left to right and
// darkening downwards, shoulders, hair and a shaded face lit from the upper left.
void portraitDot(double pu, double pv, double& r, double& g, double& b)
{
    hsvToRgb(190.0 + 90.0 * pu, 0.45, 0.97 - 0.35 * pv, r, g, b);
    if (insideEllipse(pu, pv, 0.5, 1.0, 0.48, 0.36)) {
        const double shade = 1.0 - 0.45 * pv;
        r = 40 * shade + 20 * pu;
        g = 58 * shade;
        b = 115 * shade + 30 * (1.0 - pu);
    }
    if (insideEllipse(pu, pv, 0.5, 0.36, 0.29, 0.23)) {
        const double shade = 0.75 + 0.25 * (1.0 - pv / 0.6);
        r = 92 * shade;
        g = 60 * shade;
        b = 38 * shade;
    }
    if (insideEllipse(pu, pv, 0.5, 0.42, 0.23, 0.21)) {
        const double du = (pu - 0.40) / 0.30, dv = (pv - 0.32) / 0.30;
        const double shade = 1.0 - 0.30 * std::min(1.0, du * du + dv * dv);
        r = 232 * shade;
        g = 184 * shade;
        b = 152 * shade;
    }
}

// 3 x 5 dot digits, one row per entry, the high bit of three on the left.
const uint8_t Digits[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 2, 2, 2}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

void drawNumber(RasterImage& img, unsigned number, unsigned right, unsigned top, unsigned cell)
{
    const std::string text = std::to_string(number);
    const unsigned glyph = 4 * cell; // three columns and a gap
    unsigned left = right > text.size() * glyph ? right - unsigned(text.size()) * glyph : 0;
    for (char ch : text) {
        const uint8_t* rows = Digits[ch - '0'];
        for (unsigned ry = 0; ry < 5 * cell; ++ry)
            for (unsigned rx = 0; rx < 3 * cell; ++rx) {
                const unsigned x = left + rx, y = top + ry;
                if (x >= img.width || y >= img.height)
                    continue;
                if (rows[ry / cell] & (4 >> (rx / cell)))
                    put(img, x, y, 255, 255, 255);
            }
        left += glyph;
    }
}

} // namespace

RasterImage::RasterImage(unsigned w, unsigned h, uint8_t r, uint8_t g, uint8_t b)
    : width(w), height(h), rgb(size_t(w) * h * 3)
{
    for (size_t i = 0; i < rgb.size(); i += 3) {
        rgb[i] = r;
        rgb[i + 1] = g;
        rgb[i + 2] = b;
    }
}

RasterImage makeSampleCard(unsigned width, unsigned height, unsigned pageNumber)
{
    RasterImage img(width, height);
    if (width == 0 || height == 0)
        return img;

    // Layout in fractions of the card.
    const double bannerEnd = 0.13, stripeEnd = 0.145;
    const double portL = 0.05, portR = 0.32, portT = 0.20, portB = 0.92;
    const double textL = 0.38, rampL = 0.38, rampR = 0.95, rampT = 0.86, rampB = 0.92;
    const double lineLen[] = {0.50, 0.34, 0.55, 0.28, 0.46, 0.40, 0.22};
    const double wordLen[] = {0.07, 0.11, 0.05, 0.09, 0.13, 0.06, 0.08};
    const double gap = 0.012;

    for (unsigned y = 0; y < height; ++y) {
        const double v = (y + 0.5) / height;
        for (unsigned x = 0; x < width; ++x) {
            const double u = (x + 0.5) / width;
            if (v < bannerEnd) {
                put(img, x, y, 10 + 20 * u, 50 + 105 * u, 150 + 25 * u - 30 * v / bannerEnd);
            } else if (v < stripeEnd) {
                put(img, x, y, 235, 180, 40);
            } else if (u >= portL && u < portR && v >= portT && v < portB) {
                double r, g, b;
                portraitDot((u - portL) / (portR - portL), (v - portT) / (portB - portT), r, g, b);
                put(img, x, y, r, g, b);
            } else if (u >= rampL && u < rampR && v >= rampT && v < rampB) {
                const double level = 255.0 * (1.0 - (u - rampL) / (rampR - rampL));
                put(img, x, y, level, level, level);
            } else if (u >= textL) {
                // Lines of words: the first line (a name) is taller.
                for (unsigned k = 0; k < 7; ++k) {
                    const double top = 0.22 + k * 0.085;
                    const double bottom = top + (k == 0 ? 0.055 : 0.038);
                    if (v < top || v >= bottom || u >= textL + lineLen[k])
                        continue;
                    double pos = textL;
                    for (unsigned w = 0; pos < textL + lineLen[k]; ++w) {
                        const double end = pos + wordLen[(w + k) % 7];
                        if (u >= pos && u < end)
                            put(img, x, y, 0, 0, 0);
                        pos = end + gap;
                    }
                }
            }
        }
    }

    // A thin dark frame around the portrait.
    const unsigned fl = unsigned(portL * width), fr = unsigned(portR * width);
    const unsigned ft = unsigned(portT * height), fb = unsigned(portB * height);
    for (unsigned x = fl; x < fr && x < width; ++x) {
        put(img, x, ft, 60, 60, 60);
        if (fb > 0 && fb - 1 < height)
            put(img, x, fb - 1, 60, 60, 60);
    }
    for (unsigned y = ft; y < fb && y < height; ++y) {
        put(img, fl, y, 60, 60, 60);
        if (fr > 0 && fr - 1 < width)
            put(img, fr - 1, y, 60, 60, 60);
    }

    if (pageNumber > 0) {
        const unsigned bannerDots = unsigned(bannerEnd * height);
        const unsigned cell = std::max(1u, bannerDots * 6 / 10 / 5);
        const unsigned top = bannerDots > 5 * cell ? (bannerDots - 5 * cell) / 2 : 0;
        drawNumber(img, pageNumber, unsigned(0.97 * width), top, cell);
    }
    return img;
}

// ---- PPM -------------------------------------------------------------------

namespace {

// Parses a P6 header at the start of `bytes`; on success `dataOffset` is the
// first pixel byte.
bool parsePpmHeader(const std::string& bytes, unsigned& width, unsigned& height, size_t& dataOffset, std::string* err)
{
    if (bytes.size() < 2 || bytes[0] != 'P') {
        setError(err, "not a PPM file (no P6 magic)");
        return false;
    }
    if (bytes[1] == '3') {
        setError(err, "ASCII PPM (P3) is not supported, only binary PPM (P6)");
        return false;
    }
    if (bytes[1] != '6') {
        setError(err, std::string("unsupported PNM type P") + bytes[1] + ", only binary PPM (P6)");
        return false;
    }
    size_t pos = 2;
    unsigned long values[3];
    const char* names[3] = {"width", "height", "maxval"};
    for (int i = 0; i < 3; ++i) {
        // Whitespace and comments before each number.
        for (;;) {
            if (pos < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[pos]))) {
                ++pos;
            } else if (pos < bytes.size() && bytes[pos] == '#') {
                while (pos < bytes.size() && bytes[pos] != '\n' && bytes[pos] != '\r')
                    ++pos;
            } else {
                break;
            }
        }
        if (pos >= bytes.size() || !std::isdigit(static_cast<unsigned char>(bytes[pos]))) {
            setError(err, std::string("malformed PPM header: bad or missing ") + names[i]);
            return false;
        }
        unsigned long n = 0;
        while (pos < bytes.size() && std::isdigit(static_cast<unsigned char>(bytes[pos]))) {
            n = n * 10 + unsigned(bytes[pos] - '0');
            if (n > 1000000000UL) {
                setError(err, std::string("PPM ") + names[i] + " is absurdly large");
                return false;
            }
            ++pos;
        }
        values[i] = n;
    }
    // Exactly one whitespace byte separates the maxval from the pixels.
    if (pos >= bytes.size() || !std::isspace(static_cast<unsigned char>(bytes[pos]))) {
        setError(err, "malformed PPM header: no whitespace after maxval");
        return false;
    }
    ++pos;
    if (values[2] != 255) {
        setError(err, "PPM maxval " + std::to_string(values[2]) + " is not supported, only 255");
        return false;
    }
    if (values[0] == 0 || values[1] == 0) {
        setError(err, "PPM picture is empty");
        return false;
    }
    if (values[0] > MaxImageSide || values[1] > MaxImageSide) {
        setError(err, "PPM picture of " + std::to_string(values[0]) + " x " + std::to_string(values[1]) +
                          " dots is too large");
        return false;
    }
    width = unsigned(values[0]);
    height = unsigned(values[1]);
    dataOffset = pos;
    return true;
}

constexpr size_t MaxPpmHeader = 64 * 1024;

} // namespace

bool parsePpm(const std::string& bytes, RasterImage& out, std::string* err)
{
    unsigned w = 0, h = 0;
    size_t offset = 0;
    if (!parsePpmHeader(bytes.substr(0, MaxPpmHeader), w, h, offset, err))
        return false;
    const size_t need = size_t(w) * h * 3;
    if (bytes.size() - offset < need) {
        setError(err, "PPM pixel data is truncated (" + std::to_string(bytes.size() - offset) + " of " +
                          std::to_string(need) + " bytes)");
        return false;
    }
    out.width = w;
    out.height = h;
    out.rgb.assign(bytes.begin() + std::ptrdiff_t(offset), bytes.begin() + std::ptrdiff_t(offset + need));
    return true;
}

bool readPpm(const std::string& path, RasterImage& out, std::string* err)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        setError(err, "cannot open " + path + ": " + std::strerror(errno));
        return false;
    }
    std::string head(MaxPpmHeader, '\0');
    in.read(&head[0], std::streamsize(head.size()));
    head.resize(size_t(in.gcount()));
    unsigned w = 0, h = 0;
    size_t offset = 0;
    if (!parsePpmHeader(head, w, h, offset, err)) {
        if (err)
            *err = path + ": " + *err;
        return false;
    }
    // Size the file before allocating anything for the pixels.
    in.clear();
    in.seekg(0, std::ios::end);
    const auto fileSize = static_cast<unsigned long long>(in.tellg());
    const size_t need = size_t(w) * h * 3;
    if (fileSize < offset || fileSize - offset < need) {
        setError(err, path + ": PPM pixel data is truncated (" +
                          std::to_string(fileSize > offset ? fileSize - offset : 0) + " of " + std::to_string(need) +
                          " bytes)");
        return false;
    }
    std::vector<uint8_t> data(need);
    in.seekg(std::streamoff(offset));
    in.read(reinterpret_cast<char*>(data.data()), std::streamsize(need));
    if (size_t(in.gcount()) != need) {
        setError(err, path + ": read error");
        return false;
    }
    out.width = w;
    out.height = h;
    out.rgb.swap(data);
    return true;
}

bool writePpm(const std::string& path, const RasterImage& image, std::string* err)
{
    if (!image.isConsistent()) {
        setError(err, "picture size does not match its pixel data");
        return false;
    }
    std::ofstream outFile(path, std::ios::binary | std::ios::trunc);
    outFile << "P6\n" << image.width << ' ' << image.height << "\n255\n";
    outFile.write(reinterpret_cast<const char*>(image.rgb.data()), std::streamsize(image.rgb.size()));
    if (!outFile) {
        setError(err, "cannot write " + path);
        return false;
    }
    return true;
}

// ---- Raster writing ----------------------------------------------------------

cups_page_header2_t makeHeader(const RasterImage& image, unsigned dpiX, unsigned dpiY)
{
    cups_page_header2_t h;
    std::memset(&h, 0, sizeof h);
    h.HWResolution[0] = dpiX;
    h.HWResolution[1] = dpiY;
    const double wPt = dpiX ? image.width * 72.0 / dpiX : 0.0;
    const double hPt = dpiY ? image.height * 72.0 / dpiY : 0.0;
    h.PageSize[0] = unsigned(std::lround(wPt));
    h.PageSize[1] = unsigned(std::lround(hPt));
    h.ImagingBoundingBox[2] = h.PageSize[0];
    h.ImagingBoundingBox[3] = h.PageSize[1];
    h.cupsPageSize[0] = float(wPt);
    h.cupsPageSize[1] = float(hPt);
    h.cupsImagingBBox[2] = float(wPt);
    h.cupsImagingBBox[3] = float(hPt);
    h.NumCopies = 1;
    h.Orientation = CUPS_ORIENT_0;
    h.cupsWidth = image.width;
    h.cupsHeight = image.height;
    h.cupsMediaType = 0;
    h.cupsBitsPerColor = 8;
    h.cupsBitsPerPixel = 24;
    h.cupsBytesPerLine = 3 * image.width;
    h.cupsColorOrder = CUPS_ORDER_CHUNKED;
    h.cupsColorSpace = CUPS_CSPACE_RGB;
    h.cupsCompression = 0;
    h.cupsNumColors = 3;
    return h;
}

bool writeRawRaster(int fd, const std::vector<RawPage>& pages, std::string* err)
{
    cups_raster_t* ras = cupsRasterOpen(fd, CUPS_RASTER_WRITE);
    if (!ras) {
        setError(err, "cannot open a raster stream for writing");
        return false;
    }
    bool ok = true;
    for (size_t i = 0; ok && i < pages.size(); ++i) {
        cups_page_header2_t header = pages[i].header;
        if (!cupsRasterWriteHeader2(ras, &header)) {
            setError(err, "writing the header of page " + std::to_string(i + 1) + " failed");
            ok = false;
        } else if (!pages[i].data.empty()) {
            const std::vector<uint8_t>& d = pages[i].data;
            const unsigned n = cupsRasterWritePixels(ras, const_cast<unsigned char*>(d.data()), unsigned(d.size()));
            if (n != d.size()) {
                setError(err, "writing the pixels of page " + std::to_string(i + 1) + " failed");
                ok = false;
            }
        }
    }
    cupsRasterClose(ras);
    return ok;
}

namespace {

bool toRawPages(const std::vector<RasterImage>& pages, unsigned dpiX, unsigned dpiY, std::vector<RawPage>& raw,
                std::string* err)
{
    if (dpiX == 0 || dpiY == 0) {
        setError(err, "the resolution must not be 0");
        return false;
    }
    raw.clear();
    raw.reserve(pages.size());
    for (size_t i = 0; i < pages.size(); ++i) {
        const RasterImage& img = pages[i];
        if (img.width == 0 || img.height == 0 || !img.isConsistent()) {
            setError(err, "page " + std::to_string(i + 1) + " is empty or its pixel data does not match its size");
            return false;
        }
        raw.push_back(RawPage{makeHeader(img, dpiX, dpiY), img.rgb});
    }
    return true;
}

// Runs `write` on a temporary file and returns what it wrote.
template <class Writer>
bool viaTempFile(std::string& out, std::string* err, Writer write)
{
    FILE* tmp = std::tmpfile();
    if (!tmp) {
        setError(err, std::string("cannot create a temporary file: ") + std::strerror(errno));
        return false;
    }
    const int fd = fileno(tmp);
    bool ok = write(fd);
    if (ok) {
        out.clear();
        char buf[65536];
        ssize_t n;
        if (lseek(fd, 0, SEEK_SET) != 0)
            ok = false;
        while (ok && (n = read(fd, buf, sizeof buf)) != 0) {
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                ok = false;
                break;
            }
            out.append(buf, size_t(n));
        }
        if (!ok)
            setError(err, "cannot read the temporary file back");
    }
    std::fclose(tmp);
    return ok;
}

bool writeWholeFile(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += size_t(n);
    }
    return true;
}

} // namespace

bool writeRawRasterFile(const std::string& path, const std::vector<RawPage>& pages, std::string* err)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        setError(err, "cannot create " + path + ": " + std::strerror(errno));
        return false;
    }
    bool ok = writeRawRaster(fd, pages, err);
    if (close(fd) != 0 && ok) {
        setError(err, "cannot write " + path + ": " + std::strerror(errno));
        ok = false;
    }
    return ok;
}

bool rawRasterBytes(const std::vector<RawPage>& pages, std::string& out, std::string* err)
{
    return viaTempFile(out, err, [&](int fd) { return writeRawRaster(fd, pages, err); });
}

bool writeRaster(int fd, const std::vector<RasterImage>& pages, unsigned dpiX, unsigned dpiY, std::string* err)
{
    std::vector<RawPage> raw;
    return toRawPages(pages, dpiX, dpiY, raw, err) && writeRawRaster(fd, raw, err);
}

bool writeRasterFile(const std::string& path, const std::vector<RasterImage>& pages, unsigned dpiX, unsigned dpiY,
                     std::string* err)
{
    std::vector<RawPage> raw;
    return toRawPages(pages, dpiX, dpiY, raw, err) && writeRawRasterFile(path, raw, err);
}

bool rasterBytes(const std::vector<RasterImage>& pages, unsigned dpiX, unsigned dpiY, std::string& out,
                 std::string* err)
{
    std::vector<RawPage> raw;
    return toRawPages(pages, dpiX, dpiY, raw, err) && rawRasterBytes(raw, out, err);
}

// ---- Raster reading ----------------------------------------------------------

bool readRaster(int fd, std::vector<RawPage>& pages, std::string* err)
{
    pages.clear();
    cups_raster_t* ras = cupsRasterOpen(fd, CUPS_RASTER_READ);
    if (!ras) {
        setError(err, "not a raster stream");
        return false;
    }
    const unsigned long long maxBytes = 3ULL * MaxImageSide * MaxImageSide;
    bool ok = true;
    RawPage page;
    while (ok && cupsRasterReadHeader2(ras, &page.header)) {
        const unsigned bpl = page.header.cupsBytesPerLine;
        const unsigned long long total = 1ULL * bpl * page.header.cupsHeight;
        if (total > maxBytes) {
            setError(err, "page " + std::to_string(pages.size() + 1) + " is too large");
            ok = false;
            break;
        }
        // Grown row by row: a header may announce far more data than follows.
        page.data.clear();
        unsigned rows = 0;
        while (bpl && rows < page.header.cupsHeight) {
            page.data.resize(size_t(rows + 1) * bpl);
            if (cupsRasterReadPixels(ras, page.data.data() + size_t(rows) * bpl, bpl) != bpl)
                break;
            ++rows;
        }
        page.data.resize(size_t(rows) * bpl);
        pages.push_back(page);
        if (rows < page.header.cupsHeight)
            break; // the stream ended inside this page
    }
    cupsRasterClose(ras);
    return ok;
}

bool readRasterBytes(const std::string& bytes, std::vector<RawPage>& pages, std::string* err)
{
    FILE* tmp = std::tmpfile();
    if (!tmp) {
        setError(err, std::string("cannot create a temporary file: ") + std::strerror(errno));
        return false;
    }
    const int fd = fileno(tmp);
    bool ok = writeWholeFile(fd, bytes) && lseek(fd, 0, SEEK_SET) == 0;
    if (!ok)
        setError(err, "cannot write a temporary file");
    ok = ok && readRaster(fd, pages, err);
    std::fclose(tmp);
    return ok;
}

} // namespace cr80tools
