// How the 3D view reads a tmesh: view coordinates, the texture and texture coordinates of a face,
// selection names and their decoding, and the greys of lit vertices.
#pragma once

#include "mesh_list.h"
#include "tr_level.h"

#include <array>
#include <cstdint>

// OpenGL texture name of the solid-mode texture (object texture i uses i + 1).
inline constexpr std::uint16_t SOLID_TEXTURE_NAME = 3999;

// Render modes carried by mesh_list::render_mode.
enum : std::uint8_t { mode_wireframe = 0, mode_solid = 1, mode_textured = 2, mode_points = 3 };

// Code bands of the element kinds in a selection name's high half.
inline constexpr int code_tex_tri = 1000;
inline constexpr int code_col_rect = 2000;
inline constexpr int code_col_tri = 3000;

// A level vertex in view units: x / d + sx, -(y / d) + sy, -(z / d) + sz, the division in
// single precision.
inline std::array<float, 3> view_position(const mesh_vec3& v, float d, double sx, double sy, double sz) {
    return {float(double(float(v[0]) / d) + sx), float(double(-(float(v[1]) / d)) + sy),
            float(double(-(float(v[2]) / d)) + sz)};
}

// Selection name of an element: low half mesh number + 1, high half the element code. A mesh
// number the low half cannot hold (65535 and above) gets name 0, which picks nothing: its name
// would otherwise designate another mesh, and a click would edit that one.
constexpr std::uint32_t selection_name(int mesh, int code) {
    if (mesh < 0 || mesh >= 0xFFFF) return 0;
    return (std::uint32_t(std::uint16_t(code)) << 16) | std::uint16_t(mesh + 1);
}

enum class element_kind { tex_rect, tex_tri, col_rect, col_tri };

struct decoded_name {
    int mesh = -1;          // low half minus 1
    std::uint16_t code = 0; // high half (a vertex number in points mode)
    element_kind kind = element_kind::tex_rect;
    int face = 0; // index within the face's own list
    bool coloured() const { return kind == element_kind::col_rect || kind == element_kind::col_tri; }
    bool triangle() const { return kind == element_kind::tex_tri || kind == element_kind::col_tri; }
};

constexpr decoded_name decode_name(std::uint32_t name) {
    decoded_name d;
    d.mesh = int(name & 0xFFFF) - 1;
    d.code = std::uint16_t(name >> 16);
    if (d.code < code_tex_tri) {
        d.kind = element_kind::tex_rect, d.face = d.code;
    } else if (d.code < code_col_rect) {
        d.kind = element_kind::tex_tri, d.face = d.code - code_tex_tri;
    } else if (d.code < code_col_tri) {
        d.kind = element_kind::col_rect, d.face = d.code - code_col_rect;
    } else {
        d.kind = element_kind::col_tri, d.face = d.code - code_col_tri;
    }
    return d;
}

// Object texture named by a face's texture word (its low 12 bits).
constexpr int object_texture_of(std::uint16_t texture_word) {
    return texture_word & 0x0FFF;
}

// OpenGL texture bound for a textured face in the list's render mode, -1 for none. A texture
// word naming an object texture the level does not have shows the solid-mode texture.
int face_texture_name(const mesh_list& list, const tr_level& level, std::uint16_t texture_word);

// Texture coordinates of the corners of a face: corner k of the object texture gives s = 1 on its
// high x side and t = 1 on its high y side, else 0 (corner_sides: from the corners' pixel positions,
// the fraction bytes deciding only where those coincide). A texture the level does not have maps
// the face vertices onto the corners (0,0), (1,0), (1,1), (0,1).
std::array<std::array<float, 2>, 4> face_tex_coords(const tr_level& level, std::uint16_t texture_word);

// Grey of a lit vertex from its light value: below TR3 L / 128.498039, from TR3 min(L, 8191) /
// 32.121568, truncated towards zero, low 8 bits.
std::uint8_t vertex_grey(std::int32_t game_version, std::int16_t light);

// True when every vertex index of a face names a vertex of the mesh; faces that do not are not
// drawn (they cannot be shown, and their indices would read outside the vertex list).
template <std::size_t N> bool face_vertices_valid(const tmesh& mesh, const rec<N>& face, int corners) {
    for (int k = 0; k < corners; ++k)
        if (face_word(face, k) >= mesh.vertices.size()) return false;
    return true;
}
