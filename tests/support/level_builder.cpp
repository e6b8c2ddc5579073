// Test-only level file builder: lays out every section of a level file in the order and record sizes of
// its game version. Uses its own byte appender and zlib directly, never the project's reader or writer.
#include "level_builder.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace test_levels {

void byte_sink::u16(std::uint16_t v) {
    data_.push_back(std::uint8_t(v));
    data_.push_back(std::uint8_t(v >> 8));
}

void byte_sink::u32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        data_.push_back(std::uint8_t(v >> (8 * i)));
}

void byte_sink::f32(float v) {
    std::uint32_t bits;
    static_assert(sizeof bits == sizeof v);
    std::memcpy(&bits, &v, sizeof bits);
    u32(bits);
}

void byte_sink::text(const char* s) {
    raw(reinterpret_cast<const std::uint8_t*>(s), std::strlen(s));
}

void byte_sink::patch_u32(std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        data_.at(at + i) = std::uint8_t(v >> (8 * i));
}

record pattern(std::size_t size, std::uint8_t seed) {
    record r(size);
    for (std::size_t i = 0; i < size; ++i)
        r[i] = std::uint8_t(seed + i);
    return r;
}

std::vector<record> pattern_records(std::size_t count, std::size_t size, std::uint8_t seed) {
    std::vector<record> out;
    for (std::size_t i = 0; i < count; ++i)
        out.push_back(pattern(size, std::uint8_t(seed + 0x20 * i)));
    return out;
}

record room_vertex8(std::int16_t x, std::int16_t y, std::int16_t z, std::int16_t lighting) {
    byte_sink s;
    s.i16(x), s.i16(y), s.i16(z), s.i16(lighting);
    return s.data();
}

record room_vertex12(std::int16_t x, std::int16_t y, std::int16_t z, std::int16_t lighting,
                     std::uint16_t attributes, std::uint16_t lighting2) {
    byte_sink s;
    s.i16(x), s.i16(y), s.i16(z), s.i16(lighting), s.u16(attributes), s.u16(lighting2);
    return s.data();
}

record room_face(std::initializer_list<std::uint16_t> indices, std::uint16_t texture, bool with_flags,
                 std::uint16_t flags) {
    byte_sink s;
    for (auto i : indices)
        s.u16(i);
    s.u16(texture);
    if (with_flags) s.u16(flags);
    return s.data();
}

record trc_vertex(float x, float y, float z, std::uint8_t blue, std::uint8_t green, std::uint8_t red,
                  std::uint8_t seed) {
    byte_sink s;
    s.f32(x), s.f32(y), s.f32(z);
    s.raw(pattern(12, seed));
    s.u8(blue), s.u8(green), s.u8(red), s.u8(0);
    return s.data();
}

namespace {

bool is_tr1(std::int32_t v) {
    return v <= 2;
}
bool is_tr4_or_trc(std::int32_t v) {
    return v >= 6;
}

std::size_t vertex_size(std::int32_t v) {
    return is_tr1(v) ? 8 : 12;
}
std::size_t light_size(std::int32_t v) {
    if (is_tr1(v)) return 18;
    if (v <= 5) return 24;
    return v == 6 ? 46 : 88;
}
std::size_t room_static_size(std::int32_t v) {
    return is_tr1(v) ? 18 : 20;
}
std::size_t animation_size(std::int32_t v) {
    return is_tr4_or_trc(v) ? 40 : 32;
}
std::size_t moveable_size(std::int32_t v) {
    return v == 7 ? 20 : 18;
}
std::size_t object_texture_size(std::int32_t v) {
    if (v <= 5) return 20;
    return v == 6 ? 38 : 40;
}
std::size_t box_size(std::int32_t v) {
    return is_tr1(v) ? 20 : 8;
}
std::size_t entity_size(std::int32_t v) {
    return is_tr1(v) ? 22 : 24;
}
std::size_t ai_size(std::int32_t v) {
    return is_tr4_or_trc(v) ? 24 : 16;
}
std::size_t sound_map_size(std::int32_t v) {
    if (is_tr1(v)) return 512;
    return v == 7 ? 900 : 740;
}
std::size_t zone_arrays(std::int32_t v) {
    return is_tr1(v) ? 6 : 10;
}

std::uint32_t version_word(std::int32_t v) {
    switch (v) {
    case 1:
    case 2:
        return 0x00000020;
    case 3:
    case 4:
        return 0x0000002D;
    case 5:
        return 0xFF180038;
    case 6:
    case 7:
        return 0x00345254;
    default:
        throw std::logic_error("level builder: unknown game version " + std::to_string(v));
    }
}

void check_size(const record& r, std::size_t size, const char* what) {
    if (r.size() != size)
        throw std::logic_error(std::string("level builder: ") + what + " record of " +
                               std::to_string(r.size()) + " bytes, expected " + std::to_string(size));
}

void check_all(const std::vector<record>& rs, std::size_t size, const char* what) {
    for (const auto& r : rs)
        check_size(r, size, what);
}

class layout {
  public:
    layout(const level_desc& l, built_level& out) : l_(l), v_(l.game_version), out_(out) {}

