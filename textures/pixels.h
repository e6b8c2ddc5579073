// Texture pixel formats and their exact conversions: 16-bit page pixels, the 5-6-5 display copy,
// 24-bit colours, palette8, writing edited pages back into the level, and the upload layout.
#pragma once

#include "texture_result.h"
#include "tr_level.h"

#include <QImage>
#include <QList>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

inline constexpr int page_size = 256;
inline constexpr std::size_t page_pixels = 65536;
inline constexpr std::size_t page8_bytes = 65536;
inline constexpr std::size_t page16_bytes = 131072;
inline constexpr std::size_t page32_bytes = 262144;

// Display value of a transparent page pixel: magenta (red 31, green 0, blue 31).
inline constexpr std::uint16_t key_colour = 0xF81F;

// A little-endian page word, loaded in a form the compiler vectorises.
inline std::uint16_t load_u16le(const std::uint8_t* p) {
    if constexpr (std::endian::native == std::endian::little) {
        std::uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    } else {
        return std::uint16_t(p[0] | (p[1] << 8));
    }
}

struct rgb8 {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const rgb8&) const = default;
};

// One pages16 value (bit 15 alpha, 5-5-5) to a display value (5-6-5). Transparent pixels become
// the key colour; opaque near-black (all channels <= 2) is lifted to 3, 3, 3 so that it cannot
// read as transparent on the way back; green's lowest display bit is 0.
constexpr std::uint16_t page16_to_display_pixel(std::uint16_t v) {
    // Branch-free (selects and bitwise tests) so that whole-page loops vectorise.
    const unsigned b = v & 0x1Fu, g = (v >> 5) & 0x1Fu, r = (v >> 10) & 0x1Fu;
    const bool dark = (r <= 2) & (g <= 2) & (b <= 2);
    const unsigned opaque = dark ? 0x18C3u : (r << 11) | (g << 6) | b; // 0x18C3: 3, 3, 3
    return std::uint16_t((v & 0x8000u) ? opaque : unsigned(key_colour));
}

// One display value back to a pages16 value. Near-black (unless keep_black) and near-magenta
// pixels are transparent (0); everything else is opaque. Green's lowest display bit is dropped.
constexpr std::uint16_t display_to_page16_pixel(std::uint16_t v, bool keep_black) {
    const unsigned b = v & 0x1Fu, g = (v >> 6) & 0x1Fu, r = unsigned(v) >> 11;
    const bool dark = !keep_black & (r <= 2) & (g <= 2) & (b <= 2);
    const bool magenta = (b >= 29) & (g <= 2) & (r >= 29); // r and b are at most 31
    return std::uint16_t((dark | magenta) ? 0u : 0x8000u | (r << 10) | (g << 5) | b);
}

// 24-bit colour to display: each channel keeps its high bits (5, 6, 5), the rest is dropped.
constexpr std::uint16_t rgb_to_display(rgb8 c) {
    return std::uint16_t(((c.r >> 3) << 11) | ((c.g >> 2) << 5) | (c.b >> 3));
}

// Display value to 24-bit: each channel's bits are repeated into the low bits, so 31 gives 255
// and rgb_to_display(display_to_rgb(v)) == v for every v.
constexpr rgb8 display_to_rgb(std::uint16_t v) {
    unsigned r = v >> 11, g = (v >> 5) & 0x3F, b = v & 0x1F;
    return {std::uint8_t((r << 3) | (r >> 2)), std::uint8_t((g << 2) | (g >> 4)),
            std::uint8_t((b << 3) | (b >> 2))};
}

// In place over whole arrays, one pass, no allocation.
void page16_to_display(std::uint16_t* pixels, std::size_t count);
void display_to_page16(std::uint16_t* pixels, std::size_t count, bool keep_black);
// pages16 bytes (little-endian words) to display values, into `pixels`.
void page16_bytes_to_display(const std::uint8_t* bytes, std::uint16_t* pixels, std::size_t count);

// The 256 colours of palette8 (channels 0..63) as 8-bit colours: 4 x value, low 8 bits kept.
QList<QRgb> make_palette8(const std::array<std::uint8_t, 768>& palette8);
// Display value of each palette8 entry, as the all-pages bitmap shows it.
std::array<std::uint16_t, 256> palette8_display(const std::array<std::uint8_t, 768>& palette8);

// Reduces colours to palette8 indices. Metric: the smallest squared Euclidean RGB distance to
// each entry's colour as displayed (5-6-5, bits repeated to 8), ties to the lowest index. A
// pixel showing exactly an entry's display colour therefore maps to the lowest entry with that
// display colour, so every palette index survives whose display colour is unique.
class palette_matcher {
  public:
    explicit palette_matcher(const std::array<std::uint8_t, 768>& palette8);
    std::uint8_t nearest(rgb8 c);

  private:
    std::array<rgb8, 256> shown_{};
    std::unordered_map<std::uint32_t, std::uint8_t> cache_;
};

// Marks every non-zero pages16 pixel opaque (bit 15), for game versions 3 and above.
void set_alpha_bits(tr_level& level);

// Number of whole pages every page buffer of the level's version actually holds (at most
// num_pages); reads and writes of page pixels stay within it.
std::uint32_t stored_pages(const tr_level& level);

// The 32-bit page pixel (blue, green, red, alpha) written for a colour: alpha 255, or all four
// bytes 0 when the colour counts as transparent in the 16-bit rule.
std::array<std::uint8_t, 4> page32_pixel(rgb8 c);

// Writes a 256-wide all-pages bitmap (height a multiple of 256, any pixel format) into the
// level's page arrays from row 0; pages below its height are left alone. A pixel whose colour
// is still exactly the one the level's display copy gives it is left untouched in every page
// array, so unedited pixels keep their stored values (palette index, alpha, 32-bit precision).
// Other pixels are converted: nearest palette8 entry (versions below 6), display_to_page16 of
// the 5-6-5 colour (3 and above), page32_pixel (6 and 7). Refuses a bitmap of the wrong shape
// or taller than the level's pages, leaving the level unchanged.
texture_result write_pages(tr_level& level, const QImage& bitmap);

// Pixel buffer handed to OpenGL for one texture: blue, green, red (bits 16 or 24; any other
// value but 32 counts as 16) or blue, green, red, 255 (bits 32), top row first, rows packed.
// A side that is not 8, 16, 32, 64, 128 or 256 makes the bitmap stretch to 64 x 64.
struct upload_pixels {
    int width = 0, height = 0;
    int bytes_per_pixel = 3;
    std::vector<std::uint8_t> data; // the pixels, when this record owns them
    // Otherwise the pixels inside a block shared by many textures (object_texture_uploads).
    const std::uint8_t* shared = nullptr;
    const std::uint8_t* pixels() const { return shared ? shared : data.data(); }
};
bool is_upload_side(int n);
upload_pixels prepare_upload(const QImage& bitmap, int bits);

// A copy of any image as 24-bit RGB; a 5-6-5 image converts with display_to_rgb exactly.
QImage to_rgb888(const QImage& image);
// A copy of any image as 5-6-5 display pixels, each colour converted with rgb_to_display.
QImage to_display(const QImage& image);
