// The level writer: builds the file bytes of every game version in memory, with
// recomputed room sizes, TRC rooms rebuilt as one layer and recompressed blocks, then writes them
// to disk through a temporary file.
#include "level_writer.h"

#include "worker_pool.h"
#include "level_stream.h"

#include <cstring>
#include <future>
#include <limits>
#include <optional>
#include <system_error>
#include <tuple>
#include <utility>

namespace {

constexpr std::uint8_t separator_byte = 0xCD;

// Little-endian byte appender with patching.
class sink {
  public:
    std::vector<std::uint8_t> d;

    std::size_t size() const { return d.size(); }
    void u8(std::uint8_t v) { d.push_back(v); }
    void u16(std::uint16_t v) {
        d.push_back(std::uint8_t(v));
        d.push_back(std::uint8_t(v >> 8));
    }
    void u32(std::uint32_t v) {
        const std::size_t at = d.size();
        d.resize(at + 4);
        put_u32(&d[at], v);
    }
    void i16(std::int16_t v) { u16(std::uint16_t(v)); }
    void i32(std::int32_t v) { u32(std::uint32_t(v)); }
    void f32(float v) {
        std::uint32_t u;
        std::memcpy(&u, &v, 4);
        u32(u);
    }
    void bytes(const void* p, std::size_t n) {
        if (!n) return;
        const auto* b = static_cast<const std::uint8_t*>(p);
        d.insert(d.end(), b, b + n);
    }
    void fill(std::size_t n, std::uint8_t v) { d.insert(d.end(), n, v); }
    void separator(std::size_t n = 4) { fill(n, separator_byte); }
    void patch_u32(std::size_t at, std::uint32_t v) { put_u32(&d[at], v); }
};

std::uint32_t to_u32(std::size_t v, const std::string& what) {
    if (v > std::numeric_limits<std::uint32_t>::max())
        throw level_error("The level cannot be saved: " + what + " exceeds 4 GiB.");
    return std::uint32_t(v);
}

// What the writer recomputes; applied to the level only when the whole write succeeded.
struct recomputed {
    std::int32_t game_version = 0;
    bool tr1_layout_swapped = false;
    std::vector<std::uint32_t> num_data_words; // TR1-TR4, per room
    std::vector<std::uint32_t> trc_words3_3;   // TRC, per room
    bool pages = false;
    std::uint32_t pages32_size = 0, pages32_packed = 0;
    std::uint32_t pages16_size = 0, pages16_packed = 0;
    std::uint32_t pages32_misc_size = 0, pages32_misc_packed = 0;

    void apply(tr_level& lv) const {
        lv.game_version = game_version;
        lv.tr1_layout_swapped = tr1_layout_swapped;
        for (std::size_t i = 0; i < num_data_words.size() && i < lv.rooms.size(); ++i)
            lv.rooms[i].num_data_words = num_data_words[i];
        for (std::size_t i = 0; i < trc_words3_3.size() && i < lv.rooms.size(); ++i)
            lv.rooms[i].trc_words3[3] = trc_words3_3[i];
        if (pages) {
            lv.pages32_size = pages32_size;
            lv.pages32_packed = pages32_packed;
            lv.pages16_size = pages16_size;
            lv.pages16_packed = pages16_packed;
            lv.pages32_misc_size = pages32_misc_size;
            lv.pages32_misc_packed = pages32_misc_packed;
        }
    }
};

class level_writer {
  public:
    level_writer(const tr_level& level, std::int32_t game, std::vector<section_mark>* marks)
        : lv(level), g(game), marks_(marks) {}

    recomputed result;
    sink out;

    // Sections 13 (or the TRC header, 11-12) to 48 and what follows, into `out`.
    void write_level_data();
    // TR1-TR3: the file header and pages, into `out`.
    void write_tr1_to_tr3_header();

  private:
    const tr_level& lv;
    const std::int32_t g;
    std::vector<section_mark>* marks_;

