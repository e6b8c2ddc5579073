// Texture table building, texture geometry and texture piece extraction.
#include "texture_table.h"

#include "pixels.h"

#include <algorithm>
#include <cstring>

bool is_triangle(const tobject_texture& t) {
    const auto& c = t.corners;
    const auto& c4 = c[3];
    if (c4.x_pixel == 0 && c4.y_pixel == 0) return true;
    // Zero fraction bytes mark an unused corner only where the other corners' bytes are in use:
    // some files hold 0 in every fraction byte of every texture.
    const bool fractions_used =
        c[0].x_frac | c[0].y_frac | c[1].x_frac | c[1].y_frac | c[2].x_frac | c[2].y_frac;
    return fractions_used && c4.x_frac == 0 && c4.y_frac == 0;
}

bool is_triangle(const tr_level& level, int i) {
    return is_triangle(level.object_textures.at(std::size_t(i)));
}

texture_rect texture_bounds(const tobject_texture& t) {
    const bool three = is_triangle(t);
    texture_rect r{255, 255, 0, 0};
    for (int n = 0; n < 4; ++n) {
        const auto& c = t.corners[std::size_t(three && n == 3 ? 2 : n)];
        r.left = std::min<int>(r.left, c.x_pixel);
        r.right = std::max<int>(r.right, c.x_pixel);
        r.top = std::min<int>(r.top, c.y_pixel);
        r.bottom = std::max<int>(r.bottom, c.y_pixel);
    }
    return r;
}

texture_rect texture_bounds(const tr_level& level, int i) {
    return texture_bounds(level.object_textures.at(std::size_t(i)));
}

std::array<corner_side, 4> corner_sides(const tobject_texture& t) {
    const std::size_t used = is_triangle(t) ? 3 : 4;
    int x_low = 255, x_high = 0, y_low = 255, y_high = 0;
    for (std::size_t k = 0; k < used; ++k) {
        const auto& c = t.corners[k];
        x_low = std::min<int>(x_low, c.x_pixel), x_high = std::max<int>(x_high, c.x_pixel);
        y_low = std::min<int>(y_low, c.y_pixel), y_high = std::max<int>(y_high, c.y_pixel);
    }
    std::array<corner_side, 4> sides{};
    for (std::size_t k = 0; k < 4; ++k) {
        const auto& c = t.corners[k];
        const bool from_pixels = k < used;
        sides[k].x_high = from_pixels && x_low != x_high ? c.x_pixel == x_high : c.x_frac > 1;
        sides[k].y_high = from_pixels && y_low != y_high ? c.y_pixel == y_high : c.y_frac > 1;
    }
    return sides;
}

mirror_state texture_mirror(const tobject_texture& t) {
    const auto sides = corner_sides(t);
    const corner_side &c1 = sides[0], &c3 = sides[2];
    if (!is_triangle(t)) return {c1.x_high, c1.y_high};
    return {c1.x_high && !c3.x_high, c1.y_high && !c3.y_high};
}

std::array<std::array<int, 2>, 3> triangle_outline(const tobject_texture& t, int width, int height) {
    const auto sides = corner_sides(t);
    std::array<std::array<int, 2>, 3> points{};
    for (std::size_t k = 0; k < 3; ++k)
        points[k] = {sides[k].x_high ? width - 1 : 1, sides[k].y_high ? height - 1 : 1};
    return points;
}

texture_rect hit_rect(const tobject_texture& t) {
    const auto &c1 = t.corners[0], &c2 = t.corners[1], &c3 = t.corners[2];
    int x1 = c1.x_pixel, y1 = c1.y_pixel;
    int x2 = c3.x_pixel == c1.x_pixel ? c2.x_pixel : c3.x_pixel;
    int y2 = c3.y_pixel == c1.y_pixel ? c2.y_pixel : c3.y_pixel;
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    return {x1, y1, x2, y2};
}

std::string texture_list_text(int index) {
    return "Texture#" + std::to_string(index);
}

std::string page_list_text(int page) {
    return "Page#" + std::to_string(page + 1);
}

QImage build_pages_bitmap(const tr_level& level) {
    const int pages = int(level.num_pages);
    QImage out(page_size, pages * page_size, QImage::Format_RGB16);
    if (pages == 0) return out;
    const std::size_t count = std::size_t(pages) * page_pixels;
    auto* dst = reinterpret_cast<std::uint16_t*>(out.bits()); // 256 wide: rows are packed
    if (level.game_version >= game_tr2) {
        const std::size_t have = std::min(count, level.pages16.size() / 2);
        const std::uint8_t* src = level.pages16.data();
        page16_bytes_to_display(src, dst, have);
        std::fill(dst + have, dst + count, key_colour);
    } else {
        const auto shown = palette8_display(level.palette8);
        const std::size_t have = std::min(count, level.pages8.size());
        for (std::size_t i = 0; i < have; ++i)
            dst[i] = shown[level.pages8[i]];
        std::fill(dst + have, dst + count, shown[0]);
    }
    return out;
}

QImage copy_page_rect(const QImage& pages, int page, const texture_rect& r) {
    return pages.copy(r.left, page * page_size + r.top, r.width(), r.height());
}

std::int32_t table_texture_count(const tr_level& level) {
    return std::int32_t(std::min<std::size_t>(level.object_textures.size(), 0x7FFFFFFF));
}

texture_table build_texture_table(tr_level& level) {
    texture_table table;
    table.valid_mark = "Valido";
    table.texture_count = table_texture_count(level);
    table.piece_index = -1;
    table.piece_bitmap = QImage(0, 0, QImage::Format_RGB16);
    table.pages_bitmap = build_pages_bitmap(level);
    table.level = &level;
    return table;
}

const QImage& texture_bitmap(texture_table& table, int i) {
    if (i >= 0 && i == table.piece_index) return table.piece_bitmap;
    if (i < 0 || i >= table.texture_count || !table.level ||
        std::size_t(i) >= table.level->object_textures.size()) {
        table.piece_bitmap = QImage(4, 4, QImage::Format_RGB16);
        table.piece_bitmap.fill(Qt::white);
        table.piece_index = -1; // the cached piece has just been replaced by the white square
        return table.piece_bitmap;
    }
    const tobject_texture& t = table.level->object_textures[std::size_t(i)];
    QImage piece = copy_page_rect(table.pages_bitmap, texture_page(t), texture_bounds(t));
    const mirror_state m = texture_mirror(t);
    if (m.left_right || m.top_bottom) piece = piece.mirrored(m.left_right, m.top_bottom);
    table.piece_bitmap = piece;
    table.piece_index = i;
    return table.piece_bitmap;
}

QImage gl_texture_piece(const QImage& pages, const tr_level& level, int i, std::uint16_t page_mask) {
    const tobject_texture& t = level.object_textures.at(std::size_t(i));
    return to_rgb888(copy_page_rect(pages, t.page & page_mask, texture_bounds(t)));
}
