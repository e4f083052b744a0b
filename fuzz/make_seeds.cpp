// Writes the seed corpora of the fuzz targets:
//   make_seeds <corpus dir> <filter> <test PPD>
// Each seed is a small, valid (or deliberately broken) example of the
// target's input layout, so that fuzzing starts from every feature of a job.
// The panel download seeds are the filter's own output for small jobs.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "rasterwriter.h"

using cr80tools::RasterImage;

namespace {

std::string corpusDir;

void writeSeed(const std::string& target, const std::string& name, const std::string& bytes)
{
    const std::string dir = corpusDir + "/" + target;
    mkdir(dir.c_str(), 0755);
    const std::string path = dir + "/" + name;
    FILE* f = fopen(path.c_str(), "wb");
    if (f == nullptr || fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
        perror(path.c_str());
        exit(1);
    }
    fclose(f);
}

RasterImage picture(unsigned w, unsigned h, unsigned seed)
{
    RasterImage img(w, h);
    for (unsigned y = 0; y < h; ++y)
        for (unsigned x = 0; x < w; ++x) {
            uint8_t* p = img.at(x, y);
            const unsigned band = (x * 4) / w;
            if (band == 0) { // black text-like bars
                p[0] = p[1] = p[2] = (y % 4 < 2) ? 0 : 255;
            } else if (band == 1) { // gray ramp
                p[0] = p[1] = p[2] = static_cast<uint8_t>(y * 255 / (h ? h : 1));
            } else { // colour pattern
                p[0] = static_cast<uint8_t>(x * 37 + seed);
                p[1] = static_cast<uint8_t>(y * 53 + seed * 7);
                p[2] = static_cast<uint8_t>((x ^ y) * 11);
            }
        }
    return img;
}

std::string raster(const std::vector<RasterImage>& pages, unsigned dpi = 300)
{
    std::string out, err;
    if (!cr80tools::rasterBytes(pages, dpi, dpi, out, &err)) {
        fprintf(stderr, "raster: %s\n", err.c_str());
        exit(1);
    }
    return out;
}

std::string jobSeed(char flags, const std::string& options, const std::string& rasterBytes)
{
    std::string s(1, flags);
    s += options;
    s.push_back('\0');
    return s + rasterBytes;
}

const char* const SmallCard = "PaperSize=CRCUSTOM IFormCustomWidth=64 IFormCustomHeight=40";

void jobSeeds()
{
    const std::string card = SmallCard;
    const RasterImage face = picture(64, 40, 1), back = picture(64, 40, 2);
    writeSeed("fuzz_job", "one_card", jobSeed(0, card, raster({face})));
    writeSeed("fuzz_job", "two_sided", jobSeed(0, card + " GDuplexMode=DUPLEX_CM", raster({face, back})));
    writeSeed("fuzz_job", "three_faces_two_sided",
              jobSeed(0, card + " GDuplexMode=DUPLEX_MC", raster({face, back, picture(64, 40, 3)})));
    writeSeed(
        "fuzz_job", "mono_ribbon",
        jobSeed(0, card + " GRibbonType=RM_KO FHalftoning=THRESHOLD FOverlayManagement=FULLVARNISH", raster({face})));
    writeSeed("fuzz_job", "dithering_black",
              jobSeed(0, card + " GRibbonType=RM_KBLACK FHalftoning=CLUSTERED_DITHERING", raster({face})));
    writeSeed(
        "fuzz_job", "text_regions",
        jobSeed(0, card + " FBlackManagement=TEXTINBLACK IFTextRegion=0x0x16x40(200);20x5x60x30", raster({face})));
    writeSeed(
        "fuzz_job", "all_black_subst",
        jobSeed(0, card + " FBlackManagement=ALLBLACKPOINT IGBlackSub=FF8000 IFBlackLevelValue=VAL40", raster({face})));
    writeSeed("fuzz_job", "passthrough_mag",
              jobSeed(0,
                      card + " passthrough='[FH,100,O]Pc;k;=;10|[ct]Ss' Track1Data=ABC123 GMagT1Encoding=ISO1"
                             " GMagCoercivity=HICO",
                      raster({face})));
    writeSeed("fuzz_job", "resized_picture", jobSeed(0, card, raster({picture(32, 20, 4)})));
    writeSeed("fuzz_job", "portrait_picture", jobSeed(0, card, raster({picture(40, 64, 5)})));
    writeSeed("fuzz_job", "dpi_600",
              jobSeed(0, card + " Resolution=DPI600300 GSmoothing=ADVSMOOTH", raster({picture(128, 40, 6)}, 600)));
    writeSeed("fuzz_job", "shifts_and_levels",
              jobSeed(0,
                      card + " GColorPanelManagement=CUSTOM IColorPanelShiftXS=5 IColorPanelShiftXE=7"
                             " GOverlayPanelManagement=CUSTOM IOverlayPanelShiftYS=2 FColorContrast=VAL15"
                             " IGSendIQLA=ON IGIQLACM=VAL42 GHighQualityMode=ON",
                      raster({face})));
    // Custom pictures, named inside fuzz_job's scratch picture directory.
    writeSeed("fuzz_job", "custom_pictures",
              jobSeed(0,
                      card + " FBlackManagement=BMPBLACK IFBlackCustom=good.bmp FOverlayManagement=BMPVARNISH"
                             " IFOverlayCustom=portrait.bmp",
                      raster({face, back})));
    writeSeed("fuzz_job", "custom_pictures_refused",
              jobSeed(0,
                      card + " GDuplexMode=DUPLEX_CC FBlackManagement=BMPBLACK IFBlackCustom=colour.bmp"
                             " BBlackManagement=BMPBLACK IBBlackCustom=fifo FOverlayManagement=BMPVARNISH"
                             " IFOverlayCustom=dir/../good.bmp BOverlayManagement=BMPVARNISH IBOverlayCustom=zero",
                      raster({face, back, picture(64, 40, 3), picture(64, 40, 4)})));
    std::string full = raster({face});
    writeSeed("fuzz_job", "truncated_pixels", jobSeed(0, card, full.substr(0, full.size() / 2)));
    writeSeed("fuzz_job", "truncated_header", jobSeed(0, card, full.substr(0, 100)));
    writeSeed("fuzz_job", "no_ppd", jobSeed(1, card + " GRibbonType=RC_YMCKOK", raster({face})));
    writeSeed("fuzz_job", "empty_raster", jobSeed(0, card, ""));
    writeSeed("fuzz_job", "not_a_raster", jobSeed(2, card, "%!PS-Adobe-3.0\nshowpage\n"));
    {
        // Header numbers that are none of their enumerations' values.
        cr80tools::RawPage page;
        page.header = cr80tools::makeHeader(face, 300, 300);
        page.data = face.rgb;
        const unsigned order = 12000, space = 99999;
        memcpy(&page.header.cupsColorOrder, &order, sizeof(order));
        memcpy(&page.header.cupsColorSpace, &space, sizeof(space));
        std::string bytes, err;
        if (!cr80tools::rawRasterBytes({page}, bytes, &err)) {
            fprintf(stderr, "raster: %s\n", err.c_str());
            exit(1);
        }
        writeSeed("fuzz_job", "enum_out_of_range", jobSeed(0, card, bytes));
    }
    {
        // A CR80 job at 600 dpi given a page of four times the card's dots
        // (31 MB as a bitmap), of which a few rows are in the stream: the
        // largest page the filter still accepts and fits to the card.
        cr80tools::RawPage page;
        const RasterImage rows = picture(4064, 6, 9);
        page.header = cr80tools::makeHeader(rows, 600, 600);
        page.header.cupsHeight = 2592;
        page.data = rows.rgb;
        std::string bytes, err;
        if (!cr80tools::rawRasterBytes({page}, bytes, &err)) {
            fprintf(stderr, "raster: %s\n", err.c_str());
            exit(1);
        }
        writeSeed("fuzz_job", "large_page_600dpi", jobSeed(4, "Resolution=600dpi", bytes));
    }
}

void optionSeeds()
{
    const char* const seeds[][2] = {
        {"defaults", ""},
        {"card_sizes", "PaperSize=CR109X54 Resolution=DPI600 GRibbonType=RC_YMCKOKOS"},
        {"custom_card", "PaperSize=CRCUSTOM IFormCustomWidth=120 IFormCustomHeight=80 IGStrictPageSetup=ON"},
        {"duplex",
         "PaperSize=CRCUSTOM IFormCustomWidth=64 IFormCustomHeight=40 Duplex=HORIZONTAL GDuplexType=DUPLEX_CM"},
        {"text_regions", "PaperSize=CRCUSTOM IFormCustomWidth=64 IFormCustomHeight=40 "
                         "IFTextRegion=1x2x3x4;5x6x7x8(300): IBTextRegion=10x20x30x40; Resolution=DPI1200300"},
        {"passthrough", "PaperSize=CRCUSTOM IFormCustomWidth=64 IFormCustomHeight=40 "
                        "passthrough='[FH,100,O]Pc;k;=;10|[ct]Ss|[DT,5,a] Pneutral' RawData='[BH]Xx|  [FT , 7 ] y'"},
        {"magnetic", "Track1Data=%ABC^123? Track2Data=;0123=45? Track3Data=999 GMagT2Encoding=JIS2 "
                     "GMagT3Encoding=C4 GMagCoercivity=LOCO"},
        {"black_subst", "IGBlackSub=ff80zz FBlackManagement=BMPBLACK BBlackManagement=ALLBLACKPOINT"},
        {"val_levels", "FColorContrast=VAL7 BColorBrightness=VAL99 FMonochromeContrast=VAL IGIQLABY=VAL42 "
                       "IGMonochromeSpeed=VAL3 IFThresholdValue=VAL30 IBDarkLevelValue=VAL1"},
        {"panels", "GShortPanelManagement=CUSTOM IShortPanelShift=-40 GMonoPanelManagement=AUTO "
                   "IMonoPanelShiftXS=2147483647 IOverlayPanelShiftYE=-2147483648 IGTextRectErr=21"},
        {"trays", "GInputTray=FEEDER GOutputTray=REJECT GRejectBox=HOPPER GFeederCfg=FEEDERC GFeederPos=AUTO "
                  "GCardPreloading=ON IGSendSpoolerSession=OFF IGSendPrintStatusDisableMode=ON"},
        {"custom_bitmaps", "IGMonoReaderType=FILE IFBlackCustom=nonexistent/black.bmp "
                           "IFOverlayCustom=../overlay.bmp FOverlayManagement=BMPVARNISH"},
        {"quoted", "passthrough=\"[CH]a\\\"b|c\" {x=1 y=2} IFTextRegion='' GSmoothing=EXADVSMOOTH"},
        {"cups_sizes", "PageSize=Custom.15.36x9.6 media=custom_86.02x54.86mm_86.02x54.86mm,Tray1 "
                       "GColorPanelManagement=_CUSTOM"},
    };
    for (const auto& s : seeds)
        writeSeed("fuzz_options", s[0], s[1]);
}

void put16(std::string& f, size_t at, unsigned v)
{
    f[at] = static_cast<char>(v & 255);
    f[at + 1] = static_cast<char>((v >> 8) & 255);
}

void put32(std::string& f, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        f[at + i] = static_cast<char>((v >> (8 * i)) & 255);
}

// A bitmap file; a negative height is top-down.
std::string bitmap(int32_t width, int32_t height, int bpp)
{
    const uint32_t w = static_cast<uint32_t>(width), h = static_cast<uint32_t>(height < 0 ? -height : height);
    const uint32_t row = bpp == 1 ? ((w + 31) / 32) * 4 : (w * 3 + 3) & ~3u;
    std::string f(54 + row * h, '\0');
    f[0] = 'B';
    f[1] = 'M';
    put32(f, 2, static_cast<uint32_t>(f.size()));
    put32(f, 10, 54);
    put32(f, 14, 40);
    put32(f, 18, w);
    put32(f, 22, static_cast<uint32_t>(height));
    put16(f, 26, 1);
    put16(f, 28, static_cast<unsigned>(bpp));
    put32(f, 34, row * h);
    for (size_t i = 54; i < f.size(); ++i)
        f[i] = static_cast<char>((i * 29) ^ (i / 7));
    return f;
}

// Settings bytes of the bitmap target: flags, card width and height codes, dpi.
std::string bitmapSeed(char flags, unsigned cardW, unsigned cardH, char dpi, const std::string& payload)
{
    std::string s;
    s.push_back(flags);
    s.push_back(static_cast<char>((cardW - 8) / 4));
    s.push_back(static_cast<char>((cardH - 8) / 4));
    s.push_back(dpi);
    return s + payload;
}

void bitmapSeeds()
{
    writeSeed("fuzz_bitmap", "colour_card_size", bitmapSeed(0, 64, 40, 0, bitmap(64, 40, 24)));
    writeSeed("fuzz_bitmap", "colour_resized", bitmapSeed(0, 64, 40, 0, bitmap(33, 17, 24)));
    writeSeed("fuzz_bitmap", "colour_portrait_aligned", bitmapSeed(1, 64, 40, 0, bitmap(40, 64, 24)));
    writeSeed("fuzz_bitmap", "mono_card_size", bitmapSeed(0x10, 64, 40, 0, bitmap(64, 40, 1)));
    writeSeed("fuzz_bitmap", "mono_resized_aligned", bitmapSeed(0x11, 64, 40, 0, bitmap(50, 30, 1)));
    writeSeed("fuzz_bitmap", "gray_strict", bitmapSeed(0x0A, 64, 40, 0, bitmap(64, 40, 24)));
    writeSeed("fuzz_bitmap", "stretch_600dpi", bitmapSeed(0x04, 64, 40, 1, bitmap(128, 40, 24)));
    writeSeed("fuzz_bitmap", "top_down", bitmapSeed(0, 64, 40, 0, bitmap(64, -40, 24)));
    writeSeed("fuzz_bitmap", "depth_8", bitmapSeed(0, 64, 40, 0, bitmap(16, 16, 8)));
    std::string full = bitmap(64, 40, 24);
    writeSeed("fuzz_bitmap", "truncated", bitmapSeed(0, 64, 40, 0, full.substr(0, full.size() - 100)));
    writeSeed("fuzz_bitmap", "header_only", bitmapSeed(0, 64, 40, 0, full.substr(0, 54)));
    std::string memory(4, '\0');
    put16(memory, 0, 20);
    put16(memory, 2, 12);
    writeSeed("fuzz_bitmap", "memory_colour",
              bitmapSeed(0x60, 64, 40, 0, memory + std::string(bitmap(20, 12, 24)).substr(54)));
    writeSeed("fuzz_bitmap", "memory_mono", bitmapSeed(0x20, 64, 40, 0, memory + bitmap(20, 12, 1).substr(54)));
}

// The printer stream of the filter for a raster and an option string.
std::string filterOutput(const std::string& filter, const std::string& ppd, const std::string& options,
                         const std::string& rasterBytes)
{
    const std::string rasterPath = corpusDir + "/.seed.ras";
    FILE* f = fopen(rasterPath.c_str(), "wb");
    if (f == nullptr || fwrite(rasterBytes.data(), 1, rasterBytes.size(), f) != rasterBytes.size())
        exit(1);
    fclose(f);
    const std::string command = "PPD='" + ppd + "' SOURCE_DATE_EPOCH=1767225600 '" + filter + "' 1 seeds seeds 1 '" +
                                options + "' '" + rasterPath + "' 2>/dev/null";
    FILE* p = popen(command.c_str(), "r");
    if (p == nullptr)
        exit(1);
    std::string out;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), p)) > 0)
        out.append(buf, n);
    pclose(p);
    unlink(rasterPath.c_str());
    if (out.empty()) {
        fprintf(stderr, "no output for options %s\n", options.c_str());
        exit(1);
    }
    return out;
}

