// Rooms of the sample levels: three closed rooms (a hall with a pyramid, a gallery with the title
// banner, a garden) with vertex lighting, a light each, room statics, sectors and boxes.
#include "sample_parts.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int sector = 1024;

struct wall_panel {
    int wall, row, index; // wall 0..3 (see below), row 0 upper / 1 lower, segment from the viewer's left
    std::uint16_t texture;
};

struct room_plan {
    int world_x, world_z;
    int nx, nz;                          // sectors, including the wall sectors around the edge
    std::vector<std::uint16_t> floor;    // cycled over the floor sectors
    std::uint16_t ceiling, lower, upper; // default wall textures of the two rows
    std::vector<wall_panel> panels;
    bool pyramid = false;
    std::vector<std::pair<int, vec3>> statics; // static mesh number, position inside the room
};

// The room's common geometry before it is put into the version's record forms.
struct room_geometry {
    std::vector<vec3> vertices;
    std::vector<std::array<std::uint16_t, 5>> rects; // four vertices, texture
    std::vector<std::array<std::uint16_t, 4>> tris;  // three vertices, texture

    std::uint16_t vertex(vec3 p) {
        auto it = std::find(vertices.begin(), vertices.end(), p);
        if (it != vertices.end()) return std::uint16_t(it - vertices.begin());
        vertices.push_back(p);
        return std::uint16_t(vertices.size() - 1);
    }
    void quad(vec3 tl, vec3 tr, vec3 br, vec3 bl, std::uint16_t tex) {
        rects.push_back({vertex(tl), vertex(tr), vertex(br), vertex(bl), tex});
    }
    void tri(vec3 a, vec3 b, vec3 c, std::uint16_t tex) {
        tris.push_back({vertex(a), vertex(b), vertex(c), tex});
    }
};

constexpr int floor_y = 0, ceiling_y = -2 * sector;

room_geometry build_geometry(const room_plan& p, const sample_textures& t) {
    room_geometry g;
    const int xlo = sector, xhi = (p.nx - 1) * sector, zlo = sector, zhi = (p.nz - 1) * sector;
    std::size_t n = 0;
    for (int x = xlo; x < xhi; x += sector)
        for (int z = zlo; z < zhi; z += sector) {
            const std::uint16_t tex = p.floor[n++ % p.floor.size()];
            // Floor seen from above, far edge at the top; ceiling seen from below.
            g.quad({x, floor_y, z + sector}, {x + sector, floor_y, z + sector}, {x + sector, floor_y, z},
                   {x, floor_y, z}, tex);
            g.quad({x + sector, ceiling_y, z + sector}, {x, ceiling_y, z + sector}, {x, ceiling_y, z},
                   {x + sector, ceiling_y, z}, p.ceiling);
        }
    // Walls seen from inside: start point at the viewer's left and the step to the right.
    const std::array<std::pair<vec3, vec3>, 4> walls{{{{xhi, 0, zlo}, {-1, 0, 0}},
                                                      {{xhi, 0, zhi}, {0, 0, -1}},
                                                      {{xlo, 0, zhi}, {1, 0, 0}},
                                                      {{xlo, 0, zlo}, {0, 0, 1}}}};
    for (int w = 0; w < 4; ++w) {
        const auto [start, step] = walls[w];
        const int length = (w % 2 ? zhi - zlo : xhi - xlo) / sector;
        for (int row = 0; row < 2; ++row)
            for (int k = 0; k < length; ++k) {
                std::uint16_t tex = row == 0 ? p.upper : p.lower;
                for (const auto& panel : p.panels)
                    if (panel.wall == w && panel.row == row && panel.index == k) tex = panel.texture;
                const int top = ceiling_y + row * sector, bottom = top + sector;
                const vec3 a{start.x + step.x * k * sector, 0, start.z + step.z * k * sector};
                const vec3 b{a.x + step.x * sector, 0, a.z + step.z * sector};
                g.quad({a.x, top, a.z}, {b.x, top, b.z}, {b.x, bottom, b.z}, {a.x, bottom, a.z}, tex);
            }
    }
    if (p.pyramid) {
        const int cx = (xlo + xhi) / 2, cz = (zlo + zhi) / 2, half = 384;
        const vec3 apex{cx, -700, cz};
        // Outward direction and the viewer's right for each side.
        const std::array<std::pair<vec3, vec3>, 4> sides{{{{0, 0, -1}, {1, 0, 0}},
                                                          {{1, 0, 0}, {0, 0, 1}},
                                                          {{0, 0, 1}, {-1, 0, 0}},
                                                          {{-1, 0, 0}, {0, 0, -1}}}};
        for (int s = 0; s < 4; ++s) {
            const auto [d, r] = sides[s];
            const vec3 right{cx + (d.x + r.x) * half, floor_y, cz + (d.z + r.z) * half};
            const vec3 left{cx + (d.x - r.x) * half, floor_y, cz + (d.z - r.z) * half};
            g.tri(apex, right, left, s % 2 ? t.stone_tri_mirrored : t.stone_tri);
        }
    }
    return g;
}

