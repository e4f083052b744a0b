// inspect-stream: reads a printer stream written by rastertocr80 and prints
// its commands, markers and panels; optionally writes a PNG picture of each
// panel and of the whole card as printed.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "streaminspect.h"

using namespace cr80tools;

static void usage()
{
    std::cerr << "usage: inspect-stream [--preview DIR] STREAM\n"
                 "  Prints one line per command, marker and panel of STREAM (a file\n"
                 "  written by rastertocr80, or - for standard input).\n"
                 "  --preview DIR  also writes DIR/card<N>-face<M>-<panel>.png for every\n"
                 "                 panel and DIR/card<N>-face<M>.png, the face as printed.\n";
}

int main(int argc, char* argv[])
{
    std::string previewDir, input;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--preview") && i + 1 < argc)
            previewDir = argv[++i];
        else if (!strcmp(argv[i], "--help") || !strcmp(argv[i], "-h")) {
            usage();
            return 0;
        } else if (input.empty())
            input = argv[i];
        else {
            usage();
            return 2;
        }
    }
    if (input.empty()) {
        usage();
        return 2;
    }
    std::stringstream buffer;
    if (input == "-") {
        buffer << std::cin.rdbuf();
    } else {
        std::ifstream file(input, std::ios::binary);
        if (!file) {
            std::cerr << "inspect-stream: cannot read " << input << "\n";
            return 1;
        }
        buffer << file.rdbuf();
    }
    const std::string bytes = buffer.str();
    std::cout << digest(bytes);

    if (previewDir.empty())
        return 0;
    ParsedStream parsed = parseStream(bytes);
    int card = 0, face = 0;
    std::vector<uint8_t> composite;
    unsigned cw = 0, ch = 0;
    auto flushFace = [&]() {
        if (composite.empty())
            return;
        std::string name = previewDir + "/card" + std::to_string(card) + "-face" + std::to_string(face) + ".png";
        std::ofstream(name, std::ios::binary) << encodePng(cw, ch, composite);
        composite.clear();
    };
    for (const StreamItem& item : parsed.items) {
        if (item.kind == StreamItem::Text && item.text == "<CARD>") {
            ++card;
            face = 0;
        } else if (item.kind == StreamItem::Text && item.text == "<FACE>") {
            ++face;
        } else if (item.kind == StreamItem::Text && item.text == "</FACE>") {
            flushFace();
        } else if (item.kind == StreamItem::Panel) {
            std::string name = previewDir + "/card" + std::to_string(card) + "-face" + std::to_string(face) + "-" +
                               item.panel + ".png";
            std::ofstream(name, std::ios::binary) << panelPng(bytes, item);
            // The face as printed: subtractive inks over white, black on top.
            std::vector<uint8_t> dots = panelDots(bytes, item);
            if (composite.empty()) {
                cw = item.width;
                ch = item.height;
                composite.assign(size_t(cw) * ch * 3, 255);
            }
            if (item.width != cw || item.height != ch)
                continue;
            for (size_t i = 0; i < dots.size(); ++i) {
                uint8_t* px = &composite[i * 3];
                const uint8_t ink = dots[i];
                switch (item.panel) {
                case 'y': px[2] = uint8_t(px[2] * (255 - ink) / 255); break;
                case 'm': px[1] = uint8_t(px[1] * (255 - ink) / 255); break;
                case 'c': px[0] = uint8_t(px[0] * (255 - ink) / 255); break;
                case 'k':
                    if (ink)
                        px[0] = px[1] = px[2] = 0;
                    break;
                default: break;
                }
            }
        }
    }
    flushFace();
    return 0;
}
