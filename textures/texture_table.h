// The texture table: the 5-6-5 display copy of all pages with a one-entry cache of one texture
// piece, and the geometry of object textures (bounding box, three corners, mirror, hit rectangle).
#pragma once

#include "tr_level.h"

#include <QImage>
#include <array>
#include <cstdint>
#include <string>

// Inclusive pixel rectangle on one page (page-relative).
struct texture_rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
    bool contains(const texture_rect& o) const {
        return left <= o.left && top <= o.top && right >= o.right && bottom >= o.bottom;
    }
    bool operator==(const texture_rect&) const = default;
};

struct mirror_state {
    bool left_right = false, top_bottom = false;
    bool operator==(const mirror_state&) const = default;
};

// The edge a texture corner lies on: right (x_high) or left, bottom (y_high) or top.
struct corner_side {
    bool x_high = false, y_high = false;
    bool operator==(const corner_side&) const = default;
};

// Three corners: corner 4's pixels are both 0, or its fraction bytes are both 0 while corners 1 to
// 3 have a non-zero fraction byte (in textures whose fraction bytes are all 0 they tell nothing).
bool is_triangle(const tobject_texture& t);
bool is_triangle(const tr_level& level, int i);
// Bounds over the corners' pixels (corner 3 stands in for corner 4 of a three-corner texture).
texture_rect texture_bounds(const tobject_texture& t);
texture_rect texture_bounds(const tr_level& level, int i);
// Side of each corner, read from its pixel position among the texture's corners (corners 1 to 3 of
// a three-corner texture): the corners at the largest value lie on the high side. Only when those
// corners all share one value does the fraction byte decide (greater than 1: high side), as it does
// for corner 4 of a three-corner texture. Files holding 1 and 255 in the fraction bytes read the same
// either way; files holding 127 in every used fraction byte read correctly only from the pixels.
std::array<corner_side, 4> corner_sides(const tobject_texture& t);
// Mirrored left-right / top-bottom: corner 1 on the high side; for a three-corner texture, and
// corner 3 not on it.
mirror_state texture_mirror(const tobject_texture& t);
// Where the preview of a three-corner texture (width x height) draws corners 1 to 3 of its white
// outline: at x = width - 1 on the high side, else 1; at y = height - 1 on the high side, else 1.
std::array<std::array<int, 2>, 3> triangle_outline(const tobject_texture& t, int width, int height);
// Rectangle a click on the page view tests: corners 1 and 3, or 1 and 2 where 3 repeats 1.
texture_rect hit_rect(const tobject_texture& t);
inline std::uint16_t texture_page(const tobject_texture& t) {
    return t.page & 0x7FFF;
}

// "Texture#" and the index: the texture list's text for one entry.
std::string texture_list_text(int index);
// "Page#" and the page's number counted from 1: the page selector's text for page `page`.
std::string page_list_text(int page);

// All pages of the level as display pixels (Format_RGB16), 256 x num_pages * 256; pixels the
// level's buffers do not hold show as the key colour (16-bit versions) or palette entry 0.
QImage build_pages_bitmap(const tr_level& level);

// The inclusive rectangle r of page `page` of an all-pages bitmap, unscaled, in the bitmap's
// format. Parts outside the bitmap come out as 0.
QImage copy_page_rect(const QImage& pages, int page, const texture_rect& r);

class texture_table {
  public:
    std::string valid_mark;
    QImage pages_bitmap; // Format_RGB16
    QImage piece_bitmap; // Format_RGB16
    std::int32_t piece_index = -1;
    std::int32_t texture_count = 0;
    tr_level* level = nullptr;

    int page_count() const { return pages_bitmap.height() / 256; }
};

texture_table build_texture_table(tr_level& level);
// The table's count of object textures for `level`.
std::int32_t table_texture_count(const tr_level& level);

// The pixels of object texture i, mirrored as it is shown; the table keeps the bitmap. An index
// outside the table gives a 4 x 4 white bitmap.
const QImage& texture_bitmap(texture_table& table, int i);

// The unmirrored bounding-box piece of object texture i as OpenGL receives it (24-bit), with the
// page taken from `page & page_mask`.
QImage gl_texture_piece(const QImage& pages, const tr_level& level, int i, std::uint16_t page_mask = 0x0FFF);