    void mark(byte_sink& s, const char* name, bool in_level_data = false) {
        out_.sections.push_back({name, s.size() + base_, in_level_data || in_level_data_});
    }

    // Notes a count field about to be written at the end of `s`.
    void count(byte_sink& s, int width, const char* name) {
        out_.count_fields.push_back({name, s.size() + base_, width, in_level_data_});
    }

    // A u32 count and its records.
    void records(byte_sink& s, const std::vector<record>& rs, std::size_t size, const char* what) {
        check_all(rs, size, what);
        count(s, 4, what);
        s.u32(std::uint32_t(rs.size()));
        for (const auto& r : rs)
            s.raw(r);
    }

    void words(byte_sink& s, const std::vector<std::uint16_t>& ws, const char* what) {
        count(s, 4, what);
        s.u32(std::uint32_t(ws.size()));
        for (auto w : ws)
            s.u16(w);
    }

    void room_tr1_to_tr4(byte_sink& s, const room_desc& r) {
        s.i32(r.x), s.i32(r.z), s.i32(r.y_bottom), s.i32(r.y_top);
        check_all(r.vertices, vertex_size(v_), "room vertex");
        check_all(r.rectangles, 10, "room rectangle");
        check_all(r.triangles, 8, "room triangle");
        check_all(r.sprites, 4, "room sprite");
        const std::size_t geometry = 8 + r.vertices.size() * vertex_size(v_) + r.rectangles.size() * 10 +
                                     r.triangles.size() * 8 + r.sprites.size() * 4;
        s.u32(std::uint32_t(geometry / 2));
        for (const auto* list : {&r.vertices, &r.rectangles, &r.triangles, &r.sprites}) {
            count(s, 2, "rooms");
            s.u16(std::uint16_t(list->size()));
            for (const auto& rec : *list)
                s.raw(rec);
        }
        check_all(r.portals, 32, "portal");
        count(s, 2, "rooms");
        s.u16(std::uint16_t(r.portals.size()));
        for (const auto& p : r.portals)
            s.raw(p);
        check_all(r.sectors, 8, "sector");
        if (r.sectors.size() != std::size_t(r.z_sectors) * r.x_sectors)
            throw std::logic_error("level builder: sector count does not match the sector grid");
        count(s, 2, "rooms");
        s.u16(r.z_sectors);
        count(s, 2, "rooms");
        s.u16(r.x_sectors);
        for (const auto& sec : r.sectors)
            s.raw(sec);
        s.u8(r.ambient[0]), s.u8(r.ambient[1]);
        if (v_ >= 3) s.u16(r.ambient2);
        if (v_ == 3 || v_ == 4) s.u16(r.light_mode);
        check_all(r.lights, light_size(v_), "room light");
        count(s, 2, "rooms");
        s.u16(std::uint16_t(r.lights.size()));
        for (const auto& li : r.lights)
            s.raw(li);
        check_all(r.statics, room_static_size(v_), "room static");
        count(s, 2, "rooms");
        s.u16(std::uint16_t(r.statics.size()));
        for (const auto& st : r.statics)
            s.raw(st);
        s.i16(r.alternate_room);
        s.u8(r.flags[0]), s.u8(r.flags[1]);
        if (v_ == 5 || v_ == 6) s.raw(r.extra.data(), 3);
    }

