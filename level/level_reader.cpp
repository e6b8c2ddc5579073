// The level reader: recognises the game version and reads every section of the file into
// tr_level, bounds-checking each read so a corrupt file is refused before anything is allocated.
#include "level_reader.h"

#include "level_stream.h"
#include "worker_pool.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstring>
#include <exception>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <stdexcept>
#include <unordered_map>

namespace {

// A corrupt or truncated file; the message names the section.
struct corrupt_file : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Bounds-checked little-endian reading over one buffer.
class cursor {
  public:
    cursor(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    const char* section = "header";

    std::size_t pos() const { return pos_; }
    std::size_t size() const { return size_; }
    std::size_t remaining() const { return size_ - pos_; }
    void seek(std::size_t p) { pos_ = p < size_ ? p : size_; }
    const std::uint8_t* here() const { return data_ + pos_; }

    void need(std::uint64_t n) const {
        if (n > remaining())
            throw corrupt_file(std::string("The file is truncated or corrupt: the ") + section +
                               " section needs " + std::to_string(n) + " bytes at offset " +
                               std::to_string(pos_) + " but only " + std::to_string(remaining()) +
                               " remain.");
    }
    // Checks that `count` records of `record_size` bytes fit in what remains, before any allocation.
    std::uint32_t count_fits(std::uint64_t count, std::size_t record_size) const {
        if (count * record_size > remaining())
            throw corrupt_file(std::string("The file is truncated or corrupt: the ") + section +
                               " section claims " + std::to_string(count) + " records of " +
                               std::to_string(record_size) + " bytes at offset " + std::to_string(pos_) +
                               " but only " + std::to_string(remaining()) + " bytes remain.");
        return std::uint32_t(count);
    }
    void bytes(void* dest, std::size_t n) {
        need(n);
        if (n) std::memcpy(dest, data_ + pos_, n);
        pos_ += n;
    }
    void skip(std::size_t n) {
        need(n);
        pos_ += n;
    }
    std::uint8_t u8() {
        need(1);
        return data_[pos_++];
    }
    std::uint16_t u16() {
        need(2);
        const auto v = get_u16(data_ + pos_);
        pos_ += 2;
        return v;
    }
    std::uint32_t u32() {
        need(4);
        const auto v = get_u32(data_ + pos_);
        pos_ += 4;
        return v;
    }
    std::int16_t i16() { return std::int16_t(u16()); }
    std::int32_t i32() { return std::int32_t(u32()); }

    // Records of fixed size into a vector already sized to the count.
    template <std::size_t N> void records(std::vector<rec<N>>& v) {
        need(std::uint64_t(v.size()) * N);
        if (!v.empty()) std::memcpy(v.data(), data_ + pos_, v.size() * N);
        pos_ += v.size() * N;
    }
    template <class T> void words(std::vector<T>& v) {
        static_assert(std::is_integral_v<T>);
        need(std::uint64_t(v.size()) * sizeof(T));
        if constexpr (std::endian::native == std::endian::little) {
            // The file's words are little-endian: on such hosts they copy as they are.
            if (!v.empty()) std::memcpy(v.data(), data_ + pos_, v.size() * sizeof(T));
            pos_ += v.size() * sizeof(T);
            return;
        }
        for (auto& w : v) {
            if constexpr (sizeof(T) == 2)
                w = T(get_u16(data_ + pos_));
            else
                w = T(get_u32(data_ + pos_));
            pos_ += sizeof(T);
        }
    }
    template <std::size_t N> void fixed(std::array<std::uint8_t, N>& a) { bytes(a.data(), N); }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// Reads a fixed-size-record section: count (u32 or u16), then the records.
template <std::size_t N, class SetCount>
void read_records(cursor& c, const char* section, std::vector<rec<N>>& v, SetCount set_count,
                  bool count16 = false) {
    c.section = section;
    const std::uint32_t n = c.count_fits(count16 ? c.u16() : c.u32(), N);
    set_count(n);
    c.records(v);
}
template <class T, class SetCount>
void read_words(cursor& c, const char* section, std::vector<T>& v, SetCount set_count) {
    c.section = section;
    const std::uint32_t n = c.count_fits(c.u32(), sizeof(T));
    set_count(n);
    c.words(v);
}

std::int16_t trunc_to_i16(float f) {
    if (!std::isfinite(f)) return 0;
    const double t = std::trunc(double(f));
    const double clamped = t < -2147483648.0 ? -2147483648.0 : (t > 2147483647.0 ? 2147483647.0 : t);
    return std::int16_t(std::uint16_t(std::uint32_t(std::int32_t(clamped)) & 0xFFFF));
}

float get_f32(const std::uint8_t* p) {
    const std::uint32_t u = get_u32(p);
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}

std::uint64_t vertex_key(std::int16_t x, std::int16_t y, std::int16_t z) {
    return (std::uint64_t(std::uint16_t(x)) << 32) | (std::uint64_t(std::uint16_t(y)) << 16) |
           std::uint16_t(z);
}

class level_parser {
  public:
    explicit level_parser(tr_level& level) : lv(level) {}

    void read_room_tr1_to_tr4(cursor& c, troom& r);
    void read_room_trc(cursor& c, troom& r, std::size_t index);
    void merge_trc_layers(troom& r, std::size_t index);
    // Reads sections 13/14 onward from `c` (the level data), up to and including the sample indices.
    void read_level_data(cursor& c, bool trc, std::size_t level_data_end);

  private:
    tr_level& lv;
    int game() const { return lv.game_version; }
    void read_rooms(cursor& c, bool trc);
    void read_sound_sections(cursor& c);
};

void level_parser::read_room_tr1_to_tr4(cursor& c, troom& r) {
    const int g = game();
    r.x = c.i32();
    r.z = c.i32();
    r.y_bottom = c.i32();
    r.y_top = c.i32();
    r.num_data_words = c.u32();

    const std::size_t vsize = g <= game_tr1_gold ? 8 : 12;
    const auto nv = std::uint16_t(c.count_fits(c.u16(), vsize));
    r.set_num_vertices(nv);
    for (std::size_t i = 0; i < nv; ++i) {
        auto& v8 = r.vertices8[i];
        auto& v12 = r.vertices12[i];
        if (vsize == 8) {
            c.bytes(v8.data(), 8);
            std::memcpy(v12.data(), v8.data(), 8);
            put_u16(&v12[8], 0x0010);
            put_u16(&v12[10], 0x3DEF);
        } else {
            c.bytes(v12.data(), 12);
            std::memcpy(v8.data(), v12.data(), 8);
        }
    }
    r.num_rectangles = std::uint16_t(c.count_fits(c.u16(), 10));
    r.rectangles10.assign(r.num_rectangles, {});
    c.records(r.rectangles10);
    r.num_triangles = std::uint16_t(c.count_fits(c.u16(), 8));
    r.triangles8.assign(r.num_triangles, {});
    c.records(r.triangles8);
    r.num_sprites = std::uint16_t(c.count_fits(c.u16(), 4));
    r.sprites.assign(r.num_sprites, {});
    c.records(r.sprites);
    r.num_portals = std::uint16_t(c.count_fits(c.u16(), 32));
    r.portals.assign(r.num_portals, {});
    c.records(r.portals);
    r.num_z_sectors = c.u16();
    r.num_x_sectors = c.u16();
    r.sectors.assign(c.count_fits(std::uint64_t(r.num_z_sectors) * r.num_x_sectors, 8), {});
    c.records(r.sectors);
    c.fixed(r.ambient);
    if (g >= game_tr2) r.ambient2 = c.u16();
    if (g == game_tr2 || g == game_tr2_gold) r.light_mode = c.u16();
    const std::size_t lsize = g <= game_tr1_gold ? 18 : (g <= game_tr3 ? 24 : 46);
    r.num_lights = std::uint16_t(c.count_fits(c.u16(), lsize));
    if (lsize == 18) {
        r.lights18.assign(r.num_lights, {});
        c.records(r.lights18);
    } else if (lsize == 24) {
        r.lights24.assign(r.num_lights, {});
        c.records(r.lights24);
    } else {
        r.lights46.assign(r.num_lights, {});
        c.records(r.lights46);
    }
    if (g <= game_tr1_gold) {
        r.num_room_statics = std::uint16_t(c.count_fits(c.u16(), 18));
        r.room_statics18.assign(r.num_room_statics, {});
        c.records(r.room_statics18);
    } else {
        r.num_room_statics = std::uint16_t(c.count_fits(c.u16(), 20));
        r.room_statics20.assign(r.num_room_statics, {});
        c.records(r.room_statics20);
    }
    r.alternate_room = c.i16();
    c.fixed(r.room_flags);
    r.room_extra.fill(0);
    if (g == game_tr3 || g == game_tr4) c.bytes(r.room_extra.data(), 3);
}

void level_parser::read_room_trc(cursor& c, troom& r, std::size_t index) {
    c.skip(4); // "XELA"
    r.room_block_size = c.u32();
    c.need(r.room_block_size);
    const std::size_t block_end = c.pos() + r.room_block_size;
    c.skip(4);
    for (auto& w : r.trc_offsets)
        w = c.u32();
    r.x = c.i32();
    r.y = c.i32();
    r.z = c.i32();
    r.y_bottom = c.i32();
    r.y_top = c.i32();
    r.num_z_sectors = c.u16();
    r.num_x_sectors = c.u16();
    r.room_colour = c.u32();
    r.num_lights = c.u16();
    r.num_room_statics = c.u16();
    for (auto& w : r.trc_words1)
        w = c.u32();
    c.skip(8 + 6);
    c.fixed(r.room_flags);
    r.trc_word7 = c.u16();
    c.skip(10 + 4);
    c.fixed(r.trc_bytes16);
    c.skip(16);
    r.trc_word2 = c.u32();
    c.skip(4);
    for (auto& w : r.trc_words3)
        w = c.u32();
    r.num_fog_bulbs = c.u32();
    r.trc_word4 = c.u32();
    r.trc_word5 = c.u32();
    r.num_layers = c.u32();
    for (auto& w : r.trc_words6)
        w = c.u32();
    c.skip(16);

    r.lights88.assign(c.count_fits(r.num_lights, 88), {});
    c.records(r.lights88);
    r.fog_bulbs.assign(c.count_fits(r.num_fog_bulbs, 36), {});
    c.records(r.fog_bulbs);
    r.sectors.assign(c.count_fits(std::uint64_t(r.num_z_sectors) * r.num_x_sectors, 8), {});
    c.records(r.sectors);
    r.num_portals = std::uint16_t(c.count_fits(c.u16(), 32));
    r.portals.assign(r.num_portals, {});
    c.records(r.portals);
    c.skip(2);
    r.room_statics20.assign(c.count_fits(r.num_room_statics, 20), {});
    c.records(r.room_statics20);

    r.set_num_vertices(0);
    r.num_rectangles = r.num_triangles = r.num_sprites = 0;
    r.rectangles10.clear();
    r.rectangles12.clear();
    r.triangles8.clear();
    r.triangles10.clear();
    r.sprites.clear();

    r.layer_headers.assign(c.count_fits(r.num_layers, 56), {});
    c.records(r.layer_headers);
    r.layers.count = r.num_layers;
    r.layers.layers.assign(r.num_layers, {});
    std::uint64_t total_triangles = 0;
    for (std::size_t l = 0; l < r.num_layers; ++l) {
        const auto& h = r.layer_headers[l];
        auto& layer = r.layers.layers[l];
        layer.rectangles.assign(c.count_fits(get_u16(&h[6]), 12), {});
        c.records(layer.rectangles);
        layer.triangles.assign(c.count_fits(get_u16(&h[8]), 10), {});
        c.records(layer.triangles);
        total_triangles += layer.triangles.size();
    }
    if (total_triangles % 2) c.skip(2);
    for (std::size_t l = 0; l < r.num_layers; ++l) {
        auto& layer = r.layers.layers[l];
        layer.vertices.assign(c.count_fits(get_u32(&r.layer_headers[l][0]), 28), {});
        c.records(layer.vertices);
    }
    if (c.pos() > block_end)
        throw corrupt_file("The file is corrupt: room " + std::to_string(index) +
                           " holds more data than its block size says.");
    r.trailing_bytes = std::uint32_t(block_end - c.pos());
    c.seek(block_end);
    merge_trc_layers(r, index);
}

void level_parser::merge_trc_layers(troom& r, std::size_t index) {
    // Room vertex lookup by position; the first vertex at a position is the one found, as a
    // linear search from the start would find it.
    std::unordered_map<std::uint64_t, std::uint16_t> by_position;
    std::size_t total = 0;
    for (const auto& layer : r.layers.layers)
        total += layer.vertices.size();
    by_position.reserve(total);
    r.vertices8.reserve(total);
    r.vertices12.reserve(total);
    r.vertices28.reserve(total);

    auto position_of = [](const rec<28>& v) {
        return std::array<std::int16_t, 3>{trunc_to_i16(get_f32(&v[0])), trunc_to_i16(get_f32(&v[4])),
                                           trunc_to_i16(get_f32(&v[8]))};
    };
    for (const auto& layer : r.layers.layers) {
        for (const auto& lv28 : layer.vertices) {
            const auto p = position_of(lv28);
            const auto key = vertex_key(p[0], p[1], p[2]);
            std::size_t i;
            if (auto it = by_position.find(key); it != by_position.end()) {
                i = it->second;
                auto& b = r.vertices8[i][7];
                b = std::uint8_t(b / 2);
            } else {
                // Vertex indices are 16-bit: a room cannot hold more distinct positions.
                if (r.num_vertices == 0xFFFF)
                    throw corrupt_file("Room " + std::to_string(index) +
                                       " has more vertices than a room can hold.");
                i = r.num_vertices;
                r.set_num_vertices(std::uint16_t(i + 1));
                auto& v8 = r.vertices8[i];
                auto& v12 = r.vertices12[i];
                for (int k = 0; k < 3; ++k) {
                    put_u16(&v8[2 * k], std::uint16_t(p[k]));
                    put_u16(&v12[2 * k], std::uint16_t(p[k]));
                }
                by_position.emplace(key, std::uint16_t(i));
            }
            r.vertices28[i] = lv28;
            const unsigned blue = lv28[24], green = lv28[25], red = lv28[26];
            put_u16(&r.vertices12[i][10],
                    std::uint16_t(((red >> 3) << 10) | ((green >> 3) << 5) | (blue >> 3)));
        }
    }

    auto room_index = [&](const ttr5_layer& layer, std::uint16_t corner) -> std::uint16_t {
        if (corner >= layer.vertices.size())
            throw corrupt_file("The file is corrupt: a face of room " + std::to_string(index) +
                               " uses a vertex its layer does not have.");
        const auto p = position_of(layer.vertices[corner]);
        return by_position.at(vertex_key(p[0], p[1], p[2]));
    };
    std::size_t nrect = 0, ntri = 0;
    for (const auto& layer : r.layers.layers) {
        nrect += layer.rectangles.size();
        ntri += layer.triangles.size();
    }
    if (nrect > 0xFFFF || ntri > 0xFFFF)
        throw corrupt_file("Room " + std::to_string(index) + " has more faces than a room can hold.");
    r.rectangles10.clear();
    r.rectangles12.clear();
    r.triangles8.clear();
    r.triangles10.clear();
    r.rectangles10.reserve(nrect);
    r.rectangles12.reserve(nrect);
    r.triangles8.reserve(ntri);
    r.triangles10.reserve(ntri);
    for (const auto& layer : r.layers.layers) {
        for (const auto& lr : layer.rectangles) {
            rec<10> r10{};
            rec<12> r12{};
            for (int k = 0; k < 4; ++k) {
                const auto idx = room_index(layer, get_u16(&lr[2 * k]));
                put_u16(&r10[2 * k], idx);
                put_u16(&r12[2 * k], idx);
            }
            std::memcpy(&r10[8], &lr[8], 2);
            std::memcpy(&r12[8], &lr[8], 4);
            r.rectangles10.push_back(r10);
            r.rectangles12.push_back(r12);
        }
        for (const auto& lt : layer.triangles) {
            rec<8> t8{};
            rec<10> t10{};
            for (int k = 0; k < 3; ++k) {
                const auto idx = room_index(layer, get_u16(&lt[2 * k]));
                put_u16(&t8[2 * k], idx);
                put_u16(&t10[2 * k], idx);
            }
            std::memcpy(&t8[6], &lt[6], 2);
            std::memcpy(&t10[6], &lt[6], 4);
            r.triangles8.push_back(t8);
            r.triangles10.push_back(t10);
        }
    }
    r.num_rectangles = std::uint16_t(nrect);
    r.num_triangles = std::uint16_t(ntri);
}

void level_parser::read_rooms(cursor& c, bool trc) {
    double acc = 0;
    const double per_room = lv.num_rooms ? 30.0 / lv.num_rooms : 0;
    for (std::size_t i = 0; i < lv.num_rooms; ++i) {
        c.section = "rooms";
        auto& r = lv.rooms[i];
        r = troom{};
        if (trc)
            read_room_trc(c, r, i);
        else
            read_room_tr1_to_tr4(c, r);
        acc += per_room;
        lv.report_progress(50 + int(acc));
    }
    lv.report_progress(80);
}

void read_object_textures(cursor& c, tr_level& lv) {
    c.section = "object textures";
    const int g = lv.game_version;
    const std::size_t size = g == game_trc ? 40 : (g == game_tr4 ? 38 : 20);
    const std::uint32_t n = c.count_fits(c.u32(), size);
    lv.set_num_object_textures(n);
    for (auto& t : lv.object_textures) {
        t.attribute = c.u16();
        t.page = c.u16();
        if (g >= game_tr4) t.new_flags = c.u16();
        for (auto& k : t.corners) {
            k.x_frac = c.u8();
            k.x_pixel = c.u8();
            k.y_frac = c.u8();
            k.y_pixel = c.u8();
        }
        if (g >= game_tr4)
            for (auto& w : t.raw_words)
                w = c.u32();
        if (g == game_trc) t.raw_u16 = c.u16();
    }
}

void level_parser::read_sound_sections(cursor& c) {
    const int g = game();
    c.section = "demo data";
    const std::uint32_t nd = c.count_fits(c.u16(), 1);
    lv.set_num_demo_data(nd);
    c.bytes(lv.demo_data.data(), nd);
    c.section = "sound map";
    const std::size_t map_size = g <= game_tr1_gold ? 512 : (g == game_trc ? 900 : 740);
    lv.sound_map.fill(0);
    c.bytes(lv.sound_map.data(), map_size);
    read_records(c, "sound details", lv.sound_details, [&](std::uint32_t n) { lv.set_num_sound_details(n); });
    if (g <= game_tr1_gold) {
        c.section = "samples";
        lv.samples_size = c.count_fits(c.u32(), 1);
        lv.samples.assign(c.here(), c.here() + lv.samples_size);
        c.skip(lv.samples_size);
    }
    read_words(c, "sample indices", lv.sample_indices,
               [&](std::uint32_t n) { lv.set_num_sample_indices(n); });
}

void level_parser::read_level_data(cursor& c, bool trc, std::size_t level_data_end) {
    const int g = game();
    if (trc) {
        c.section = "room count";
        lv.pre_room_word = c.u32();
        const std::uint32_t n = c.u32() & 0xFFFF;
        // Refuse counts whose smallest possible room blocks cannot fit before sizing the rooms.
        c.count_fits(n, 100);
        lv.set_num_rooms(n);
    } else {
        c.section = "room count";
        lv.pre_room_word = c.u32();
        const std::uint32_t n = c.u16();
        c.count_fits(n, 44);
        lv.set_num_rooms(n);
    }
    read_rooms(c, trc);

    read_words(c, "floor data", lv.floor_data, [&](std::uint32_t n) { lv.set_num_floor_data(n); });
    read_words(c, "mesh data", lv.mesh_words, [&](std::uint32_t n) { lv.set_num_mesh_words(n); });
    read_words(c, "mesh pointers", lv.mesh_pointers, [&](std::uint32_t n) { lv.set_num_mesh_pointers(n); });
    if (g >= game_tr4)
        read_records(c, "animations", lv.animations40, [&](std::uint32_t n) { lv.set_num_animations(n); });
    else
        read_records(c, "animations", lv.animations, [&](std::uint32_t n) { lv.set_num_animations(n); });
    read_records(c, "state changes", lv.state_changes, [&](std::uint32_t n) { lv.set_num_state_changes(n); });
    read_records(c, "animation dispatches", lv.anim_dispatches,
                 [&](std::uint32_t n) { lv.set_num_anim_dispatches(n); });
    read_words(c, "animation commands", lv.anim_commands,
               [&](std::uint32_t n) { lv.set_num_anim_commands(n); });
    read_words(c, "mesh trees", lv.mesh_trees, [&](std::uint32_t n) { lv.set_num_mesh_trees(n); });
    read_words(c, "frames", lv.frames, [&](std::uint32_t n) { lv.set_num_frames(n); });
    if (g == game_trc) {
        read_records(c, "moveables", lv.moveables20, [&](std::uint32_t n) { lv.set_num_moveables(n); });
        for (std::size_t i = 0; i < lv.moveables20.size(); ++i)
            std::memcpy(lv.moveables[i].data(), lv.moveables20[i].data(), 18);
    } else {
        read_records(c, "moveables", lv.moveables, [&](std::uint32_t n) { lv.set_num_moveables(n); });
    }
    read_records(c, "static meshes", lv.static_meshes, [&](std::uint32_t n) { lv.set_num_static_meshes(n); });
    if (g <= game_tr2_gold) read_object_textures(c, lv);
    if (g >= game_tr4) {
        c.section = "sprite marker";
        lv.spr_marker.fill(0);
        c.bytes(lv.spr_marker.data(), g == game_trc ? 4 : 3);
    }
    read_records(c, "sprite textures", lv.sprite_textures,
                 [&](std::uint32_t n) { lv.set_num_sprite_textures(n); });
    read_records(c, "sprite sequences", lv.sprite_sequences,
                 [&](std::uint32_t n) { lv.set_num_sprite_sequences(n); });
    if (g == game_tr1_gold) {
        c.section = "palette";
        c.fixed(lv.palette8);
    }
    read_records(c, "cameras", lv.cameras, [&](std::uint32_t n) { lv.set_num_cameras(n); });
    if (g >= game_tr4)
        read_records(c, "flyby cameras", lv.flyby_cameras,
                     [&](std::uint32_t n) { lv.set_num_flyby_cameras(n); });
    read_records(c, "sound sources", lv.sound_sources, [&](std::uint32_t n) { lv.set_num_sound_sources(n); });

    c.section = "boxes";
    const std::size_t box_size = g <= game_tr1_gold ? 20 : 8;
    const std::uint32_t nb = c.count_fits(c.u32(), box_size);
    lv.set_num_boxes(nb);
    if (box_size == 20)
        c.records(lv.boxes20);
    else
        c.records(lv.boxes);
    read_words(c, "overlaps", lv.overlaps, [&](std::uint32_t n) { lv.set_num_overlaps(n); });
    c.section = "zones";
    const int zone_arrays = g <= game_tr1_gold ? 6 : 10;
    c.count_fits(std::uint64_t(nb) * zone_arrays, 2);
    lv.set_num_zones(nb);
    if (g <= game_tr1_gold) {
        for (auto* z : {&lv.ground_zone1, &lv.ground_zone2, &lv.fly_zone, &lv.ground_zone1_alt,
                        &lv.ground_zone2_alt, &lv.fly_zone_alt})
            c.words(*z);
    } else {
        for (auto* z : {&lv.ground_zone1, &lv.ground_zone2, &lv.ground_zone3, &lv.ground_zone4, &lv.fly_zone,
                        &lv.ground_zone1_alt, &lv.ground_zone2_alt, &lv.ground_zone3_alt,
                        &lv.ground_zone4_alt, &lv.fly_zone_alt})
            c.words(*z);
    }
    read_words(c, "animated textures", lv.animated_textures,
               [&](std::uint32_t n) { lv.set_num_animated_textures(n); });
    lv.report_progress(85);
    if (g >= game_tr4) {
        c.section = "texture marker";
        lv.anim_uv_count = c.u8();
        lv.tex_marker.fill(0);
        c.bytes(lv.tex_marker.data(), g == game_trc ? 4 : 3);
    }
    if (g >= game_tr3) read_object_textures(c, lv);
    lv.report_progress(90);

    c.section = "entities";
    const std::size_t entity_size = g <= game_tr1_gold ? 22 : 24;
    const std::uint32_t ne = c.count_fits(c.u32(), entity_size);
    lv.set_num_entities(ne);
    if (entity_size == 22) {
        c.records(lv.entities22);
        lv.mirror_entities_from22();
    } else {
        c.records(lv.entities);
        lv.mirror_entities_from24();
    }
    if (g <= game_tr3) {
        c.section = "light map";
        c.fixed(lv.light_map);
    }
    if (g == game_tr1) {
        c.section = "palette";
        c.fixed(lv.palette8);
    }
    if (g >= game_tr4)
        read_records(c, "AI objects", lv.ai_objects, [&](std::uint32_t n) { lv.set_num_ai_objects(n); });
    else
        read_records(
            c, "cinematic frames", lv.cinematic_frames, [&](std::uint32_t n) { lv.set_num_ai_objects(n); },
            true);

    if (g == game_tr4) {
        // Some builders write these sections in layouts of their own. They are never edited, so
        // when they do not parse within the level data they are kept as one block.
        const std::size_t start = c.pos();
        try {
            read_sound_sections(c);
        } catch (const corrupt_file&) {
            c.seek(start);
            lv.set_num_demo_data(0);
            lv.sound_map.fill(0);
            lv.set_num_sound_details(0);
            lv.set_num_sample_indices(0);
            lv.sound_block_raw = true;
            lv.sound_block.assign(c.here(), c.here() + c.remaining());
            c.seek(c.size());
        }
    } else {
        read_sound_sections(c);
    }
    const std::size_t end = level_data_end ? level_data_end : c.size();
    if (c.pos() < end) lv.tail_bytes.assign(c.here(), c.here() + (end - c.pos()));
}

// One compressed block of a TR4/TRC file, found in the file but not yet inflated.
struct packed_block {
    const char* name = "";
    const std::uint8_t* data = nullptr;
    std::uint32_t stored_plain = 0, packed = 0;
    std::size_t limit = max_inflated_size;
    std::size_t expected = std::string::npos; // page blocks: the plain size the page counts imply
    std::uint32_t pages = 0;
};

packed_block locate_block(cursor& c, const char* name) {
    c.section = name;
    packed_block b;
    b.name = name;
    b.stored_plain = c.u32();
    b.packed = c.u32();
    c.need(b.packed);
    b.data = c.here();
    c.skip(b.packed);
    return b;
}

std::string lower_first(std::string s) {
    if (!s.empty() && s[0] >= 'A' && s[0] <= 'Z') s[0] = char(s[0] - 'A' + 'a');
    return s;
}

// The size a block is inflated into at first: a page block must hold exactly what its counts say,
// any other block the size stored before it (bounded by inflate_block as far as the packed bytes
// could plausibly expand).
std::size_t inflate_estimate(const packed_block& b) {
    if (b.expected != std::string::npos) return b.expected;
    return std::min<std::size_t>(b.stored_plain, std::size_t(b.packed) * 16 + 4096);
}

// Inflates a block, refusing one that does not match what the file says about it: a page block
// must hold exactly its pages, and nothing may follow the zlib stream inside the packed size.
std::vector<std::uint8_t> inflate_checked(const packed_block& b) {
    const bool pages = b.expected != std::string::npos;
    const std::size_t limit = pages ? b.expected : b.limit;
    auto mismatch = [&](const std::string& holds) {
        return corrupt_file("The " + std::string(b.name) + " block does not match the page counts: " +
                            std::to_string(b.pages) + " texture pages need " + std::to_string(b.expected) +
                            " bytes, the block holds " + holds + ". The file is corrupt.");
    };
    std::vector<std::uint8_t> plain;
    std::size_t unused = 0;
    try {
        plain = inflate_block(b.data, b.packed, inflate_estimate(b), limit, &unused);
    } catch (const inflate_limit_error&) {
        if (pages) throw mismatch("more");
        throw corrupt_file("The " + std::string(b.name) + " block expands beyond " + std::to_string(limit) +
                           " bytes, more than any level holds: the file is corrupt.");
    } catch (const level_error& e) {
        throw corrupt_file("The " + std::string(b.name) + " block cannot be read: " + lower_first(e.what()));
    }
    if (unused)
        throw corrupt_file("The " + std::string(b.name) + " block holds " + std::to_string(unused) +
                           " bytes after the end of its compressed data (its packed size says " +
                           std::to_string(b.packed) + "): the file is corrupt.");
    if (pages && plain.size() != b.expected) throw mismatch(std::to_string(plain.size()));
    return plain;
}

// Reads the part of the file before the rooms, then the level data, into a fresh level.
void parse_file(tr_level& lv, const std::vector<std::uint8_t>& data, bool parallel) {
    cursor c(data.data(), data.size());
    c.section = "version word";
    lv.version_word = c.u32();
    const int g = lv.game_version;
    if (g >= game_tr4) {
        c.section = "page counts";
        lv.num_room_pages = c.u16();
        lv.num_object_pages = c.u16();
        lv.num_bump_pages = c.u16();
        const std::uint32_t total_pages =
            std::uint32_t(lv.num_room_pages) + lv.num_object_pages + lv.num_bump_pages;
        if (total_pages > max_texture_pages)
            throw corrupt_file("The file claims " + std::to_string(total_pages) +
                               " texture pages, more than the " + std::to_string(max_texture_pages) +
                               " its 32-bit page block can state the size of: the file is corrupt.");
        packed_block blocks[4];
        blocks[0] = locate_block(c, "32-bit pages");
        blocks[0].expected = std::size_t(total_pages) * 262144;
        blocks[1] = locate_block(c, "16-bit pages");
        blocks[1].expected = std::size_t(total_pages) * 131072;
        // Refused before anything is inflated: a block too small to expand to its pages.
        for (const packed_block* b : {&blocks[0], &blocks[1]})
            if (b->expected > std::size_t(b->packed) * max_deflate_ratio)
                throw corrupt_file("The " + std::string(b->name) +
                                   " block does not match the page counts: " + std::to_string(total_pages) +
                                   " texture pages need " + std::to_string(b->expected) +
                                   " bytes, more than its " + std::to_string(b->packed) +
                                   " packed bytes can expand to. The file is corrupt.");
        blocks[2] = locate_block(c, "extra 32-bit pages");
        blocks[2].limit = std::size_t(max_extra_pages) * 262144;
        for (auto& b : blocks)
            b.pages = total_pages;
        const std::size_t block_count = g == game_tr4 ? 4 : 3;
        std::size_t level_data_at = 0, samples_at = 0;
        if (g == game_tr4) {
            blocks[3] = locate_block(c, "level data");
            samples_at = c.pos();
        } else {
            c.section = "level data header";
            c.fixed(lv.trc_header);
            lv.level_data_size = c.u32();
            lv.level_data_packed = c.u32();
            // The level data's sections must lie within its stated size: the samples follow it.
            c.need(lv.level_data_size);
            level_data_at = c.pos();
            samples_at = level_data_at + lv.level_data_size;
        }

        // What remains are independent steps: inflating each block, reading the level data (TR4: once
        // its block is inflated) and copying the samples. In parallel this thread and a worker each take
        // the next step not yet taken, the costliest first, so the work splits evenly whatever the
        // blocks' sizes and whichever thread runs late. Failures are kept per step and the first in file
        // order is raised once all are done, as a sequential read would raise it; the level is a fresh
        // one that the caller drops on any failure, so nothing half-done reaches the open level.
        std::vector<std::uint8_t> plain[4];
        std::exception_ptr failed[6]; // the blocks, the level data's sections, the samples
        auto inflate_into = [&](std::size_t i) {
            try {
                plain[i] = inflate_checked(blocks[i]);
            } catch (...) {
                failed[i] = std::current_exception();
            }
        };
        auto read_level_data = [&] {
            try {
                level_parser parser(lv);
                if (g == game_tr4) {
                    cursor d(plain[3].data(), plain[3].size());
                    parser.read_level_data(d, false, 0);
                } else {
                    cursor d(data.data() + level_data_at, lv.level_data_size);
                    parser.read_level_data(d, true, 0);
                }
            } catch (...) {
                failed[4] = std::current_exception();
            }
        };
        // A step's cost in packed bytes: inflating takes about as long per packed byte whatever the
        // block, and parsing or copying a plain byte takes a small fraction of that.
        struct step {
            std::size_t cost;
            std::function<void()> run;
        };
        std::vector<step> steps;
        for (std::size_t i = 0; i < block_count; ++i) {
            if (i == 3)
                steps.push_back({blocks[3].packed + inflate_estimate(blocks[3]) / 16, [&] {
                                     inflate_into(3);
                                     if (!failed[3]) read_level_data();
                                 }});
            else
                steps.push_back({blocks[i].packed, [&inflate_into, i] { inflate_into(i); }});
        }
        if (g == game_trc) steps.push_back({lv.level_data_size / 16, read_level_data});
        steps.push_back({(data.size() - samples_at) / 64, [&] {
                             try {
                                 lv.samples.assign(data.begin() + std::ptrdiff_t(samples_at), data.end());
                             } catch (...) {
                                 failed[5] = std::current_exception();
                             }
                         }});
        std::stable_sort(steps.begin(), steps.end(),
                         [](const step& a, const step& b) { return a.cost > b.cost; });
        std::atomic<std::size_t> next_step{0};
        auto take_steps = [&] {
            for (std::size_t i; (i = next_step.fetch_add(1)) < steps.size();)
                steps[i].run();
        };

        // The level data's progress values are held back and given after the page blocks', so the
        // gauge sees the same values in file order, and only from this thread.
        const progress_fn gauge = lv.progress;
        std::vector<int> held_progress;
        if (gauge) lv.progress = [&held_progress](int value) { held_progress.push_back(value); };
        std::future<void> worker;
        if (parallel) worker = start_task(take_steps);
        take_steps();
        if (worker.valid()) worker.get();
        lv.progress = gauge;
        for (const auto& e : failed)
            if (e) std::rethrow_exception(e);

        // The page count follows the 16-bit pages.
        lv.num_pages = std::uint32_t(plain[1].size() / 131072);
        lv.pages8_size = lv.num_pages * 65536;
        std::vector<std::uint8_t>* dest[3] = {&lv.pages32, &lv.pages16, &lv.pages32_misc};
        std::uint32_t* sizes[3] = {&lv.pages32_size, &lv.pages16_size, &lv.pages32_misc_size};
        std::uint32_t* packed[3] = {&lv.pages32_packed, &lv.pages16_packed, &lv.pages32_misc_packed};
        for (int i = 0; i < 3; ++i) {
            *dest[i] = std::move(plain[i]);
            *sizes[i] = std::uint32_t(dest[i]->size());
            *packed[i] = blocks[i].packed;
            lv.report_progress(20 + 10 * i);
        }
        if (g == game_tr4) {
            lv.level_data_size = std::uint32_t(plain[3].size());
            lv.level_data_packed = blocks[3].packed;
            lv.report_progress(50);
        }
        lv.samples_size = std::uint32_t(lv.samples.size());
        for (const int value : held_progress)
            lv.report_progress(value);
    } else {
        if (g >= game_tr2) {
            c.section = "palettes";
            c.fixed(lv.palette8);
            c.fixed(lv.palette16);
        }
        c.section = "texture pages";
        lv.num_pages = c.u32();
        lv.report_progress(30);
        const std::size_t page_bytes = g >= game_tr2 ? 65536 + 131072 : 65536;
        c.count_fits(lv.num_pages, page_bytes);
        lv.pages8_size = lv.num_pages * 65536;
        lv.pages8.assign(c.here(), c.here() + lv.pages8_size);
        c.skip(lv.pages8_size);
        if (g >= game_tr2) {
            lv.pages16.assign(c.here(), c.here() + std::size_t(lv.num_pages) * 131072);
            c.skip(lv.pages16.size());
        }
        lv.report_progress(50);
        level_parser parser(lv);
        parser.read_level_data(c, false, 0);
    }
}

void parse_as(tr_level& lv, const std::vector<std::uint8_t>& data, std::int32_t game, bool parallel) {
    lv.game_version = game;
    lv.signature = loaded_signature;
    parse_file(lv, data, parallel);
}

} // namespace

std::int32_t game_version_for(std::uint32_t version_word, const std::string& file_name) {
    auto has = [&](const char* a, const char* b) {
        return file_name.find(a) != std::string::npos || file_name.find(b) != std::string::npos;
    };
    switch (version_word) {
    case 0x00000020:
        return has(".TUB", ".tub") ? game_tr1_gold : game_tr1;
    case 0x0000002D:
        return has(".TRG", ".trg") ? game_tr2_gold : game_tr2;
    case 0xFF080038:
    case 0xFF180038:
        return game_tr3;
    case 0x00345254:
    case 0xFFFFFFF0:
        return has(".TRC", ".trc") ? game_trc : game_tr4;
    default:
        return 0;
    }
}

std::string unreadable_level_path(const std::string& file_name) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status st = fs::status(file_name, ec);
    if (fs::is_regular_file(st)) return {};
    if (fs::is_directory(st)) return file_name + " is a folder, not a level file.";
    if (fs::exists(st)) return file_name + " is not a regular file.";
    return "The file " + file_name + " does not exist.";
}

std::uint8_t read_level_memory(tr_level& level, std::vector<std::uint8_t> raw, const std::string& file_name,
                               std::string* error, const read_options& options) {
    auto fail = [&](std::uint8_t code, const std::string& message) {
        if (error) *error = message;
        return code;
    };
    level.report_progress(0);
    try {
        level_stream z;
        z.init(file_name);
        z.open_memory(std::move(raw));
        const auto& data = z.buffer;
        if (data.size() < 4) return fail(read_not_a_level, file_name + " is not a level file.");
        const std::uint32_t word = get_u32(data.data());
        const std::int32_t game = game_version_for(word, file_name);
        if (!game) return fail(read_not_a_level, file_name + " is not a level file of a supported game.");

        tr_level fresh;
        fresh.progress = level.progress;
        if (game <= game_tr1_gold) {
            // TR1 and TR1 Gold differ only in where the palette sits; a file whose name picks the
            // wrong one is read with the layout that fits it.
            const std::int32_t other = game == game_tr1 ? game_tr1_gold : game_tr1;
            std::string first_error;
            bool first_parsed = false;
            try {
                parse_as(fresh, data, game, options.parallel_inflate);
                first_parsed = true;
            } catch (const corrupt_file& e) {
                first_error = e.what();
            }
            if (!first_parsed || !fresh.tail_bytes.empty()) {
                tr_level alt; // read quietly: the progress already shown must not go back

                bool alt_parsed = false;
                try {
                    parse_as(alt, data, other, options.parallel_inflate);
                    alt_parsed = true;
                } catch (const corrupt_file&) {
                }
                if (alt_parsed && (!first_parsed || alt.tail_bytes.empty())) {
                    alt.tr1_layout_swapped = true;
                    alt.progress = level.progress;
                    fresh = std::move(alt);
                } else if (!first_parsed) {
                    throw corrupt_file(first_error);
                }
            }
        } else {
            parse_as(fresh, data, game, options.parallel_inflate);
        }
        level = std::move(fresh);
    } catch (const corrupt_file& e) {
        level.report_progress(0);
        return fail(read_corrupt, e.what());
    } catch (const level_error& e) {
        level.report_progress(0);
        return fail(read_corrupt, e.what());
    } catch (const std::bad_alloc&) {
        level.report_progress(0);
        return fail(read_corrupt, file_name + " needs more memory than is available: the file is corrupt.");
    } catch (const std::length_error&) {
        level.report_progress(0);
        return fail(read_corrupt, file_name + " needs more memory than is available: the file is corrupt.");
    }
    level.report_progress(100);
    level.report_progress(0);
    return read_ok;
}

namespace {

// What identifies the content of a file cheaply: a prefetched read is used only while it holds.
struct file_stamp {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified{};
    bool operator==(const file_stamp&) const = default;
};

std::optional<file_stamp> stamp_of(const std::string& file_name) {
    std::error_code ec1, ec2;
    file_stamp s{std::filesystem::file_size(file_name, ec1),
                 std::filesystem::last_write_time(file_name, ec2)};
    if (ec1 || ec2) return std::nullopt;
    return s;
}

struct prefetched_read {
    std::uint8_t code = read_missing_file;
    std::string error;
    std::unique_ptr<tr_level> level;
};

struct prefetch_slot {
    std::mutex mutex;
    std::string name;
    std::optional<file_stamp> stamp;
    std::future<prefetched_read> result;
};

// The name a prefetch is filed under: the editor prefetches the name it was given, which may be
// relative, and opens the file by its full path.
std::string prefetch_key(const std::string& file_name) {
    std::error_code ec;
    const auto full = std::filesystem::absolute(file_name, ec);
    return ec ? file_name : full.lexically_normal().string();
}

prefetch_slot& the_prefetch() {
    static prefetch_slot slot;
    return slot;
}

std::uint8_t read_level_now(tr_level& level, const std::string& file_name, std::string* error,
                            const read_options& options) {
    if (const std::string why = unreadable_level_path(file_name); !why.empty()) {
        if (error) *error = why;
        return read_missing_file;
    }
    std::vector<std::uint8_t> data;
    try {
        data = read_whole_file(file_name);
    } catch (const level_error& e) {
        if (error) *error = e.what();
        return read_missing_file;
    }
    return read_level_memory(level, std::move(data), file_name, error, options);
}

} // namespace

void prefetch_level(const std::string& file_name) {
    prefetch_slot& slot = the_prefetch();
    const std::lock_guard lock(slot.mutex);
    slot.name = prefetch_key(file_name);
    slot.stamp = stamp_of(file_name);
    slot.result = start_task([file_name] {
        prefetched_read r;
        r.level = std::make_unique<tr_level>();
        try {
            r.code = read_level_now(*r.level, file_name, &r.error, read_options{});
        } catch (const std::exception& e) {
            r.code = read_corrupt;
            r.error = e.what();
        }
        return r;
    });
}

void discard_prefetched_level() {
    prefetch_slot& slot = the_prefetch();
    std::future<prefetched_read> pending;
    {
        const std::lock_guard lock(slot.mutex);
        pending = std::move(slot.result);
        slot.name.clear();
    }
    if (pending.valid()) pending.wait();
}

std::uint8_t read_level(tr_level& level, const std::string& file_name, std::string* error,
                        const read_options& options) {
    std::future<prefetched_read> pending;
    std::optional<file_stamp> stamp;
    {
        prefetch_slot& slot = the_prefetch();
        const std::lock_guard lock(slot.mutex);
        if (slot.result.valid() && slot.name == prefetch_key(file_name)) {
            pending = std::move(slot.result);
            stamp = slot.stamp;
            slot.name.clear();
        }
    }
    if (pending.valid()) {
        prefetched_read r = pending.get();
        if (stamp && stamp == stamp_of(file_name)) {
            level.report_progress(0);
            if (r.code != read_ok) {
                if (error) *error = r.error;
                return r.code;
            }
            r.level->progress = level.progress;
            level = std::move(*r.level);
            level.report_progress(100);
            level.report_progress(0);
            return read_ok;
        }
        // The file changed since the prefetch began: read it again.
    }
    return read_level_now(level, file_name, error, options);
}
