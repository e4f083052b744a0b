#include "streamreader.h"

#include <cstdio>
#include <cstring>

namespace cr80tools {

namespace {

const char ESC = 0x1B;
const char CR = 0x0D;

size_t panelDataSize(const StreamItem& p)
{
    const size_t area = size_t(p.width) * p.height;
    if (p.levels == 256)
        return area;
    if (p.levels == 128)
        return (area / 8) * 7;
    return area / 8;
}

// Reads a panel download header at `pos` (just after ESC); false when the
// command is not one.
bool readPanelHeader(const std::string& bytes, size_t pos, StreamItem& item, size_t& dataStart)
{
    const char* start = bytes.c_str() + pos;
    const size_t avail = bytes.size() - pos;
    char letter = 0;
    int levels = 0, n = 0;
    unsigned dx = 300, dy = 300, cw = 1016, ch = 648;
    std::string head(start, avail < 64 ? avail : 64);
    if (sscanf(head.c_str(), "Dbxs;%c;%d;%u;%u;%u;%u;%n", &letter, &levels, &dx, &dy, &cw, &ch, &n) == 6 && n > 0) {
    } else if (sscanf(head.c_str(), "Dbx;%c;%d;%u;%u;%n", &letter, &levels, &dx, &dy, &n) == 4 && n > 0) {
    } else if (sscanf(head.c_str(), "Db;%c;%d;%n", &letter, &levels, &n) == 2 && n > 0) {
    } else {
        return false;
    }
    item.kind = StreamItem::Panel;
    item.panel = letter;
    item.levels = levels;
    item.dpiX = dx;
    item.dpiY = dy;
    item.crWidth = cw;
    item.crHeight = ch;
    item.width = lengthAtDpi(cw, dx);
    item.height = lengthAtDpi(ch, dy);
    item.text.assign(start, static_cast<size_t>(n));
    dataStart = pos + static_cast<size_t>(n);
    return true;
}

} // namespace

unsigned lengthAtDpi(unsigned stdLength, unsigned dpi)
{
    unsigned long long product = 1ull * stdLength * dpi;
    return static_cast<unsigned>((product + 299) / 300);
}

uint64_t fnv1a(const uint8_t* data, size_t size)
{
    uint64_t h = 1469598103934665603ull;
    for (size_t i = 0; i < size; ++i) {
        h ^= data[i];
        h *= 1099511628211ull;
    }
    return h;
}

ParsedStream parseStream(const std::string& bytes)
{
    ParsedStream out;
    size_t pos = 0;
    while (pos < bytes.size()) {
        if (bytes[pos] != ESC) {
            size_t next = bytes.find(ESC, pos);
            if (next == std::string::npos)
                next = bytes.size();
            StreamItem text;
            text.kind = StreamItem::Text;
            const size_t chunkStart = pos;
            // Markers such as "</HEADER>" and "<BINARY Size=..>" are separate items.
            std::string chunk = bytes.substr(pos, next - pos);
            size_t at = 0;
            while (at < chunk.size()) {
                size_t close = chunk.find('>', at);
                size_t end = close == std::string::npos ? chunk.size() : close + 1;
                text.text = chunk.substr(at, end - at);
                text.offset = chunkStart + at;
                out.items.push_back(text);
                at = end;
            }
            pos = next;
            continue;
        }
        StreamItem item;
        item.offset = pos;
        size_t dataStart = 0;
        if (readPanelHeader(bytes, pos + 1, item, dataStart)) {
            item.dataOffset = dataStart;
            item.dataSize = panelDataSize(item);
            if (dataStart + item.dataSize >= bytes.size() || bytes[dataStart + item.dataSize] != CR) {
                out.error = "panel data cut short at byte " + std::to_string(pos);
                return out;
            }
            out.items.push_back(item);
            pos = dataStart + item.dataSize + 1;
            continue;
        }
        size_t cr = bytes.find(CR, pos + 1);
        if (cr == std::string::npos) {
            out.error = "command without its end at byte " + std::to_string(pos);
            return out;
        }
        item.kind = StreamItem::Command;
        item.text = bytes.substr(pos + 1, cr - pos - 1);
        out.items.push_back(item);
        pos = cr + 1;
    }
    return out;
}

std::vector<uint8_t> panelDots(const std::string& bytes, const StreamItem& p)
{
    const size_t W = p.width, H = p.height;
    std::vector<uint8_t> dots(W * H, 0);
    const uint8_t* data = reinterpret_cast<const uint8_t*>(bytes.data()) + p.dataOffset;
    if (p.kind != StreamItem::Panel || p.dataOffset + p.dataSize > bytes.size())
        return dots;
    if (p.levels == 256 || p.levels == 128) {
        std::vector<uint8_t> values(W * H, 0);
        if (p.levels == 256) {
            values.assign(data, data + W * H);
        } else {
            // Seven bytes hold eight 7-bit values, most significant bit first.
            for (size_t g = 0; g + 7 <= p.dataSize && g / 7 * 8 + 8 <= values.size(); g += 7) {
                uint64_t bits = 0;
                for (int k = 0; k < 7; ++k)
                    bits = (bits << 8) | data[g + k];
                for (int k = 0; k < 8; ++k)
                    values[g / 7 * 8 + k] = static_cast<uint8_t>(((bits >> (49 - 7 * k)) & 0x7F) << 1);
            }
        }
        // Both layouts run column by column from the card's left edge, and
        // inside a column from the bottom row up.
        for (size_t x = 0; x < W; ++x)
            for (size_t y = 0; y < H; ++y)
                dots[y * W + x] = values[x * H + (H - 1 - y)];
    } else {
        // One-bit panels: one stored row of H / 8 bytes per column, most
        // significant bit first.
        const size_t rowBytes = H / 8;
        for (size_t x = 0; x < W; ++x) {
            for (size_t y = 0; y < H; ++y) {
                const size_t up = H - 1 - y;
                const size_t index = x * rowBytes + up / 8;
                if (up / 8 < rowBytes && index < p.dataSize && (data[index] >> (7 - up % 8)) & 1)
                    dots[y * W + x] = 255;
            }
        }
    }
    return dots;
}

std::string digest(const std::string& bytes)
{
    ParsedStream parsed = parseStream(bytes);
    std::string out;
    char line[256];
    for (const StreamItem& item : parsed.items) {
        switch (item.kind) {
        case StreamItem::Command:
            out += "CMD " + item.text + "\n";
            break;
        case StreamItem::Text:
            out += "TEXT " + item.text + "\n";
            break;
        case StreamItem::Panel: {
            const uint8_t* data = reinterpret_cast<const uint8_t*>(bytes.data()) + item.dataOffset;
            size_t inked = 0;
            for (uint8_t v : panelDots(bytes, item))
                inked += v != 0;
            snprintf(line, sizeof(line), "PANEL %s bytes=%zu fnv=%016llx inked=%zu\n", item.text.c_str(), item.dataSize,
                     static_cast<unsigned long long>(fnv1a(data, item.dataSize)), inked);
            out += line;
            break;
        }
        }
    }
    if (!parsed.error.empty())
        out += "ERROR " + parsed.error + "\n";
    return out;
}

} // namespace cr80tools
