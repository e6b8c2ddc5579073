// Test-only level file builder: writes level files byte by byte, section by section, for every game
// version, without using the project's reader or writer, so tests can state exactly what a file holds.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace test_levels {

using bytes = std::vector<std::uint8_t>;
using record = std::vector<std::uint8_t>;

// Little-endian byte appender.
class byte_sink {
  public:
    void u8(std::uint8_t v) { data_.push_back(v); }
    void u16(std::uint16_t v);
    void i16(std::int16_t v) { u16(std::uint16_t(v)); }
    void u32(std::uint32_t v);
    void i32(std::int32_t v) { u32(std::uint32_t(v)); }
    void f32(float v);
    void raw(const std::uint8_t* p, std::size_t n) { data_.insert(data_.end(), p, p + n); }
    void raw(const bytes& b) { data_.insert(data_.end(), b.begin(), b.end()); }
    void text(const char* s); // the characters, without a terminating zero
    void fill(std::size_t n, std::uint8_t v = 0) { data_.insert(data_.end(), n, v); }
    void patch_u32(std::size_t at, std::uint32_t v);
    std::size_t size() const { return data_.size(); }
    bytes& data() { return data_; }
    const bytes& data() const { return data_; }

  private:
    bytes data_;
};

// `size` bytes counting up from `seed`, so every record of a test level is recognisable.
record pattern(std::size_t size, std::uint8_t seed);
// `count` records of `size` bytes, each with its own seed.
std::vector<record> pattern_records(std::size_t count, std::size_t size, std::uint8_t seed);

// Room geometry record makers (raw file bytes).
record room_vertex8(std::int16_t x, std::int16_t y, std::int16_t z, std::int16_t lighting);
record room_vertex12(std::int16_t x, std::int16_t y, std::int16_t z, std::int16_t lighting,
                     std::uint16_t attributes, std::uint16_t lighting2);
// A face: vertex indices (3 or 4), texture word, and a flags word when `with_flags` (TRC layer faces).
record room_face(std::initializer_list<std::uint16_t> indices, std::uint16_t texture, bool with_flags = false,
                 std::uint16_t flags = 0);
// TRC layer vertex: x, y, z floats, 12 raw bytes (from `seed`), blue, green, red and a pad byte.
record trc_vertex(float x, float y, float z, std::uint8_t blue, std::uint8_t green, std::uint8_t red,
                  std::uint8_t seed = 0);

// One mesh inside the mesh data; the builder lays it out in the version's form, filler included.
struct mesh_desc {
    std::array<std::int16_t, 3> centre{};
    std::int32_t radius = 0;
    std::vector<std::array<std::int16_t, 3>> vertices;
    std::vector<std::array<std::int16_t, 3>> normals; // used when `lights` is empty
    std::vector<std::int16_t> lights;                 // vertex lights (negative count in the file)
    std::vector<record> tex_rects;                    // 10 bytes (TR1-TR3) or 12 (TR4, TRC)
    std::vector<record> tex_tris;                     // 8 or 10
    std::vector<record> col_rects;                    // 10, TR1-TR3
    std::vector<record> col_tris;                     // 8, TR1-TR3
};
// Mesh words of the meshes one after another, and the byte offset of each; `filler` is the word
// written after a mesh whose length is not a multiple of 4 (some files hold non-zero bytes there).
bytes mesh_bytes(std::int32_t game_version, const std::vector<mesh_desc>& meshes,
                 std::vector<std::uint32_t>* offsets = nullptr, std::uint16_t filler = 0);

// One TRC layer.
struct trc_layer {
    std::vector<record> vertices;   // 28 bytes each (trc_vertex)
    std::vector<record> rectangles; // 12 bytes each
    std::vector<record> triangles;  // 10 bytes each
    std::uint16_t header_word = 0;  // the raw u16 after the vertex count in the layer header
    record header_raw = record(46, 0);
};

