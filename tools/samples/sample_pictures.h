// Procedurally drawn texture pages of the sample levels: bricks, stone, wood, water and flame
// frames, a face, cloth, a crate, a lettered checker and a title banner, with transparent areas.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
    bool operator==(const rgba&) const = default;
};

// A picture of w × h pixels, top row first. Alpha 0 marks a transparent pixel.
struct picture {
    int w = 0, h = 0;
    std::vector<rgba> px;

    picture() = default;
    picture(int width, int height, rgba fill = {})
        : w(width), h(height), px(std::size_t(width) * height, fill) {}
    rgba& at(int x, int y) { return px[std::size_t(y) * w + x]; }
    const rgba& at(int x, int y) const { return px[std::size_t(y) * w + x]; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
};

// Where a picture sits on its page, in pixels (inclusive left/top, exclusive width/height).
struct page_rect {
    int page = 0, x = 0, y = 0, w = 0, h = 0;
};

// The four texture pages every sample level carries (256 × 256 each):
// 0 architecture, 1 scenery with the title banner, 2 figure and props, 3 lettered checker.
// `title` is written on the banner below the program's name (e.g. "TR4").
std::vector<picture> draw_sample_pages(const std::string& title);
// The two extra 32-bit pages of TR4 and TRC levels: a sky and a font sheet.
std::vector<picture> draw_misc_pages();

// Places of the pictures on the pages, for the object textures that use them.
namespace sample_art {
inline constexpr page_rect bricks{0, 0, 0, 64, 64};
inline constexpr page_rect flagstones{0, 64, 0, 64, 64};
inline constexpr page_rect planks{0, 128, 0, 64, 64};
inline constexpr page_rect mossy_stone{0, 192, 0, 64, 64};
inline constexpr page_rect water(int frame) {
    return {0, 64 * frame, 64, 64, 64};
}
inline constexpr page_rect flame(int frame) {
    return {0, 64 * frame, 128, 64, 64};
}
inline constexpr page_rect grate{0, 0, 192, 64, 64};
inline constexpr page_rect window{0, 64, 192, 64, 64};
inline constexpr page_rect door{0, 128, 192, 64, 64};
inline constexpr page_rect coffer{0, 192, 192, 64, 64};

inline constexpr page_rect banner(int part) {
    return {1, 64 * part, 0, 64, 64};
}
inline constexpr page_rect grass{1, 0, 64, 64, 64};
inline constexpr page_rect sand{1, 64, 64, 64, 64};
inline constexpr page_rect sky{1, 128, 64, 128, 64};
inline constexpr page_rect tree{1, 0, 128, 128, 128};
inline constexpr page_rect compass{1, 128, 128, 128, 128};

inline constexpr page_rect face{2, 0, 0, 128, 128};
inline constexpr page_rect tartan{2, 128, 0, 128, 64};
inline constexpr page_rect leather{2, 128, 64, 128, 64};
inline constexpr page_rect skin{2, 0, 128, 64, 64};
inline constexpr page_rect metal{2, 64, 128, 64, 64};
inline constexpr page_rect crate{2, 128, 128, 128, 128};
inline constexpr page_rect leaves{2, 0, 192, 64, 64};
inline constexpr page_rect hair{2, 64, 192, 64, 64};

// Checker tile n (0..63) of page 3: 32 × 32, labelled A..Z then 0..37.
inline constexpr page_rect checker(int n) {
    return {3, 32 * (n % 8), 32 * (n / 8), 32, 32};
}
} // namespace sample_art

// Bitmap font used on the pages: 5 × 7 glyphs for A-Z, 0-9, space and '-'.
// Draws `text` with its top-left at (x, y), each font pixel a scale × scale block.
void draw_text(picture& pic, int x, int y, const std::string& text, int scale, rgba colour);
// Width in pixels of `text` drawn at `scale`.
int text_width(const std::string& text, int scale);
