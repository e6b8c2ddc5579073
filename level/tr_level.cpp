// Set-count operations, page handling, vertex merging and entity mirroring of the level model.
#include "tr_level.h"

#include <algorithm>

void troom::set_num_vertices(std::uint16_t n) {
    num_vertices = n;
    vertices8.resize(n);
    vertices12.resize(n);
    vertices28.resize(n);
}

std::size_t find_vertex(const troom& room, std::int16_t x, std::int16_t y, std::int16_t z) {
    for (std::size_t i = 0; i < room.num_vertices && i < room.vertices8.size(); ++i) {
        const auto& v = room.vertices8[i];
        if (get_i16(&v[0]) == x && get_i16(&v[2]) == y && get_i16(&v[4]) == z) return i + 1;
    }
    return 0;
}

static void set_new_vertex(troom& room, std::size_t i, std::int16_t x, std::int16_t y, std::int16_t z,
                           std::uint8_t lighting) {
    auto& v8 = room.vertices8[i];
    auto& v12 = room.vertices12[i];
    put_u16(&v8[0], std::uint16_t(x));
    put_u16(&v8[2], std::uint16_t(y));
    put_u16(&v8[4], std::uint16_t(z));
    v8[7] = lighting;
    put_u16(&v12[0], std::uint16_t(x));
    put_u16(&v12[2], std::uint16_t(y));
    put_u16(&v12[4], std::uint16_t(z));
    v12[7] = lighting;
}

bool merge_vertex(troom& room, std::int16_t x, std::int16_t y, std::int16_t z, std::uint8_t lighting,
                  std::size_t capacity) {
    if (std::size_t found = find_vertex(room, x, y, z)) {
        auto& b = room.vertices8[found - 1][7];
        b = std::uint8_t((unsigned(b) + lighting) / 2);
        return true;
    }
    if (room.num_vertices >= capacity || room.num_vertices == 0xFFFF) return false;
    const std::size_t i = room.num_vertices;
    room.set_num_vertices(std::uint16_t(i + 1));
    set_new_vertex(room, i, x, y, z, lighting);
    return true;
}

namespace {
template <class T> void sized(std::uint32_t& count, std::vector<T>& v, std::uint32_t n) {
    count = n;
    v.resize(n);
}
} // namespace

void tr_level::set_num_rooms(std::uint32_t n) {
    num_rooms = std::uint16_t(n);
    rooms.resize(num_rooms);
}
void tr_level::set_num_floor_data(std::uint32_t n) {
    sized(num_floor_data, floor_data, n);
}
void tr_level::set_num_mesh_words(std::uint32_t n) {
    sized(num_mesh_words, mesh_words, n);
}
void tr_level::set_num_mesh_pointers(std::uint32_t n) {
    sized(num_mesh_pointers, mesh_pointers, n);
}
void tr_level::set_num_animations(std::uint32_t n) {
    if (game_version >= game_tr4)
        sized(num_animations, animations40, n);
    else
        sized(num_animations, animations, n);
}
void tr_level::set_num_state_changes(std::uint32_t n) {
    sized(num_state_changes, state_changes, n);
}
void tr_level::set_num_anim_dispatches(std::uint32_t n) {
    sized(num_anim_dispatches, anim_dispatches, n);
}
void tr_level::set_num_anim_commands(std::uint32_t n) {
    sized(num_anim_commands, anim_commands, n);
}
void tr_level::set_num_mesh_trees(std::uint32_t n) {
    sized(num_mesh_trees, mesh_trees, n);
}
void tr_level::set_num_frames(std::uint32_t n) {
    sized(num_frames, frames, n);
}
void tr_level::set_num_moveables(std::uint32_t n) {
    sized(num_moveables, moveables, n);
    moveables20.resize(n);
}
void tr_level::set_num_static_meshes(std::uint32_t n) {
    sized(num_static_meshes, static_meshes, n);
}
void tr_level::set_num_object_textures(std::uint32_t n) {
    sized(num_object_textures, object_textures, n);
}
void tr_level::set_num_sprite_textures(std::uint32_t n) {
    sized(num_sprite_textures, sprite_textures, n);
}
void tr_level::set_num_sprite_sequences(std::uint32_t n) {
    sized(num_sprite_sequences, sprite_sequences, n);
}
void tr_level::set_num_cameras(std::uint32_t n) {
    sized(num_cameras, cameras, n);
}
void tr_level::set_num_flyby_cameras(std::uint32_t n) {
    sized(num_flyby_cameras, flyby_cameras, n);
}
void tr_level::set_num_sound_sources(std::uint32_t n) {
    sized(num_sound_sources, sound_sources, n);
}
void tr_level::set_num_boxes(std::uint32_t n) {
    sized(num_boxes, boxes, n);
    boxes20.resize(n);
}
void tr_level::set_num_overlaps(std::uint32_t n) {
    sized(num_overlaps, overlaps, n);
}
void tr_level::set_num_zones(std::uint32_t n) {
    num_zones = n;
    for (auto* z : {&ground_zone1, &ground_zone2, &ground_zone3, &ground_zone4, &fly_zone, &ground_zone1_alt,
                    &ground_zone2_alt, &ground_zone3_alt, &ground_zone4_alt, &fly_zone_alt})
        z->resize(n);
}
void tr_level::set_num_animated_textures(std::uint32_t n) {
    sized(num_animated_textures, animated_textures, n);
}
void tr_level::set_num_entities(std::uint32_t n) {
    sized(num_entities, entities, n);
    entities22.resize(n);
}
void tr_level::set_num_ai_objects(std::uint32_t n) {
    if (game_version >= game_tr4)
        sized(num_ai_objects, ai_objects, n);
    else
        sized(num_ai_objects, cinematic_frames, n);
}
void tr_level::set_num_demo_data(std::uint32_t n) {
    sized(num_demo_data, demo_data, n);
}
void tr_level::set_num_sound_details(std::uint32_t n) {
    sized(num_sound_details, sound_details, n);
}
void tr_level::set_num_sample_indices(std::uint32_t n) {
    sized(num_sample_indices, sample_indices, n);
}