    void room_trc(byte_sink& s, const room_desc& r) {
        byte_sink b; // the block after its size field
        const std::size_t outer_base = base_;
        base_ = outer_base + s.size() + 8; // where `b` will start
        b.u32(0xCDCDCDCD);                 // separator
        for (auto w : r.offsets)
            b.u32(w);
        b.i32(r.x), b.i32(r.y), b.i32(r.z), b.i32(r.y_bottom), b.i32(r.y_top);
        if (r.sectors.size() != std::size_t(r.z_sectors) * r.x_sectors)
            throw std::logic_error("level builder: sector count does not match the sector grid");
        count(b, 2, "rooms");
        b.u16(r.z_sectors);
        count(b, 2, "rooms");
        b.u16(r.x_sectors);
        b.u32(r.colour);
        count(b, 2, "rooms");
        b.u16(std::uint16_t(r.lights.size()));
        count(b, 2, "rooms");
        b.u16(std::uint16_t(r.statics.size()));
        for (auto w : r.words1)
            b.u32(w);
        b.fill(8, 0xCD), b.fill(6, 0xCD);
        b.u8(r.flags[0]), b.u8(r.flags[1]);
        b.u16(r.word7);
        b.fill(10, 0xCD), b.fill(4, 0xCD);
        check_size(r.bytes16, 16, "TRC room 16-byte field");
        b.raw(r.bytes16);
        b.fill(16, 0xCD);
        b.u32(r.word2);
        b.fill(4, 0xCD);
        for (auto w : r.words3)
            b.u32(w);
        count(b, 4, "rooms");
        b.u32(std::uint32_t(r.fog_bulbs.size()));
        b.u32(r.word4);
        b.u32(r.word5);
        count(b, 4, "rooms");
        b.u32(std::uint32_t(r.layers.size()));
        for (auto w : r.words6)
            b.u32(w);
        b.fill(16, 0xCD);
        check_all(r.lights, 88, "TRC light");
        for (const auto& li : r.lights)
            b.raw(li);
        check_all(r.fog_bulbs, 36, "fog bulb");
        for (const auto& f : r.fog_bulbs)
            b.raw(f);
        check_all(r.sectors, 8, "sector");
        for (const auto& sec : r.sectors)
            b.raw(sec);
        check_all(r.portals, 32, "portal");
        count(b, 2, "rooms");
        b.u16(std::uint16_t(r.portals.size()));
        for (const auto& p : r.portals)
            b.raw(p);
        b.u16(0xCDCD);
        check_all(r.statics, 20, "room static");
        for (const auto& st : r.statics)
            b.raw(st);
        std::size_t triangles = 0;
        for (const auto& layer : r.layers) {
            check_size(layer.header_raw, 46, "layer header");
            count(b, 4, "rooms");
            b.u32(std::uint32_t(layer.vertices.size()));
            b.u16(layer.header_word);
            count(b, 2, "rooms");
            b.u16(std::uint16_t(layer.rectangles.size()));
            count(b, 2, "rooms");
            b.u16(std::uint16_t(layer.triangles.size()));
            b.raw(layer.header_raw);
            triangles += layer.triangles.size();
        }
        for (const auto& layer : r.layers) {
            check_all(layer.rectangles, 12, "layer rectangle");
            check_all(layer.triangles, 10, "layer triangle");
            for (const auto& f : layer.rectangles)
                b.raw(f);
            for (const auto& f : layer.triangles)
                b.raw(f);
        }
        if (triangles % 2 == 1) b.u16(0xCDCD);
        for (const auto& layer : r.layers) {
            check_all(layer.vertices, 28, "layer vertex");
            for (const auto& vx : layer.vertices)
                b.raw(vx);
        }
        b.raw(r.trailing);
        base_ = outer_base;
        s.text("XELA");
        count(s, 4, "rooms");
        s.u32(std::uint32_t(b.size()));
        s.raw(b.data());
    }

