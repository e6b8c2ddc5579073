// Round-trip comparison of original and re-saved level files, and of two levels section by section.
#include "level_compare.h"

#include "level_reader.h"
#include "level_stream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <stdexcept>
#include <zlib.h>

namespace {

std::string offset_text(std::uint64_t offset) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%llu (0x%llX)", static_cast<unsigned long long>(offset),
                  static_cast<unsigned long long>(offset));
    return buf;
}

std::string byte_text(const std::vector<std::uint8_t>& v, std::size_t i) {
    if (i >= v.size()) return "end of data";
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X", v[i]);
    return buf;
}

// Index of the first differing byte, or npos when equal (a length difference counts at the end
// of the shorter one).
std::size_t first_difference(const std::uint8_t* a, std::size_t na, const std::uint8_t* b, std::size_t nb) {
    const std::size_t n = std::min(na, nb);
    if (n && std::memcmp(a, b, n) == 0) return na == nb ? std::string::npos : n;
    for (std::size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return i;
    return na == nb ? std::string::npos : n;
}

compare_result different(std::string message) {
    compare_result r;
    r.outcome = compare_outcome::different;
    r.message = std::move(message);
    return r;
}

// The text of a difference found at `shown_offset`, from the two bytes there ("" past the end of
// the data) and the two sizes.
std::string difference_text(const std::string& original_byte, const std::string& resaved_byte,
                            std::uint64_t original_size, std::uint64_t resaved_size,
                            std::uint64_t shown_offset, const std::string& where,
                            const std::string& section) {
    std::string m = "first difference at offset " + offset_text(shown_offset);
    if (!where.empty()) m += " " + where;
    if (!section.empty()) m += ", section " + section;
    m += ": original " + original_byte + ", re-saved " + resaved_byte;
    if (original_size != resaved_size)
        m += " (original " + std::to_string(original_size) + " bytes, re-saved " +
             std::to_string(resaved_size) + " bytes)";
    return m;
}

std::string difference_text(const std::vector<std::uint8_t>& original,
                            const std::vector<std::uint8_t>& resaved, std::size_t at,
                            std::uint64_t shown_offset, const std::string& where,
                            const std::string& section) {
    return difference_text(byte_text(original, at), byte_text(resaved, at), original.size(), resaved.size(),
                           shown_offset, where, section);
}

// One zlib stream inflated piece by piece, so that two streams can be compared without either being
// held whole.
class inflate_reader {
  public:
    inflate_reader(const std::uint8_t* packed, std::size_t size) {
        if (inflateInit(&zs_) != Z_OK) throw level_error("Could not start decompressing the level data.");
        zs_.next_in = const_cast<Bytef*>(packed);
        left_ = size;
    }
    ~inflate_reader() { inflateEnd(&zs_); }
    inflate_reader(const inflate_reader&) = delete;
    inflate_reader& operator=(const inflate_reader&) = delete;

    // Fills `out` with up to `room` bytes; fewer only at the end of the stream. Throws level_error
    // when the stream is damaged or ends early.
    std::size_t read(std::uint8_t* out, std::size_t room) {
        std::size_t produced = 0;
        while (produced < room && !ended_) {
            const uInt in_chunk = uInt(std::min<std::size_t>(left_, 1u << 30));
            zs_.avail_in = in_chunk;
            zs_.next_out = out + produced;
            zs_.avail_out = uInt(room - produced);
            const uInt out_before = zs_.avail_out;
            const int rc = inflate(&zs_, Z_NO_FLUSH);
            left_ -= in_chunk - zs_.avail_in;
            produced += out_before - zs_.avail_out;
            if (rc == Z_STREAM_END) {
                ended_ = true;
            } else if (rc == Z_BUF_ERROR && zs_.avail_out != 0) {
                throw level_error("The compressed data ends too early: the file is truncated or corrupt.");
            } else if (rc != Z_OK && rc != Z_BUF_ERROR) {
                throw level_error(std::string("The compressed data is corrupt (") +
                                  (zs_.msg ? zs_.msg : "zlib error") + ").");
            }
        }
        return produced;
    }

  private:
    z_stream zs_{};
    std::size_t left_ = 0;
    bool ended_ = false;
};

// How two inflated streams compare.
struct stream_difference {
    std::uint64_t at = std::uint64_t(-1); // offset of the first difference; -1 when equal
    std::string original_byte, resaved_byte;
    std::uint64_t original_size = 0, resaved_size = 0;
    std::string error; // a stream that cannot be inflated: which, and why
};

// Inflates two zlib streams side by side a megabyte at a time and finds their first difference.
stream_difference compare_streams(const std::uint8_t* a, std::size_t na, const std::uint8_t* b,
                                  std::size_t nb) {
    constexpr std::size_t piece = std::size_t(1) << 20;
    stream_difference d;
    std::vector<std::uint8_t> x(piece), y(piece);
    std::unique_ptr<inflate_reader> ra, rb;
    const char* which = "original";
    try {
        ra = std::make_unique<inflate_reader>(a, na);
        which = "re-saved";
        rb = std::make_unique<inflate_reader>(b, nb);
        for (;;) {
            which = "original";
            const std::size_t gx = ra->read(x.data(), piece);
            which = "re-saved";
            const std::size_t gy = rb->read(y.data(), piece);
            if (d.at == std::uint64_t(-1)) {
                const std::size_t n = std::min(gx, gy);
                std::size_t i = 0;
                if (std::memcmp(x.data(), y.data(), n) != 0)
                    while (x[i] == y[i])
                        ++i;
                else
                    i = n;
                if (i < n || gx != gy) {
                    d.at = d.original_size + i;
                    d.original_byte = byte_text(x, i < gx ? i : x.size());
                    d.resaved_byte = byte_text(y, i < gy ? i : y.size());
                }
            }
            d.original_size += gx;
            d.resaved_size += gy;
            if (gx < piece && gy < piece) break;
        }
    } catch (const level_error& e) {
        d.error = std::string("the ") + which + " file cannot be split into its blocks: " + e.what();
    }
    return d;
}

// Where the compressed blocks of a TR4 file lie: 10 header bytes, four blocks, then the samples.
// The blocks are found without inflating them, so a comparison can inflate one pair at a time.
struct tr4_layout {
    std::size_t block_at[4] = {}, packed[4] = {}; // each block's zlib stream
    std::size_t samples_at = 0;
    std::string error;
};

tr4_layout locate_tr4_blocks(const std::vector<std::uint8_t>& file) {
    tr4_layout t;
    if (file.size() < 10) {
        t.error = "the file is shorter than its header";
        return t;
    }
    std::size_t pos = 10;
    for (int i = 0; i < 4; ++i) {
        if (file.size() - pos < 8) {
            t.error = "block " + std::to_string(i) + " is truncated";
            return t;
        }
        t.packed[i] = get_u32(&file[pos + 4]);
        pos += 8;
        if (file.size() - pos < t.packed[i]) {
            t.error = "block " + std::to_string(i) + " is truncated";
            return t;
        }
        t.block_at[i] = pos;
        pos += t.packed[i];
    }
    t.samples_at = pos;
    return t;
}

compare_result compare_tr4(const std::vector<std::uint8_t>& original,
                           const std::vector<std::uint8_t>& resaved, const std::vector<section_mark>& marks) {
    const tr4_layout a = locate_tr4_blocks(original);
    if (!a.error.empty()) return different("the original file cannot be split into its blocks: " + a.error);
    const tr4_layout b = locate_tr4_blocks(resaved);
    if (!b.error.empty()) return different("the re-saved file cannot be split into its blocks: " + b.error);

    if (auto at = first_difference(original.data(), 10, resaved.data(), 10); at != std::string::npos)
        return different(difference_text(original, resaved, at, at, "", section_at(marks, at)));
    const char* names[4] = {"32-bit pages", "16-bit pages", "extra 32-bit pages", "level data"};
    for (int i = 0; i < 4; ++i) {
        // Inflated side by side a piece at a time: the comparison holds no block whole.
        const stream_difference d =
            compare_streams(&original[a.block_at[i]], a.packed[i], &resaved[b.block_at[i]], b.packed[i]);
        if (!d.error.empty()) return different(d.error);
        if (d.at != std::uint64_t(-1)) {
            std::string section = names[i];
            if (i == 3) {
                const std::string inner = section_at(marks, d.at, true);
                if (!inner.empty()) section += " / " + inner;
            }
            return different(difference_text(d.original_byte, d.resaved_byte, d.original_size, d.resaved_size,
                                             d.at, std::string("inside the inflated ") + names[i] + " block",
                                             section));
        }
    }
    const std::uint8_t* sa = original.data() + a.samples_at;
    const std::uint8_t* sb = resaved.data() + b.samples_at;
    const std::size_t na = original.size() - a.samples_at, nb = resaved.size() - b.samples_at;
    if (auto at = first_difference(sa, na, sb, nb); at != std::string::npos) {
        auto byte_at = [at](const std::uint8_t* p, std::size_t n) {
            return at < n ? byte_text(std::vector<std::uint8_t>{p[at]}, 0) : std::string("end of data");
        };
        return different(
            difference_text(byte_at(sa, na), byte_at(sb, nb), na, nb, at, "inside the samples", "samples"));
    }
    compare_result r;
    r.outcome = compare_outcome::same_content;
    r.message = "same content";
    return r;
}

// ---- Level comparison ----

struct level_diff {
    std::string first;
    template <class T> void eq(const T& a, const T& b, const std::string& what) {
        if (first.empty() && !(a == b)) first = what + " differ";
    }
    void count(std::uint64_t a, std::uint64_t b, const std::string& what) {
        if (first.empty() && a != b)
            first = what + ": " + std::to_string(a) + " in the original, " + std::to_string(b) + " re-read";
    }
    // Arrays compared over their first `n` entries (as many as the count says).
    template <class T>
    void arr(const std::vector<T>& a, const std::vector<T>& b, std::size_t n, const std::string& what) {
        if (!first.empty()) return;
        if (a.size() < n || b.size() < n) {
            first = what + " hold fewer entries than their count";
            return;
        }
        for (std::size_t i = 0; i < n; ++i)
            if (!(a[i] == b[i])) {
                first = what + " differ at entry " + std::to_string(i);
                return;
            }
    }
};

// tobject_texture's defaulted comparison is unusable (its corner type has none): field by field.
bool same_texture(const tobject_texture& a, const tobject_texture& b) {
    if (a.attribute != b.attribute || a.page != b.page || a.new_flags != b.new_flags ||
        a.raw_words != b.raw_words || a.raw_u16 != b.raw_u16)
        return false;
    for (std::size_t k = 0; k < 4; ++k) {
        const auto& x = a.corners[k];
        const auto& y = b.corners[k];
        if (x.x_frac != y.x_frac || x.x_pixel != y.x_pixel || x.y_frac != y.y_frac || x.y_pixel != y.y_pixel)
            return false;
    }
    return true;
}

void compare_room(level_diff& d, const troom& a, const troom& b, std::int32_t game, bool trc,
                  std::size_t index) {
    const std::string r = "room " + std::to_string(index) + " ";
    d.eq(a.x, b.x, r + "x");
    d.eq(a.z, b.z, r + "z");
    d.eq(a.y_bottom, b.y_bottom, r + "y bottom");
    d.eq(a.y_top, b.y_top, r + "y top");
    d.count(a.num_vertices, b.num_vertices, r + "vertex count");
    d.count(a.num_rectangles, b.num_rectangles, r + "rectangle count");
    d.count(a.num_triangles, b.num_triangles, r + "triangle count");
    d.count(a.num_sprites, b.num_sprites, r + "sprite count");
    d.count(a.num_portals, b.num_portals, r + "portal count");
    d.count(a.num_z_sectors, b.num_z_sectors, r + "z sector count");
    d.count(a.num_x_sectors, b.num_x_sectors, r + "x sector count");
    d.count(a.num_lights, b.num_lights, r + "light count");
    d.count(a.num_room_statics, b.num_room_statics, r + "static mesh count");
    if (!d.first.empty()) return;
    if (trc) {
        // Positions as the merged room list holds them.
        if (a.vertices8.size() < a.num_vertices || b.vertices8.size() < b.num_vertices) {
            d.first = r + "vertices hold fewer entries than their count";
            return;
        }
        for (std::size_t i = 0; i < a.num_vertices; ++i)
            if (std::memcmp(a.vertices8[i].data(), b.vertices8[i].data(), 6) != 0) {
                d.first = r + "vertex positions differ at vertex " + std::to_string(i);
                return;
            }
        d.arr(a.vertices28, b.vertices28, a.num_vertices, r + "layer vertices");
        d.arr(a.rectangles12, b.rectangles12, a.num_rectangles, r + "rectangles");
        d.arr(a.triangles10, b.triangles10, a.num_triangles, r + "triangles");
        d.count(a.num_fog_bulbs, b.num_fog_bulbs, r + "fog bulb count");
        d.arr(a.fog_bulbs, b.fog_bulbs, a.num_fog_bulbs, r + "fog bulbs");
        d.arr(a.lights88, b.lights88, a.num_lights, r + "lights");
        d.arr(a.room_statics20, b.room_statics20, a.num_room_statics, r + "static meshes");
        d.eq(a.y, b.y, r + "y");
        d.eq(a.room_colour, b.room_colour, r + "colour");
        d.eq(a.trc_words1, b.trc_words1, r + "words after the counts");
        d.eq(a.trc_word2, b.trc_word2, r + "word after the position");
        d.eq(a.trc_word7, b.trc_word7, r + "word after the flags");
        d.eq(a.room_flags, b.room_flags, r + "flags");
        if (std::memcmp(a.trc_bytes16.data(), b.trc_bytes16.data(), 4) != 0)
            d.eq(1, 2, r + "position prefix bytes");
        for (int k : {0, 1, 2, 4})
            d.eq(a.trc_words3[std::size_t(k)], b.trc_words3[std::size_t(k)],
                 r + "words before the fog bulb count");
    } else {
        if (game <= game_tr1_gold)
            d.arr(a.vertices8, b.vertices8, a.num_vertices, r + "vertices");
        else
            d.arr(a.vertices12, b.vertices12, a.num_vertices, r + "vertices");
        d.arr(a.rectangles10, b.rectangles10, a.num_rectangles, r + "rectangles");
        d.arr(a.triangles8, b.triangles8, a.num_triangles, r + "triangles");
        d.arr(a.sprites, b.sprites, a.num_sprites, r + "sprites");
        d.eq(a.ambient, b.ambient, r + "ambient intensity");
        d.eq(a.ambient2, b.ambient2, r + "second ambient intensity");
        d.eq(a.light_mode, b.light_mode, r + "light mode");
        if (game <= game_tr1_gold) {
            d.arr(a.lights18, b.lights18, a.num_lights, r + "lights");
            d.arr(a.room_statics18, b.room_statics18, a.num_room_statics, r + "static meshes");
        } else {
            if (game <= game_tr3)
                d.arr(a.lights24, b.lights24, a.num_lights, r + "lights");
            else
                d.arr(a.lights46, b.lights46, a.num_lights, r + "lights");
            d.arr(a.room_statics20, b.room_statics20, a.num_room_statics, r + "static meshes");
        }
        d.eq(a.alternate_room, b.alternate_room, r + "alternate room");
        d.eq(a.room_flags, b.room_flags, r + "flags");
        d.eq(a.room_extra, b.room_extra, r + "extra bytes");
    }
    d.arr(a.portals, b.portals, a.num_portals, r + "portals");
    d.arr(a.sectors, b.sectors, std::size_t(a.num_z_sectors) * a.num_x_sectors, r + "sectors");
}

} // namespace

