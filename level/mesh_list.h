// mesh_list: the level's mesh data parsed into tmesh records, the bounds measure,
// and the rebuild of mesh_words and mesh_pointers before saving.
#pragma once

#include "tr_level.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Capacities of a mesh as the model states them. Meshes are held in growable storage,
// so a level is not refused for exceeding these; editing commands that add vertices or faces
// (DXF import, face conversion) keep within them.
inline constexpr int mesh_vertex_capacity = 501;   // vertices, normals, vertex lights
inline constexpr int mesh_tex_rect_capacity = 501; // textured rectangles
inline constexpr int mesh_face_capacity = 301;     // textured triangles, coloured faces

// Hard limit of every face list: selection names encode face i of a list as band + i with bands
// of 1000, so a list may hold at most 1000 faces. A level with a longer list is
// refused by build_mesh_list, and rebuild_mesh_words refuses to write one.
inline constexpr int mesh_face_list_limit = 1000;

// Bounds before measuring.
inline constexpr double mesh_bounds_min_start = 2144883647.0;
inline constexpr double mesh_bounds_max_start = -2144883648.0;

using mesh_vec3 = std::array<std::int16_t, 3>; // x, y, z

// One mesh. Each array holds exactly its count (the set_num_* helpers keep them together); a
// face slot holds the face's words little-endian: rectangles four vertex indices, texture word,
// effects word (TR4/TRC) or colour word; triangles three indices, texture/colour, effects.
struct tmesh {
    std::uint32_t offset = 0; // byte offset inside mesh_words
    mesh_vec3 centre{};
    std::int32_t radius = 0;
    std::int16_t num_vertices = 0;
    std::vector<mesh_vec3> vertices;
    std::int16_t num_normals = 0;     // > 0 normals; < 0 minus the number of vertex lights
    std::vector<mesh_vec3> normals;   // used when num_normals > 0
    std::vector<std::int16_t> lights; // used when num_normals < 0
    std::int16_t num_tex_rects = 0;
    std::vector<rec<12>> tex_rects;
    std::int16_t num_tex_tris = 0;
    std::vector<rec<10>> tex_tris;
    std::int16_t num_col_rects = 0; // TR1-TR3
    std::vector<rec<12>> col_rects;
    std::int16_t num_col_tris = 0; // TR1-TR3
    std::vector<rec<10>> col_tris;
    std::array<double, 3> bounds_min{mesh_bounds_min_start, mesh_bounds_min_start, mesh_bounds_min_start};
    std::array<double, 3> bounds_max{mesh_bounds_max_start, mesh_bounds_max_start, mesh_bounds_max_start};
    std::array<double, 3> bounds_shift{};
    // The mesh's byte size in the data it was read from (filler included; 0 for a mesh made in
    // memory) and the filler word read after it. While the mesh keeps that size the filler is
    // written back as read: some files hold non-zero bytes there.
    std::uint32_t read_size = 0;
    std::uint16_t read_filler = 0;

    // Set-count helpers: store the count and size the array (new elements zeroed).
    void set_num_vertices(std::int16_t n);
    void set_num_normals(std::int16_t n); // negative: -n vertex lights, no normals
    void set_num_tex_rects(std::int16_t n);
    void set_num_tex_tris(std::int16_t n);
    void set_num_col_rects(std::int16_t n);
    void set_num_col_tris(std::int16_t n);

    bool operator==(const tmesh&) const = default;
};

// Word i (0-based, u16) of a face slot, and its setter.
template <std::size_t N> inline std::uint16_t face_word(const rec<N>& face, int i) {
    return get_u16(&face[std::size_t(2 * i)]);
}
template <std::size_t N> inline void set_face_word(rec<N>& face, int i, std::uint16_t v) {
    put_u16(&face[std::size_t(2 * i)], v);
}
// Texture (or colour) word of a rectangle (word 4) and of a triangle (word 3).
inline std::uint16_t rect_texture(const rec<12>& r) {
    return face_word(r, 4);
}
inline std::uint16_t tri_texture(const rec<10>& t) {
    return face_word(t, 3);
}

class mesh_list {
  public:
    std::vector<tmesh> meshes;
    // One entry per mesh pointer: the index of the tmesh the pointer designates (0 when none).
    std::vector<std::int32_t> mesh_index;

    // View settings.
    std::uint8_t render_mode = 2;       // 0 wireframe, 1 solid, 2 textured, 3 points
    std::uint16_t solid_texture = 3999; // the solid-mode texture's name
    std::uint8_t lights_enabled = 0;
    std::array<std::uint8_t, 3> line_colour{};

    std::uint32_t count() const { return std::uint32_t(meshes.size()); }
    void clear() {
        meshes.clear();
        mesh_index.clear();
    }
};

// Byte sizes of the mesh faces in mesh_words for a game version.
inline int mesh_rect_size(std::int32_t game_version) {
    return game_version >= game_tr4 ? 12 : 10;
}
inline int mesh_tri_size(std::int32_t game_version) {
    return game_version >= game_tr4 ? 10 : 8;
}
inline bool mesh_has_coloured_faces(std::int32_t game_version) {
    return game_version < game_tr4;
}

// Parses level.mesh_words into the list (meshes, bounds measured) and fills mesh_index from the
// mesh pointers. Throws level_error, leaving the list unchanged, when the mesh data is truncated
// (a mesh runs past the end of the data), a count is negative, or a face list exceeds
// mesh_face_list_limit; the message names the mesh and what is wrong.
void build_mesh_list(mesh_list& list, const tr_level& level);

// Writes the meshes back into level.mesh_words (offsets recomputed; a mesh of unchanged size
// keeps the filler it was read with, other fillers are zero) and sets every
// mesh pointer to the new offset of its mesh. Throws level_error, leaving list and level
// unchanged, when a mesh is not writable (counts negative, above the face-list limit, or larger
// than the mesh's arrays).
void rebuild_mesh_words(mesh_list& list, tr_level& level);

// Byte size of a mesh in mesh_words for a game version, filler included.
std::uint32_t mesh_byte_size(const tmesh& mesh, std::int32_t game_version);

// Checks that a mesh can be written for a game version; returns an empty string when it can,
// otherwise a message naming what is wrong (`mesh_number` is used in the message).
std::string check_mesh(const tmesh& mesh, std::int32_t game_version, std::size_t mesh_number);

// Index of the first mesh whose offset equals `offset`; 0 when none does (and on an empty list,
// where the caller must not use the result). O(log n): the offsets ascend, as build_mesh_list and
// rebuild_mesh_words leave them.
std::int32_t find_mesh_by_offset(const mesh_list& list, std::uint32_t offset);

// Measures bounds_min, bounds_max and bounds_shift of one mesh: the view coordinates
// (x / 100, -(y / 100), -(z / 100), single precision) of every vertex used by a face. Does
// nothing for a negative or out-of-range mesh number. Face corners whose vertex index is not a
// vertex of the mesh are not counted.
void measure_bounds(mesh_list& list, int mesh);
