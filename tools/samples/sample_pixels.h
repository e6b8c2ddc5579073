// Conversion of drawn pictures into the level's page formats: a 256-colour palette with 8-bit
// pages (index 0 transparent), 16-bit ARGB1555 pages and 32-bit BGRA pages.
#pragma once

#include "sample_pictures.h"

#include <array>
#include <cstdint>
#include <vector>

// A palette of 256 entries, each red, green, blue in 0..63, and the pages indexed through it.
struct indexed_pages {
    std::array<std::uint8_t, 768> palette{}; // entry 0 is the transparent colour (black)
    std::vector<std::uint8_t> pixels;        // 65536 bytes a page
};

// Chooses up to 255 colours by median cut over the opaque pixels of all pages and maps every
// pixel to its nearest entry; transparent pixels (alpha below 128) become index 0.
indexed_pages index_pages(const std::vector<picture>& pages);

// The palette entry (1..255) nearest to an 8-bit colour.
std::uint8_t nearest_index(const std::array<std::uint8_t, 768>& palette, int r, int g, int b);

// 16-bit pixels: bit 15 opaque, 5 bits each of red, green, blue; a transparent pixel is 0.
std::uint16_t to_argb1555(rgba c);
std::vector<std::uint8_t> pages16_of(const std::vector<picture>& pages);
// 32-bit pixels: blue, green, red, alpha; a transparent pixel is all zero.
std::vector<std::uint8_t> pages32_of(const std::vector<picture>& pages);

// The 32 × 256 light map of TR1 to TR3: for each of 32 light levels (0 brightest), the palette
// index nearest to each palette colour darkened to that level. Index 0 stays 0.
std::array<std::uint8_t, 8192> light_map_of(const std::array<std::uint8_t, 768>& palette);