compare_result compare_level_files(const std::vector<std::uint8_t>& original,
                                   const std::vector<std::uint8_t>& resaved, std::int32_t game_version,
                                   const std::vector<section_mark>& marks) {
    const std::size_t at = first_difference(original.data(), original.size(), resaved.data(), resaved.size());
    if (at == std::string::npos) return {};
    if (game_version == game_tr4) return compare_tr4(original, resaved, marks);
    return different(difference_text(original, resaved, at, at, "", section_at(marks, at)));
}

std::string compare_levels(const tr_level& a, const tr_level& b, bool trc_rooms) {
    level_diff d;
    const std::int32_t g = a.game_version;
    d.eq(a.version_word, b.version_word, "version words");
    d.eq(a.game_version, b.game_version, "game versions");
    if (!d.first.empty()) return d.first;
    d.count(a.num_pages, b.num_pages, "texture page count");
    d.eq(a.num_room_pages, b.num_room_pages, "room page counts");
    d.eq(a.num_object_pages, b.num_object_pages, "object page counts");
    d.eq(a.num_bump_pages, b.num_bump_pages, "bump page counts");
    d.eq(a.pages8, b.pages8, "8-bit texture pages");
    d.eq(a.pages16, b.pages16, "16-bit texture pages");
    d.eq(a.pages32, b.pages32, "32-bit texture pages");
    d.eq(a.pages32_misc, b.pages32_misc, "extra 32-bit texture pages");
    if (g < game_tr4) {
        d.eq(a.palette8, b.palette8, "8-bit palettes");
        d.eq(a.palette16, b.palette16, "16-bit palettes");
    }
    d.eq(a.pre_room_word, b.pre_room_word, "words before the room count");
    if (g == game_trc) d.eq(a.trc_header, b.trc_header, "level data headers");

    d.count(a.num_rooms, b.num_rooms, "room count");
    if (!d.first.empty()) return d.first;
    for (std::size_t i = 0; i < a.num_rooms && i < a.rooms.size() && i < b.rooms.size() && d.first.empty();
         ++i)
        compare_room(d, a.rooms[i], b.rooms[i], g, trc_rooms, i);

    auto words = [&](const auto& x, const auto& y, std::uint32_t nx, std::uint32_t ny, const char* what) {
        d.count(nx, ny, std::string(what) + " count");
        d.arr(x, y, nx, what);
    };
    words(a.floor_data, b.floor_data, a.num_floor_data, b.num_floor_data, "floor data");
    words(a.mesh_words, b.mesh_words, a.num_mesh_words, b.num_mesh_words, "mesh data");
    words(a.mesh_pointers, b.mesh_pointers, a.num_mesh_pointers, b.num_mesh_pointers, "mesh pointers");
    if (g >= game_tr4)
        words(a.animations40, b.animations40, a.num_animations, b.num_animations, "animations");
    else
        words(a.animations, b.animations, a.num_animations, b.num_animations, "animations");
    words(a.state_changes, b.state_changes, a.num_state_changes, b.num_state_changes, "state changes");
    words(a.anim_dispatches, b.anim_dispatches, a.num_anim_dispatches, b.num_anim_dispatches,
          "animation dispatches");
    words(a.anim_commands, b.anim_commands, a.num_anim_commands, b.num_anim_commands, "animation commands");
    words(a.mesh_trees, b.mesh_trees, a.num_mesh_trees, b.num_mesh_trees, "mesh trees");
    words(a.frames, b.frames, a.num_frames, b.num_frames, "frames");
    if (g == game_trc)
        words(a.moveables20, b.moveables20, a.num_moveables, b.num_moveables, "moveables");
    else
        words(a.moveables, b.moveables, a.num_moveables, b.num_moveables, "moveables");
    words(a.static_meshes, b.static_meshes, a.num_static_meshes, b.num_static_meshes, "static meshes");
    d.count(a.num_object_textures, b.num_object_textures, "object texture count");
    for (std::size_t i = 0; i < a.num_object_textures && d.first.empty(); ++i) {
        if (i >= a.object_textures.size() || i >= b.object_textures.size()) {
            d.first = "object textures hold fewer entries than their count";
            break;
        }
        if (!same_texture(a.object_textures[i], b.object_textures[i]))
            d.first = "object textures differ at entry " + std::to_string(i);
    }
    d.eq(a.spr_marker, b.spr_marker, "sprite markers");
    d.eq(a.tex_marker, b.tex_marker, "texture markers");
    d.eq(a.anim_uv_count, b.anim_uv_count, "animated texture UV counts");
    words(a.sprite_textures, b.sprite_textures, a.num_sprite_textures, b.num_sprite_textures,
          "sprite textures");
    words(a.sprite_sequences, b.sprite_sequences, a.num_sprite_sequences, b.num_sprite_sequences,
          "sprite sequences");
    words(a.cameras, b.cameras, a.num_cameras, b.num_cameras, "cameras");
    words(a.flyby_cameras, b.flyby_cameras, a.num_flyby_cameras, b.num_flyby_cameras, "flyby cameras");
    words(a.sound_sources, b.sound_sources, a.num_sound_sources, b.num_sound_sources, "sound sources");
    if (g <= game_tr1_gold)
        words(a.boxes20, b.boxes20, a.num_boxes, b.num_boxes, "boxes");
    else
        words(a.boxes, b.boxes, a.num_boxes, b.num_boxes, "boxes");
    words(a.overlaps, b.overlaps, a.num_overlaps, b.num_overlaps, "overlaps");
    d.count(a.num_zones, b.num_zones, "zone count");
    for (auto [x, y] : {std::pair{&a.ground_zone1, &b.ground_zone1},
                        {&a.ground_zone2, &b.ground_zone2},
                        {&a.ground_zone3, &b.ground_zone3},
                        {&a.ground_zone4, &b.ground_zone4},
                        {&a.fly_zone, &b.fly_zone},
                        {&a.ground_zone1_alt, &b.ground_zone1_alt},
                        {&a.ground_zone2_alt, &b.ground_zone2_alt},
                        {&a.ground_zone3_alt, &b.ground_zone3_alt},
                        {&a.ground_zone4_alt, &b.ground_zone4_alt},
                        {&a.fly_zone_alt, &b.fly_zone_alt}})
        d.arr(*x, *y, std::min<std::size_t>(a.num_zones, x->size()), "zones");
    words(a.animated_textures, b.animated_textures, a.num_animated_textures, b.num_animated_textures,
          "animated textures");
    if (g <= game_tr1_gold)
        words(a.entities22, b.entities22, a.num_entities, b.num_entities, "entities");
    else
        words(a.entities, b.entities, a.num_entities, b.num_entities, "entities");
    if (g < game_tr4) {
        d.eq(a.light_map, b.light_map, "light maps");
        words(a.cinematic_frames, b.cinematic_frames, a.num_ai_objects, b.num_ai_objects, "cinematic frames");
    } else {
        words(a.ai_objects, b.ai_objects, a.num_ai_objects, b.num_ai_objects, "AI objects");
    }
    d.eq(a.sound_block_raw, b.sound_block_raw, "kept sound blocks");
    d.eq(a.sound_block, b.sound_block, "sound blocks");
    words(a.demo_data, b.demo_data, a.num_demo_data, b.num_demo_data, "demo data");
    d.eq(a.sound_map, b.sound_map, "sound maps");
    words(a.sound_details, b.sound_details, a.num_sound_details, b.num_sound_details, "sound details");
    words(a.sample_indices, b.sample_indices, a.num_sample_indices, b.num_sample_indices, "sample indices");
    d.count(a.samples_size, b.samples_size, "sample bytes");
    d.eq(a.samples, b.samples, "samples");
    if (g == game_trc) {
        // The level data ends with the separator; a re-read keeps it at the start of its tail.
        auto strip = [](const std::vector<std::uint8_t>& t) {
            if (t.size() >= 4 && t[0] == 0xCD && t[1] == 0xCD && t[2] == 0xCD && t[3] == 0xCD)
                return std::vector<std::uint8_t>(t.begin() + 4, t.end());
            return t;
        };
        d.eq(strip(a.tail_bytes), strip(b.tail_bytes), "bytes after the sample indices");
    } else {
        d.eq(a.tail_bytes, b.tail_bytes, "bytes after the last section");
    }
    return d.first;
}