void dbSeeds(const std::string& filter, const std::string& ppd)
{
    const std::string card = SmallCard;
    const RasterImage face = picture(64, 40, 1), back = picture(64, 40, 2);
    struct Seed {
        const char* name;
        char flags;
        std::string options;
        unsigned pages;
    };
    const Seed seeds[] = {
        {"colour_7bit", 0, card + " FOverlayManagement=FULLVARNISH", 1},
        {"colour_8bit_supervisor", 1 | 8, card + " GHighQualityMode=ON", 1},
        {"black_text_supervisor", 2 | 8, card + " FBlackManagement=ALLBLACKPOINT", 1},
        {"overlay_supervisor", 3 | 8, card + " FOverlayManagement=FULLVARNISH", 1},
        {"mono_ribbon", 2, card + " GRibbonType=RM_KO FOverlayManagement=FULLVARNISH", 1},
        {"two_sided", 0, card + " GDuplexMode=DUPLEX_CM", 2},
        {"dpi_600", 4, card + " Resolution=DPI600", 1},
    };
    for (const Seed& s : seeds) {
        std::vector<RasterImage> pages = {face};
        if (s.pages == 2)
            pages.push_back(back);
        const unsigned dpi = s.options.find("DPI600") != std::string::npos ? 600 : 300;
        if (dpi == 600)
            pages = {picture(128, 80, 3)};
        writeSeed("fuzz_dbparser", s.name,
                  std::string(1, s.flags) + filterOutput(filter, ppd, s.options, raster(pages, dpi)));
    }
    // The three header forms by hand, with short and overlong data.
    const std::string esc = "\x1b";
    writeSeed("fuzz_dbparser", "plain_header_short_data",
              std::string(1, 0) + esc + "Db;k;2;" + std::string(100, '\x55') + "\r" + esc + "Se\r");
    writeSeed("fuzz_dbparser", "extended_header",
              std::string(1, 0) + esc + "Dbx;o;2;300;300;" + std::string(64, '\xff') + "\r");
    writeSeed("fuzz_dbparser", "sized_header_two_panels",
              std::string(1, 1) + esc + "Dbxs;y;256;300;300;8;4;" + std::string(32, '\x10') + "\r" + esc +
                  "Dbxs;m;128;300;300;16;4;" + std::string(64, '\x20') + "\r" + esc + "Sv\r");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: make_seeds <corpus dir> <filter> <test PPD>\n");
        return 2;
    }
    corpusDir = argv[1];
    mkdir(corpusDir.c_str(), 0755);
    jobSeeds();
    optionSeeds();
    bitmapSeeds();
    dbSeeds(argv[2], argv[3]);
    return 0;
}