    void mark(const char* name) {
        if (marks_) marks_->push_back({name, out.size(), g == game_tr4});
    }
    template <std::size_t N>
    void records(const std::vector<rec<N>>& v, std::uint64_t count, const std::string& what) {
        if (v.size() < count)
            throw level_error("The level cannot be saved: the " + what + " hold " + std::to_string(v.size()) +
                              " records but their count is " + std::to_string(count) + ".");
        out.bytes(v.data(), std::size_t(count) * N);
    }
    template <class T> void words(const std::vector<T>& v, std::uint64_t count, const std::string& what) {
        static_assert(std::is_integral_v<T>);
        if (v.size() < count)
            throw level_error("The level cannot be saved: the " + what + " hold " + std::to_string(v.size()) +
                              " entries but their count is " + std::to_string(count) + ".");
        for (std::size_t i = 0; i < count; ++i) {
            if constexpr (sizeof(T) == 2)
                out.u16(std::uint16_t(v[i]));
            else
                out.u32(std::uint32_t(v[i]));
        }
    }
    // A u32 count, then the records.
    template <std::size_t N>
    void section(const char* name, const std::vector<rec<N>>& v, std::uint32_t count) {
        mark(name);
        out.u32(count);
        records(v, count, name);
    }
    template <class T> void word_section(const char* name, const std::vector<T>& v, std::uint32_t count) {
        mark(name);
        out.u32(count);
        words(v, count, name);
    }
    static std::uint16_t count16(std::uint32_t n, const char* what) {
        if (n > 0xFFFF)
            throw level_error(std::string("The level cannot be saved: the ") + what + " count " +
                              std::to_string(n) + " does not fit the 16-bit count of the file.");
        return std::uint16_t(n);
    }