std::vector<std::uint8_t> resave_level_memory(tr_level& level, const std::string& target_name,
                                              const write_options& options) {
    mesh_list list;
    build_mesh_list(list, level);
    rebuild_mesh_words(list, level);
    return write_level_memory(level, target_name, options);
}

namespace {

// The large buffers of a level that a re-save leaves as they are.
struct page_buffers {
    std::vector<std::uint8_t> pages8, pages16, pages32, pages32_misc, samples;
};

page_buffers take_pages(tr_level& level) {
    return {std::move(level.pages8), std::move(level.pages16), std::move(level.pages32),
            std::move(level.pages32_misc), std::move(level.samples)};
}

void give_pages(tr_level& level, page_buffers held) {
    level.pages8 = std::move(held.pages8);
    level.pages16 = std::move(held.pages16);
    level.pages32 = std::move(held.pages32);
    level.pages32_misc = std::move(held.pages32_misc);
    level.samples = std::move(held.samples);
}

} // namespace

roundtrip_result check_roundtrip_memory(std::vector<std::uint8_t> file, const std::string& name) {
    roundtrip_result r;
    // The original as the reader sees it (a "ZLIB"-wrapped file unwrapped).
    std::vector<std::uint8_t> original;
    try {
        level_stream z;
        z.init(name);
        z.open_memory(file);
        original = std::move(z.buffer);
    } catch (const level_error& e) {
        r.read_code = read_corrupt;
        r.error = e.what();
        return r;
    } catch (const std::bad_alloc&) {
        r.read_code = read_corrupt;
        r.error = name + " needs more memory than is available: the file is corrupt.";
        return r;
    }
    tr_level level;
    r.read_code = read_level_memory(level, std::move(file), name, &r.error);
    if (r.read_code != read_ok) return r;
    // The meshes are parsed as the editor parses them on opening: a level it could not open is
    // corrupt, not a level that fails to save.
    try {
        mesh_list meshes;
        build_mesh_list(meshes, level);
    } catch (const level_error& e) {
        r.read_code = read_corrupt;
        r.error = e.what();
        return r;
    }
    try {
        // TRC is compared as a level read back, so the level as read is kept; its pages and samples,
        // which saving does not change, are moved into that copy after the save rather than copied.
        const bool trc = level.game_version == game_trc;
        tr_level as_read;
        if (trc) {
            page_buffers held = take_pages(level);
            as_read = level;
            give_pages(level, std::move(held));
        }
        // Saved under its own name, the level keeps the layout it was read with.
        const std::string& target = name;
        std::vector<section_mark> marks;
        write_options options;
        options.sections = &marks;
        const auto resaved = resave_level_memory(level, target, options);
        if (!trc) {
            const std::int32_t game = level.game_version;
            level = tr_level(); // not needed for the comparison: one copy of the pages fewer
            r.compare = compare_level_files(original, resaved, game, marks);
            return r;
        }
        give_pages(as_read, take_pages(level));
        level = tr_level();
        // TRC: the rooms are rebuilt as one layer; read the result back and save it again.
        tr_level reread;
        std::string error;
        if (read_level_memory(reread, resaved, target, &error) != read_ok) {
            r.compare = different("the re-saved file cannot be read back: " + error);
            return r;
        }
        if (auto diff = compare_levels(as_read, reread, true); !diff.empty()) {
            r.compare = different("the re-saved file reads back differently: " + diff);
            return r;
        }
        std::vector<section_mark> marks2;
        options.sections = &marks2;
        const auto second = resave_level_memory(reread, target, options);
        if (auto at = first_difference(resaved.data(), resaved.size(), second.data(), second.size());
            at != std::string::npos) {
            r.compare = different("saving the re-read level again gives other bytes: " +
                                  difference_text(resaved, second, at, at, "", section_at(marks2, at)));
            return r;
        }
        if (original == resaved) return r;
        r.compare.outcome = compare_outcome::same_content;
        r.compare.message = "same content";
    } catch (const level_error& e) {
        r.error = e.what();
    } catch (const std::bad_alloc&) {
        r.read_code = read_corrupt;
        r.error = name + " needs more memory than is available: the file is corrupt.";
    } catch (const std::length_error&) {
        r.read_code = read_corrupt;
        r.error = name + " needs more memory than is available: the file is corrupt.";
    }
    return r;
}

roundtrip_result check_roundtrip(const std::string& path) {
    roundtrip_result r;
    if (std::string why = unreadable_level_path(path); !why.empty()) {
        r.read_code = read_missing_file;
        r.error = std::move(why);
        return r;
    }
    std::vector<std::uint8_t> data;
    try {
        data = read_whole_file(path);
    } catch (const level_error& e) {
        r.read_code = read_missing_file;
        r.error = e.what();
        return r;
    }
    return check_roundtrip_memory(std::move(data), path);
}
