#pragma once
// Reading the printer stream back: the commands, the text markers and the
// panel downloads with their data, a short text digest for comparisons, and
// pictures of the panels for looking at them.

#include <cstdint>
#include <string>
#include <vector>

namespace cr80tools {

struct StreamItem {
    enum Kind { Command, Text, Panel };
    Kind kind = Text;
    std::string text;          // a command without ESC and CR, or the text itself
    // Panel downloads (ESC Db / Dbx / Dbxs header, data, CR):
    char panel = 0;            // 'y', 'm', 'c', 'k' or 'o'
    int levels = 0;            // 256, 128 (7-bit packed) or 2 (one bit per dot)
    unsigned dpiX = 300, dpiY = 300;
    unsigned crWidth = 1016, crHeight = 648; // card size at 300 dpi
    unsigned width = 0, height = 0;          // card size in dots at the panel's resolution
    size_t dataOffset = 0, dataSize = 0;     // where the data lies in the stream
};

struct ParsedStream {
    std::vector<StreamItem> items;
    std::string error; // empty when the whole stream was understood
};

// Splits a stream into its items. Stops with `error` set at the first byte
// it cannot place (a command without its CR, panel data cut short).
ParsedStream parseStream(const std::string& bytes);

// The ink amount (0 none, 255 full) of every dot of a panel, row by row from
// the top-left corner of the page as it was printed: width x height values. 7-bit data comes back
// with its lowest bit 0; one-bit panels give 0 or 255.
std::vector<uint8_t> panelDots(const std::string& bytes, const StreamItem& panel);

// One line per item; panel data is summed up by its size, a 64-bit FNV-1a
// hash and its count of inked dots, so two streams can be compared as text.
std::string digest(const std::string& bytes);

// A gray picture of a panel (white where there is no ink) as PNG bytes.
std::string panelPng(const std::string& bytes, const StreamItem& panel);
// RGB picture as PNG bytes (rows top-down, RGB triples).
std::string encodePng(unsigned width, unsigned height, const std::vector<uint8_t>& rgb);

uint64_t fnv1a(const uint8_t* data, size_t size);

}  // namespace cr80tools
