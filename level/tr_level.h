// The in-memory level: every section of a level file, mostly as raw fixed-size records in the
// file's own layout, so the writer can put the file back together after edits.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

// A raw fixed-size record, copied in and out of the file as bytes.
template <std::size_t N> using rec = std::array<std::uint8_t, N>;

// Error raised by file-system and zlib failures; the message is fit to show the user.
class level_error : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Game version codes.
enum : std::int32_t {
    game_tr1 = 1,
    game_tr1_gold = 2,
    game_tr2 = 3,
    game_tr2_gold = 4,
    game_tr3 = 5,
    game_tr4 = 6,
    game_trc = 7,
};

inline constexpr const char* loaded_signature = "Qorvane";

// Capacities that behaviour depends on (merging room vertices; the editor's face-list limits).
inline constexpr std::size_t room_vertex_capacity = 1500;

// Little-endian access to bytes of raw records.
inline std::uint16_t get_u16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}
inline std::int16_t get_i16(const std::uint8_t* p) {
    return std::int16_t(get_u16(p));
}
inline std::uint32_t get_u32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}
inline std::int32_t get_i32(const std::uint8_t* p) {
    return std::int32_t(get_u32(p));
}
inline void put_u16(std::uint8_t* p, std::uint16_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}
inline void put_u32(std::uint8_t* p, std::uint32_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
    p[2] = std::uint8_t(v >> 16);
    p[3] = std::uint8_t(v >> 24);
}

// One object texture, the same for every version; its fields follow the 40-byte TRC record.
struct tobject_texture {
    struct corner {
        std::uint8_t x_frac = 0, x_pixel = 0, y_frac = 0, y_pixel = 0;
        bool operator==(const corner&) const = default;
    };
    std::uint16_t attribute = 0;
    std::uint16_t page = 0;
    std::uint16_t new_flags = 0;              // TR4, TRC
    std::array<corner, 4> corners{};          // file bytes 6-21
    std::array<std::uint32_t, 4> raw_words{}; // TR4, TRC, kept raw
    std::uint16_t raw_u16 = 0;                // TRC, kept raw

    bool operator==(const tobject_texture&) const = default;
};

// One TRC layer: its vertices (28 bytes: x, y, z floats, 12 raw bytes, blue, green, red, pad),
// rectangles (12 bytes) and triangles (10 bytes).
struct ttr5_layer {
    std::vector<rec<28>> vertices;
    std::vector<rec<12>> rectangles;
    std::vector<rec<10>> triangles;
};
struct ttr5_layers {
    std::uint32_t count = 0;
    std::vector<ttr5_layer> layers;
};

// One room. Arrays hold exactly their counts (growable), so no file can write past a capacity.
struct troom {
    std::int32_t x = 0, z = 0, y_bottom = 0, y_top = 0;
    std::uint32_t num_data_words = 0;

    std::uint32_t num_layers = 0;       // TRC
    std::vector<rec<56>> layer_headers; // TRC
    ttr5_layers layers;                 // TRC

    std::uint16_t num_vertices = 0;
    std::vector<rec<8>> vertices8;   // x, y, z i16, lighting i16
    std::vector<rec<12>> vertices12; // x, y, z i16, lighting i16, attributes u16, lighting2 u16
    std::vector<rec<28>> vertices28; // TRC: the layer vertex each merged vertex came from

    std::uint16_t num_rectangles = 0;
    std::vector<rec<10>> rectangles10;
    std::vector<rec<12>> rectangles12; // TRC
    std::uint16_t num_triangles = 0;
    std::vector<rec<8>> triangles8;
    std::vector<rec<10>> triangles10; // TRC
    std::uint16_t num_sprites = 0;
    std::vector<rec<4>> sprites;

    std::uint32_t num_fog_bulbs = 0; // TRC
    std::vector<rec<36>> fog_bulbs;  // TRC
    std::uint32_t room_block_size = 0;
    std::array<std::uint32_t, 4> trc_offsets{};
    std::int32_t y = 0;
    std::uint32_t room_colour = 0;
    std::array<std::uint32_t, 3> trc_words1{};
    rec<16> trc_bytes16{};
    std::uint32_t trc_word2 = 0;
    std::array<std::uint32_t, 5> trc_words3{};
    std::uint32_t trc_word4 = 0, trc_word5 = 0;
    std::array<std::uint32_t, 5> trc_words6{};
    std::uint32_t trailing_bytes = 0;