    void room_tr1_to_tr4(const troom& r, std::size_t index);
    void room_trc(const troom& r, std::size_t index);
    void object_textures();
    void sound_sections();
};

void level_writer::write_tr1_to_tr3_header() {
    mark("version word");
    out.u32(lv.version_word);
    if (g >= game_tr2) {
        mark("palettes");
        out.bytes(lv.palette8.data(), lv.palette8.size());
        out.bytes(lv.palette16.data(), lv.palette16.size());
    }
    mark("texture pages");
    out.u32(lv.num_pages);
    lv.report_progress(30);
    const std::size_t n8 = std::size_t(lv.num_pages) * 65536;
    if (lv.pages8.size() < n8)
        throw level_error("The level cannot be saved: its 8-bit texture pages hold fewer than " +
                          std::to_string(lv.num_pages) + " pages.");
    out.bytes(lv.pages8.data(), n8);
    if (g >= game_tr2) {
        const std::size_t n16 = std::size_t(lv.num_pages) * 131072;
        if (lv.pages16.size() < n16)
            throw level_error("The level cannot be saved: its 16-bit texture pages hold fewer than " +
                              std::to_string(lv.num_pages) + " pages.");
        out.bytes(lv.pages16.data(), n16);
    }
    lv.report_progress(50);
}

void level_writer::room_tr1_to_tr4(const troom& r, std::size_t index) {
    const std::string room = "room " + std::to_string(index) + " ";
    const std::size_t vsize = g <= game_tr1_gold ? 8 : 12;
    const std::uint64_t data_bytes =
        vsize * r.num_vertices + 10ull * r.num_rectangles + 8ull * r.num_triangles + 4ull * r.num_sprites + 8;
    const std::uint32_t data_words = std::uint32_t(data_bytes / 2);
    result.num_data_words[index] = data_words;

    out.i32(r.x);
    out.i32(r.z);
    out.i32(r.y_bottom);
    out.i32(r.y_top);
    out.u32(data_words);
    out.u16(r.num_vertices);
    if (vsize == 8)
        records(r.vertices8, r.num_vertices, room + "vertices");
    else
        records(r.vertices12, r.num_vertices, room + "vertices");
    out.u16(r.num_rectangles);
    records(r.rectangles10, r.num_rectangles, room + "rectangles");
    out.u16(r.num_triangles);
    records(r.triangles8, r.num_triangles, room + "triangles");
    out.u16(r.num_sprites);
    records(r.sprites, r.num_sprites, room + "sprites");
    out.u16(r.num_portals);
    records(r.portals, r.num_portals, room + "portals");
    out.u16(r.num_z_sectors);
    out.u16(r.num_x_sectors);
    records(r.sectors, std::uint64_t(r.num_z_sectors) * r.num_x_sectors, room + "sectors");
    out.bytes(r.ambient.data(), 2);
    if (g >= game_tr2) out.u16(r.ambient2);
    if (g == game_tr2 || g == game_tr2_gold) out.u16(r.light_mode);
    out.u16(r.num_lights);
    if (g <= game_tr1_gold)
        records(r.lights18, r.num_lights, room + "lights");
    else if (g <= game_tr3)
        records(r.lights24, r.num_lights, room + "lights");
    else
        records(r.lights46, r.num_lights, room + "lights");
    out.u16(r.num_room_statics);
    if (g <= game_tr1_gold)
        records(r.room_statics18, r.num_room_statics, room + "static meshes");
    else
        records(r.room_statics20, r.num_room_statics, room + "static meshes");
    out.i16(r.alternate_room);
    out.bytes(r.room_flags.data(), 2);
    if (g == game_tr3 || g == game_tr4) out.bytes(r.room_extra.data(), 3);
}

void level_writer::room_trc(const troom& r, std::size_t index) {
    const std::string room = "room " + std::to_string(index) + " ";
    // 1-4
    out.bytes("XELA", 4);
    const std::size_t at_block_size = out.size();
    out.u32(r.room_block_size);
    out.separator();
    const std::size_t at_offsets = out.size();
    for (auto w : r.trc_offsets)
        out.u32(w);
    // 5-7
    out.i32(r.x);
    out.i32(r.y);
    out.i32(r.z);
    out.i32(r.y_bottom);
    out.i32(r.y_top);
    out.u16(r.num_z_sectors);
    out.u16(r.num_x_sectors);
    out.u32(r.room_colour);
    out.u16(r.num_lights);
    out.u16(r.num_room_statics);
    for (auto w : r.trc_words1)
        out.u32(w);
    // 8
    out.separator(8);
    out.fill(6, 0xFF);
    out.bytes(r.room_flags.data(), 2);
    out.u16(r.trc_word7);
    out.fill(10, 0);
    out.separator();
    // 9
    out.bytes(r.trc_bytes16.data(), 4);
    out.f32(float(r.x));
    out.f32(0.0f);
    out.f32(float(r.z));
    // 10
    out.separator(16);
    out.u32(r.trc_word2);
    out.separator();
    // 11
    const std::uint32_t lights_bytes = std::uint32_t(r.num_lights) * 88;
    result.trc_words3_3[index] = lights_bytes;
    out.u32(r.trc_words3[0]);
    out.u32(r.trc_words3[1]);
    out.u32(r.trc_words3[2]);
    out.u32(lights_bytes);
    out.u32(r.trc_words3[4]);
    // 12-14
    out.u32(r.num_fog_bulbs);
    // The game's files hold the room's vertical extent here as floats, like x and z above.
    out.f32(float(r.y_top));
    out.f32(float(r.y_bottom));
    out.u32(1);
    const std::size_t at_words6 = out.size();
    for (auto w : r.trc_words6)
        out.u32(w);
    // 15
    out.separator(16);
    const std::size_t data_start = out.size();
    auto rel = [&] { return to_u32(out.size() - data_start, room + "block"); };
    // 16
    records(r.lights88, r.num_lights, room + "lights");
    records(r.fog_bulbs, r.num_fog_bulbs, room + "fog bulbs");
    out.patch_u32(at_offsets + 4, rel());
    // 17
    records(r.sectors, std::uint64_t(r.num_z_sectors) * r.num_x_sectors, room + "sectors");
    out.patch_u32(at_offsets + 0, rel());
    // 18
    out.u16(r.num_portals);
    records(r.portals, r.num_portals, room + "portals");
    out.separator(2);
    out.patch_u32(at_offsets + 12, rel());
    // 19
    records(r.room_statics20, r.num_room_statics, room + "static meshes");
    out.patch_u32(at_words6 + 0, rel());
    // 20: the one layer header.
    rec<56> first{};
    if (!r.layer_headers.empty()) first = r.layer_headers.front();
    out.u32(r.num_vertices);
    out.bytes(&first[4], 2);
    out.u16(r.num_rectangles);
    out.u16(r.num_triangles);
    out.bytes(&first[10], 46);
    // 21
    out.patch_u32(at_words6 + 8, rel());
    out.patch_u32(at_words6 + 12, rel());
    // 22
    records(r.rectangles12, r.num_rectangles, room + "rectangles");
    records(r.triangles10, r.num_triangles, room + "triangles");
    if (r.num_triangles % 2) out.separator(2);
    // 23
    out.patch_u32(at_words6 + 4, rel());
    const std::size_t vertices_at = out.size();
    // 24
    records(r.vertices28, r.num_vertices, room + "vertices");
    out.separator(2);
    // 26-27
    out.patch_u32(at_words6 + 16, to_u32(out.size() - vertices_at, room + "block"));
    out.patch_u32(at_block_size, to_u32(out.size() - (at_block_size + 4), room + "block"));
}

void level_writer::object_textures() {
    mark("object textures");
    out.u32(lv.num_object_textures);
    if (lv.object_textures.size() < lv.num_object_textures)
        throw level_error(
            "The level cannot be saved: the object textures hold fewer records than their count.");
    for (std::size_t i = 0; i < lv.num_object_textures; ++i) {
        const auto& t = lv.object_textures[i];
        out.u16(t.attribute);
        out.u16(t.page);
        if (g >= game_tr4) out.u16(t.new_flags);
        for (const auto& k : t.corners) {
            out.u8(k.x_frac);
            out.u8(k.x_pixel);
            out.u8(k.y_frac);
            out.u8(k.y_pixel);
        }
        if (g >= game_tr4)
            for (auto w : t.raw_words)
                out.u32(w);
        if (g == game_trc) out.u16(t.raw_u16);
    }
}

void level_writer::sound_sections() {
    mark("demo data");
    out.u16(count16(lv.num_demo_data, "demo data"));
    if (lv.demo_data.size() < lv.num_demo_data)
        throw level_error("The level cannot be saved: the demo data hold fewer bytes than their count.");
    out.bytes(lv.demo_data.data(), lv.num_demo_data);
    mark("sound map");
    const std::size_t map_size = g <= game_tr1_gold ? 512 : (g == game_trc ? 900 : 740);
    out.bytes(lv.sound_map.data(), map_size);
    section("sound details", lv.sound_details, lv.num_sound_details);
    if (g <= game_tr1_gold) {
        mark("samples");
        if (lv.samples.size() < lv.samples_size)
            throw level_error("The level cannot be saved: the samples hold fewer bytes than their size.");
        out.u32(lv.samples_size);
        out.bytes(lv.samples.data(), lv.samples_size);
    }
    word_section("sample indices", lv.sample_indices, lv.num_sample_indices);
}

void level_writer::write_level_data() {
    std::size_t at_level_data_size = 0;
    if (g == game_trc) {
        mark("level data header");
        out.bytes(lv.trc_header.data(), lv.trc_header.size());
        at_level_data_size = out.size();
        out.u32(lv.level_data_size);
        out.u32(lv.level_data_packed);
        mark("room count");
        out.u32(lv.pre_room_word);
        out.u32(lv.num_rooms);
    } else {
        mark("room count");
        out.u32(lv.pre_room_word);
        out.u16(lv.num_rooms);
    }

    mark("rooms");
    if (lv.rooms.size() < lv.num_rooms)
        throw level_error("The level cannot be saved: it holds fewer rooms than its room count.");
    if (g == game_trc)
        result.trc_words3_3.assign(lv.num_rooms, 0);
    else
        result.num_data_words.assign(lv.num_rooms, 0);
    double acc = 0;
    const double per_room = lv.num_rooms ? 30.0 / lv.num_rooms : 0;
    for (std::size_t i = 0; i < lv.num_rooms; ++i) {
        if (g == game_trc)
            room_trc(lv.rooms[i], i);
        else
            room_tr1_to_tr4(lv.rooms[i], i);
        acc += per_room;
        lv.report_progress(50 + int(acc));
    }
    lv.report_progress(80);

    word_section("floor data", lv.floor_data, lv.num_floor_data);
    word_section("mesh data", lv.mesh_words, lv.num_mesh_words);
    word_section("mesh pointers", lv.mesh_pointers, lv.num_mesh_pointers);
    if (g >= game_tr4)
        section("animations", lv.animations40, lv.num_animations);
    else
        section("animations", lv.animations, lv.num_animations);
    section("state changes", lv.state_changes, lv.num_state_changes);
    section("animation dispatches", lv.anim_dispatches, lv.num_anim_dispatches);
    word_section("animation commands", lv.anim_commands, lv.num_anim_commands);
    word_section("mesh trees", lv.mesh_trees, lv.num_mesh_trees);
    word_section("frames", lv.frames, lv.num_frames);
    if (g == game_trc)
        section("moveables", lv.moveables20, lv.num_moveables);
    else
        section("moveables", lv.moveables, lv.num_moveables);
    section("static meshes", lv.static_meshes, lv.num_static_meshes);
    if (g <= game_tr2_gold) object_textures();
    if (g >= game_tr4) {
        mark("sprite marker");
        out.bytes(lv.spr_marker.data(), g == game_trc ? 4 : 3);
    }
    section("sprite textures", lv.sprite_textures, lv.num_sprite_textures);
    section("sprite sequences", lv.sprite_sequences, lv.num_sprite_sequences);
    if (g == game_tr1_gold) {
        mark("palette");
        out.bytes(lv.palette8.data(), lv.palette8.size());
    }
    section("cameras", lv.cameras, lv.num_cameras);
    if (g >= game_tr4) section("flyby cameras", lv.flyby_cameras, lv.num_flyby_cameras);
    section("sound sources", lv.sound_sources, lv.num_sound_sources);
    if (g <= game_tr1_gold)
        section("boxes", lv.boxes20, lv.num_boxes);
    else
        section("boxes", lv.boxes, lv.num_boxes);
    word_section("overlaps", lv.overlaps, lv.num_overlaps);
    mark("zones");
    if (g <= game_tr1_gold) {
        for (const auto* z : {&lv.ground_zone1, &lv.ground_zone2, &lv.fly_zone, &lv.ground_zone1_alt,
                              &lv.ground_zone2_alt, &lv.fly_zone_alt})
            words(*z, lv.num_boxes, "zones");
    } else {
        for (const auto* z : {&lv.ground_zone1, &lv.ground_zone2, &lv.ground_zone3, &lv.ground_zone4,
                              &lv.fly_zone, &lv.ground_zone1_alt, &lv.ground_zone2_alt, &lv.ground_zone3_alt,
                              &lv.ground_zone4_alt, &lv.fly_zone_alt})
            words(*z, lv.num_boxes, "zones");
    }
    word_section("animated textures", lv.animated_textures, lv.num_animated_textures);
    lv.report_progress(85);
    if (g >= game_tr4) {
        mark("texture marker");
        out.u8(lv.anim_uv_count);
        out.bytes(lv.tex_marker.data(), g == game_trc ? 4 : 3);
    }
    if (g >= game_tr3) object_textures();
    lv.report_progress(90);
    if (g <= game_tr1_gold)
        section("entities", lv.entities22, lv.num_entities);
    else
        section("entities", lv.entities, lv.num_entities);
    if (g <= game_tr3) {
        mark("light map");
        out.bytes(lv.light_map.data(), lv.light_map.size());
    }
    if (g == game_tr1) {
        mark("palette");
        out.bytes(lv.palette8.data(), lv.palette8.size());
    }
    if (g >= game_tr4) {
        section("AI objects", lv.ai_objects, lv.num_ai_objects);
    } else {
        mark("cinematic frames");
        out.u16(count16(lv.num_ai_objects, "cinematic frame"));
        records(lv.cinematic_frames, lv.num_ai_objects, "cinematic frames");
    }

    if (g == game_tr4 && lv.sound_block_raw) {
        // Sections 44-48 kept as one block because they did not parse: written back unchanged.
        mark("sound block");
        out.bytes(lv.sound_block.data(), lv.sound_block.size());
        return;
    }
    sound_sections();

    if (g == game_trc) {
        // The level data ends with the separator. A file read back keeps it at the start of its
        // tail bytes, which are then written as they are.
        mark("end of level data");
        const auto& t = lv.tail_bytes;
        const bool has_separator = t.size() >= 4 && t[0] == separator_byte && t[1] == separator_byte &&
                                   t[2] == separator_byte && t[3] == separator_byte;
        if (!has_separator) out.separator();
        out.bytes(t.data(), t.size());
        const std::uint32_t length = to_u32(out.size() - (at_level_data_size + 8), "the level data");
        out.patch_u32(at_level_data_size, length);
        out.patch_u32(at_level_data_size + 4, length);
    } else if (!lv.tail_bytes.empty()) {
        mark("bytes after the last section");
        out.bytes(lv.tail_bytes.data(), lv.tail_bytes.size());
    }
}

// A compressed block: plain size, packed size, zlib stream.
void put_block(sink& out, std::size_t plain_size, const std::vector<std::uint8_t>& packed, const char* what) {
    out.u32(to_u32(plain_size, what));
    out.u32(to_u32(packed.size(), what));
    out.bytes(packed.data(), packed.size());
}

std::vector<std::uint8_t> build_file(const tr_level& lv, std::int32_t g, const write_options& options,
                                     recomputed& result) {
    std::vector<section_mark>* marks = options.sections;
    if (marks) marks->clear();
    level_writer w(lv, g, marks);
    w.result.game_version = g;

    if (g < game_tr4) {
        w.write_tr1_to_tr3_header();
        w.write_level_data();
        lv.report_progress(100);
        result = std::move(w.result);
        return std::move(w.out.d);
    }

    // TR4 and TRC: the page blocks are compressed on two workers while this thread lays out the
    // level data and (TR4) compresses it: the largest block (32-bit pages) on one worker, the 16-bit
    // and extra pages one after the other on the second. The three loads are close to each other, so
    // two cores finish together. Each block is one zlib stream, so the bytes do not depend on this.
    if (lv.samples.size() < lv.samples_size)
        throw level_error("The level cannot be saved: the samples hold fewer bytes than their size.");
    using block = std::vector<std::uint8_t>;
    auto deflate = [](const std::vector<std::uint8_t>& plain) {
        return deflate_block(plain.data(), plain.size());
    };
    const std::vector<std::uint8_t>* plains[3] = {&lv.pages32, &lv.pages16, &lv.pages32_misc};
    block packed[3];
    std::future<block> pending32;
    std::future<std::pair<block, block>> pending16_misc;
    if (options.parallel_compression) {
        pending32 = start_task([&lv, deflate] { return deflate(lv.pages32); });
        pending16_misc = start_task([&lv, deflate] {
            return std::pair{deflate(lv.pages16), deflate(lv.pages32_misc)};
        });
    }

    w.write_level_data();
    std::vector<std::uint8_t> level_data = std::move(w.out.d);
    block packed_level;
    if (options.parallel_compression) {
        if (g == game_tr4) packed_level = deflate(level_data);
        packed[0] = pending32.get();
        std::tie(packed[1], packed[2]) = pending16_misc.get();
    } else {
        for (int i = 0; i < 3; ++i)
            packed[i] = deflate(*plains[i]);
        if (g == game_tr4) packed_level = deflate(level_data);
    }

    sink out;
    std::vector<section_mark> file_marks;
    auto mark = [&](const char* name) { file_marks.push_back({name, out.size(), false}); };
    mark("version word");
    out.u32(lv.version_word);
    mark("page counts");
    out.u16(lv.num_room_pages);
    out.u16(lv.num_object_pages);
    out.u16(lv.num_bump_pages);
    const char* names[3] = {"32-bit pages", "16-bit pages", "extra 32-bit pages"};
    for (int i = 0; i < 3; ++i) {
        mark(names[i]);
        put_block(out, plains[i]->size(), packed[i], names[i]);
    }
    result = std::move(w.result);
    result.pages = true;
    result.pages32_size = std::uint32_t(lv.pages32.size());
    result.pages32_packed = std::uint32_t(packed[0].size());
    result.pages16_size = std::uint32_t(lv.pages16.size());
    result.pages16_packed = std::uint32_t(packed[1].size());
    result.pages32_misc_size = std::uint32_t(lv.pages32_misc.size());
    result.pages32_misc_packed = std::uint32_t(packed[2].size());

    if (g == game_trc) {
        const std::size_t base = out.size();
        if (marks)
            for (auto& m : *marks)
                m.offset += base;
        out.bytes(level_data.data(), level_data.size());
    } else {
        mark("level data");
        put_block(out, level_data.size(), packed_level, "the level data");
    }
    mark("samples");
    out.bytes(lv.samples.data(), lv.samples_size);
    lv.report_progress(100);

    if (marks) {
        // File-level marks first, then the level-data marks (TRC: already at file offsets).
        std::vector<section_mark> all = std::move(file_marks);
        if (g == game_trc) {
            // Keep file order: the level data sits between the page blocks and the samples.
            section_mark samples = all.back();
            all.pop_back();
            all.insert(all.end(), marks->begin(), marks->end());
            all.push_back(samples);
        } else {
            all.insert(all.end(), marks->begin(), marks->end());
        }
        *marks = std::move(all);
    }
    return std::move(out.d);
}

bool name_has(const std::string& name, const char* a, const char* b) {
    return name.find(a) != std::string::npos || name.find(b) != std::string::npos;
}

// The code a file name selects for the level's version word, by the reader's rule.
std::int32_t code_named_by(const tr_level& level, const std::string& file_name) {
    switch (level.version_word) {
    case 0x00000020:
        return name_has(file_name, ".TUB", ".tub") ? game_tr1_gold : game_tr1;
    case 0x0000002D:
        return name_has(file_name, ".TRG", ".trg") ? game_tr2_gold : game_tr2;
    case 0xFF080038:
    case 0xFF180038:
        return game_tr3;
    default:
        return level.game_version; // TR4 and TRC keep the code they were read with
    }
}

bool is_tr1(std::int32_t code) {
    return code == game_tr1 || code == game_tr1_gold;
}

// The code the level's own file name selected: its layout, unless the reader chose the other
// TR1 layout because the content fitted it.
std::int32_t code_of_own_name(const tr_level& level) {
    if (level.tr1_layout_swapped && is_tr1(level.game_version))
        return level.game_version == game_tr1 ? game_tr1_gold : game_tr1;
    return level.game_version;
}

} // namespace

