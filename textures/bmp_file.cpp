// BMP header checks and palette-bitmap decoding (uncompressed, RLE8, RLE4).
#include "bmp_file.h"

#include <algorithm>

namespace {

std::uint16_t u16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}
std::uint32_t u32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

constexpr const char* ends_early = "its compressed pixel data ends early";
constexpr const char* runs_past = "its compressed pixel data runs past the picture";
constexpr const char* leaves_unset = "its compressed pixel data leaves pixels undefined";
constexpr const char* unknown_colour = "its pixels use colours its colour table does not have";

unsigned long long row_bytes(long long width, unsigned bits) {
    return (unsigned long long)((width * bits + 31) / 32) * 4;
}

// Writes pixels in the order a compressed stream delivers them: rows from the bottom, left to right.
class rle_canvas {
  public:
    rle_canvas(std::vector<std::uint8_t>& indices, std::size_t width, std::size_t height)
        : indices_(indices), width_(width), height_(height) {}

    bool put(std::uint8_t v) {
        if (x_ >= width_ || y_ >= height_) return false;
        indices_[(height_ - 1 - y_) * width_ + x_] = v;
        ++x_;
        ++written_;
        return true;
    }
    bool row_done() const { return x_ == width_; }
    void next_row() { x_ = 0, ++y_; }
    bool complete() const { return written_ == width_ * height_; }
    // True when a jump by (dx, dy) stays within the picture (its end included).
    bool jump_fits(std::size_t dx, std::size_t dy) const { return x_ + dx <= width_ && y_ + dy < height_; }

  private:
    std::vector<std::uint8_t>& indices_;
    std::size_t width_, height_;
    std::size_t x_ = 0, y_ = 0, written_ = 0;
};

// RLE8 (four = false) or RLE4 (four = true), the data running to the end of the file.
const char* decode_rle(const std::uint8_t* p, const std::uint8_t* end, bool four, rle_canvas& canvas) {
    const auto value = [four](std::uint8_t byte, std::size_t i) -> std::uint8_t {
        if (!four) return byte;
        return i % 2 == 0 ? std::uint8_t(byte >> 4) : std::uint8_t(byte & 0x0F);
    };
    for (;;) {
        if (end - p < 2) return canvas.complete() ? nullptr : ends_early; // end-of-bitmap optional
        const std::uint8_t count = p[0], code = p[1];
        p += 2;
        if (count > 0) { // a run of one value (RLE4: two alternating nibbles)
            for (std::size_t i = 0; i < count; ++i)
                if (!canvas.put(value(code, i))) return runs_past;
            continue;
        }
        switch (code) {
        case 0: // end of line
            if (!canvas.row_done()) return leaves_unset;
            canvas.next_row();
            break;
        case 1: // end of bitmap
            return canvas.complete() ? nullptr : leaves_unset;
        case 2: { // delta: the pixels jumped over would stay undefined
            if (end - p < 2) return ends_early;
            const std::size_t dx = p[0], dy = p[1];
            p += 2;
            if (dx == 0 && dy == 0) break;
            return canvas.jump_fits(dx, dy) ? leaves_unset : runs_past;
        }
        default: { // absolute: `code` literal values, padded to a whole word
            const std::size_t bytes = four ? (std::size_t(code) + 1) / 2 : code;
            if (std::size_t(end - p) < bytes) return ends_early;
            for (std::size_t i = 0; i < code; ++i)
                if (!canvas.put(value(p[four ? i / 2 : i], i))) return runs_past;
            p += std::min<std::size_t>(bytes + (bytes & 1), std::size_t(end - p));
        }
        }
    }
}

} // namespace