    std::uint16_t num_portals = 0;
    std::vector<rec<32>> portals;
    std::uint16_t num_z_sectors = 0, num_x_sectors = 0;
    std::vector<rec<8>> sectors;
    rec<2> ambient{};
    std::uint16_t ambient2 = 0;
    std::uint16_t light_mode = 0;
    std::uint16_t num_lights = 0;
    std::vector<rec<18>> lights18;
    std::vector<rec<24>> lights24;
    std::vector<rec<46>> lights46;
    std::vector<rec<88>> lights88;
    std::uint16_t num_room_statics = 0;
    std::vector<rec<18>> room_statics18;
    std::vector<rec<20>> room_statics20;
    std::int16_t alternate_room = 0;
    rec<2> room_flags{};
    rec<4> room_extra{};
    std::uint16_t trc_word7 = 0;

    // Sizes the vertex arrays of both (three for TRC) forms together.
    void set_num_vertices(std::uint16_t n);
};

// Find vertex: 1-based index of the first vertex of vertices8 at exactly (x, y, z); 0 if none.
std::size_t find_vertex(const troom& room, std::int16_t x, std::int16_t y, std::int16_t z);
// Merge vertex: averages the lighting byte of an existing vertex at (x, y, z), or appends one
// while the room holds fewer than `capacity` vertices. Returns false when it could not append.
bool merge_vertex(troom& room, std::int16_t x, std::int16_t y, std::int16_t z, std::uint8_t lighting,
                  std::size_t capacity = room_vertex_capacity);

using progress_fn = std::function<void(int)>;

class tr_level {
  public:
    // Section counts (each equals its array's length; the set-count operations keep them so).
    std::uint16_t num_rooms = 0;
    std::uint32_t num_floor_data = 0;
    std::uint32_t num_mesh_words = 0;
    std::uint32_t num_mesh_pointers = 0;
    std::uint32_t num_animations = 0;
    std::uint32_t num_state_changes = 0;
    std::uint32_t num_anim_dispatches = 0;
    std::uint32_t num_anim_commands = 0;
    std::uint32_t num_mesh_trees = 0;
    std::uint32_t num_frames = 0;
    std::uint32_t num_moveables = 0;
    std::uint32_t num_static_meshes = 0;
    std::uint32_t num_object_textures = 0;
    std::uint32_t num_sprite_textures = 0;
    std::uint32_t num_sprite_sequences = 0;
    std::uint32_t num_cameras = 0;
    std::uint32_t num_flyby_cameras = 0;
    std::uint32_t num_sound_sources = 0;
    std::uint32_t num_boxes = 0;
    std::uint32_t num_overlaps = 0;
    std::uint32_t num_zones = 0;
    std::uint32_t num_animated_textures = 0;
    std::uint32_t num_entities = 0;
    std::uint32_t num_ai_objects = 0;
    std::uint32_t num_demo_data = 0;
    std::uint32_t num_sound_details = 0;
    std::uint32_t num_sample_indices = 0;

    std::string signature; // "Qorvane" while a level is loaded
    std::uint32_t version_word = 0;
    std::int32_t game_version = 0;

    std::uint16_t num_room_pages = 0, num_object_pages = 0, num_bump_pages = 0;
    std::uint32_t pages32_size = 0, pages32_packed = 0;
    std::uint32_t pages16_size = 0, pages16_packed = 0;
    std::uint32_t pages32_misc_size = 0, pages32_misc_packed = 0;
    std::uint32_t pages8_size = 0;
    std::uint32_t num_pages = 0;
    std::vector<std::uint8_t> pages8;       // TR1-TR3: 65536 bytes a page
    std::vector<std::uint8_t> pages16;      // TR2-TRC: 131072 bytes a page
    std::vector<std::uint8_t> pages32;      // TR4, TRC: 262144 bytes a page
    std::vector<std::uint8_t> pages32_misc; // TR4, TRC: third page block, as read

    std::uint32_t pre_room_word = 0; // the word before the room count (the game ignores TRC's)
    rec<32> trc_header{};
    std::uint32_t level_data_size = 0, level_data_packed = 0; // TRC