// Brightness 0..1 of a room vertex: bright in the middle of the room, darker in the corners and
// towards the ceiling.
double room_brightness(const room_plan& p, vec3 v) {
    const double cx = p.nx * sector / 2.0, cz = p.nz * sector / 2.0;
    const double reach = std::hypot(cx, cz);
    const double d = std::hypot(v.x - cx, v.z - cz) / reach;
    return std::clamp(1.0 - 0.55 * d - (v.y < -sector ? 0.15 : 0.0), 0.25, 1.0);
}

void put_vertices(troom& room, const room_plan& p, const room_geometry& g, std::int32_t game) {
    room.set_num_vertices(std::uint16_t(g.vertices.size()));
    for (std::size_t i = 0; i < g.vertices.size(); ++i) {
        const vec3 v = g.vertices[i];
        const double b = room_brightness(p, v);
        const int shade = int((1.0 - b) * 8191);       // TR1-TR3 intensity: 0 is brightest
        const int c5 = std::clamp(int(b * 31), 0, 31); // 5-bit grey for colour fields
        const int colour15 = (c5 << 10) | (c5 << 5) | c5;
        auto& v8 = room.vertices8[i];
        auto& v12 = room.vertices12[i];
        for (auto* r : {v8.data(), v12.data()}) {
            put_u16(r + 0, std::uint16_t(v.x));
            put_u16(r + 2, std::uint16_t(v.y));
            put_u16(r + 4, std::uint16_t(v.z));
        }
        if (game == game_trc) {
            // Merged TRC vertices carry only their colour; the layer vertex keeps the rest.
            put_u16(&v12[10], std::uint16_t(colour15));
            auto& v28 = room.vertices28[i];
            putf(v28, 0, float(v.x));
            putf(v28, 4, float(v.y));
            putf(v28, 8, float(v.z));
            putf(v28, 12, 0.0f); // normal: up
            putf(v28, 16, -1.0f);
            putf(v28, 20, 0.0f);
            v28[24] = v28[25] = v28[26] = std::uint8_t(c5 << 3);
            v28[27] = 0xFF;
            continue;
        }
        const int lighting = game >= game_tr4 ? 0 : shade;
        put_u16(&v8[6], std::uint16_t(lighting));
        put_u16(&v12[6], std::uint16_t(lighting));
        if (game <= game_tr1_gold) {
            put_u16(&v12[8], 0x0010);
            put_u16(&v12[10], 0x3DEF);
        } else {
            put_u16(&v12[8], 0x0010);
            put_u16(&v12[10], std::uint16_t(game >= game_tr3 ? colour15 : shade));
        }
    }
}