    // Everything from the room count on: the whole file for TR1-TR3, the level data for TR4 and TRC.
    void level_sections(byte_sink& s) {
        const bool in_ld = v_ == 6;
        auto m = [&](const char* name) { mark(s, name, in_ld); };
        m("room count");
        if (v_ == 7) {
            s.u32(l_.trc_pre_room_word);
            count(s, 4, "room count");
            s.u32(std::uint32_t(l_.rooms.size()));
        } else {
            s.u32(l_.pre_room_word);
            count(s, 2, "room count");
            s.u16(std::uint16_t(l_.rooms.size()));
        }
        m("rooms");
        for (const auto& r : l_.rooms) {
            if (v_ == 7)
                room_trc(s, r);
            else
                room_tr1_to_tr4(s, r);
        }
        m("floor data");
        words(s, l_.floor_data, "floor data");
        m("mesh data");
        words(s, l_.mesh_words, "mesh data");
        m("mesh pointers");
        count(s, 4, "mesh pointers");
        s.u32(std::uint32_t(l_.mesh_pointers.size()));
        for (auto p : l_.mesh_pointers)
            s.u32(p);
        m("animations");
        records(s, l_.animations, animation_size(v_), "animation");
        m("state changes");
        records(s, l_.state_changes, 6, "state change");
        m("animation dispatches");
        records(s, l_.anim_dispatches, 8, "anim dispatch");
        m("animation commands");
        words(s, l_.anim_commands, "animation commands");
        m("mesh trees");
        count(s, 4, "mesh trees");
        s.u32(std::uint32_t(l_.mesh_trees.size()));
        for (auto t : l_.mesh_trees)
            s.i32(t);
        m("frames");
        count(s, 4, "frames");
        s.u32(std::uint32_t(l_.frames.size()));
        for (auto f : l_.frames)
            s.i16(f);
        m("moveables");
        records(s, l_.moveables, moveable_size(v_), "moveable");
        m("static meshes");
        records(s, l_.static_meshes, 32, "static mesh");
        if (v_ <= 4) {
            m("object textures");
            records(s, l_.object_textures, 20, "object texture");
        }
        if (v_ >= 6) m("sprite marker");
        if (v_ == 6) s.text("SPR");
        if (v_ == 7) s.text("SPR"), s.u8(0);
        m("sprite textures");
        records(s, l_.sprite_textures, 16, "sprite texture");
        m("sprite sequences");
        records(s, l_.sprite_sequences, 8, "sprite sequence");
        const bool gold_palette = v_ == 2 || (v_ == 1 && l_.tr1_palette_at_gold_position);
        if (gold_palette) {
            m("palette");
            check_size(l_.palette8, 768, "palette");
            s.raw(l_.palette8);
        }
        m("cameras");
        records(s, l_.cameras, 16, "camera");
        if (v_ >= 6) {
            m("flyby cameras");
            records(s, l_.flyby_cameras, 40, "flyby camera");
        }
        m("sound sources");
        records(s, l_.sound_sources, 16, "sound source");
        m("boxes");
        records(s, l_.boxes, box_size(v_), "box");
        m("overlaps");
        words(s, l_.overlaps, "overlaps");
        m("zones");
        if (l_.zones.size() != zone_arrays(v_))
            throw std::logic_error("level builder: wrong number of zone arrays for the version");
        for (const auto& z : l_.zones) {
            if (z.size() != l_.boxes.size())
                throw std::logic_error("level builder: a zone array is not as long as the boxes");
            for (auto w : z)
                s.u16(w);
        }
        m("animated textures");
        words(s, l_.animated_textures, "animated textures");
        if (v_ >= 6) m("texture marker");
        if (v_ == 6) s.u8(l_.anim_uv_count), s.text("TEX");
        if (v_ == 7) s.u8(l_.anim_uv_count), s.text("TEX"), s.u8(0);
        if (v_ >= 5) {
            m("object textures");
            records(s, l_.object_textures, object_texture_size(v_), "object texture");
        }
        m("entities");
        records(s, l_.entities, entity_size(v_), "entity");
        if (v_ <= 5) {
            m("light map");
            check_size(l_.light_map, 8192, "light map");
            s.raw(l_.light_map);
        }
        if (v_ == 1 && !l_.tr1_palette_at_gold_position) {
            m("palette");
            check_size(l_.palette8, 768, "palette");
            s.raw(l_.palette8);
        }
        m(v_ <= 5 ? "cinematic frames" : "AI objects");
        check_all(l_.ai_objects, ai_size(v_), "cinematic frame / AI object");
        count(s, v_ <= 5 ? 2 : 4, v_ <= 5 ? "cinematic frames" : "AI objects");
        if (v_ <= 5)
            s.u16(std::uint16_t(l_.ai_objects.size()));
        else
            s.u32(std::uint32_t(l_.ai_objects.size()));
        for (const auto& a : l_.ai_objects)
            s.raw(a);
        if (v_ == 6 && l_.raw_sound_section) {
            m("demo data");
            s.raw(*l_.raw_sound_section);
            return;
        }
        m("demo data");
        count(s, 2, "demo data");
        s.u16(std::uint16_t(l_.demo_data.size()));
        s.raw(l_.demo_data);
        m("sound map");
        check_size(l_.sound_map, sound_map_size(v_), "sound map");
        s.raw(l_.sound_map);
        m("sound details");
        records(s, l_.sound_details, 8, "sound detail");
        if (v_ <= 2) {
            m("samples");
            count(s, 4, "samples");
            s.u32(std::uint32_t(l_.samples.size()));
            s.raw(l_.samples);
        }
        m("sample indices");
        count(s, 4, "sample indices");
        s.u32(std::uint32_t(l_.sample_indices.size()));
        for (auto i : l_.sample_indices)
            s.u32(i);
        if (v_ <= 5)
            s.raw(l_.after_last_section);
        else
            s.raw(l_.level_data_tail);
    }

    void compressed_block(byte_sink& s, const bytes& plain) {
        const bytes packed = zlib_compress(plain);
        s.u32(std::uint32_t(plain.size()));
        count(s, 4, "compressed block");
        s.u32(std::uint32_t(packed.size()));
        s.raw(packed);
    }