    std::vector<troom> rooms;
    std::vector<std::uint16_t> floor_data;
    std::vector<std::uint16_t> mesh_words;
    std::vector<std::uint32_t> mesh_pointers;
    std::vector<rec<32>> animations;
    std::vector<rec<40>> animations40;
    std::vector<rec<6>> state_changes;
    std::vector<rec<8>> anim_dispatches;
    std::vector<std::uint16_t> anim_commands;
    std::vector<std::int32_t> mesh_trees;
    std::vector<std::int16_t> frames;
    std::vector<rec<18>> moveables;
    std::vector<rec<20>> moveables20;
    std::vector<rec<32>> static_meshes;
    std::uint8_t anim_uv_count = 0;
    rec<4> tex_marker{};
    std::vector<tobject_texture> object_textures;
    rec<4> spr_marker{};
    std::vector<rec<16>> sprite_textures;
    std::vector<rec<8>> sprite_sequences;
    std::vector<rec<16>> cameras;
    std::vector<rec<40>> flyby_cameras;
    std::vector<rec<16>> sound_sources;
    std::vector<rec<20>> boxes20;
    std::vector<rec<8>> boxes;
    std::vector<std::uint16_t> overlaps;
    std::vector<std::uint16_t> ground_zone1, ground_zone2, ground_zone3, ground_zone4, fly_zone;
    std::vector<std::uint16_t> ground_zone1_alt, ground_zone2_alt, ground_zone3_alt, ground_zone4_alt,
        fly_zone_alt;
    std::vector<std::uint16_t> animated_textures;
    std::vector<rec<22>> entities22;
    std::vector<rec<24>> entities;
    std::array<std::uint8_t, 8192> light_map{};
    std::array<std::uint8_t, 768> palette8{};
    std::array<std::uint8_t, 1024> palette16{};
    std::vector<rec<16>> cinematic_frames;
    std::vector<rec<24>> ai_objects;
    std::vector<std::uint8_t> demo_data;
    std::array<std::uint8_t, 900> sound_map{};
    std::vector<rec<8>> sound_details;
    std::uint32_t samples_size = 0;
    std::vector<std::uint8_t> samples;
    std::vector<std::uint32_t> sample_indices;

    // Data that the layouts do not describe, kept so that saving loses nothing.
    // TR4: when demo data, sound map, sound details and sample indices do not parse exactly
    // within the level data, they are kept here as one block and written back unchanged.
    bool sound_block_raw = false;
    std::vector<std::uint8_t> sound_block;
    // Bytes after the last section: TR1-TR3 after the sample indices; TR4 and TRC after the
    // sample indices inside the level data.
    std::vector<std::uint8_t> tail_bytes;
    // TR1 and TR1 Gold: the palette sits where the other layout has it, not where the file name
    // says (the reader picked the layout that fits). Saving keeps the layout unless the target
    // name selects another one than this file's name did; the writer updates the flag.
    bool tr1_layout_swapped = false;

    progress_fn progress; // receives 0..100 while reading or writing; may be empty

    void report_progress(int value) const {
        if (progress) progress(value);
    }
    bool loaded() const { return signature == loaded_signature; }
    std::size_t animation_record_size() const { return game_version >= game_tr4 ? 40 : 32; }

    // Set-count operations: store the count and size the array(s) together; new elements zeroed.
    void set_num_rooms(std::uint32_t n);
    void set_num_floor_data(std::uint32_t n);
    void set_num_mesh_words(std::uint32_t n);
    void set_num_mesh_pointers(std::uint32_t n);
    void set_num_animations(std::uint32_t n);
    void set_num_state_changes(std::uint32_t n);
    void set_num_anim_dispatches(std::uint32_t n);
    void set_num_anim_commands(std::uint32_t n);
    void set_num_mesh_trees(std::uint32_t n);
    void set_num_frames(std::uint32_t n);
    void set_num_moveables(std::uint32_t n);
    void set_num_static_meshes(std::uint32_t n);
    void set_num_object_textures(std::uint32_t n);
    void set_num_sprite_textures(std::uint32_t n);
    void set_num_sprite_sequences(std::uint32_t n);
    void set_num_cameras(std::uint32_t n);
    void set_num_flyby_cameras(std::uint32_t n);
    void set_num_sound_sources(std::uint32_t n);
    void set_num_boxes(std::uint32_t n);
    void set_num_overlaps(std::uint32_t n);
    void set_num_zones(std::uint32_t n);
    void set_num_animated_textures(std::uint32_t n);
    void set_num_entities(std::uint32_t n);
    void set_num_ai_objects(std::uint32_t n);
    void set_num_demo_data(std::uint32_t n);
    void set_num_sound_details(std::uint32_t n);
    void set_num_sample_indices(std::uint32_t n);

    // Adds one zero-filled page to every page buffer the version has, at new_page_index(): after
    // the last page, or for TR4 and TRC before the bump-map pages, which then move up by one along
    // with the object and sprite textures on them. The page is counted as an object page when the
    // level has object pages, as a room page otherwise.
    void add_texture_page();
    // The same for `count` pages at once.
    void add_texture_pages(std::uint32_t count);
    // Where add_texture_page puts the next page.
    std::uint32_t new_page_index() const;
    // Releases the page and sample buffers of the loaded level, by its version.
    void release_pages_and_samples();

    // Derives the entity form that was not read from the one that was.
    void mirror_entities_from22();
    void mirror_entities_from24();
};

// The label the editor puts after a level's name for its game (" (TR 1 Gold)" …).
const char* game_name(std::int32_t game_version);