std::int32_t game_version_for_target(const tr_level& level, const std::string& file_name) {
    const std::int32_t named = code_named_by(level, file_name);
    return named == code_of_own_name(level) ? level.game_version : named;
}

namespace {
std::vector<std::uint8_t> build_checked(const tr_level& level, const std::string& target_name,
                                        const write_options& options, recomputed& result) {
    if (!level.loaded()) throw level_error("No level is loaded: there is nothing to save.");
    const std::int32_t g = game_version_for_target(level, target_name);
    if (g < game_tr1 || g > game_trc)
        throw level_error("The level cannot be saved: its game version (" + std::to_string(g) +
                          ") is not known.");
    level.report_progress(0);
    try {
        auto bytes = build_file(level, g, options, result);
        // Whether the layout written differs from what the target's name selects.
        result.tr1_layout_swapped = is_tr1(g) && code_named_by(level, target_name) != g;
        return bytes;
    } catch (const std::bad_alloc&) {
        level.report_progress(0);
        throw level_error("The level cannot be saved: not enough memory.");
    } catch (...) {
        level.report_progress(0);
        throw;
    }
}
} // namespace

std::vector<std::uint8_t> write_level_memory(tr_level& level, const std::string& target_name,
                                             const write_options& options) {
    recomputed result;
    auto bytes = build_checked(level, target_name, options, result);
    result.apply(level);
    level.report_progress(0);
    return bytes;
}

std::uint8_t write_level(tr_level& level, const std::string& file_name, const write_options& options) {
    if (!level.loaded()) return write_not_loaded;
    recomputed result;
    auto bytes = build_checked(level, file_name, options, result);
    try {
        write_file_atomic(file_name, bytes.data(), bytes.size());
    } catch (...) {
        level.report_progress(0);
        throw;
    }
    result.apply(level);
    level.report_progress(0);
    return write_ok;
}

std::string section_at(const std::vector<section_mark>& marks, std::uint64_t offset, bool in_level_data) {
    std::string name;
    for (const auto& m : marks) {
        if (m.in_level_data != in_level_data) continue;
        if (m.offset <= offset) name = m.name;
    }
    return name;
}
