// Test-only BMP file builder: writes BMP files byte by byte (any header values, palette and pixel
// stream, sound or damaged), and the damaged compressed bitmaps that imports must refuse.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace test_bmps {

using bytes = std::vector<std::uint8_t>;

struct bmp_desc {
    int width = 4, height = 2; // negative height: top-down rows
    unsigned bits = 8;
    unsigned compression = 0;           // 0 plain, 1 RLE8, 2 RLE4
    std::vector<std::uint32_t> palette; // 0xRRGGBB entries written after the header
    std::uint32_t colours_used = 0;     // the header's colour count (0: 2^bits)
    bytes pixels;                       // the pixel data, written as given
};

// A BMP file with a 40-byte header; the pixel data follows the palette directly.
bytes make_bmp(const bmp_desc& desc);

// Grey levels: every channel of entry i is 17 * (i mod 16).
std::vector<std::uint32_t> grey_palette(std::size_t entries = 256);

struct named_bmp {
    std::string name;
    bytes file;
};
// Sound palette bitmaps, all showing the same 4 x 2 picture (top row 1 2 3 4, bottom row 5 5 7 8 in
// palette indices): RLE8, RLE4, and plain 4-bit rows stored bottom-up and top-down.
std::vector<named_bmp> sound_palette_bmps();
// Malformed ones: streams cut short (RLE8, RLE4), only the end-of-bitmap marker, an early end of
// line, a delta far past the picture, a run longer than the row, an 8-bit bitmap without a colour
// table and one whose pixel names a colour its table lacks.
std::vector<named_bmp> malformed_bmps();

} // namespace test_bmps
