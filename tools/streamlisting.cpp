// Grammar check, readable listing and face pictures of a printer stream.
#include "streamreader.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>

namespace cr80tools {

namespace {

const char ESC = 0x1B;

// Where an item ends in the stream (one past its last byte).
size_t itemEnd(const StreamItem& item)
{
    switch (item.kind) {
    case StreamItem::Command:
        return item.offset + item.text.size() + 2;
    case StreamItem::Panel:
        return item.dataOffset + item.dataSize + 1;
    case StreamItem::Text:
        break;
    }
    return item.offset + item.text.size();
}

bool isPrintable(const std::string& text)
{
    for (unsigned char c : text)
        if (c < 0x20 || c > 0x7E)
            return false;
    return true;
}

// "<CARD>" -> "CARD", "</CARD>" -> "CARD" with closing set, "<BINARY Size=5>" -> "BINARY".
std::string markerName(const std::string& text, bool* closing)
{
    *closing = text.size() > 1 && text[1] == '/';
    size_t from = *closing ? 2 : 1;
    size_t to = text.find_first_of(" >", from);
    return text.substr(from, to == std::string::npos ? std::string::npos : to - from);
}

// The marker that must directly hold `name`; "" for the top level.
bool allowedParent(const std::string& name, const std::string& parent)
{
    if (name == "CARD")
        return parent == "DOC";
    if (name == "FACE")
        return parent == "CARD";
    if (name == "BINARY")
        return parent == "FACE";
    if (name == "HEADER" || name == "OPTION" || name == "DOC" || name == "END")
        return parent.empty();
    return false;
}

bool panelHeaderIsSound(const StreamItem& p, std::string* why)
{
    const bool colour = p.panel == 'y' || p.panel == 'm' || p.panel == 'c';
    const bool mono = p.panel == 'k' || p.panel == 'o';
    if (!colour && !mono) {
        *why = std::string("panel letter '") + p.panel + "' is none of y, m, c, k, o";
        return false;
    }
    if ((colour && p.levels != 256 && p.levels != 128) || (mono && p.levels != 2)) {
        *why = "panel " + std::string(1, p.panel) + " cannot have " + std::to_string(p.levels) + " levels";
        return false;
    }
    if (p.dpiX == 0 || p.dpiY == 0 || p.width == 0 || p.height == 0 || p.dataSize == 0) {
        *why = "panel header gives an empty card or a zero resolution";
        return false;
    }
    return true;
}

const char* commandMeaning(const std::string& name)
{
    static const std::map<std::string, const char*> meanings = {
        {"Psync", "block marker"},
        {"Psmgr", "settings follow"},
        {"Ppws", "job time stamp"},
        {"Pcla", "spool session"},
        {"Psid", "spool session"},
        {"Pps", "print status reporting"},
        {"Pr", "ribbon type"},
        {"Pwres", "print resolution (x;y;ribbon)"},
        {"Psk", "monochrome speed"},
        {"Piqla", "image quality adjustment"},
        {"Peoic", "card preloading"},
        {"Pcim", "card insertion"},
        {"Pcem", "card ejection"},
        {"Pcrm", "card rejection"},
        {"Pkc", "feeder"},
        {"Pmt", "magnetic track encoding"},
        {"Pmc", "magnetic coercivity"},
        {"Pc", "contrast (a colour, k black, o overlay)"},
        {"Pl", "luminosity"},
        {"Ss", "card sequence start"},
        {"Sr", "front face"},
        {"Sv", "back face"},
        {"Se", "card sequence end"},
        {"Pida", "ink usage (white %;yellow;magenta;cyan)"},
        {"Psp", "panel shift"},
        {"Psplc", "panel shift of one panel"},
    };
    auto it = meanings.find(name);
    return it == meanings.end() ? nullptr : it->second;
}

const char* panelName(char letter)
{
    switch (letter) {
    case 'y':
        return "yellow";
    case 'm':
        return "magenta";
    case 'c':
        return "cyan";
    case 'k':
        return "black";
    case 'o':
        return "overlay";
    default:
        return "unknown";
    }
}

// The ink of a panel with square pixels at the lower of its two
// resolutions, each pixel the mean of the dots it covers (a box of whole
// dots); the dots themselves when the panel's resolution is square.
struct SquareInk {
    unsigned dpi = 0, width = 0, height = 0;
    std::vector<uint8_t> ink;
};

SquareInk squareInk(const std::string& bytes, const StreamItem& p)
{
    SquareInk out;
    out.dpi = p.dpiX < p.dpiY ? p.dpiX : p.dpiY;
    std::vector<uint8_t> dots = panelDots(bytes, p);
    if (p.dpiX == p.dpiY) {
        out.width = p.width;
        out.height = p.height;
        out.ink = std::move(dots);
        return out;
    }
    out.width = lengthAtDpi(p.crWidth, out.dpi);
    out.height = lengthAtDpi(p.crHeight, out.dpi);
    if (out.width == 0 || out.height == 0 || out.width > p.width || out.height > p.height)
        return SquareInk();
    // Dots [from[i], from[i + 1]) of the panel make pixel i.
    auto bounds = [](unsigned dots, unsigned pixels) {
        std::vector<size_t> from(pixels + 1);
        for (unsigned i = 0; i <= pixels; ++i)
            from[i] = size_t(1ull * i * dots / pixels);
        return from;
    };
    const std::vector<size_t> columns = bounds(p.width, out.width), rows = bounds(p.height, out.height);
    out.ink.resize(size_t(out.width) * out.height);
    for (unsigned y = 0; y < out.height; ++y)
        for (unsigned x = 0; x < out.width; ++x) {
            unsigned long long sum = 0;
            for (size_t r = rows[y]; r < rows[y + 1]; ++r)
                for (size_t c = columns[x]; c < columns[x + 1]; ++c)
                    sum += dots[r * p.width + c];
            const unsigned long long n = (rows[y + 1] - rows[y]) * (columns[x + 1] - columns[x]);
            out.ink[size_t(y) * out.width + x] = uint8_t((sum + n / 2) / n);
        }
    return out;
}

} // namespace

const char* const NoCardFault = "no card in the stream";

StreamCheck checkStream(const std::string& bytes)
{
    StreamCheck result;
    auto fail = [&result](size_t offset, const std::string& what) {
        result.ok = false;
        result.offset = offset;
        result.fault = what;
        return result;
    };
    const ParsedStream parsed = parseStream(bytes);
    std::vector<std::string> open; // marker stack
    size_t binaryStart = 0, binarySize = 0;
    size_t end = 0;
    for (const StreamItem& item : parsed.items) {
        const bool inBinary = !open.empty() && open.back() == "BINARY";
        switch (item.kind) {
        case StreamItem::Command:
            if (inBinary)
                return fail(item.offset, "command \"" + item.text.substr(0, 20) + "\" inside panel data block");
            if (item.text.find(ESC) != std::string::npos)
                return fail(item.offset, "command not ended by CR before the next command");
            if (!isPrintable(item.text))
                return fail(item.offset, "command holds a control byte");
            if (item.text.empty())
                return fail(item.offset, "empty command");
            break;
        case StreamItem::Panel: {
            std::string why;
            if (!inBinary)
                return fail(item.offset, "panel outside a <BINARY> block");
            if (!panelHeaderIsSound(item, &why))
                return fail(item.offset, why);
            ++result.panels;
            break;
        }
        case StreamItem::Text: {
            if (item.text.size() < 2 || item.text.front() != '<' || item.text.back() != '>' || !isPrintable(item.text))
                return fail(item.offset, "stray bytes outside any command or marker");
            bool closing = false;
            const std::string name = markerName(item.text, &closing);
            if (closing) {
                if (open.empty() || open.back() != name)
                    return fail(item.offset, item.text + " closes " +
                                                 (open.empty() ? std::string("nothing") : "<" + open.back() + ">"));
                if (name == "BINARY" && item.offset - binaryStart != binarySize)
                    return fail(item.offset, "<BINARY Size=" + std::to_string(binarySize) + "> holds " +
                                                 std::to_string(item.offset - binaryStart) + " bytes");
                open.pop_back();
                break;
            }
            if (inBinary)
                return fail(item.offset, "marker " + item.text + " inside panel data block");
            if (!allowedParent(name, open.empty() ? "" : open.back()))
                return fail(item.offset,
                            "marker " + item.text + " is not allowed " +
                                (open.empty() ? std::string("at the top level") : "inside <" + open.back() + ">"));
            if (name == "BINARY") {
                unsigned long long size = 0;
                char tail = 0;
                if (sscanf(item.text.c_str(), "<BINARY Size=%llu%c", &size, &tail) != 2 || tail != '>')
                    return fail(item.offset, "malformed " + item.text);
                binaryStart = item.offset + item.text.size();
                binarySize = static_cast<size_t>(size);
            }
            if (name == "CARD")
                ++result.cards;
            if (name == "FACE")
                ++result.faces;
            if (name != "END")
                open.push_back(name);
            break;
        }
        }
        end = itemEnd(item);
    }
    if (!parsed.error.empty())
        return fail(end, parsed.error.find("panel") != std::string::npos
                             ? "panel data shorter than its header announces, or not ended by CR"
                             : "command not ended by CR");
    if (!open.empty())
        return fail(bytes.size(), "stream ends inside <" + open.back() + ">");
    if (result.cards == 0) {
        fail(bytes.size(), NoCardFault);
        result.wholeStream = true;
    }
    return result;
}

std::string listing(const std::string& bytes)
{
    const ParsedStream parsed = parseStream(bytes);
    std::string out;
    char line[512];
    int depth = 0;
    for (const StreamItem& item : parsed.items) {
        bool closing = false;
        if (item.kind == StreamItem::Text && item.text.size() > 1 && item.text[0] == '<')
            markerName(item.text, &closing);
        if (closing && depth > 0)
            --depth;
        const std::string indent(static_cast<size_t>(depth) * 2, ' ');
        switch (item.kind) {
        case StreamItem::Command: {
            const size_t semi = item.text.find(';');
            const std::string name = item.text.substr(0, semi);
            const std::string params = semi == std::string::npos ? "" : item.text.substr(semi + 1);
            const char* meaning = commandMeaning(name);
            if (meaning != nullptr)
                snprintf(line, sizeof(line), "%9zu  %sCMD %-6s %-22s  # %s\n", item.offset, indent.c_str(),
                         name.c_str(), params.c_str(), meaning);
            else
                snprintf(line, sizeof(line), "%9zu  %sCMD %-6s %s\n", item.offset, indent.c_str(), name.c_str(),
                         params.c_str());
            break;
        }
        case StreamItem::Text:
            snprintf(line, sizeof(line), "%9zu  %s%s\n", item.offset, indent.c_str(), item.text.c_str());
            break;
        case StreamItem::Panel: {
            size_t inked = 0;
            for (uint8_t v : panelDots(bytes, item))
                inked += v != 0;
            const double area = double(item.width) * item.height;
            snprintf(line, sizeof(line),
                     "%9zu  %sPANEL %c %-7s %3d levels%s, %ux%u dpi, %ux%u dots (card %ux%u at 300 dpi), %zu data "
                     "bytes, %zu dots inked (%.1f%%)\n",
                     item.offset, indent.c_str(), item.panel, panelName(item.panel), item.levels,
                     item.levels == 128 ? " (7-bit)" : "", item.dpiX, item.dpiY, item.width, item.height, item.crWidth,
                     item.crHeight, item.dataSize, inked, area > 0 ? 100.0 * inked / area : 0.0);
            break;
        }
        }
        out += line;
        if (item.kind == StreamItem::Text && !closing && item.text != "<END>" && item.text.size() > 1 &&
            item.text[0] == '<')
            ++depth;
    }
    const StreamCheck check = checkStream(bytes);
    snprintf(line, sizeof(line), "%d card(s), %d face(s), %d panel(s), %zu bytes\n", check.cards, check.faces,
             check.panels, bytes.size());
    out += line;
    if (!check.ok && check.wholeStream)
        out += "FAULT: " + check.fault + "\n";
    else if (!check.ok)
        out += "FAULT at byte " + std::to_string(check.offset) + ": " + check.fault + "\n";
    return out;
}

std::vector<FacePreview> facePreviews(const std::string& bytes)
{
    const ParsedStream parsed = parseStream(bytes);
    std::vector<FacePreview> faces;
    int card = 0;
    bool inFace = false;
    FacePreview face;
    std::vector<const StreamItem*> colour, mono;
    auto finish = [&]() {
        const StreamItem* size = !colour.empty() ? colour.front() : !mono.empty() ? mono.front() : nullptr;
        if (size != nullptr) {
            face.dpi = size->dpiX < size->dpiY ? size->dpiX : size->dpiY;
            face.width = lengthAtDpi(size->crWidth, face.dpi);
            face.height = lengthAtDpi(size->crHeight, face.dpi);
            const size_t area = size_t(face.width) * face.height;
            face.rgb.assign(area * 3, 255);
            auto fits = [&face](const SquareInk& ink) {
                return ink.dpi == face.dpi && ink.width == face.width && ink.height == face.height;
            };
            // Subtractive inks over white: cyan takes red, magenta green, yellow blue.
            for (const StreamItem* p : colour) {
                const SquareInk ink = squareInk(bytes, *p);
                if (!fits(ink))
                    continue;
                const int channel = p->panel == 'c' ? 0 : p->panel == 'm' ? 1 : 2;
                for (size_t i = 0; i < area; ++i)
                    face.rgb[i * 3 + channel] = uint8_t(255 - ink.ink[i]);
            }
            for (const StreamItem* p : mono) {
                const SquareInk ink = squareInk(bytes, *p);
                FacePreview::Mono picture{p->panel, std::vector<uint8_t>(ink.ink.size()), ink.width, ink.height};
                for (size_t i = 0; i < ink.ink.size(); ++i)
                    picture.gray[i] = uint8_t(255 - ink.ink[i]);
                // Black resin lies on top of the colours, covering each
                // pixel as far as its dots are inked.
                if (p->panel == 'k' && fits(ink))
                    for (size_t i = 0; i < area * 3; ++i)
                        face.rgb[i] = uint8_t((face.rgb[i] * (255u - ink.ink[i / 3]) + 127) / 255);
                face.monoPanels.push_back(std::move(picture));
            }
        }
        faces.push_back(std::move(face));
        face = FacePreview();
        colour.clear();
        mono.clear();
        inFace = false;
    };
    for (const StreamItem& item : parsed.items) {
        if (item.kind == StreamItem::Text && item.text == "<CARD>") {
            ++card;
        } else if (item.kind == StreamItem::Text && item.text == "<FACE>") {
            if (inFace)
                finish();
            inFace = true;
            face.card = card;
        } else if (item.kind == StreamItem::Command && inFace && item.text == "Sv") {
            face.back = true;
        } else if (item.kind == StreamItem::Panel && inFace) {
            (item.panel == 'k' || item.panel == 'o' ? mono : colour).push_back(&item);
        } else if (item.kind == StreamItem::Text && item.text == "</FACE>" && inFace) {
            finish();
        }
    }
    if (inFace)
        finish();
    return faces;
}

bool writePng(const std::string& path, unsigned width, unsigned height, int channels,
              const std::vector<uint8_t>& pixels, std::string* error)
{
    auto failWith = [error](const std::string& what) {
        if (error)
            *error = what;
        return false;
    };
    if ((channels != 1 && channels != 3) || width == 0 || height == 0 ||
        pixels.size() != size_t(width) * height * channels)
        return failWith("no picture to write");
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr)
        return failWith("cannot write " + path + ": " + strerror(errno));
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        fclose(file);
        return failWith("libpng could not start");
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        fclose(file);
        return failWith("libpng failed writing " + path);
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, channels == 3 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (unsigned y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(pixels.data() + size_t(y) * width * channels));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (fclose(file) != 0)
        return failWith("cannot write " + path);
    return true;
}

} // namespace cr80tools