    void file() {
        byte_sink f;
        mark(f, "version word");
        f.u32(l_.version_word ? l_.version_word : version_word(v_));
        if (v_ >= 6) {
            mark(f, "page counts");
            f.u16(l_.room_pages), f.u16(l_.object_pages), f.u16(l_.bump_pages);
            mark(f, "32-bit pages");
            compressed_block(f, l_.pages32);
            mark(f, "16-bit pages");
            compressed_block(f, l_.pages16);
            mark(f, "extra 32-bit pages");
            compressed_block(f, l_.pages32_misc);
            byte_sink ld;
            if (v_ == 6)
                in_level_data_ = true;
            else
                base_ = f.size() + 32 + 8; // the TRC level data is stored after its header, uncompressed
            level_sections(ld);
            in_level_data_ = false;
            base_ = 0;
            out_.level_data = ld.data();
            if (v_ == 6) {
                mark(f, "level data");
                compressed_block(f, ld.data());
            } else {
                mark(f, "level data header");
                check_size(l_.trc_header, 32, "TRC header");
                f.raw(l_.trc_header);
                count(f, 4, "level data header");
                f.u32(std::uint32_t(ld.size()));
                f.u32(std::uint32_t(ld.size()));
                f.raw(ld.data());
            }
            mark(f, "samples");
            f.raw(l_.samples);
        } else {
            if (v_ >= 3) {
                mark(f, "palettes");
                check_size(l_.palette8, 768, "palette");
                check_size(l_.palette16, 1024, "16-bit palette");
                f.raw(l_.palette8);
                f.raw(l_.palette16);
            }
            mark(f, "texture pages");
            count(f, 4, "texture pages");
            f.u32(l_.num_pages);
            for (std::uint32_t p = 0; p < l_.num_pages; ++p)
                f.raw(pattern(65536, std::uint8_t(p * 7)));
            if (v_ >= 3) {
                for (std::uint32_t p = 0; p < l_.num_pages; ++p)
                    f.raw(pattern(131072, std::uint8_t(p * 11 + 1)));
            }
            level_sections(f);
        }
        std::stable_sort(
            out_.sections.begin(), out_.sections.end(), [](const section_mark& a, const section_mark& b) {
                return a.in_level_data == b.in_level_data ? a.offset < b.offset : !a.in_level_data;
            });
        out_.data = std::move(f.data());
    }

    void count() {
        auto& c = out_.counts;
        c.rooms = std::uint16_t(l_.rooms.size());
        c.floor_data = std::uint32_t(l_.floor_data.size());
        c.mesh_words = std::uint32_t(l_.mesh_words.size());
        c.mesh_pointers = std::uint32_t(l_.mesh_pointers.size());
        c.animations = std::uint32_t(l_.animations.size());
        c.state_changes = std::uint32_t(l_.state_changes.size());
        c.anim_dispatches = std::uint32_t(l_.anim_dispatches.size());
        c.anim_commands = std::uint32_t(l_.anim_commands.size());
        c.mesh_trees = std::uint32_t(l_.mesh_trees.size());
        c.frames = std::uint32_t(l_.frames.size());
        c.moveables = std::uint32_t(l_.moveables.size());
        c.static_meshes = std::uint32_t(l_.static_meshes.size());
        c.object_textures = std::uint32_t(l_.object_textures.size());
        c.sprite_textures = std::uint32_t(l_.sprite_textures.size());
        c.sprite_sequences = std::uint32_t(l_.sprite_sequences.size());
        c.cameras = std::uint32_t(l_.cameras.size());
        c.flyby_cameras = v_ >= 6 ? std::uint32_t(l_.flyby_cameras.size()) : 0;
        c.sound_sources = std::uint32_t(l_.sound_sources.size());
        c.boxes = std::uint32_t(l_.boxes.size());
        c.overlaps = std::uint32_t(l_.overlaps.size());
        c.animated_textures = std::uint32_t(l_.animated_textures.size());
        c.entities = std::uint32_t(l_.entities.size());
        c.ai_objects = std::uint32_t(l_.ai_objects.size());
        const bool raw_sound = v_ == 6 && l_.raw_sound_section;
        c.demo_data = raw_sound ? 0 : std::uint32_t(l_.demo_data.size());
        c.sound_details = raw_sound ? 0 : std::uint32_t(l_.sound_details.size());
        c.sample_indices = raw_sound ? 0 : std::uint32_t(l_.sample_indices.size());
        c.samples = (v_ <= 2 || v_ >= 6) ? std::uint32_t(l_.samples.size()) : 0;
        if (v_ <= 5)
            c.pages = l_.num_pages;
        else
            c.pages = std::uint32_t(l_.pages16.size() / 131072);
    }

    void run() {
        count();
        file();
    }

