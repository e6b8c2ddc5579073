// Texture pixel conversions, palette8 reduction, page write-back and the upload pixel layout.
#include "pixels.h"

#include <algorithm>
#include <cstring>

// Whole-page loops get an AVX2 clone picked at load time where the processor has it.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define VELLUM_PIXEL_LOOP __attribute__((target_clones("avx2", "default")))
#else
#define VELLUM_PIXEL_LOOP
#endif

VELLUM_PIXEL_LOOP void page16_to_display(std::uint16_t* pixels, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        pixels[i] = page16_to_display_pixel(pixels[i]);
}

VELLUM_PIXEL_LOOP void page16_bytes_to_display(const std::uint8_t* bytes, std::uint16_t* pixels,
                                               std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        pixels[i] = page16_to_display_pixel(load_u16le(bytes + 2 * i));
}

VELLUM_PIXEL_LOOP void display_to_page16(std::uint16_t* pixels, std::size_t count, bool keep_black) {
    if (keep_black) {
        for (std::size_t i = 0; i < count; ++i)
            pixels[i] = display_to_page16_pixel(pixels[i], true);
    } else {
        for (std::size_t i = 0; i < count; ++i)
            pixels[i] = display_to_page16_pixel(pixels[i], false);
    }
}

QList<QRgb> make_palette8(const std::array<std::uint8_t, 768>& palette8) {
    QList<QRgb> colours(256);
    for (int k = 0; k < 256; ++k) {
        const std::uint8_t* e = &palette8[std::size_t(k) * 3];
        colours[k] = qRgb((4 * e[0]) & 0xFF, (4 * e[1]) & 0xFF, (4 * e[2]) & 0xFF);
    }
    return colours;
}

std::array<std::uint16_t, 256> palette8_display(const std::array<std::uint8_t, 768>& palette8) {
    std::array<std::uint16_t, 256> out{};
    const QList<QRgb> colours = make_palette8(palette8);
    for (int k = 0; k < 256; ++k) {
        const QRgb c = colours[k];
        out[std::size_t(k)] =
            rgb_to_display({std::uint8_t(qRed(c)), std::uint8_t(qGreen(c)), std::uint8_t(qBlue(c))});
    }
    return out;
}

palette_matcher::palette_matcher(const std::array<std::uint8_t, 768>& palette8) {
    const auto shown = palette8_display(palette8);
    for (std::size_t k = 0; k < 256; ++k)
        shown_[k] = display_to_rgb(shown[k]);
}

std::uint8_t palette_matcher::nearest(rgb8 c) {
    const std::uint32_t key = (std::uint32_t(c.r) << 16) | (std::uint32_t(c.g) << 8) | c.b;
    if (auto it = cache_.find(key); it != cache_.end()) return it->second;
    int best = 0;
    int best_distance = 1 << 30;
    for (int k = 0; k < 256; ++k) {
        const rgb8& p = shown_[std::size_t(k)];
        const int dr = int(c.r) - p.r, dg = int(c.g) - p.g, db = int(c.b) - p.b;
        const int d = dr * dr + dg * dg + db * db;
        if (d < best_distance) {
            best_distance = d;
            best = k;
            if (d == 0) break;
        }
    }
    cache_.emplace(key, std::uint8_t(best));
    return std::uint8_t(best);
}

void set_alpha_bits(tr_level& level) {
    if (level.game_version < game_tr2) return;
    const std::size_t count =
        std::min<std::size_t>(std::size_t(level.num_pages) * page_pixels, level.pages16.size() / 2);
    std::uint8_t* p = level.pages16.data();
    for (std::size_t i = 0; i < count; ++i) {
        std::uint16_t v = get_u16(p + 2 * i);
        if (v != 0) put_u16(p + 2 * i, std::uint16_t(v | 0x8000));
    }
}

std::uint32_t stored_pages(const tr_level& level) {
    std::size_t n = level.num_pages;
    if (level.game_version < game_tr4) n = std::min(n, level.pages8.size() / page8_bytes);
    if (level.game_version >= game_tr2) n = std::min(n, level.pages16.size() / page16_bytes);
    if (level.game_version >= game_tr4) n = std::min(n, level.pages32.size() / page32_bytes);
    return std::uint32_t(n);
}

std::array<std::uint8_t, 4> page32_pixel(rgb8 c) {
    if (display_to_page16_pixel(rgb_to_display(c), false) == 0) return {0, 0, 0, 0};
    return {c.b, c.g, c.r, 255};
}

