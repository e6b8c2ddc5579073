// Test-only BMP file builder.
#include "bmp_builder.h"

namespace test_bmps {

namespace {

void put16(bytes& b, std::uint32_t v) {
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
void put32(bytes& b, std::uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

bmp_desc rle8(const bytes& stream) {
    return {4, 2, 8, 1, grey_palette(), 0, stream};
}
bmp_desc rle4(const bytes& stream) {
    return {4, 2, 4, 2, grey_palette(16), 0, stream};
}

// Rows are stored bottom first: runs for 5 5 7 8, end of line, then an absolute part and a run for
// 1 2 3 4 and the end of the bitmap.
const bytes sound_rle8 = {2, 5, 1, 7, 1, 8, 0, 0, 0, 3, 1, 2, 3, 0, 1, 4, 0, 1};
const bytes sound_rle4 = {2, 0x55, 2, 0x78, 0, 0, 0, 3, 0x12, 0x30, 1, 0x40, 0, 1};

} // namespace

bytes make_bmp(const bmp_desc& d) {
    const std::uint32_t offset = 14 + 40 + std::uint32_t(d.palette.size()) * 4;
    bytes b;
    b.push_back('B');
    b.push_back('M');
    put32(b, offset + std::uint32_t(d.pixels.size()));
    put32(b, 0);
    put32(b, offset);
    put32(b, 40);
    put32(b, std::uint32_t(d.width));
    put32(b, std::uint32_t(d.height));
    put16(b, 1);
    put16(b, d.bits);
    put32(b, d.compression);
    put32(b, std::uint32_t(d.pixels.size()));
    put32(b, 2835);
    put32(b, 2835);
    put32(b, d.colours_used);
    put32(b, 0);
    for (const std::uint32_t c : d.palette)
        put32(b, c);
    b.insert(b.end(), d.pixels.begin(), d.pixels.end());
    return b;
}

std::vector<std::uint32_t> grey_palette(std::size_t entries) {
    std::vector<std::uint32_t> p(entries);
    for (std::size_t i = 0; i < entries; ++i)
        p[i] = std::uint32_t(i % 16) * 0x111111u;
    return p;
}

std::vector<named_bmp> sound_palette_bmps() {
    const bytes bottom_up{0x55, 0x78, 0, 0, 0x12, 0x34, 0, 0}, top_down{0x12, 0x34, 0, 0, 0x55, 0x78, 0, 0};
    return {{"rle8", make_bmp(rle8(sound_rle8))},
            {"rle4", make_bmp(rle4(sound_rle4))},
            {"bits4", make_bmp({4, 2, 4, 0, grey_palette(16), 0, bottom_up})},
            {"bits4_top_down", make_bmp({4, -2, 4, 0, grey_palette(16), 0, top_down})}};
}

std::vector<named_bmp> malformed_bmps() {
    bmp_desc no_palette{4, 2, 8, 0, {}, 0, bytes(8, 1)};
    return {
        {"rle8_cut", make_bmp(rle8(bytes(sound_rle8.begin(), sound_rle8.begin() + 11)))},
        {"rle4_cut", make_bmp(rle4(bytes(sound_rle4.begin(), sound_rle4.begin() + 7)))},
        {"rle8_only_end", make_bmp(rle8({0, 1}))},
        {"rle8_early_end_of_line", make_bmp(rle8({2, 5, 0, 0, 4, 1, 0, 1}))},
        {"rle8_far_delta", make_bmp(rle8({4, 5, 0, 2, 200, 200, 4, 1, 0, 1}))},
        {"rle8_long_run", make_bmp(rle8({12, 5, 0, 1}))},
        {"rle4_long_run", make_bmp(rle4({9, 0x56, 0, 1}))},
        {"bits8_without_palette", make_bmp(no_palette)},
        {"bits8_colour_beyond_palette", make_bmp({4, 2, 8, 0, grey_palette(4), 4, {0, 1, 2, 3, 3, 2, 9, 0}})},
    };
}

} // namespace test_bmps