  private:
    const level_desc& l_;
    std::int32_t v_;
    built_level& out_;
    std::size_t base_ = 0; // file offset of the start of the sink being written (TRC level data, room blocks)
    bool in_level_data_ = false; // writing the TR4 level data, which is compressed afterwards
};

// Six or ten zone arrays of recognisable words.
std::vector<std::vector<std::uint16_t>> make_zones(std::int32_t v, std::size_t boxes) {
    std::vector<std::vector<std::uint16_t>> zones;
    for (std::size_t a = 0; a < zone_arrays(v); ++a) {
        std::vector<std::uint16_t> z;
        for (std::size_t b = 0; b < boxes; ++b)
            z.push_back(std::uint16_t(0x5A00 + a * 16 + b));
        zones.push_back(z);
    }
    return zones;
}

room_desc make_room(std::int32_t v, int index) {
    room_desc r;
    const auto seed = std::uint8_t(0x40 * index);
    r.x = 1024 * (index + 1);
    r.z = 2048 * (index + 1);
    r.y_bottom = 0;
    r.y_top = -1024;
    r.y = -256 * index;
    r.ambient = {std::uint8_t(0x11 + index), std::uint8_t(0x22 + index)};
    r.ambient2 = std::uint16_t(0x3300 + index);
    r.light_mode = std::uint16_t(index);
    r.alternate_room = std::int16_t(index == 0 ? -1 : 0);
    r.flags = {std::uint8_t(0x40 + index), std::uint8_t(0x01)};
    r.extra = {std::uint8_t(1 + index), 2, 3};
    const int nv = index == 0 ? 4 : 3;
    if (v != 7) {
        for (int i = 0; i < nv; ++i) {
            const auto x = std::int16_t(i * 1024), y = std::int16_t(-index * 256),
                       z = std::int16_t(i % 2 * 1024);
            if (is_tr1(v))
                r.vertices.push_back(room_vertex8(x, y, z, std::int16_t(0x1000 + i)));
            else
                r.vertices.push_back(room_vertex12(x, y, z, std::int16_t(0x1000 + i), 0x0010, 0x4210));
        }
        if (index == 0) r.rectangles.push_back(room_face({0, 1, 2, 3}, 5));
        r.triangles.push_back(room_face({0, 1, 2}, 6));
        if (index == 0) r.triangles.push_back(room_face({1, 2, 3}, 7));
        if (index == 0) r.sprites.push_back(room_face({3}, 2));
    } else {
        trc_layer a;
        for (int i = 0; i < nv; ++i)
            a.vertices.push_back(trc_vertex(float(i * 1024) + 0.5f, float(-index * 256), float(i % 2 * 1024),
                                            std::uint8_t(0x80 + i), 0x40, 0x20, std::uint8_t(seed + i)));
        if (index == 0) a.rectangles.push_back(room_face({0, 1, 2, 3}, 5, true, 0x0100));
        a.triangles.push_back(room_face({0, 1, 2}, 6, true, 0x0200));
        a.header_word = 0x1234;
        a.header_raw = pattern(46, seed);
        r.layers.push_back(a);
        if (index == 0) {
            // A second layer sharing two positions with the first and adding one of its own.
            trc_layer b;
            b.vertices.push_back(trc_vertex(0.25f, 0, 0, 1, 2, 3));
            b.vertices.push_back(trc_vertex(1024.75f, 0, 1024.5f, 4, 5, 6));
            b.vertices.push_back(trc_vertex(0, -512, 0, 7, 8, 9));
            b.triangles.push_back(room_face({0, 1, 2}, 8, true, 0x0300));
            b.header_raw = pattern(46, std::uint8_t(seed + 1));
            r.layers.push_back(b);
        }
        r.offsets = {0x10, 0x20, 0x30, 0x40};
        r.colour = 0xFF808080u;
        r.words1 = {1, 2, 3};
        r.word7 = 0x0707;
        r.bytes16 = pattern(16, std::uint8_t(seed + 0x10));
        r.word2 = 0x22;
        r.words3 = {0x31, 0x32, 0x33, 0x34, 0x35};
        r.word4 = 0x44;
        r.word5 = 0x55;
        r.words6 = {0x61, 0x62, 0x63, 0x64, 0x65};
        if (index == 0) r.fog_bulbs = pattern_records(1, 36, 0x90);
        r.trailing = {0xAA, 0xBB};
    }
    if (index == 0) r.portals = pattern_records(1, 32, std::uint8_t(seed + 1));
    r.z_sectors = 1;
    r.x_sectors = std::uint16_t(index == 0 ? 2 : 1);
    r.sectors = pattern_records(std::size_t(r.z_sectors) * r.x_sectors, 8, std::uint8_t(seed + 2));
    if (index == 0) r.lights = pattern_records(1, light_size(v), std::uint8_t(seed + 3));
    if (index == 0) r.statics = pattern_records(1, room_static_size(v), std::uint8_t(seed + 4));
    return r;
}

// Two small meshes: one with normals and textured faces, one with vertex lights (and coloured faces
// where the version has them).
std::vector<mesh_desc> make_meshes(std::int32_t v) {
    const std::size_t rect = v >= 6 ? 12 : 10, tri = v >= 6 ? 10 : 8;
    mesh_desc a;
    a.centre = {1, 2, 3};
    a.radius = 500;
    a.vertices = {{0, 0, 0}, {100, 0, 0}, {100, 100, 0}, {0, 100, 0}};
    a.normals = {{0, 0, 16384}, {0, 0, 16384}, {0, 0, 16384}, {0, 0, 16384}};
    record r = room_face({0, 1, 2, 3}, 1);
    r.resize(rect, 0);
    a.tex_rects.push_back(r);
    mesh_desc b;
    b.radius = 300;
    b.vertices = {{0, 0, 0}, {50, 0, 0}, {0, 50, 0}};
    b.lights = {4096, 4096, 8191};
    record t = room_face({0, 1, 2}, 2);
    t.resize(tri, 0);
    b.tex_tris.push_back(t);
    if (v <= 5) b.col_tris.push_back(room_face({0, 2, 1}, 0x00FF));
    return {a, b};
}

} // namespace