QImage to_rgb888(const QImage& image) {
    if (image.format() != QImage::Format_RGB16) return image.convertToFormat(QImage::Format_RGB888);
    QImage out(image.size(), QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y) {
        const auto* src = reinterpret_cast<const std::uint16_t*>(image.constScanLine(y));
        std::uint8_t* dst = out.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            const rgb8 c = display_to_rgb(src[x]);
            dst[3 * x] = c.r, dst[3 * x + 1] = c.g, dst[3 * x + 2] = c.b;
        }
    }
    return out;
}

QImage to_display(const QImage& image) {
    if (image.format() == QImage::Format_RGB16) return image.copy();
    const QImage rgb = to_rgb888(image);
    QImage out(rgb.size(), QImage::Format_RGB16);
    for (int y = 0; y < rgb.height(); ++y) {
        const std::uint8_t* src = rgb.constScanLine(y);
        auto* dst = reinterpret_cast<std::uint16_t*>(out.scanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            dst[x] = rgb_to_display({src[3 * x], src[3 * x + 1], src[3 * x + 2]});
    }
    return out;
}

texture_result write_pages(tr_level& level, const QImage& bitmap) {
    if (bitmap.isNull() || bitmap.width() != page_size || bitmap.height() % page_size != 0)
        return texture_result::failure(say(msg::bitmap_page_shape));
    const std::uint32_t pages = std::uint32_t(bitmap.height() / page_size);
    if (pages > stored_pages(level)) return texture_result::failure(say(msg::bitmap_more_pages));

    const int version = level.game_version;
    const bool has8 = version < game_tr4, has16 = version >= game_tr2, has32 = version >= game_tr4;
    const bool source565 = bitmap.format() == QImage::Format_RGB16;
    const QImage source = source565 ? bitmap : bitmap.convertToFormat(QImage::Format_RGB888);
    const auto shown8 = palette8_display(level.palette8);
    palette_matcher matcher(level.palette8);

    for (int y = 0; y < source.height(); ++y) {
        const std::uint8_t* row = source.constScanLine(y);
        for (int x = 0; x < page_size; ++x) {
            const std::size_t i = std::size_t(y) * page_size + std::size_t(x);
            const std::uint16_t current =
                has16 ? page16_to_display_pixel(load_u16le(&level.pages16[2 * i])) : shown8[level.pages8[i]];
            rgb8 colour;
            std::uint16_t shown;
            if (source565) {
                shown = reinterpret_cast<const std::uint16_t*>(row)[x];
                if (shown == current) continue; // unedited: keep the stored pixel
                colour = display_to_rgb(shown);
            } else {
                colour = {row[3 * x], row[3 * x + 1], row[3 * x + 2]};
                if (display_to_rgb(current) == colour) continue;
                shown = rgb_to_display(colour);
            }
            if (has8) level.pages8[i] = matcher.nearest(colour);
            if (has16) put_u16(&level.pages16[2 * i], display_to_page16_pixel(shown, false));
            if (has32) {
                const auto p = page32_pixel(colour);
                std::memcpy(&level.pages32[4 * i], p.data(), 4);
            }
        }
    }
    return texture_result::success();
}

bool is_upload_side(int n) {
    return n == 8 || n == 16 || n == 32 || n == 64 || n == 128 || n == 256;
}

upload_pixels prepare_upload(const QImage& bitmap, int bits) {
    QImage source = to_rgb888(bitmap);
    if (source.isNull()) {
        source = QImage(64, 64, QImage::Format_RGB888);
        source.fill(Qt::black);
    }
    if (!is_upload_side(source.width()) || !is_upload_side(source.height()))
        source = source.scaled(64, 64, Qt::IgnoreAspectRatio, Qt::FastTransformation);

    upload_pixels out;
    out.width = source.width();
    out.height = source.height();
    out.bytes_per_pixel = bits == 32 ? 4 : 3;
    out.data.resize(std::size_t(out.width) * std::size_t(out.height) * std::size_t(out.bytes_per_pixel));
    std::uint8_t* dst = out.data.data();
    for (int y = 0; y < out.height; ++y) {
        const std::uint8_t* src = source.constScanLine(y);
        for (int x = 0; x < out.width; ++x) {
            *dst++ = src[3 * x + 2];
            *dst++ = src[3 * x + 1];
            *dst++ = src[3 * x];
            if (out.bytes_per_pixel == 4) *dst++ = 255;
        }
    }
    return out;
}
