// Renderable-mesh rules: face textures, texture coordinates, vertex greys.
#include "mesh_view.h"

#include "texture_table.h"

#include <algorithm>
#include <cmath>

int face_texture_name(const mesh_list& list, const tr_level& level, std::uint16_t texture_word) {
    switch (list.render_mode) {
    case mode_solid:
        return list.solid_texture;
    case mode_textured: {
        const int n = object_texture_of(texture_word);
        if (std::size_t(n) >= level.object_textures.size()) return list.solid_texture;
        return n + 1;
    }
    default:
        return -1;
    }
}

std::array<std::array<float, 2>, 4> face_tex_coords(const tr_level& level, std::uint16_t texture_word) {
    const std::size_t n = std::size_t(object_texture_of(texture_word));
    if (n >= level.object_textures.size()) return {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}};
    const auto sides = corner_sides(level.object_textures[n]);
    std::array<std::array<float, 2>, 4> out{};
    for (std::size_t k = 0; k < 4; ++k)
        out[k] = {sides[k].x_high ? 1.0f : 0.0f, sides[k].y_high ? 1.0f : 0.0f};
    return out;
}

std::uint8_t vertex_grey(std::int32_t game_version, std::int16_t light) {
    long double c;
    if (game_version < game_tr3) {
        c = (long double)light / 128.498039L;
    } else {
        c = (long double)std::min<std::int16_t>(light, 8191) / 32.121568L;
    }
    return std::uint8_t(static_cast<long long>(std::trunc(c)) & 0xFF);
}