bytes mesh_bytes(std::int32_t v, const std::vector<mesh_desc>& meshes, std::vector<std::uint32_t>* offsets,
                 std::uint16_t filler) {
    const std::size_t rect = v >= 6 ? 12 : 10, tri = v >= 6 ? 10 : 8;
    byte_sink s;
    for (const auto& m : meshes) {
        if (offsets) offsets->push_back(std::uint32_t(s.size()));
        const std::size_t start = s.size();
        for (auto c : m.centre)
            s.i16(c);
        s.i32(m.radius);
        s.i16(std::int16_t(m.vertices.size()));
        for (const auto& p : m.vertices)
            for (auto c : p)
                s.i16(c);
        if (m.lights.empty()) {
            s.i16(std::int16_t(m.normals.size()));
            for (const auto& n : m.normals)
                for (auto c : n)
                    s.i16(c);
        } else {
            s.i16(std::int16_t(-std::int32_t(m.lights.size())));
            for (auto l : m.lights)
                s.i16(l);
        }
        check_all(m.tex_rects, rect, "mesh textured rectangle");
        check_all(m.tex_tris, tri, "mesh textured triangle");
        s.i16(std::int16_t(m.tex_rects.size()));
        for (const auto& f : m.tex_rects)
            s.raw(f);
        s.i16(std::int16_t(m.tex_tris.size()));
        for (const auto& f : m.tex_tris)
            s.raw(f);
        if (v <= 5) {
            check_all(m.col_rects, 10, "mesh coloured rectangle");
            check_all(m.col_tris, 8, "mesh coloured triangle");
            s.i16(std::int16_t(m.col_rects.size()));
            for (const auto& f : m.col_rects)
                s.raw(f);
            s.i16(std::int16_t(m.col_tris.size()));
            for (const auto& f : m.col_tris)
                s.raw(f);
        }
        if ((s.size() - start) % 4 != 0) s.u16(filler);
    }
    return s.data();
}

level_desc make_level(std::int32_t v) {
    version_word(v); // rejects unknown codes
    level_desc l;
    l.game_version = v;
    l.num_pages = 1;
    if (v >= 6) {
        l.room_pages = 1;
        l.pages32 = pattern(262144, 0x32);
        l.pages16 = pattern(131072, 0x16);
        l.pages32_misc = pattern(262144, 0x64);
    }
    l.palette8 = pattern(768, 0x08);
    l.palette16 = pattern(1024, 0x10);
    l.light_map = pattern(8192, 0x4C);
    l.pre_room_word = 0x00000001;
    l.trc_header = pattern(32, 0xC0);
    l.trc_pre_room_word = 0x0000ABCD; // real files hold 0: a non-zero word shows it is kept
    l.rooms = {make_room(v, 0), make_room(v, 1)};
    l.floor_data = {0x8001, 0x0002, 0x0003, 0x8004, 0x0005};
    std::vector<std::uint32_t> offsets;
    const bytes mesh = mesh_bytes(v, make_meshes(v), &offsets);
    for (std::size_t i = 0; i + 1 < mesh.size(); i += 2)
        l.mesh_words.push_back(std::uint16_t(mesh[i] | (mesh[i + 1] << 8)));
    l.mesh_pointers = {offsets[0], offsets[1], offsets[0]};
    l.animations = pattern_records(2, animation_size(v), 0x01);
    l.state_changes = pattern_records(1, 6, 0x02);
    l.anim_dispatches = pattern_records(2, 8, 0x03);
    l.anim_commands = {1, 2, 3};
    l.mesh_trees = {0, 100, -100, 7};
    l.frames = {-1, 0, 1, 2, 3, 4};
    l.moveables = pattern_records(2, moveable_size(v), 0x05);
    l.static_meshes = pattern_records(2, 32, 0x06);
    l.object_textures = pattern_records(3, object_texture_size(v), 0x07);
    l.sprite_textures = pattern_records(2, 16, 0x08);
    l.sprite_sequences = pattern_records(1, 8, 0x09);
    l.cameras = pattern_records(1, 16, 0x0A);
    if (v >= 6) l.flyby_cameras = pattern_records(2, 40, 0x0B);
    l.sound_sources = pattern_records(1, 16, 0x0C);
    l.boxes = pattern_records(3, box_size(v), 0x0D);
    l.overlaps = {0x8000, 1, 2, 0x8003};
    l.zones = make_zones(v, l.boxes.size());
    l.animated_textures = {1, 2, 0, 1, 2};
    l.anim_uv_count = v >= 6 ? 3 : 0;
    l.entities = pattern_records(2, entity_size(v), 0x0E);
    l.ai_objects = pattern_records(1, ai_size(v), 0x0F);
    l.demo_data = {0xD1, 0xD2, 0xD3};
    l.sound_map = pattern(sound_map_size(v), 0x5D);
    l.sound_details = pattern_records(2, 8, 0x11);
    if (v <= 2) l.samples = pattern(10, 0x5A);
    if (v >= 6) l.samples = pattern(32, 0xA5);
    l.sample_indices = {0, 4, 8};
    return l;
}

