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
    std::string text; // a command without ESC and CR, or the text itself
    // Panel downloads (ESC Db / Dbx / Dbxs header, data, CR):
    char panel = 0; // 'y', 'm', 'c', 'k' or 'o'
    int levels = 0; // 256, 128 (7-bit packed) or 2 (one bit per dot)
    unsigned dpiX = 300, dpiY = 300;
    unsigned crWidth = 1016, crHeight = 648; // card size at 300 dpi
    unsigned width = 0, height = 0;          // card size in dots at the panel's resolution
    size_t dataOffset = 0, dataSize = 0;     // where the data lies in the stream
    size_t offset = 0;                       // where the item starts in the stream (its ESC or first text byte)
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

uint64_t fnv1a(const uint8_t* data, size_t size);

// A length given in dots at 300 dpi, at `dpi`, rounded up (the card sizes of
// the panel headers).
unsigned lengthAtDpi(unsigned stdLength, unsigned dpi);

// The first fault of a stream's grammar, if any: every command framed by ESC
// and CR, markers written as "<...>" and properly nested (DOC holds CARDs, a
// CARD holds FACEs), panel headers that make sense with exactly the data
// bytes they announce, and each "<BINARY Size=n>" followed by exactly n bytes
// of panel commands before its "</BINARY>".
// A stream that is sound but holds no card at all (empty, or a document
// without cards) fails with the fault "no card in the stream", which belongs
// to no single byte (`wholeStream`).
struct StreamCheck {
    bool ok = true;
    size_t offset = 0;        // byte of the first fault
    std::string fault;        // what is wrong there
    bool wholeStream = false; // the fault is the stream's as a whole, not at `offset`
    int cards = 0, faces = 0, panels = 0;
};
extern const char* const NoCardFault; // "no card in the stream"
StreamCheck checkStream(const std::string& bytes);

// A readable listing: one line per command (with what it means when known),
// marker and panel (letter, levels, resolution, size, inked dots), indented by
// the document, card and face it belongs to, each with its byte offset.
std::string listing(const std::string& bytes);

// The pictures of one face as it will look on the card, the right way up,
// with square pixels at the lower of the panels' two resolutions: a face
// printed at 600 x 300 or 1200 x 300 dpi is drawn at 300 dpi (1016 x 648
// pixels for a CR80 card), each pixel the mean ink of the dots it covers.
struct FacePreview {
    int card = 0;      // from 1
    bool back = false; // the face's "Sv" command: back, else front
    unsigned dpi = 0;  // the resolution of the square pixels
    unsigned width = 0, height = 0;
    std::vector<uint8_t> rgb; // the face: Y, M and C inks over white, K in black on top (empty: no panel)
    struct Mono {
        char panel;                // 'k' or 'o'
        std::vector<uint8_t> gray; // 255 white, 0 full ink
        unsigned width, height;
    };
    std::vector<Mono> monoPanels; // each K and O panel on its own
};
std::vector<FacePreview> facePreviews(const std::string& bytes);

// Writes an 8-bit PNG with libpng: `channels` 1 (gray) or 3 (RGB), rows top-down.
bool writePng(const std::string& path, unsigned width, unsigned height, int channels,
              const std::vector<uint8_t>& pixels, std::string* error);

} // namespace cr80tools