std::uint32_t tr_level::new_page_index() const {
    if (game_version < game_tr4) return num_pages;
    return num_pages - std::min<std::uint32_t>(num_bump_pages, num_pages);
}

void tr_level::add_texture_page() {
    add_texture_pages(1);
}

void tr_level::add_texture_pages(std::uint32_t count) {
    // TR4 and TRC hold their pages in three groups, room, object and bump-map pages, that the page
    // counts delimit. New pages go at the end of the room and object pages, so the bump-map pages
    // stay the last ones, and are counted in the group they land in. All go in at once, so adding
    // many pages to a large level copies its pages once.
    if (count == 0) return;
    const std::uint32_t at = new_page_index();
    auto insert_pages = [at, count](std::vector<std::uint8_t>& pages, std::size_t page_bytes) {
        pages.resize(std::max(pages.size(), std::size_t(at) * page_bytes), 0);
        pages.insert(pages.begin() + std::ptrdiff_t(std::size_t(at) * page_bytes), count * page_bytes, 0);
    };
    if (game_version < game_tr4) pages8.resize(std::size_t(num_pages + count) * 65536, 0);
    if (game_version >= game_tr2 && game_version < game_tr4)
        pages16.resize(std::size_t(num_pages + count) * 131072, 0);
    if (game_version >= game_tr4) {
        insert_pages(pages16, 131072);
        insert_pages(pages32, 262144);
    }
    if (at < num_pages) {
        // The bump-map pages moved up: what shows them follows.
        for (auto& t : object_textures)
            if ((t.page & 0x7FFF) >= at)
                t.page = std::uint16_t((t.page & 0x8000) | (((t.page & 0x7FFF) + count) & 0x7FFF));
        for (auto& s : sprite_textures)
            if (get_u16(&s[0]) >= at) put_u16(&s[0], std::uint16_t(get_u16(&s[0]) + count));
    }
    num_pages += count;
    pages8_size = num_pages * 65536;
    if (game_version >= game_tr4 && num_object_pages > 0)
        num_object_pages = std::uint16_t(num_object_pages + count);
    else
        num_room_pages = std::uint16_t(num_room_pages + count);
}

void tr_level::release_pages_and_samples() {
    if (game_version < game_tr4) std::vector<std::uint8_t>().swap(pages8);
    if (game_version >= game_tr2) std::vector<std::uint8_t>().swap(pages16);
    if (game_version >= game_tr4) {
        std::vector<std::uint8_t>().swap(pages32);
        std::vector<std::uint8_t>().swap(pages32_misc);
    }
    if (game_version < game_tr2 || game_version >= game_tr4) std::vector<std::uint8_t>().swap(samples);
}

void tr_level::mirror_entities_from22() {
    entities.resize(entities22.size());
    for (std::size_t i = 0; i < entities22.size(); ++i) {
        const auto& s = entities22[i];
        auto& d = entities[i];
        d.fill(0);
        std::copy_n(s.begin(), 18, d.begin());
        d[18] = s[18];
        d[20] = s[19];
        d[22] = s[20];
        d[23] = s[21];
    }
}

void tr_level::mirror_entities_from24() {
    entities22.resize(entities.size());
    for (std::size_t i = 0; i < entities.size(); ++i) {
        const auto& s = entities[i];
        auto& d = entities22[i];
        std::copy_n(s.begin(), 19, d.begin());
        d[19] = s[20];
        d[20] = s[22];
        d[21] = s[23];
    }
}

const char* game_name(std::int32_t game_version) {
    switch (game_version) {
    case game_tr1:
        return " (TR 1)";
    case game_tr1_gold:
        return " (TR 1 Gold)";
    case game_tr2:
        return " (TR 2)";
    case game_tr2_gold:
        return " (TR 2 Gold)";
    case game_tr3:
        return " (TR 3)";
    case game_tr4:
        return " (TR 4)";
    case game_trc:
        return " (TR 5)";
    default:
        return "";
    }
}