void put_faces(troom& room, const room_geometry& g, std::int32_t game) {
    room.num_rectangles = std::uint16_t(g.rects.size());
    room.rectangles10.assign(g.rects.size(), {});
    room.rectangles12.assign(g.rects.size(), {});
    for (std::size_t i = 0; i < g.rects.size(); ++i)
        for (int k = 0; k < 5; ++k) {
            put_u16(&room.rectangles10[i][2 * k], g.rects[i][k]);
            put_u16(&room.rectangles12[i][2 * k], g.rects[i][k]);
        }
    room.num_triangles = std::uint16_t(g.tris.size());
    room.triangles8.assign(g.tris.size(), {});
    room.triangles10.assign(g.tris.size(), {});
    for (std::size_t i = 0; i < g.tris.size(); ++i)
        for (int k = 0; k < 4; ++k) {
            put_u16(&room.triangles8[i][2 * k], g.tris[i][k]);
            put_u16(&room.triangles10[i][2 * k], g.tris[i][k]);
        }
    if (game != game_trc) {
        room.rectangles12.clear();
        room.triangles10.clear();
        return;
    }
    // TRC rooms are stored as one layer holding the same geometry.
    room.num_layers = 1;
    room.layer_headers.assign(1, {});
    put32(room.layer_headers[0], 0, room.num_vertices);
    put16(room.layer_headers[0], 6, room.num_rectangles);
    put16(room.layer_headers[0], 8, room.num_triangles);
    room.layers.count = 1;
    room.layers.layers.assign(1, {});
    room.layers.layers[0].vertices = room.vertices28;
    room.layers.layers[0].rectangles = room.rectangles12;
    room.layers.layers[0].triangles = room.triangles10;
}

void put_light(troom& room, const room_plan& p, std::int32_t game) {
    room.num_lights = 1;
    const std::int32_t x = p.world_x + p.nx * sector / 2, y = -1536, z = p.world_z + p.nz * sector / 2;
    switch (game) {
    case game_tr1:
    case game_tr1_gold: {
        rec<18> l{};
        put32(l, 0, x), put32(l, 4, y), put32(l, 8, z);
        put16(l, 12, 6000);       // intensity
        put32(l, 14, 4 * sector); // fade
        room.lights18.assign(1, l);
        break;
    }
    case game_tr2:
    case game_tr2_gold:
    case game_tr3: {
        rec<24> l{};
        put32(l, 0, x), put32(l, 4, y), put32(l, 8, z);
        if (game == game_tr3) {
            l[12] = 255, l[13] = 230, l[14] = 190, l[15] = 0; // warm white, point light
            put32(l, 16, 6000), put32(l, 20, 4 * sector);
        } else {
            put16(l, 12, 6000), put16(l, 14, 6000);
            put32(l, 16, 4 * sector), put32(l, 20, 4 * sector);
        }
        room.lights24.assign(1, l);
        break;
    }
    case game_tr4: {
        rec<46> l{};
        put32(l, 0, x), put32(l, 4, y), put32(l, 8, z);
        l[12] = 255, l[13] = 230, l[14] = 190; // colour
        l[15] = 1;                             // point light
        l[16] = 0xFF;
        l[17] = 31; // intensity
        putf(l, 18, 512.0f), putf(l, 22, 4096.0f);
        room.lights46.assign(1, l);
        break;
    }
    default: {
        rec<88> l{};
        putf(l, 0, float(x)), putf(l, 4, float(y)), putf(l, 8, float(z));
        putf(l, 12, 1.0f), putf(l, 16, 0.9f), putf(l, 20, 0.75f);
        put32(l, 24, 0xCDCDCDCD);
        putf(l, 28, 512.0f), putf(l, 32, 4096.0f);
        putf(l, 36, 512.0f), putf(l, 40, 4096.0f), putf(l, 44, 4096.0f);
        put32(l, 60, x), put32(l, 64, y), put32(l, 68, z);
        l[84] = 1; // point light
        l[85] = l[86] = l[87] = 0xCD;
        room.lights88.assign(1, l);
        break;
    }
    }
}