struct room_desc {
    std::int32_t x = 0, z = 0, y_bottom = 0, y_top = 0;
    // TR1-TR4 geometry: vertices of 8 (TR1, TR1 Gold) or 12 bytes, rectangles 10, triangles 8,
    // sprites 4. TRC rooms use `layers` instead.
    std::vector<record> vertices, rectangles, triangles, sprites;
    std::vector<record> portals; // 32 bytes each
    std::uint16_t z_sectors = 0, x_sectors = 0;
    std::vector<record> sectors; // z_sectors * x_sectors records of 8 bytes
    std::vector<record> lights;  // 18, 24, 46 or 88 bytes by version
    std::vector<record> statics; // 18 (TR1, TR1 Gold) or 20 bytes
    std::array<std::uint8_t, 2> ambient{};
    std::uint16_t ambient2 = 0;   // TR2 and later
    std::uint16_t light_mode = 0; // TR2, TR2 Gold
    std::int16_t alternate_room = -1;
    std::array<std::uint8_t, 2> flags{};
    std::array<std::uint8_t, 3> extra{}; // TR3, TR4

    // TRC room block.
    std::int32_t y = 0;
    std::uint32_t colour = 0;
    std::array<std::uint32_t, 4> offsets{};
    std::array<std::uint32_t, 3> words1{};
    std::uint16_t word7 = 0;
    record bytes16 = record(16, 0);
    std::uint32_t word2 = 0;
    std::array<std::uint32_t, 5> words3{};
    std::uint32_t word4 = 0, word5 = 0;
    std::array<std::uint32_t, 5> words6{};
    std::vector<record> fog_bulbs; // 36 bytes each
    std::vector<trc_layer> layers;
    bytes trailing; // bytes of the block after the layer vertices
};

// Everything a test level holds. Raw records must have the version's record size (checked).
struct level_desc {
    std::int32_t game_version = 1;
    std::uint32_t version_word = 0; // 0: the usual first word of the version (TR3 and TR4/TRC have two)

    // TR1-TR3 pages: `num_pages` pages of pattern bytes.
    std::uint32_t num_pages = 1;
    // TR4, TRC: page counts and the three page blocks (compressed by the builder).
    std::uint16_t room_pages = 1, object_pages = 0, bump_pages = 0;
    bytes pages32, pages16, pages32_misc;
    record palette8 = record(768, 0), palette16 = record(1024, 0);
    record light_map = record(8192, 0);

    std::uint32_t pre_room_word = 0;     // TR1-TR4
    record trc_header = record(32, 0);   // TRC
    std::uint32_t trc_pre_room_word = 0; // TRC: the word read and ignored before the room count

    std::vector<room_desc> rooms;
    std::vector<std::uint16_t> floor_data;
    std::vector<std::uint16_t> mesh_words;
    std::vector<std::uint32_t> mesh_pointers;
    std::vector<record> animations;      // 32 bytes (TR1-TR3) or 40
    std::vector<record> state_changes;   // 6
    std::vector<record> anim_dispatches; // 8
    std::vector<std::uint16_t> anim_commands;
    std::vector<std::int32_t> mesh_trees;
    std::vector<std::int16_t> frames;
    std::vector<record> moveables;        // 18 bytes, TRC 20
    std::vector<record> static_meshes;    // 32
    std::vector<record> object_textures;  // 20 (TR1-TR3), 38 (TR4), 40 (TRC)
    std::vector<record> sprite_textures;  // 16
    std::vector<record> sprite_sequences; // 8
    std::vector<record> cameras;          // 16
    std::vector<record> flyby_cameras;    // 40, TR4 and TRC
    std::vector<record> sound_sources;    // 16
    std::vector<record> boxes;            // 20 (TR1, TR1 Gold) or 8
    std::vector<std::uint16_t> overlaps;
    // Zone arrays, each as long as `boxes`: six for TR1 and TR1 Gold, ten for the others.
    std::vector<std::vector<std::uint16_t>> zones;
    std::vector<std::uint16_t> animated_textures;
    std::uint8_t anim_uv_count = 0; // TR4, TRC
    std::vector<record> entities;   // 22 (TR1, TR1 Gold) or 24
    std::vector<record> ai_objects; // cinematic frames of 16 bytes (TR1-TR3) or AI objects of 24
    bytes demo_data;
    record sound_map;                  // 512, 740 or 900 bytes
    std::vector<record> sound_details; // 8
    bytes samples; // TR1: inside the file; TR4, TRC: after the level data to the end of the file
    std::vector<std::uint32_t> sample_indices;

