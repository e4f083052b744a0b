// Bitmap file and info headers as they lie in a bitmap file (little endian,
// packed).
#pragma once

#include "Windows.h"

#pragma pack(push, 1)
struct TAVBMPFILEHEADER {
    byte magic[2];
    dword filesz;
    word creator1;
    word creator2;
    dword bmp_offset;
};

struct TAVBMPINFOHEADER {
    dword biSize;
    int32_t biWidth;
    int32_t biHeight;
    word biPlanes;
    word biBitCount;
    dword biCompression;
    dword biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    dword biClrUsed;
    dword biClrImportant;
};
#pragma pack(pop)

static_assert(sizeof(TAVBMPFILEHEADER) == 14, "bitmap file header is 14 bytes");
static_assert(sizeof(TAVBMPINFOHEADER) == 40, "bitmap info header is 40 bytes");