void put_statics(troom& room, const room_plan& p, const std::vector<std::uint32_t>& ids, std::int32_t game) {
    room.num_room_statics = std::uint16_t(p.statics.size());
    room.room_statics18.clear();
    room.room_statics20.clear();
    std::uint16_t angle = 0;
    for (const auto& [index, at] : p.statics) {
        const std::int32_t x = p.world_x + at.x, y = at.y, z = p.world_z + at.z;
        if (game <= game_tr1_gold) {
            rec<18> s{};
            put32(s, 0, x), put32(s, 4, y), put32(s, 8, z);
            put16(s, 12, angle), put16(s, 14, 2048), put16(s, 16, int(ids[index]));
            room.room_statics18.push_back(s);
        } else {
            rec<20> s{};
            put32(s, 0, x), put32(s, 4, y), put32(s, 8, z);
            put16(s, 12, angle), put16(s, 14, 2048), put16(s, 16, 2048), put16(s, 18, int(ids[index]));
            room.room_statics20.push_back(s);
        }
        angle = std::uint16_t(angle + 0x4000);
    }
}

void put_sectors(troom& room, const room_plan& p, std::uint16_t box, std::int32_t game) {
    room.num_x_sectors = std::uint16_t(p.nx);
    room.num_z_sectors = std::uint16_t(p.nz);
    room.sectors.assign(std::size_t(p.nx) * p.nz, {});
    for (int x = 0; x < p.nx; ++x)
        for (int z = 0; z < p.nz; ++z) {
            auto& s = room.sectors[std::size_t(x) * p.nz + z];
            const bool wall = x == 0 || z == 0 || x == p.nx - 1 || z == p.nz - 1;
            put16(s, 0, 0); // floor data: the shared empty entry
            // From TR3 on, the low four bits of the box word hold the floor material.
            put16(s, 2, wall ? 0xFFFF : (game >= game_tr3 ? box << 4 : box));
            s[4] = 0xFF; // no room below
            s[5] = std::uint8_t(wall ? -127 : floor_y / 256);
            s[6] = 0xFF; // no room above
            s[7] = std::uint8_t(wall ? -127 : ceiling_y / 256);
        }
}

std::vector<room_plan> plans(const sample_textures& t) {
    std::vector<room_plan> r(3);
    // The hall: flagstones, coffered ceiling, brick walls with water and grates, a pyramid.
    r[0].world_x = 0, r[0].world_z = 0, r[0].nx = 5, r[0].nz = 5;
    r[0].floor = {t.flagstones};
    r[0].ceiling = t.coffer, r[0].lower = t.bricks, r[0].upper = t.mossy_stone;
    r[0].panels = {{2, 1, 1, t.water[0]}, {2, 0, 1, t.grate},    {0, 0, 1, t.window},
                   {1, 1, 1, t.door},     {3, 0, 0, t.flame[0]}, {3, 0, 2, t.flame[2]}};
    r[0].pyramid = true;
    r[0].statics = {{0, {1536, 0, 1536}}, {0, {3584, 0, 3584}}, {3, {3584, 0, 1536}}};
    // The gallery: lettered floor tiles, the title banner along the far wall, flames either side.
    r[1].world_x = 6 * sector, r[1].world_z = 0, r[1].nx = 6, r[1].nz = 4;
    r[1].floor.assign(t.checker.begin(), t.checker.end());
    r[1].ceiling = t.planks, r[1].lower = t.planks, r[1].upper = t.bricks;
    for (int k = 0; k < 4; ++k)
        r[1].panels.push_back({2, 0, k, t.banner[k]});
    r[1].panels.push_back({2, 1, 1, t.door});
    r[1].panels.push_back({1, 0, 0, t.flame[1]});
    r[1].panels.push_back({3, 0, 1, t.flame[3]});
    r[1].panels.push_back({0, 0, 1, t.compass});
    r[1].statics = {{2, {2560, 0, 2048}}, {4, {4608, -240, 2048}}}; // the crate prop is centred on its origin
    // The garden: grass, sky above, sand walls with a tree and windows.
    r[2].world_x = 14 * sector, r[2].world_z = 0, r[2].nx = 4, r[2].nz = 4;
    r[2].floor = {t.grass};
    r[2].ceiling = t.sky, r[2].lower = t.sand, r[2].upper = t.sand;
    r[2].panels = {{2, 0, 0, t.tree}, {2, 0, 1, t.tree}, {0, 0, 0, t.window}, {1, 1, 0, t.water[0]}};
    r[2].statics = {{1, {1536, 0, 1536}}, {1, {2560, 0, 2560}}};
    return r;
}

} // namespace

