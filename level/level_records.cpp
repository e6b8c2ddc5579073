// Moveable and static-mesh record layouts.
#include "level_records.h"

namespace {
// Byte positions in the static-mesh record.
constexpr std::size_t static_mesh_at = 4;
constexpr std::size_t visibility_box_at = 6;
constexpr std::size_t collision_box_at = 18;
constexpr std::size_t flags_at = 30;

std::size_t box_at(box_kind kind) {
    return kind == box_kind::visibility ? visibility_box_at : collision_box_at;
}

static_box read_box(const rec<32>& r, std::size_t at) {
    static_box b{};
    for (std::size_t i = 0; i < b.size(); ++i)
        b[i] = get_i16(&r[at + 2 * i]);
    return b;
}
} // namespace

moveable_fields read_moveable(const rec<18>& r) {
    return {get_u32(&r[0]), get_u16(&r[4]), get_u16(&r[6]), get_u32(&r[8]), get_u32(&r[12]), get_u16(&r[16])};
}

static_mesh_fields read_static_mesh(const rec<32>& r) {
    return {get_u32(&r[0]), get_u16(&r[static_mesh_at]), read_box(r, visibility_box_at),
            read_box(r, collision_box_at), get_u16(&r[flags_at])};
}

void set_static_box_coordinate(rec<32>& r, box_kind kind, int coordinate, std::int16_t value) {
    if (coordinate < 0 || coordinate >= 6) return;
    put_u16(&r[box_at(kind) + 2 * std::size_t(coordinate)], std::uint16_t(value));
}

void set_static_flags(rec<32>& r, std::uint16_t flags) {
    put_u16(&r[flags_at], flags);
}
