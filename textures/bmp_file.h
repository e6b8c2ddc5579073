// BMP file headers and the complete decoding of palette bitmaps (1, 4 and 8 bits; uncompressed,
// RLE8 and RLE4), without Qt, so that every pixel of an imported palette bitmap is defined.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Largest bitmap accepted: at most 2^26 pixels in all, up to 65536 wide and as tall as that allows,
// so the all-pages bitmap of a level of up to 1024 pages (256 x 262144) can be imported.
inline constexpr long long bmp_max_side = 65536;
inline constexpr long long bmp_max_pixels = 1ll << 26;

enum : unsigned { bmp_rgb = 0, bmp_rle8 = 1, bmp_rle4 = 2, bmp_bitfields = 3, bmp_alpha_bitfields = 6 };

struct bmp_header {
    long long width = 0, height = 0; // height made positive
    bool top_down = false;
    unsigned bits = 0, compression = bmp_rgb;
    std::size_t pixel_offset = 0;
    // Colours of a palette bitmap as 0xRRGGBB: the entries the file holds before its pixel data.
    std::vector<std::uint32_t> palette;
    bool indexed() const { return bits <= 8; }
};

// Reads and checks the headers of a BMP file. Returns an empty string when the file can be decoded,
// otherwise what is wrong with it, worded to follow "cannot be used: " (e.g. "it is not a BMP file").
// Nothing is allocated in proportion to the sizes the file claims.
std::string read_bmp_header(std::span<const std::uint8_t> file, bmp_header& header);

// A decoded palette bitmap: one palette index per pixel, top row first.
struct bmp_indexed {
    int width = 0, height = 0;
    std::vector<std::uint32_t> palette; // 0xRRGGBB
    std::vector<std::uint8_t> indices;
};

// Decodes the pixels of a palette bitmap whose header read_bmp_header accepted. Compressed data must
// set every pixel exactly once: a stream that ends early, leaves pixels unset (early end of line or
// of bitmap, a delta jump) or runs past the picture is refused, as is a pixel naming a colour the
// palette does not have. Returns an empty string on success; `out` is changed only then.
std::string decode_indexed_bmp(std::span<const std::uint8_t> file, const bmp_header& header,
                               bmp_indexed& out);
