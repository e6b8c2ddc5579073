// Reading a mesh back from a DXF file: the 3DFACE entities become the mesh's textured faces (the
// texture from each face's layer name), a vertex table is built from their corners, and normals
// (moveable meshes) or zeroed vertex lights (static meshes) are recomputed.
#pragma once

#include "mesh_list.h"
#include "user_message.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Distinct corner positions the import collects before it gives up.
inline constexpr int dxf_vertex_table_capacity = 1500;
// Larger files are refused before they are read: a full mesh needs well under a megabyte.
inline constexpr std::uintmax_t dxf_file_size_limit = 16u << 20;

// One face as read: corners in level units and the texture from the layer name.
struct dxf_face {
    std::array<mesh_vec3, 4> corners{};
    std::uint16_t texture = 0;
};

// The faces of a file: rectangles, and triangles (faces whose fourth corner repeats the third).
struct dxf_faces {
    std::vector<dxf_face> rects;
    std::vector<dxf_face> tris;
    user_message error; // empty when the file was read
};

// Texture of a layer name: the decimal number in its characters 8 to 11, 0 when they are not one.
std::uint16_t dxf_layer_texture(std::string_view layer);

// Reads the 3DFACE entities of a DXF text. Coordinates come back as trunc(X * 100),
// trunc(Z * -100), trunc(Y * -100) of the decimals as written, so 0.53 reads as 53, 1.239999 as 123
// and -0.009 as 0; a written mesh therefore reads back unchanged. A group-code line
// that is not an integer, or a coordinate that is not a number or does not fit in 16 bits, gives an
// error naming the line (1-based).
dxf_faces parse_dxf(std::string_view text);

struct dxf_mesh {
    tmesh mesh;         // the replacement, when error is empty
    user_message error; // otherwise a message fit to show; nothing was changed
};

// Builds the replacement of `current` from the faces: vertex table (rectangle corners first, then
// triangle corners, each distinct position once), faces with effects word 0, no coloured faces,
// zeroed vertex lights for a static mesh or computed normals for a moveable mesh, bounds measured.
// Centre, radius and offset are kept. Refuses, with a message, faces or vertices beyond the mesh
// entry's capacities (501 vertices, 501 rectangles, 301 triangles) and a file without faces.
dxf_mesh mesh_from_dxf(const dxf_faces& faces, const tmesh& current, bool is_static);

// Reads a file and builds the replacement of `current`; unreadable, empty, binary or oversized
// files are refused with a message.
dxf_mesh read_dxf_file(const std::string& path, const tmesh& current, bool is_static);

// Normals of an imported moveable mesh: per face (rectangles, then triangles) the unit normal of
// its first three corners times -16300, blended half-and-half into each corner's running normal.
void compute_dxf_normals(tmesh& mesh);