    // Layout options.
    bool tr1_palette_at_gold_position = false; // TR1 (code 1) written with the palette after sprite sequences
    bytes after_last_section;                  // TR1-TR3: after the sample indices (end of file)
    bytes level_data_tail;                     // TR4, TRC: after the sample indices, inside the level data
    // TR4: bytes written in place of everything from the demo-data count to the end of the level data.
    std::optional<bytes> raw_sound_section;
};

// Counts of the level as built, for tests to compare with what the reader finds.
struct expected_counts {
    std::uint16_t rooms = 0;
    std::uint32_t floor_data = 0, mesh_words = 0, mesh_pointers = 0, animations = 0, state_changes = 0,
                  anim_dispatches = 0, anim_commands = 0, mesh_trees = 0, frames = 0, moveables = 0,
                  static_meshes = 0, object_textures = 0, sprite_textures = 0, sprite_sequences = 0,
                  cameras = 0, flyby_cameras = 0, sound_sources = 0, boxes = 0, overlaps = 0,
                  animated_textures = 0, entities = 0, ai_objects = 0, demo_data = 0, sound_details = 0,
                  samples = 0, sample_indices = 0, pages = 0;
};

// Where a section starts in the written bytes; `in_level_data` marks TR4 offsets that are inside the
// inflated level data rather than the file.
struct section_mark {
    std::string name;
    std::size_t offset = 0;
    bool in_level_data = false;
};

// A count field of the file (2 or 4 bytes), so tests can replace counts with absurd values.
struct count_field {
    std::string section;
    std::size_t offset = 0;
    int width = 4;
    bool in_level_data = false;
};

struct built_level {
    bytes data;
    expected_counts counts;
    std::vector<section_mark> sections;
    std::vector<count_field> count_fields;
    bytes level_data; // TR4: the level data before compression; TRC: the level data as stored
};

// A small level of the given version with a few records of recognisable bytes in every section.
level_desc make_level(std::int32_t game_version);
// Lays out the file. Throws std::logic_error when a record has the wrong size for the version.
built_level build_level(const level_desc& level);

// TR4: the file with its level-data block replaced by `level_data` compressed (for cutting or patching
// the inflated level data).
bytes with_level_data(const built_level& built, const bytes& level_data);
// TR4, TRC: the file with one compressed block (a page block, or the TR4 level data) replaced: its
// stored plain size, the zlib stream and `after_stream` bytes counted in its packed size.
bytes with_block(const built_level& built, const std::string& block, std::uint32_t stored_plain,
                 const bytes& stream, const bytes& after_stream = {});
// A zlib stream of `plain_size` zero bytes, made without holding them (for zlib bombs).
bytes zlib_zeros(std::size_t plain_size);
// Offset of the first section mark of that name (throws when there is none).
std::size_t section_offset(const built_level& built, const std::string& name, bool in_level_data = false);

// A file name whose extension selects the version (".phd", ".tub", ".tr2", ".trg.tr2", ".tr4", ".trc").
std::string file_name_for(std::int32_t game_version);
// The first `size` bytes of `data` (all of it when shorter).
bytes truncated(const bytes& data, std::size_t size);
// The "ZLIB" whole-file wrapper around `plain`.
bytes zlib_wrapped(const bytes& plain);
// zlib stream of `plain` at level 9.
bytes zlib_compress(const bytes& plain);
// TR4 sound section that cannot be parsed: a demo-data count larger than the bytes that follow.
bytes unparsable_sound_section();

} // namespace test_levels