built_level build_level(const level_desc& level) {
    built_level out;
    layout lay(level, out);
    lay.run();
    return out;
}

bytes with_level_data(const built_level& built, const bytes& level_data) {
    const std::size_t start = section_offset(built, "level data");
    const std::size_t end = section_offset(built, "samples");
    byte_sink s;
    s.raw(built.data.data(), start);
    const bytes packed = zlib_compress(level_data);
    s.u32(std::uint32_t(level_data.size()));
    s.u32(std::uint32_t(packed.size()));
    s.raw(packed);
    s.raw(built.data.data() + end, built.data.size() - end);
    return s.data();
}

bytes with_block(const built_level& built, const std::string& block, std::uint32_t stored_plain,
                 const bytes& stream, const bytes& after_stream) {
    const std::size_t start = section_offset(built, block);
    const bytes& d = built.data;
    const std::size_t old_packed = std::size_t(d[start + 4]) | std::size_t(d[start + 5]) << 8 |
                                   std::size_t(d[start + 6]) << 16 | std::size_t(d[start + 7]) << 24;
    const std::size_t end = start + 8 + old_packed;
    byte_sink s;
    s.raw(d.data(), start);
    s.u32(stored_plain);
    s.u32(std::uint32_t(stream.size() + after_stream.size()));
    s.raw(stream);
    s.raw(after_stream);
    s.raw(d.data() + end, d.size() - end);
    return s.data();
}

bytes zlib_zeros(std::size_t plain_size) {
    z_stream zs{};
    if (deflateInit(&zs, 1) != Z_OK) throw std::runtime_error("level builder: zlib compression failed");
    static const std::uint8_t zeros[1 << 16] = {};
    bytes out;
    std::uint8_t chunk[1 << 16];
    std::size_t left = plain_size;
    int rc = Z_OK;
    do {
        const std::size_t n = std::min(left, sizeof zeros);
        zs.next_in = const_cast<Bytef*>(zeros);
        zs.avail_in = uInt(n);
        left -= n;
        const int flush = left ? Z_NO_FLUSH : Z_FINISH;
        do {
            zs.next_out = chunk;
            zs.avail_out = sizeof chunk;
            rc = deflate(&zs, flush);
            out.insert(out.end(), chunk, chunk + (sizeof chunk - zs.avail_out));
        } while (zs.avail_out == 0);
    } while (left);
    deflateEnd(&zs);
    if (rc != Z_STREAM_END) throw std::runtime_error("level builder: zlib compression failed");
    return out;
}

std::size_t section_offset(const built_level& built, const std::string& name, bool in_level_data) {
    for (const auto& m : built.sections)
        if (m.name == name && m.in_level_data == in_level_data) return m.offset;
    throw std::logic_error("level builder: no section named " + name);
}

std::string file_name_for(std::int32_t v) {
    switch (v) {
    case 1:
        return "level.phd";
    case 2:
        return "level.tub";
    case 3:
        return "level.tr2";
    case 4:
        return "level.trg.tr2";
    case 5:
        return "level.tr2";
    case 6:
        return "level.tr4";
    case 7:
        return "level.trc";
    default:
        throw std::logic_error("level builder: unknown game version " + std::to_string(v));
    }
}

bytes truncated(const bytes& data, std::size_t size) {
    return bytes(data.begin(), data.begin() + std::ptrdiff_t(std::min(size, data.size())));
}

bytes zlib_compress(const bytes& plain) {
    uLongf packed_size = compressBound(uLong(plain.size()));
    bytes packed(packed_size);
    if (compress2(packed.data(), &packed_size, plain.data(), uLong(plain.size()), 9) != Z_OK)
        throw std::runtime_error("level builder: zlib compression failed");
    packed.resize(packed_size);
    return packed;
}

bytes zlib_wrapped(const bytes& plain) {
    const bytes packed = zlib_compress(plain);
    byte_sink s;
    s.text("ZLIB");
    s.u32(std::uint32_t(packed.size()));
    s.u32(std::uint32_t(plain.size()));
    s.raw(packed);
    return s.data();
}

bytes unparsable_sound_section() {
    byte_sink s;
    s.u16(5000); // demo data count, far more than the bytes left in the level data
    s.raw(pattern(40, 0xE0));
    return s.data();
}

} // namespace test_levels
