// Named access to the fixed moveable (18-byte) and static-mesh (32-byte) records, so that no
// caller reads them by byte offset.
#pragma once

#include "tr_level.h"

#include <array>
#include <cstdint>

// Moveable record fields.
struct moveable_fields {
    std::uint32_t object_id = 0;
    std::uint16_t num_meshes = 0;
    std::uint16_t first_mesh = 0; // mesh pointer of the first mesh (index into mesh_index)
    std::uint32_t mesh_tree = 0;
    std::uint32_t frame_offset = 0;
    std::uint16_t animation = 0;
};
moveable_fields read_moveable(const rec<18>& r);

// The two boxes a static mesh carries.
enum class box_kind : std::uint8_t { visibility = 0, collision = 1 };

// min x, max x, min y, max y, min z, max z in level units.
using static_box = std::array<std::int16_t, 6>;

// Static mesh record fields.
struct static_mesh_fields {
    std::uint32_t object_id = 0;
    std::uint16_t mesh = 0; // mesh pointer (index into mesh_index)
    static_box visibility_box{};
    static_box collision_box{};
    std::uint16_t flags = 0;

    const static_box& box(box_kind kind) const {
        return kind == box_kind::visibility ? visibility_box : collision_box;
    }
};
static_mesh_fields read_static_mesh(const rec<32>& r);

// Writers for the fields the editor changes. `coordinate` 0..5 follows static_box's order; other
// values change nothing.
void set_static_box_coordinate(rec<32>& r, box_kind kind, int coordinate, std::int16_t value);
void set_static_flags(rec<32>& r, std::uint16_t flags);
