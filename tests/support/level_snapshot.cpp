// Test-only snapshot of a whole tr_level as bytes: every field appended with its length, so two
// snapshots are equal only when the levels hold the same data.
#include "level_snapshot.h"

#include <cstring>
#include <type_traits>

namespace test_levels {
namespace {

class snap {
  public:
    std::vector<std::uint8_t> out;

    template <class T> void scalar(const T& v) {
        static_assert(std::is_arithmetic_v<T>);
        std::uint8_t b[sizeof(T)];
        std::memcpy(b, &v, sizeof(T));
        out.insert(out.end(), b, b + sizeof(T));
    }
    template <std::size_t N> void fixed(const std::array<std::uint8_t, N>& a) {
        out.insert(out.end(), a.begin(), a.end());
    }
    template <class T, std::size_t N> void fixed(const std::array<T, N>& a) {
        for (const auto& v : a)
            scalar(v);
    }
    void blob(const std::vector<std::uint8_t>& v) {
        scalar(std::uint64_t(v.size()));
        out.insert(out.end(), v.begin(), v.end());
    }
    template <std::size_t N> void records(const std::vector<rec<N>>& v) {
        scalar(std::uint64_t(v.size()));
        for (const auto& r : v)
            fixed(r);
    }
    template <class T> void words(const std::vector<T>& v) {
        scalar(std::uint64_t(v.size()));
        for (const auto& w : v)
            scalar(w);
    }
    void text(const std::string& s) {
        scalar(std::uint64_t(s.size()));
        out.insert(out.end(), s.begin(), s.end());
    }

    void room(const troom& r) {
        scalar(r.x), scalar(r.z), scalar(r.y_bottom), scalar(r.y_top), scalar(r.num_data_words);
        scalar(r.num_layers);
        records(r.layer_headers);
        scalar(r.layers.count);
        scalar(std::uint64_t(r.layers.layers.size()));
        for (const auto& l : r.layers.layers) {
            records(l.vertices);
            records(l.rectangles);
            records(l.triangles);
        }
        scalar(r.num_vertices);
        records(r.vertices8), records(r.vertices12), records(r.vertices28);
        scalar(r.num_rectangles);
        records(r.rectangles10), records(r.rectangles12);
        scalar(r.num_triangles);
        records(r.triangles8), records(r.triangles10);
        scalar(r.num_sprites);
        records(r.sprites);
        scalar(r.num_fog_bulbs);
        records(r.fog_bulbs);
        scalar(r.room_block_size);
        fixed(r.trc_offsets);
        scalar(r.y), scalar(r.room_colour);
        fixed(r.trc_words1), fixed(r.trc_bytes16);
        scalar(r.trc_word2);
        fixed(r.trc_words3);
        scalar(r.trc_word4), scalar(r.trc_word5);
        fixed(r.trc_words6);
        scalar(r.trailing_bytes);
        scalar(r.num_portals);
        records(r.portals);
        scalar(r.num_z_sectors), scalar(r.num_x_sectors);
        records(r.sectors);
        fixed(r.ambient);
        scalar(r.ambient2), scalar(r.light_mode), scalar(r.num_lights);
        records(r.lights18), records(r.lights24), records(r.lights46), records(r.lights88);
        scalar(r.num_room_statics);
        records(r.room_statics18), records(r.room_statics20);
        scalar(r.alternate_room);
        fixed(r.room_flags), fixed(r.room_extra);
        scalar(r.trc_word7);
    }

    void object_texture(const tobject_texture& t) {
        scalar(t.attribute), scalar(t.page), scalar(t.new_flags);
        for (const auto& c : t.corners)
            scalar(c.x_frac), scalar(c.x_pixel), scalar(c.y_frac), scalar(c.y_pixel);
        fixed(t.raw_words);
        scalar(t.raw_u16);
    }

    void level(const tr_level& l) {
        for (auto v : {std::uint32_t(l.num_rooms),
                       l.num_floor_data,
                       l.num_mesh_words,
                       l.num_mesh_pointers,
                       l.num_animations,
                       l.num_state_changes,
                       l.num_anim_dispatches,
                       l.num_anim_commands,
                       l.num_mesh_trees,
                       l.num_frames,
                       l.num_moveables,
                       l.num_static_meshes,
                       l.num_object_textures,
                       l.num_sprite_textures,
                       l.num_sprite_sequences,
                       l.num_cameras,
                       l.num_flyby_cameras,
                       l.num_sound_sources,
                       l.num_boxes,
                       l.num_overlaps,
                       l.num_zones,
                       l.num_animated_textures,
                       l.num_entities,
                       l.num_ai_objects,
                       l.num_demo_data,
                       l.num_sound_details,
                       l.num_sample_indices})
            scalar(v);
        text(l.signature);
        scalar(l.version_word), scalar(l.game_version);
        scalar(l.num_room_pages), scalar(l.num_object_pages), scalar(l.num_bump_pages);
        for (auto v : {l.pages32_size, l.pages32_packed, l.pages16_size, l.pages16_packed,
                       l.pages32_misc_size, l.pages32_misc_packed, l.pages8_size, l.num_pages})
            scalar(v);
        blob(l.pages8), blob(l.pages16), blob(l.pages32), blob(l.pages32_misc);
        scalar(l.pre_room_word);
        fixed(l.trc_header);
        scalar(l.level_data_size), scalar(l.level_data_packed);
        scalar(std::uint64_t(l.rooms.size()));
        for (const auto& r : l.rooms)
            room(r);
        words(l.floor_data), words(l.mesh_words), words(l.mesh_pointers);
        records(l.animations), records(l.animations40), records(l.state_changes), records(l.anim_dispatches);
        words(l.anim_commands), words(l.mesh_trees), words(l.frames);
        records(l.moveables), records(l.moveables20), records(l.static_meshes);
        scalar(l.anim_uv_count);
        fixed(l.tex_marker);
        scalar(std::uint64_t(l.object_textures.size()));
        for (const auto& t : l.object_textures)
            object_texture(t);
        fixed(l.spr_marker);
        records(l.sprite_textures), records(l.sprite_sequences), records(l.cameras), records(l.flyby_cameras);
        records(l.sound_sources), records(l.boxes20), records(l.boxes);
        words(l.overlaps);
        for (const auto* z : {&l.ground_zone1, &l.ground_zone2, &l.ground_zone3, &l.ground_zone4, &l.fly_zone,
                              &l.ground_zone1_alt, &l.ground_zone2_alt, &l.ground_zone3_alt,
                              &l.ground_zone4_alt, &l.fly_zone_alt})
            words(*z);
        words(l.animated_textures);
        records(l.entities22), records(l.entities);
        fixed(l.light_map), fixed(l.palette8), fixed(l.palette16);
        records(l.cinematic_frames), records(l.ai_objects);
        blob(l.demo_data);
        fixed(l.sound_map);
        records(l.sound_details);
        scalar(l.samples_size);
        blob(l.samples);
        words(l.sample_indices);
        scalar(std::uint8_t(l.sound_block_raw));
        blob(l.sound_block), blob(l.tail_bytes);
        scalar(std::uint8_t(l.tr1_layout_swapped));
    }
};

} // namespace

std::vector<std::uint8_t> level_snapshot(const tr_level& level) {
    snap s;
    s.level(level);
    return s.out;
}

} // namespace test_levels
