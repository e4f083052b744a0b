// cardstream: reads a printer stream written by rastertocr80 and lists it,
// checks its grammar, or draws previews of its faces and panels.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "streamreader.h"

using namespace cr80tools;

static void usage(std::ostream& out)
{
    out << "usage: cardstream [--check] [--png PREFIX] STREAM\n"
           "  Reads STREAM (a printer stream written by rastertocr80, or - for\n"
           "  standard input).\n"
           "  (no option)   prints a listing: commands with their parameters,\n"
           "                markers, cards, faces and panels, with byte offsets.\n"
           "  --check       checks the stream's grammar; prints \"ok\" with counts, or\n"
           "                the byte offset of the first fault and exits with 1; a\n"
           "                stream without any card fails with \"no card in the stream\".\n"
           "  --png PREFIX  writes PREFIX-card<N>-front.png / -back.png, the face as\n"
           "                it will look, and PREFIX-card<N>-<face>-k.png / -o.png\n"
           "                for each black and overlay panel, with square pixels at\n"
           "                the lower of the two resolutions (600 x 300 dpi is drawn\n"
           "                at 300 dpi).\n"
           "Exit status: 0 fine, 1 a faulty stream, 2 a usage or file error.\n";
}

int main(int argc, char* argv[])
{
    bool check = false, list = true;
    std::string pngPrefix, input;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--check")) {
            check = true;
            list = false;
        } else if (!strcmp(argv[i], "--png") && i + 1 < argc) {
            pngPrefix = argv[++i];
            list = false;
        } else if (!strcmp(argv[i], "--help") || !strcmp(argv[i], "-h")) {
            usage(std::cout);
            return 0;
        } else if (input.empty() && (argv[i][0] != '-' || !strcmp(argv[i], "-"))) {
            input = argv[i];
        } else {
            usage(std::cerr);
            return 2;
        }
    }
    if (input.empty()) {
        usage(std::cerr);
        return 2;
    }

    std::stringstream buffer;
    if (input == "-") {
        buffer << std::cin.rdbuf();
    } else {
        std::ifstream file(input, std::ios::binary);
        if (!file) {
            std::cerr << "cardstream: cannot read " << input << "\n";
            return 2;
        }
        buffer << file.rdbuf();
    }
    const std::string bytes = buffer.str();

    const StreamCheck result = checkStream(bytes);
    int status = result.ok ? 0 : 1;
    if (list)
        std::cout << listing(bytes);
    if (check) {
        if (result.ok)
            std::cout << "ok: " << result.cards << " card(s), " << result.faces << " face(s), " << result.panels
                      << " panel(s), " << bytes.size() << " bytes\n";
        else if (result.wholeStream)
            std::cout << result.fault << "\n";
        else
            std::cout << "fault at byte " << result.offset << ": " << result.fault << "\n";
    }
    // Nothing to draw in a sound stream without cards: say so rather than
    // write no file in silence.
    if (!pngPrefix.empty() && result.wholeStream) {
        if (!check)
            std::cout << NoCardFault << "\n";
        return 1;
    }
    if (!pngPrefix.empty()) {
        for (const FacePreview& face : facePreviews(bytes)) {
            const std::string base = pngPrefix + "-card" + std::to_string(face.card) + (face.back ? "-back" : "-front");
            std::string error;
            if (face.rgb.empty()) {
                std::cout << "card " << face.card << (face.back ? " back" : " front") << ": no panel, nothing drawn\n";
                continue;
            }
            if (!writePng(base + ".png", face.width, face.height, 3, face.rgb, &error)) {
                std::cerr << "cardstream: " << error << "\n";
                return 2;
            }
            std::cout << base << ".png\n";
            for (const FacePreview::Mono& panel : face.monoPanels) {
                const std::string name = base + "-" + panel.panel + ".png";
                if (!writePng(name, panel.width, panel.height, 1, panel.gray, &error)) {
                    std::cerr << "cardstream: " << error << "\n";
                    return 2;
                }
                std::cout << name << "\n";
            }
        }
    }
    return check || list ? status : 0;
}
