// Shared pieces of the sample-level maker: the object textures it defines and the builders of
// rooms, meshes and records that the level assembly calls.
#pragma once

#include "sample_mesh.h"
#include "sample_pictures.h"
#include "tr_level.h"

#include <array>
#include <cstdint>
#include <vector>

// Indices of the object textures every sample defines, filled by make_textures.
struct sample_textures {
    std::uint16_t bricks, flagstones, planks, mossy_stone, grate, window, door, coffer;
    std::array<std::uint16_t, 4> water, flame, banner;
    std::uint16_t grass, sand, sky, tree, compass;
    std::uint16_t face, tartan, skin, metal, crate, leaves, leaves_mirrored, hair, leather;
    std::array<std::uint16_t, 16> checker;            // tiles A..P
    std::uint16_t checker_mirror_x, checker_mirror_y; // tiles Q and R, mirrored
    std::uint16_t checker_mirror_xy;                  // tile S, mirrored both ways
    std::array<std::uint16_t, 2> checker_halves;      // tile T as two triangles (upper left, lower right)
    std::uint16_t stone_tri, stone_tri_mirrored;      // triangles cut from the flagstones
    std::uint16_t metal_tri;                          // triangle cut from the metal plate
    std::uint16_t candle_flame;                       // the flame of the first torch frame, without the torch
};

// Colour words of coloured faces (TR1 to TR3), chosen from the level's palette.
struct sample_colours {
    int skin = -1, terracotta = -1, soil = -1, dark = -1, wax = -1;
};

// Defines the object textures into level.object_textures.
sample_textures make_textures(tr_level& level);

// Rooms with floors, walls, ceilings, lights and room statics; also the boxes, zones and overlaps
// that walk them. `static_ids` are the object ids of the static meshes placed in the rooms.
void make_rooms(tr_level& level, const sample_textures& t, const std::vector<std::uint32_t>& static_ids);

// World position of the middle of room r's floor, for placing entities and cameras.
vec3 room_centre(const tr_level& level, int room);

// Little-endian writers into raw records.
template <std::size_t N> void put16(rec<N>& r, std::size_t at, int v) {
    put_u16(&r[at], std::uint16_t(v));
}
template <std::size_t N> void put32(rec<N>& r, std::size_t at, std::int64_t v) {
    put_u32(&r[at], std::uint32_t(v));
}
template <std::size_t N> void putf(rec<N>& r, std::size_t at, float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    put_u32(&r[at], bits);
}