vec3 room_centre(const tr_level& level, int r) {
    const troom& room = level.rooms[std::size_t(r)];
    return {room.x + room.num_x_sectors * sector / 2, floor_y, room.z + room.num_z_sectors * sector / 2};
}

void make_rooms(tr_level& level, const sample_textures& t, const std::vector<std::uint32_t>& static_ids) {
    const std::int32_t game = level.game_version;
    const auto room_plans = plans(t);
    level.set_num_rooms(std::uint32_t(room_plans.size()));
    for (std::size_t i = 0; i < room_plans.size(); ++i) {
        const room_plan& p = room_plans[i];
        troom& room = level.rooms[i];
        room = troom{};
        room.x = p.world_x, room.z = p.world_z;
        room.y_bottom = floor_y, room.y_top = ceiling_y;
        const room_geometry g = build_geometry(p, t);
        put_vertices(room, p, g, game);
        put_faces(room, g, game);
        const std::size_t vertex_size = game <= game_tr1_gold ? 8 : 12;
        room.num_data_words = std::uint32_t(
            (vertex_size * room.num_vertices + 10 * room.num_rectangles + 8 * room.num_triangles + 8) / 2);
        put_light(room, p, game);
        put_statics(room, p, static_ids, game);
        put_sectors(room, p, std::uint16_t(i), game);
        room.ambient = {0x00, 0x10};
        room.ambient2 = 0x1000;
        room.alternate_room = -1;
        if (game >= game_tr3) room.room_extra = {0, 1, 0, 0}; // water scheme, reverb
        if (game == game_trc) {
            room.room_colour = 0xFF505050;
            room.trc_word4 = std::uint32_t(room.y_top);
            room.trc_word5 = std::uint32_t(room.y_bottom);
            room.trc_words3[3] = room.num_lights * 88;
        }
    }

    // One box per room over its floor; rooms do not touch, so each box's overlap list names only
    // itself and each box is its own zone.
    const std::size_t n = room_plans.size();
    level.set_num_boxes(std::uint32_t(n));
    level.set_num_overlaps(std::uint32_t(n));
    level.set_num_zones(std::uint32_t(n));
    for (std::size_t i = 0; i < n; ++i) {
        const room_plan& p = room_plans[i];
        const int zmin = p.world_z + sector, zmax = p.world_z + (p.nz - 1) * sector;
        const int xmin = p.world_x + sector, xmax = p.world_x + (p.nx - 1) * sector;
        rec<20> b20{};
        put32(b20, 0, zmin), put32(b20, 4, zmax), put32(b20, 8, xmin), put32(b20, 12, xmax);
        put16(b20, 16, floor_y), put16(b20, 18, int(i));
        rec<8> b8{};
        b8[0] = std::uint8_t(zmin / sector), b8[1] = std::uint8_t(zmax / sector);
        b8[2] = std::uint8_t(xmin / sector), b8[3] = std::uint8_t(xmax / sector);
        put16(b8, 4, floor_y), put16(b8, 6, int(i));
        if (game <= game_tr1_gold)
            level.boxes20[i] = b20;
        else
            level.boxes[i] = b8;
        level.overlaps[i] = std::uint16_t(0x8000 | i);
        const auto zone = std::uint16_t(i);
        for (auto* z : {&level.ground_zone1, &level.ground_zone2, &level.fly_zone, &level.ground_zone1_alt,
                        &level.ground_zone2_alt, &level.fly_zone_alt})
            (*z)[i] = zone;
        if (game >= game_tr2)
            for (auto* z :
                 {&level.ground_zone3, &level.ground_zone4, &level.ground_zone3_alt, &level.ground_zone4_alt})
                (*z)[i] = zone;
    }
}
