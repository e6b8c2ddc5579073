// Small in-memory levels and meshes for the face-edit and mesh-command tests.
#pragma once

#include "mesh_list.h"
#include "mesh_view.h"
#include "tr_level.h"

#include <initializer_list>
#include <vector>

namespace editing_fixtures {

// A face record: its corners' vertex indices, then the texture word and the effects word.
template <std::size_t Size, int Corners>
rec<Size> face(std::initializer_list<std::uint16_t> v, std::uint16_t texture, std::uint16_t effects) {
    rec<Size> r{};
    int i = 0;
    for (auto x : v)
        set_face_word(r, i++, x);
    set_face_word(r, Corners, texture);
    set_face_word(r, Corners + 1, effects);
    return r;
}

// A rectangle (four vertex indices, texture word, effects word) and a triangle.
inline rec<12> rect(std::initializer_list<std::uint16_t> v, std::uint16_t texture, std::uint16_t effects = 0) {
    return face<12, 4>(v, texture, effects);
}
inline rec<10> tri(std::initializer_list<std::uint16_t> v, std::uint16_t texture, std::uint16_t effects = 0) {
    return face<10, 3>(v, texture, effects);
}

// A mesh of eight vertices with `rects` textured rectangles and `tris` textured triangles
// (vertex indices counting up, texture word 1), `col_rects`/`col_tris` coloured faces, and eight
// vertex lights of 100 when `lit`, otherwise eight normals.
inline tmesh make_mesh(int rects, int tris, int col_rects = 0, int col_tris = 0, bool lit = false) {
    tmesh m;
    m.set_num_vertices(8);
    for (int i = 0; i < 8; ++i)
        m.vertices[std::size_t(i)] = {std::int16_t(i * 100), std::int16_t(-i * 50), std::int16_t(i * 10)};
    if (lit) {
        m.set_num_normals(-8);
        for (auto& l : m.lights)
            l = 100;
    } else {
        m.set_num_normals(8);
    }
    m.set_num_tex_rects(std::int16_t(rects));
    for (int i = 0; i < rects; ++i)
        m.tex_rects[std::size_t(i)] = rect({std::uint16_t(i % 8), std::uint16_t((i + 1) % 8),
                                            std::uint16_t((i + 2) % 8), std::uint16_t((i + 3) % 8)},
                                           1);
    m.set_num_tex_tris(std::int16_t(tris));
    for (int i = 0; i < tris; ++i)
        m.tex_tris[std::size_t(i)] =
            tri({std::uint16_t(i % 8), std::uint16_t((i + 1) % 8), std::uint16_t((i + 2) % 8)}, 1);
    m.set_num_col_rects(std::int16_t(col_rects));
    for (int i = 0; i < col_rects; ++i)
        m.col_rects[std::size_t(i)] = rect({7, 6, 5, std::uint16_t(i % 8)}, 0x1234);
    m.set_num_col_tris(std::int16_t(col_tris));
    for (int i = 0; i < col_tris; ++i)
        m.col_tris[std::size_t(i)] = tri({5, 6, std::uint16_t(i % 8)}, 0x4321);
    return m;
}

// A level of `game` with `textures` object textures and `moveable_meshes` meshes: one moveable
// made of all of them, and one static mesh on the last.
struct edit_level {
    tr_level level;
    mesh_list meshes;
};
inline edit_level make_level(std::int32_t game, int textures, std::vector<tmesh> meshes) {
    edit_level e;
    e.level.game_version = game;
    e.level.set_num_object_textures(std::uint32_t(textures));
    e.meshes.meshes = std::move(meshes);
    const auto n = std::uint32_t(e.meshes.meshes.size());
    for (std::uint32_t i = 0; i < n; ++i)
        e.meshes.mesh_index.push_back(std::int32_t(i));
    e.level.set_num_moveables(1);
    put_u16(&e.level.moveables[0][4], std::uint16_t(n));
    put_u16(&e.level.moveables[0][6], 0);
    e.level.set_num_static_meshes(1);
    put_u16(&e.level.static_meshes[0][4], std::uint16_t(n - 1));
    return e;
}

inline decoded_name face(int mesh, int code) {
    return decode_name(selection_name(mesh, code));
}

} // namespace editing_fixtures
