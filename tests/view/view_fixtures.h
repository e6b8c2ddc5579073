// Small in-memory levels and meshes for the view tests.
#pragma once

#include "mesh_list.h"
#include "tr_level.h"

#include <array>
#include <cstdint>
#include <vector>

namespace view_test {

rec<12> rect(std::uint16_t v0, std::uint16_t v1, std::uint16_t v2, std::uint16_t v3, std::uint16_t word);
rec<10> tri(std::uint16_t v0, std::uint16_t v1, std::uint16_t v2, std::uint16_t word);

struct mesh_shape {
    std::vector<mesh_vec3> vertices;
    std::vector<rec<12>> tex_rects;
    std::vector<rec<10>> tex_tris;
    std::vector<rec<12>> col_rects;
    std::vector<rec<10>> col_tris;
    std::vector<std::int16_t> lights; // vertex lights instead of normals when not empty
};
tmesh make_mesh(const mesh_shape& shape);

// A loaded level of the given version with `textures` object textures, each a four-corner
// texture whose corners run top-left, top-right, bottom-right, bottom-left on page 0.
tr_level make_level(std::int32_t game_version, int textures);

// Appends a mesh to the list, measures it and makes a mesh pointer designate it.
int add_mesh(mesh_list& list, const mesh_shape& shape);

// Appends a moveable record.
void add_moveable(tr_level& level, std::uint16_t num_meshes, std::uint16_t first_mesh,
                  std::uint32_t tree_index, std::uint32_t frame_offset);

// Appends a static-mesh record with its two boxes (min x, max x, min y, max y, min z, max z).
void add_static(tr_level& level, std::uint16_t mesh_index, const std::array<std::int16_t, 6>& visibility,
                const std::array<std::int16_t, 6>& collision);

// A square facing the viewer (clockwise as seen from +z), from (x0, y0) to (x1, y1) at depth z,
// in level units (y down, z away from the viewer).
mesh_shape square(int x0, int y0, int x1, int y1, int z, std::uint16_t word);

} // namespace view_test
