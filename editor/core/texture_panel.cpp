// Texture panel operations on the level's object textures.
#include "texture_panel.h"

#include "mesh_list.h"
#include "texture_table.h"
#include "tr_level.h"

#include <utility>

int texture_at(const tr_level& level, int page, int x, int y) {
    for (std::size_t i = 0; i < level.object_textures.size(); ++i) {
        const auto& t = level.object_textures[i];
        if (texture_page(t) != page) continue;
        const auto r = hit_rect(t);
        if (x >= r.left && x <= r.right && y >= r.top && y <= r.bottom) return int(i);
    }
    return -1;
}

namespace {

// Whether a flip mirrors only corners 1 to 3. A four-corner texture flipped so that its corner 4
// lands on page pixel (0, 0) reads as three-cornered afterwards, yet its corner 4 keeps the fraction
// bytes of a corner in use: flipping it back must exchange all four corners again, or the corner is
// lost.
bool flips_three_corners(const tobject_texture& t) {
    const auto& c4 = t.corners[3];
    const bool corner4_marked = c4.x_frac != 0 || c4.y_frac != 0;
    return is_triangle(t) && !(c4.x_pixel == 0 && c4.y_pixel == 0 && corner4_marked);
}

} // namespace

void flip_horizontal(tobject_texture& t) {
    auto& c = t.corners;
    if (flips_three_corners(t)) {
        const auto b = texture_bounds(t);
        for (int k = 0; k < 3; ++k) {
            c[k].x_pixel = std::uint8_t(b.left + b.right - c[k].x_pixel);
            if (c[k].x_frac == 1 || c[k].x_frac == 255) c[k].x_frac = std::uint8_t(256 - c[k].x_frac);
        }
        return;
    }
    auto swap_x = [&](int a, int b) {
        std::swap(c[a].x_pixel, c[b].x_pixel);
        std::swap(c[a].x_frac, c[b].x_frac);
    };
    swap_x(0, 1);
    swap_x(2, 3);
}

void flip_vertical(tobject_texture& t) {
    auto& c = t.corners;
    if (flips_three_corners(t)) {
        const auto b = texture_bounds(t);
        for (int k = 0; k < 3; ++k) {
            c[k].y_pixel = std::uint8_t(b.top + b.bottom - c[k].y_pixel);
            if (c[k].y_frac == 1 || c[k].y_frac == 255) c[k].y_frac = std::uint8_t(256 - c[k].y_frac);
        }
        return;
    }
    auto swap_y = [&](int a, int b) {
        std::swap(c[a].y_pixel, c[b].y_pixel);
        std::swap(c[a].y_frac, c[b].y_frac);
    };
    swap_y(0, 3);
    swap_y(1, 2);
}

void page_selection::press(int x, int y) {
    // A new press marks nothing until the mouse moves: a SHIFT+click must not define the rectangle
    // of an earlier drag, which the hidden frame no longer shows.
    start = end = {x, y};
    selecting = true;
}

bool page_selection::move(int x, int y) {
    if (!selecting || x > 256 || y > 256) return false;
    end = {x, y};
    return true;
}

std::string page_position_text(int x, int y) {
    return " X=" + std::to_string(x + 1) + "    Y=" + std::to_string(y + 1);
}

int define_mouse_selected(tr_level& level, int page, const page_selection& sel, user_message& message) {
    const auto s = sel.start, e = sel.end;
    if (page < 0 || std::uint32_t(page) >= level.num_pages) {
        message = say(msg::select_page_first);
        return -1;
    }
    // The corners are bytes on a 256-pixel page: the rectangle must be non-empty and on the page.
    if (s.x < 0 || s.y < 0 || e.x <= s.x || e.y <= s.y || e.x > 256 || e.y > 256) {
        message = say(msg::mark_rectangle_first);
        return -1;
    }
    const std::uint32_t index = level.num_object_textures;
    level.set_num_object_textures(index + 1);
    auto& t = level.object_textures[index];
    t = tobject_texture{};
    t.page = std::uint16_t(page);
    const auto x1 = std::uint8_t(s.x), y1 = std::uint8_t(s.y);
    const auto x2 = std::uint8_t(e.x - 1), y2 = std::uint8_t(e.y - 1);
    t.corners[0] = {1, x1, 1, y1};
    t.corners[1] = {255, x2, 1, y1};
    t.corners[2] = {255, x2, 255, y2};
    t.corners[3] = {1, x1, 255, y2};
    return int(index);
}

user_message apply_intensity_alpha(tr_level& level, const mesh_list& meshes,
                                   const std::vector<int>& mesh_numbers) {
    if (level.game_version <= game_tr2_gold) return say(msg::intensity_alpha_old_game);
    auto mark = [&](std::uint16_t word) {
        const std::size_t i = word & 0x0FFF;
        if (i < level.object_textures.size()) level.object_textures[i].attribute = 2;
    };
    for (int m : mesh_numbers) {
        if (m < 0 || std::size_t(m) >= meshes.meshes.size()) continue;
        const auto& mesh = meshes.meshes[std::size_t(m)];
        for (const auto& r : mesh.tex_rects)
            mark(rect_texture(r));
        for (const auto& t : mesh.tex_tris)
            mark(tri_texture(t));
    }
    return {};
}