std::string read_bmp_header(std::span<const std::uint8_t> file, bmp_header& header) {
    const std::uint8_t* p = file.data();
    const std::size_t size = file.size();
    if (size < 26 || p[0] != 'B' || p[1] != 'M') return "it is not a BMP file";
    bmp_header h;
    h.pixel_offset = u32(p + 10);
    const std::uint32_t info_size = u32(p + 14);
    std::size_t entry_size = 4;
    if (info_size == 12) {
        h.width = u16(p + 18), h.height = u16(p + 20), h.bits = u16(p + 24);
        entry_size = 3;
    } else if (info_size >= 40 && 14ull + info_size <= size) {
        h.width = std::int32_t(u32(p + 18)), h.height = std::int32_t(u32(p + 22));
        h.bits = u16(p + 28), h.compression = u32(p + 30);
    } else {
        return "its header is damaged";
    }
    if (h.height < 0) h.height = -h.height, h.top_down = true;
    if (h.width <= 0 || h.height <= 0 || h.width > bmp_max_side || h.height > bmp_max_pixels ||
        h.width * h.height > bmp_max_pixels)
        return "its size is not usable";
    if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 16 && h.bits != 24 && h.bits != 32)
        return "its bit depth is not supported";

    switch (h.compression) {
    case bmp_rgb:
        break;
    case bmp_rle8:
    case bmp_rle4:
        if (h.bits != (h.compression == bmp_rle8 ? 8u : 4u))
            return "its compression does not fit its bit depth";
        if (h.top_down) return "it is compressed but stored top-down";
        break;
    case bmp_bitfields:
    case bmp_alpha_bitfields:
        if (h.bits != 16 && h.bits != 32) return "its compression does not fit its bit depth";
        break;
    default:
        return "its compression is not supported";
    }

    if (h.compression == bmp_rle8 || h.compression == bmp_rle4) {
        if (h.pixel_offset >= size) return "its pixel data is missing";
        // Two bytes of a compressed stream set at most 255 pixels.
        const unsigned long long most = (unsigned long long)(size - h.pixel_offset) / 2 * 255;
        if ((unsigned long long)(h.width * h.height) > most) return ends_early;
    } else if (h.pixel_offset > size ||
               row_bytes(h.width, h.bits) * (unsigned long long)h.height > size - h.pixel_offset) {
        return "its pixel data is cut short";
    }

    if (h.indexed()) {
        const std::uint32_t used = info_size >= 40 ? u32(p + 46) : 0;
        const std::size_t declared = used == 0 ? std::size_t(1) << h.bits : std::min<std::size_t>(used, 256);
        const std::size_t start = 14 + std::size_t(info_size);
        const std::size_t room = h.pixel_offset > start ? (h.pixel_offset - start) / entry_size : 0;
        const std::size_t count = std::min(declared, room);
        if (count == 0) return "it has no colour table";
        h.palette.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* e = p + start + i * entry_size;
            h.palette[i] = (std::uint32_t(e[2]) << 16) | (std::uint32_t(e[1]) << 8) | e[0];
        }
    }
    header = std::move(h);
    return {};
}

std::string decode_indexed_bmp(std::span<const std::uint8_t> file, const bmp_header& header,
                               bmp_indexed& out) {
    if (!header.indexed() || header.palette.empty()) return "it has no colour table";
    const std::size_t width = std::size_t(header.width), height = std::size_t(header.height);
    std::vector<std::uint8_t> indices(width * height);
    const std::uint8_t* data = file.data() + header.pixel_offset;

    if (header.compression == bmp_rle8 || header.compression == bmp_rle4) {
        rle_canvas canvas(indices, width, height);
        if (const char* problem =
                decode_rle(data, file.data() + file.size(), header.compression == bmp_rle4, canvas))
            return problem;
    } else {
        const std::size_t stride = row_bytes(header.width, header.bits);
        const unsigned bits = header.bits, mask = (1u << bits) - 1;
        for (std::size_t y = 0; y < height; ++y) {
            const std::uint8_t* row = data + (header.top_down ? y : height - 1 - y) * stride;
            std::uint8_t* dst = &indices[y * width];
            for (std::size_t x = 0; x < width; ++x) {
                const std::size_t bit = x * bits;
                dst[x] = std::uint8_t((row[bit / 8] >> (8 - bits - bit % 8)) & mask);
            }
        }
    }

    const std::size_t colours = header.palette.size();
    if (colours < 256 &&
        std::any_of(indices.begin(), indices.end(), [colours](std::uint8_t v) { return v >= colours; }))
        return unknown_colour;
    out.width = int(width);
    out.height = int(height);
    out.palette = header.palette;
    out.indices = std::move(indices);
    return {};
}
