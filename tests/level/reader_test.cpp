// Tests of the level reader against files laid out byte by byte by the test level builder: what
// distinguishes the layouts of the seven versions, kept data, and refusal of damaged files.
#include "allocation_probe.h"
#include "level_builder.h"
#include "level_compare.h"
#include "level_reader.h"
#include "level_snapshot.h"
#include "level_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

using namespace test_levels;

struct outcome {
    int code = -1; // an int so that failures print the number
    std::string error;
};

outcome read_bytes(tr_level& level, const bytes& data, const std::string& name) {
    outcome o;
    o.code = read_level_memory(level, data, name, &o.error);
    return o;
}

outcome read_built(tr_level& level, const built_level& b, std::int32_t version) {
    return read_bytes(level, b.data, file_name_for(version));
}

// A level whose pages are empty, so that damaged copies can be tried at every offset quickly.
level_desc small_level(std::int32_t v) {
    level_desc d = make_level(v);
    d.num_pages = 0;
    d.room_pages = d.object_pages = d.bump_pages = 0; // the page blocks must match the counts
    d.pages32.clear();
    d.pages16.clear();
    d.pages32_misc.clear();
    return d;
}

template <std::size_t N>
void expect_records(const std::vector<rec<N>>& got, const std::vector<record>& want, const char* what) {
    ASSERT_EQ(got.size(), want.size()) << what;
    for (std::size_t i = 0; i < want.size(); ++i) {
        const std::size_t n = std::min(N, want[i].size());
        EXPECT_TRUE(std::equal(want[i].begin(), want[i].begin() + std::ptrdiff_t(n), got[i].begin()))
            << what << " record " << i;
    }
}

template <class A, class B>
void expect_words(const std::vector<A>& got, const std::vector<B>& want, const char* what) {
    ASSERT_EQ(got.size(), want.size()) << what;
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_EQ(got[i], A(want[i])) << what << " word " << i;
}

std::uint16_t u16_at(const record& r, std::size_t at) {
    return std::uint16_t(r[at] | (r[at + 1] << 8));
}
std::uint32_t u32_at(const record& r, std::size_t at) {
    return std::uint32_t(r[at]) | std::uint32_t(r[at + 1]) << 8 | std::uint32_t(r[at + 2]) << 16 |
           std::uint32_t(r[at + 3]) << 24;
}

void expect_counts(const tr_level& l, const expected_counts& c) {
    EXPECT_EQ(l.num_rooms, c.rooms);
    EXPECT_EQ(l.rooms.size(), c.rooms);
    EXPECT_EQ(l.num_floor_data, c.floor_data);
    EXPECT_EQ(l.num_mesh_words, c.mesh_words);
    EXPECT_EQ(l.num_mesh_pointers, c.mesh_pointers);
    EXPECT_EQ(l.num_animations, c.animations);
    EXPECT_EQ(l.num_state_changes, c.state_changes);
    EXPECT_EQ(l.num_anim_dispatches, c.anim_dispatches);
    EXPECT_EQ(l.num_anim_commands, c.anim_commands);
    EXPECT_EQ(l.num_mesh_trees, c.mesh_trees);
    EXPECT_EQ(l.num_frames, c.frames);
    EXPECT_EQ(l.num_moveables, c.moveables);
    EXPECT_EQ(l.num_static_meshes, c.static_meshes);
    EXPECT_EQ(l.num_object_textures, c.object_textures);
    EXPECT_EQ(l.num_sprite_textures, c.sprite_textures);
    EXPECT_EQ(l.num_sprite_sequences, c.sprite_sequences);
    EXPECT_EQ(l.num_cameras, c.cameras);
    EXPECT_EQ(l.num_flyby_cameras, c.flyby_cameras);
    EXPECT_EQ(l.num_sound_sources, c.sound_sources);
    EXPECT_EQ(l.num_boxes, c.boxes);
    EXPECT_EQ(l.num_zones, c.boxes);
    EXPECT_EQ(l.num_overlaps, c.overlaps);
    EXPECT_EQ(l.num_animated_textures, c.animated_textures);
    EXPECT_EQ(l.num_entities, c.entities);
    EXPECT_EQ(l.num_ai_objects, c.ai_objects);
    EXPECT_EQ(l.num_demo_data, c.demo_data);
    EXPECT_EQ(l.num_sound_details, c.sound_details);
    EXPECT_EQ(l.num_sample_indices, c.sample_indices);
    EXPECT_EQ(l.samples_size, c.samples);
    EXPECT_EQ(l.samples.size(), c.samples);
    EXPECT_EQ(l.num_pages, c.pages);
}

// The object texture as the file record says, decoded here independently of the reader.
tobject_texture decode_object_texture(const record& r, std::int32_t v) {
    tobject_texture t;
    t.attribute = u16_at(r, 0);
    t.page = u16_at(r, 2);
    std::size_t at = 4;
    if (v >= 6) t.new_flags = u16_at(r, 4), at = 6;
    for (auto& c : t.corners) {
        c.x_frac = r[at], c.x_pixel = r[at + 1], c.y_frac = r[at + 2], c.y_pixel = r[at + 3];
        at += 4;
    }
    if (v >= 6)
        for (auto& w : t.raw_words)
            w = u32_at(r, at), at += 4;
    if (v == 7) t.raw_u16 = u16_at(r, at);
    return t;
}

::testing::AssertionResult same_texture(const tobject_texture& a, const tobject_texture& b) {
    bool same = a.attribute == b.attribute && a.page == b.page && a.new_flags == b.new_flags &&
                a.raw_words == b.raw_words && a.raw_u16 == b.raw_u16;
    for (std::size_t k = 0; k < 4; ++k)
        same = same && a.corners[k].x_frac == b.corners[k].x_frac &&
               a.corners[k].x_pixel == b.corners[k].x_pixel && a.corners[k].y_frac == b.corners[k].y_frac &&
               a.corners[k].y_pixel == b.corners[k].y_pixel;
    if (same) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "object textures differ (attribute " << a.attribute << " vs "
                                         << b.attribute << ", page " << a.page << " vs " << b.page << ")";
}

void expect_room_tr1_to_tr4(const troom& got, const room_desc& want, std::int32_t v) {
    EXPECT_EQ(got.x, want.x);
    EXPECT_EQ(got.z, want.z);
    EXPECT_EQ(got.y_bottom, want.y_bottom);
    EXPECT_EQ(got.y_top, want.y_top);
    const std::size_t vsize = v <= 2 ? 8 : 12;
    EXPECT_EQ(got.num_data_words, (8 + want.vertices.size() * vsize + want.rectangles.size() * 10 +
                                   want.triangles.size() * 8 + want.sprites.size() * 4) /
                                      2);
    ASSERT_EQ(got.num_vertices, want.vertices.size());
    for (std::size_t i = 0; i < want.vertices.size(); ++i) {
        const record& w = want.vertices[i];
        EXPECT_TRUE(std::equal(w.begin(), w.begin() + 8, got.vertices8[i].begin())) << "vertex " << i;
        EXPECT_TRUE(std::equal(w.begin(), w.begin() + 8, got.vertices12[i].begin())) << "vertex " << i;
        if (v <= 2) {
            // The 12-byte form of a TR1 vertex gets the fixed attributes and second lighting.
            EXPECT_EQ(get_u16(&got.vertices12[i][8]), 0x0010);
            EXPECT_EQ(get_u16(&got.vertices12[i][10]), 0x3DEF);
        } else {
            EXPECT_TRUE(std::equal(w.begin(), w.end(), got.vertices12[i].begin())) << "vertex " << i;
        }
    }
    EXPECT_EQ(got.num_rectangles, want.rectangles.size());
    expect_records(got.rectangles10, want.rectangles, "room rectangles");
    EXPECT_EQ(got.num_triangles, want.triangles.size());
    expect_records(got.triangles8, want.triangles, "room triangles");
    EXPECT_EQ(got.num_sprites, want.sprites.size());
    expect_records(got.sprites, want.sprites, "room sprites");
    EXPECT_EQ(got.num_portals, want.portals.size());
    expect_records(got.portals, want.portals, "portals");
    EXPECT_EQ(got.num_z_sectors, want.z_sectors);
    EXPECT_EQ(got.num_x_sectors, want.x_sectors);
    expect_records(got.sectors, want.sectors, "sectors");
    EXPECT_EQ(got.ambient[0], want.ambient[0]);
    EXPECT_EQ(got.ambient[1], want.ambient[1]);
    EXPECT_EQ(got.ambient2, v >= 3 ? want.ambient2 : 0);
    EXPECT_EQ(got.light_mode, v == 3 || v == 4 ? want.light_mode : 0);
    EXPECT_EQ(got.num_lights, want.lights.size());
    if (v <= 2)
        expect_records(got.lights18, want.lights, "lights");
    else if (v <= 5)
        expect_records(got.lights24, want.lights, "lights");
    else
        expect_records(got.lights46, want.lights, "lights");
    EXPECT_EQ(got.num_room_statics, want.statics.size());
    if (v <= 2)
        expect_records(got.room_statics18, want.statics, "room statics");
    else
        expect_records(got.room_statics20, want.statics, "room statics");
    EXPECT_EQ(got.alternate_room, want.alternate_room);
    EXPECT_EQ(got.room_flags[0], want.flags[0]);
    EXPECT_EQ(got.room_flags[1], want.flags[1]);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(got.room_extra[k], v == 5 || v == 6 ? want.extra[k] : 0);
    EXPECT_EQ(got.room_extra[3], 0);
}

class every_version : public ::testing::TestWithParam<std::int32_t> {};

TEST_P(every_version, reads_every_section_of_a_built_level) {
    const std::int32_t v = GetParam();
    const level_desc d = make_level(v);
    const built_level b = build_level(d);
    tr_level l;
    const outcome o = read_built(l, b, v);
    ASSERT_EQ(o.code, read_ok) << o.error;
    EXPECT_EQ(l.game_version, v);
    EXPECT_EQ(l.signature, "Qorvane");
    EXPECT_EQ(l.version_word, get_u32(b.data.data()));
    expect_counts(l, b.counts);

    if (v <= 5) {
        EXPECT_EQ(l.pages8_size, d.num_pages * 65536);
        ASSERT_EQ(l.pages8.size(), std::size_t(d.num_pages) * 65536);
        EXPECT_EQ(l.pages8[1], 1); // first page counts up from 0
        if (v >= 3) {
            EXPECT_EQ(l.pages16.size(), std::size_t(d.num_pages) * 131072);
            EXPECT_TRUE(std::equal(d.palette16.begin(), d.palette16.end(), l.palette16.begin()));
        }
        EXPECT_TRUE(std::equal(d.palette8.begin(), d.palette8.end(), l.palette8.begin()));
        EXPECT_TRUE(std::equal(d.light_map.begin(), d.light_map.end(), l.light_map.begin()));
        EXPECT_EQ(l.pre_room_word, d.pre_room_word);
        for (std::size_t r = 0; r < d.rooms.size(); ++r) {
            SCOPED_TRACE("room " + std::to_string(r));
            expect_room_tr1_to_tr4(l.rooms[r], d.rooms[r], v);
        }
    } else {
        EXPECT_EQ(l.num_room_pages, d.room_pages);
        EXPECT_EQ(l.pages32, d.pages32);
        EXPECT_EQ(l.pages16, d.pages16);
        EXPECT_EQ(l.pages32_misc, d.pages32_misc);
        EXPECT_EQ(l.pages32_size, d.pages32.size());
        EXPECT_EQ(l.pages16_size, d.pages16.size());
        EXPECT_EQ(l.pages32_misc_size, d.pages32_misc.size());
        EXPECT_EQ(l.pages32_packed, zlib_compress(d.pages32).size());
        EXPECT_EQ(l.pages16_packed, zlib_compress(d.pages16).size());
        EXPECT_EQ(l.pages8_size, l.num_pages * 65536);
        EXPECT_EQ(l.samples, d.samples);
        EXPECT_EQ(l.anim_uv_count, d.anim_uv_count);
        EXPECT_EQ(std::memcmp(l.tex_marker.data(), "TEX\0", 4), 0);
        EXPECT_EQ(std::memcmp(l.spr_marker.data(), "SPR\0", 4), 0);
        expect_records(l.flyby_cameras, d.flyby_cameras, "flyby cameras");
        expect_records(l.ai_objects, d.ai_objects, "AI objects");
        if (v == 6) {
            EXPECT_EQ(l.pre_room_word, d.pre_room_word);
            for (std::size_t r = 0; r < d.rooms.size(); ++r) {
                SCOPED_TRACE("room " + std::to_string(r));
                expect_room_tr1_to_tr4(l.rooms[r], d.rooms[r], v);
            }
        } else {
            EXPECT_TRUE(std::equal(d.trc_header.begin(), d.trc_header.end(), l.trc_header.begin()));
            EXPECT_EQ(l.level_data_size, b.level_data.size());
        }
    }
    if (v <= 5) expect_records(l.cinematic_frames, d.ai_objects, "cinematic frames");
    if (v <= 2) {
        EXPECT_EQ(l.samples, d.samples);
    }

    expect_words(l.floor_data, d.floor_data, "floor data");
    expect_words(l.mesh_words, d.mesh_words, "mesh words");
    expect_words(l.mesh_pointers, d.mesh_pointers, "mesh pointers");
    if (v >= 6)
        expect_records(l.animations40, d.animations, "animations");
    else
        expect_records(l.animations, d.animations, "animations");
    expect_records(l.state_changes, d.state_changes, "state changes");
    expect_records(l.anim_dispatches, d.anim_dispatches, "anim dispatches");
    expect_words(l.anim_commands, d.anim_commands, "anim commands");
    expect_words(l.mesh_trees, d.mesh_trees, "mesh trees");
    expect_words(l.frames, d.frames, "frames");
    expect_records(l.moveables, d.moveables, "moveables");
    expect_records(l.static_meshes, d.static_meshes, "static meshes");
    ASSERT_EQ(l.object_textures.size(), d.object_textures.size());
    for (std::size_t i = 0; i < d.object_textures.size(); ++i)
        EXPECT_TRUE(same_texture(l.object_textures[i], decode_object_texture(d.object_textures[i], v)))
            << "object texture " << i;
    expect_records(l.sprite_textures, d.sprite_textures, "sprite textures");
    expect_records(l.sprite_sequences, d.sprite_sequences, "sprite sequences");
    expect_records(l.cameras, d.cameras, "cameras");
    expect_records(l.sound_sources, d.sound_sources, "sound sources");
    if (v <= 2)
        expect_records(l.boxes20, d.boxes, "boxes");
    else
        expect_records(l.boxes, d.boxes, "boxes");
    expect_words(l.overlaps, d.overlaps, "overlaps");
    if (v <= 2) {
        // TR1 has six zone arrays; they fill these six of the ten.
        const std::vector<std::uint16_t>* six[] = {&l.ground_zone1,     &l.ground_zone2,     &l.fly_zone,
                                                   &l.ground_zone1_alt, &l.ground_zone2_alt, &l.fly_zone_alt};
        for (std::size_t z = 0; z < 6; ++z)
            expect_words(*six[z], d.zones[z], "zone");
        EXPECT_EQ(l.ground_zone3, std::vector<std::uint16_t>(d.boxes.size(), 0));
    } else {
        const std::vector<std::uint16_t>* ten[] = {
            &l.ground_zone1,     &l.ground_zone2,     &l.ground_zone3,     &l.ground_zone4,
            &l.fly_zone,         &l.ground_zone1_alt, &l.ground_zone2_alt, &l.ground_zone3_alt,
            &l.ground_zone4_alt, &l.fly_zone_alt};
        for (std::size_t z = 0; z < 10; ++z)
            expect_words(*ten[z], d.zones[z], "zone");
    }
    expect_words(l.animated_textures, d.animated_textures, "animated textures");
    if (v <= 2)
        expect_records(l.entities22, d.entities, "entities");
    else
        expect_records(l.entities, d.entities, "entities");
    EXPECT_EQ(l.demo_data, d.demo_data);
    EXPECT_TRUE(std::equal(d.sound_map.begin(), d.sound_map.end(), l.sound_map.begin()));
    expect_records(l.sound_details, d.sound_details, "sound details");
    expect_words(l.sample_indices, d.sample_indices, "sample indices");
    EXPECT_TRUE(l.tail_bytes.empty());
    EXPECT_FALSE(l.sound_block_raw);
    EXPECT_FALSE(l.tr1_layout_swapped);
}

TEST_P(every_version, reports_progress_from_0_up_to_100_then_0) {
    const std::int32_t v = GetParam();
    const built_level b = build_level(make_level(v));
    tr_level l;
    std::vector<int> seen;
    l.progress = [&](int p) { seen.push_back(p); };
    ASSERT_EQ(read_built(l, b, v).code, read_ok);
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen.front(), 0);
    EXPECT_EQ(seen[seen.size() - 2], 100);
    EXPECT_EQ(seen.back(), 0);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end() - 1)) << "progress went backwards";
    auto has = [&](int p) { return std::find(seen.begin(), seen.end(), p) != seen.end(); };
    for (int p : {80, 85, 90})
        EXPECT_TRUE(has(p)) << p;
    if (v >= 6)
        for (int p : {20, 30, 40})
            EXPECT_TRUE(has(p)) << p;
    else
        for (int p : {30, 50})
            EXPECT_TRUE(has(p)) << p;
}

TEST_P(every_version, reads_a_zlib_wrapped_file_like_the_plain_one) {
    const std::int32_t v = GetParam();
    const built_level b = build_level(small_level(v));
    tr_level plain, wrapped;
    ASSERT_EQ(read_built(plain, b, v).code, read_ok);
    const outcome o = read_bytes(wrapped, zlib_wrapped(b.data), file_name_for(v));
    ASSERT_EQ(o.code, read_ok) << o.error;
    EXPECT_EQ(level_snapshot(wrapped), level_snapshot(plain));
}

TEST_P(every_version, refuses_a_file_cut_short_at_any_offset) {
    const std::int32_t v = GetParam();
    const built_level b = build_level(small_level(v));
    // Where the file's data ends and only samples (TR4, TRC) follow.
    const std::size_t data_end = v >= 6 ? section_offset(b, "samples") : b.data.size();
    for (std::size_t cut = 0; cut < data_end; ++cut) {
        tr_level l;
        const outcome o = read_bytes(l, truncated(b.data, cut), file_name_for(v));
        if (cut < 4) {
            EXPECT_EQ(o.code, read_not_a_level) << "cut at " << cut;
            continue;
        }
        ASSERT_EQ(o.code, read_corrupt) << "cut at " << cut;
        ASSERT_FALSE(o.error.empty());
        // The message names the section being read: the one the cut falls in, or (when the cut is
        // at its start) the one before it.
        std::vector<std::string> names;
        for (const auto& m : b.sections)
            if (!m.in_level_data && m.offset <= cut) names.push_back(m.name);
        ASSERT_FALSE(names.empty());
        // TRC level data is stored plainly with its size in the header: a cut inside it makes that
        // size run past the file.
        if (v == game_trc && cut >= section_offset(b, "level data header")) names.push_back("level data");
        bool named = o.error.find(names.back()) != std::string::npos;
        if (names.size() > 1) named = named || o.error.find(names[names.size() - 2]) != std::string::npos;
        EXPECT_TRUE(named) << "cut at " << cut << " inside " << names.back() << ": " << o.error;
        EXPECT_EQ(l.signature, "") << "a failed read must not mark the level as loaded";
    }
}

TEST_P(every_version, refuses_absurd_counts_before_allocating_for_them) {
    const std::int32_t v = GetParam();
    const built_level b = build_level(small_level(v));
    ASSERT_FALSE(b.count_fields.empty());
    for (const auto& f : b.count_fields) {
        bytes ld = b.level_data;
        bytes data = b.data;
        bytes& target = f.in_level_data ? ld : data;
        for (int k = 0; k < f.width; ++k)
            target[f.offset + k] = 0xFF;
        if (f.in_level_data) data = with_level_data(b, ld);
        tr_level l;
        outcome o;
        std::size_t largest = 0;
        {
            allocation_probe probe;
            o = read_bytes(l, data, file_name_for(v));
            largest = probe.largest();
        }
        const bool sound = v == 6 && f.in_level_data && f.offset >= section_offset(b, "demo data", true);
        if (sound) {
            // TR4 sound sections that do not parse are kept as one raw block.
            EXPECT_EQ(o.code, read_ok) << f.section << " count at " << f.offset << ": " << o.error;
            EXPECT_TRUE(l.sound_block_raw);
        } else {
            EXPECT_EQ(o.code, read_corrupt) << f.section << " count at " << f.offset;
            EXPECT_FALSE(o.error.empty());
        }
        EXPECT_LT(largest, std::size_t(16) << 20)
            << f.section << " count at " << f.offset << " made a huge allocation";
    }
}

TEST_P(every_version, a_failed_read_leaves_the_level_as_it_was) {
    const std::int32_t v = GetParam();
    const built_level good = build_level(small_level(v));
    tr_level l;
    ASSERT_EQ(read_built(l, good, v).code, read_ok);
    const auto before = level_snapshot(l);

    const built_level other = build_level(small_level(v == 7 ? 6 : 7));
    const bytes cut = truncated(other.data, other.data.size() / 2);
    EXPECT_EQ(read_bytes(l, cut, file_name_for(v == 7 ? 6 : 7)).code, read_corrupt);
    EXPECT_EQ(level_snapshot(l), before);

    bytes not_level = other.data;
    std::memcpy(not_level.data(), "ABCD", 4);
    EXPECT_EQ(read_bytes(l, not_level, "x.tr4").code, read_not_a_level);
    EXPECT_EQ(level_snapshot(l), before);

    EXPECT_EQ(read_level(l, "/nonexistent/folder/level.tr4"), read_missing_file);
    EXPECT_EQ(level_snapshot(l), before);
    std::string error;
    EXPECT_EQ(read_level(l, std::filesystem::temp_directory_path().string(), &error), read_missing_file);
    EXPECT_NE(error.find("is a folder"), std::string::npos) << error;
    EXPECT_EQ(level_snapshot(l), before);

    const built_level tr4 = build_level(small_level(game_tr4));
    bytes corrupt = tr4.data;
    corrupt[section_offset(tr4, "level data") + 8] ^= 0xFF; // zlib stream header
    EXPECT_EQ(read_bytes(l, corrupt, "level.tr4").code, read_corrupt);
    EXPECT_EQ(level_snapshot(l), before);

    // A cut TR1 file fails with both TR1 palette positions.
    const built_level tr1 = build_level(small_level(game_tr1));
    EXPECT_EQ(read_bytes(l, truncated(tr1.data, tr1.data.size() - 3), "level.phd").code, read_corrupt);
    EXPECT_EQ(level_snapshot(l), before);
}

std::string version_name(const ::testing::TestParamInfo<std::int32_t>& info) {
    static const char* names[] = {"", "tr1", "tr1_gold", "tr2", "tr2_gold", "tr3", "tr4", "trc"};
    return names[info.param];
}
INSTANTIATE_TEST_SUITE_P(levels, every_version, ::testing::Values(1, 2, 3, 4, 5, 6, 7), version_name);

// Version words and names.

TEST(version_detection, follows_the_first_word_and_case_sensitive_names) {
    EXPECT_EQ(game_version_for(0x20, "a/level.phd"), game_tr1);
    EXPECT_EQ(game_version_for(0x20, "a/level.tub"), game_tr1_gold);
    EXPECT_EQ(game_version_for(0x20, "a/LEVEL.TUB"), game_tr1_gold);
    EXPECT_EQ(game_version_for(0x20, "a/level.Tub"), game_tr1);
    EXPECT_EQ(game_version_for(0x20, "gold.tub/level.phd"), game_tr1_gold);
    EXPECT_EQ(game_version_for(0x2D, "level.tr2"), game_tr2);
    EXPECT_EQ(game_version_for(0x2D, "level.trg.tr2"), game_tr2_gold);
    EXPECT_EQ(game_version_for(0x2D, "LEVEL.TRG.TR2"), game_tr2_gold);
    EXPECT_EQ(game_version_for(0xFF080038, "x.tr2"), game_tr3);
    EXPECT_EQ(game_version_for(0xFF180038, "x.trc"), game_tr3);
    EXPECT_EQ(game_version_for(0x00345254, "x.tr4"), game_tr4);
    EXPECT_EQ(game_version_for(0xFFFFFFF0, "x.tr4"), game_tr4);
    EXPECT_EQ(game_version_for(0x00345254, "x.trc"), game_trc);
    EXPECT_EQ(game_version_for(0xFFFFFFF0, "x.TRC"), game_trc);
    EXPECT_EQ(game_version_for(0x00345254, "x.Trc"), game_tr4);
    EXPECT_EQ(game_version_for(0x21, "x.phd"), 0);
    EXPECT_EQ(game_version_for(0, "x.tr4"), 0);
}

TEST(version_detection, the_second_tr3_and_tr4_words_read_the_same_layouts) {
    for (auto [v, word] : {std::pair{game_tr3, 0xFF080038u}, std::pair{game_tr4, 0xFFFFFFF0u},
                           std::pair{game_trc, 0xFFFFFFF0u}}) {
        level_desc d = make_level(v);
        d.version_word = word;
        const built_level b = build_level(d);
        tr_level l;
        const outcome o = read_built(l, b, v);
        ASSERT_EQ(o.code, read_ok) << o.error;
        EXPECT_EQ(l.game_version, v);
        EXPECT_EQ(l.version_word, word);
        expect_counts(l, b.counts);
    }
}

TEST(version_detection, a_phd_file_in_a_tub_folder_is_read_as_tr1_gold) {
    const built_level b = build_level(make_level(game_tr1_gold));
    tr_level l;
    const outcome o = read_bytes(l, b.data, "/levels/set.tub/level.phd");
    ASSERT_EQ(o.code, read_ok) << o.error;
    EXPECT_EQ(l.game_version, game_tr1_gold);
    EXPECT_FALSE(l.tr1_layout_swapped);
}

TEST(version_detection, the_folder_name_counts_when_reading_from_disk) {
    const auto folder =
        std::filesystem::temp_directory_path() /
        ("vellum_reader_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(folder / "set.tub");
    const std::string path = (folder / "set.tub" / "level.phd").string();
    {
        const bytes data = build_level(make_level(game_tr1_gold)).data;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    }
    tr_level l;
    std::string error;
    const int code = read_level(l, path, &error);
    std::filesystem::remove_all(folder);
    ASSERT_EQ(code, read_ok) << error;
    EXPECT_EQ(l.game_version, game_tr1_gold);
}

TEST(version_detection, a_mixed_case_trc_extension_is_read_as_tr4) {
    const built_level b = build_level(make_level(game_tr4));
    tr_level l;
    const outcome o = read_bytes(l, b.data, "level.Trc");
    ASSERT_EQ(o.code, read_ok) << o.error;
    EXPECT_EQ(l.game_version, game_tr4);
}

TEST(version_detection, tr2_gold_is_the_tr2_layout_chosen_by_name) {
    const built_level b = build_level(make_level(game_tr2));
    for (const char* name : {"level.TRG.tr2", "level.trg"}) {
        tr_level l;
        const outcome o = read_bytes(l, b.data, name);
        ASSERT_EQ(o.code, read_ok) << o.error;
        EXPECT_EQ(l.game_version, game_tr2_gold) << name;
        expect_counts(l, b.counts);
    }
}

TEST(version_detection, an_unknown_first_word_is_not_a_level) {
    tr_level l;
    outcome o = read_bytes(l, {0x21, 0, 0, 0, 1, 2, 3, 4}, "x.phd");
    EXPECT_EQ(o.code, read_not_a_level);
    EXPECT_FALSE(o.error.empty());
    EXPECT_EQ(read_bytes(l, {}, "x.phd").code, read_not_a_level);
    EXPECT_EQ(read_bytes(l, {0x20, 0}, "x.phd").code, read_not_a_level);
}

// TR1 and TR1 Gold palettes.

TEST(tr1_palette, tr1_has_it_after_the_light_map_and_gold_after_the_sprite_sequences) {
    for (std::int32_t v : {game_tr1, game_tr1_gold}) {
        level_desc d = make_level(v);
        d.palette8 = pattern(768, std::uint8_t(0x70 + v));
        const built_level b = build_level(d);
        // The palette mark sits where the layout puts it.
        const std::size_t palette = section_offset(b, "palette");
        if (v == game_tr1)
            EXPECT_EQ(palette, section_offset(b, "cinematic frames") - 768);
        else
            EXPECT_EQ(palette, section_offset(b, "cameras") - 768);
        tr_level l;
        const outcome o = read_built(l, b, v);
        ASSERT_EQ(o.code, read_ok) << o.error;
        EXPECT_TRUE(std::equal(d.palette8.begin(), d.palette8.end(), l.palette8.begin()));
        expect_records(l.cameras, d.cameras, "cameras");
        EXPECT_FALSE(l.tr1_layout_swapped);
    }
}

TEST(tr1_palette, a_phd_file_with_the_gold_palette_position_is_read_with_that_layout) {
    level_desc d = make_level(game_tr1);
    d.tr1_palette_at_gold_position = true;
    d.palette8 = pattern(768, 0x99);
    const built_level b = build_level(d);
    tr_level l;
    const outcome o = read_bytes(l, b.data, "level.phd");
    ASSERT_EQ(o.code, read_ok) << o.error;
    EXPECT_TRUE(l.tr1_layout_swapped);
    EXPECT_EQ(l.game_version, game_tr1_gold);
    EXPECT_TRUE(std::equal(d.palette8.begin(), d.palette8.end(), l.palette8.begin()));
    expect_records(l.cameras, d.cameras, "cameras");
    expect_records(l.entities22, d.entities, "entities");
    EXPECT_TRUE(l.tail_bytes.empty());
}

TEST(tr1_palette, a_tub_file_with_the_tr1_palette_position_is_read_with_that_layout) {
    level_desc d = make_level(game_tr1);
    d.palette8 = pattern(768, 0x55);
    const built_level b = build_level(d);
    tr_level l;
    const outcome o = read_bytes(l, b.data, "level.tub");
    ASSERT_EQ(o.code, read_ok) << o.error;
    EXPECT_TRUE(l.tr1_layout_swapped);
    EXPECT_EQ(l.game_version, game_tr1);
    EXPECT_TRUE(std::equal(d.palette8.begin(), d.palette8.end(), l.palette8.begin()));
    expect_records(l.sound_details, d.sound_details, "sound details");
}

TEST(tr1_palette, extra_bytes_after_a_tr1_file_are_kept_without_changing_the_layout) {
    level_desc d = make_level(game_tr1);
    d.after_last_section = {1, 2, 3, 4, 5};
    const built_level b = build_level(d);
    tr_level l;
    const outcome o = read_bytes(l, b.data, "level.phd");
    ASSERT_EQ(o.code, read_ok) << o.error;
    EXPECT_FALSE(l.tr1_layout_swapped);
    EXPECT_EQ(l.game_version, game_tr1);
    EXPECT_EQ(l.tail_bytes, d.after_last_section);
    expect_words(l.sample_indices, d.sample_indices, "sample indices");
}

TEST(tr1_palette, progress_never_goes_back_when_the_other_layout_is_tried) {
    level_desc d = make_level(game_tr1);
    d.tr1_palette_at_gold_position = true;
    const built_level b = build_level(d);
    tr_level l;
    std::vector<int> seen;
    l.progress = [&](int p) { seen.push_back(p); };
    ASSERT_EQ(read_bytes(l, b.data, "level.phd").code, read_ok);
    ASSERT_GE(seen.size(), 2u);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end() - 1)) << "progress went backwards";
}

// TR2 and TR3 object textures.

TEST(object_texture_position, tr2_reads_them_after_static_meshes_and_tr3_after_animated_textures) {
    for (std::int32_t v : {game_tr2, game_tr3}) {
        const built_level b = build_level(make_level(v));
        const std::size_t at = section_offset(b, "object textures");
        if (v == game_tr2)
            EXPECT_LT(at, section_offset(b, "sprite textures"));
        else
            EXPECT_GT(at, section_offset(b, "animated textures"));
    }
    // The same records at the two positions decode to the same textures.
    level_desc d2 = make_level(game_tr2), d3 = make_level(game_tr3);
    d3.object_textures = d2.object_textures;
    tr_level l2, l3;
    ASSERT_EQ(read_built(l2, build_level(d2), game_tr2).code, read_ok);
    ASSERT_EQ(read_built(l3, build_level(d3), game_tr3).code, read_ok);
    ASSERT_EQ(l2.object_textures.size(), l3.object_textures.size());
    for (std::size_t i = 0; i < l2.object_textures.size(); ++i)
        EXPECT_TRUE(same_texture(l2.object_textures[i], l3.object_textures[i]));
    expect_records(l3.sprite_textures, d3.sprite_textures, "sprite textures");
    expect_records(l3.entities, d3.entities, "entities");
}

// Entities in two forms; TRC moveables.

TEST(entity_mirror, tr1_intensity_is_split_into_two_words_of_the_24_byte_form) {
    level_desc d = make_level(game_tr1);
    record e = pattern(22, 0x30);
    e[18] = 0x34, e[19] = 0x12; // intensity 0x1234
    e[20] = 0xCD, e[21] = 0xAB; // flags
    d.entities = {e};
    tr_level l;
    ASSERT_EQ(read_built(l, build_level(d), game_tr1).code, read_ok);
    ASSERT_EQ(l.entities.size(), 1u);
    const auto& m = l.entities[0];
    EXPECT_TRUE(std::equal(e.begin(), e.begin() + 18, m.begin()));
    EXPECT_EQ(get_u16(&m[18]), 0x0034);
    EXPECT_EQ(get_u16(&m[20]), 0x0012);
    EXPECT_EQ(get_u16(&m[22]), 0xABCD);
}

TEST(entity_mirror, tr2_and_later_entities_get_a_22_byte_form) {
    for (std::int32_t v : {game_tr2, game_tr3, game_tr4, game_trc}) {
        level_desc d = make_level(v);
        record e = pattern(24, 0x50);
        d.entities = {e};
        tr_level l;
        ASSERT_EQ(read_built(l, build_level(d), v).code, read_ok);
        ASSERT_EQ(l.entities22.size(), 1u);
        const auto& m = l.entities22[0];
        EXPECT_TRUE(std::equal(e.begin(), e.begin() + 19, m.begin())) << v;
        EXPECT_EQ(m[19], e[20]) << v;
        EXPECT_EQ(m[20], e[22]) << v;
        EXPECT_EQ(m[21], e[23]) << v;
    }
}

TEST(trc_moveables, keep_the_20_byte_records_and_their_first_18_bytes) {
    const level_desc d = make_level(game_trc);
    tr_level l;
    ASSERT_EQ(read_built(l, build_level(d), game_trc).code, read_ok);
    expect_records(l.moveables20, d.moveables, "moveables20");
    ASSERT_EQ(l.moveables.size(), l.moveables20.size());
    for (std::size_t i = 0; i < l.moveables.size(); ++i)
        EXPECT_TRUE(std::equal(l.moveables[i].begin(), l.moveables[i].end(), l.moveables20[i].begin()));
}

// TR4 level data and samples.

TEST(tr4_level_data, samples_are_everything_after_the_compressed_level_data) {
    level_desc d = make_level(game_tr4);
    d.samples = {'Z', 'L', 'I', 'B', 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3};
    tr_level l;
    const outcome o = read_built(l, build_level(d), game_tr4);
    ASSERT_EQ(o.code, read_ok) << o.error;
    EXPECT_EQ(l.samples, d.samples);
    EXPECT_EQ(l.samples_size, d.samples.size());
}

TEST(tr4_level_data, bytes_after_the_sample_indices_are_kept) {
    for (std::int32_t v : {game_tr4, game_trc}) {
        level_desc d = make_level(v);
        d.level_data_tail = {0, 0, 7, 0, 0, 9};
        tr_level l;
        const outcome o = read_built(l, build_level(d), v);
        ASSERT_EQ(o.code, read_ok) << o.error;
        EXPECT_EQ(l.tail_bytes, d.level_data_tail) << v;
        EXPECT_EQ(l.samples, d.samples) << v;
        expect_words(l.sample_indices, d.sample_indices, "sample indices");
    }
}

TEST(tr4_level_data, a_sound_section_that_does_not_parse_is_kept_raw) {
    level_desc d = make_level(game_tr4);
    d.raw_sound_section = unparsable_sound_section();
    const built_level b = build_level(d);
    tr_level l;
    const outcome o = read_built(l, b, game_tr4);
    ASSERT_EQ(o.code, read_ok) << o.error;
    EXPECT_TRUE(l.sound_block_raw);
    EXPECT_EQ(l.sound_block, *d.raw_sound_section);
    EXPECT_EQ(l.num_demo_data, 0u);
    EXPECT_EQ(l.num_sound_details, 0u);
    EXPECT_EQ(l.num_sample_indices, 0u);
    EXPECT_TRUE(l.tail_bytes.empty());
    // Everything before the sound sections is still read.
    expect_records(l.entities, d.entities, "entities");
    expect_records(l.ai_objects, d.ai_objects, "AI objects");
    EXPECT_EQ(l.samples, d.samples);
}

TEST(tr4_level_data, a_wrong_stored_plain_size_still_inflates_completely) {
    for (std::uint32_t wrong : {0u, 1u, 100u, 0xFFFFFFFFu}) {
        const level_desc d = make_level(game_tr4);
        const built_level b = build_level(d);
        bytes data = b.data;
        put_u32(&data[section_offset(b, "32-bit pages")], wrong);
        put_u32(&data[section_offset(b, "level data")], wrong);
        put_u32(&data[section_offset(b, "16-bit pages")], wrong);
        put_u32(&data[section_offset(b, "extra 32-bit pages")], wrong);
        tr_level l;
        outcome o;
        std::size_t largest = 0;
        {
            allocation_probe probe;
            o = read_bytes(l, data, "level.tr4");
            largest = probe.largest();
        }
        ASSERT_EQ(o.code, read_ok) << wrong << ": " << o.error;
        EXPECT_EQ(l.pages32, d.pages32);
        EXPECT_EQ(l.pages32_size, d.pages32.size());
        expect_counts(l, b.counts);
        // Memory follows the data, not the sizes the file claims.
        if (allocation_probe::available()) {
            EXPECT_LT(largest, 2 * data.size() + 2 * d.pages32.size()) << wrong;
        }
    }
}

TEST(tr4_level_data, a_corrupt_compressed_block_is_refused_with_a_message) {
    for (const char* block : {"32-bit pages", "16-bit pages", "extra 32-bit pages", "level data"}) {
        const built_level b = build_level(make_level(game_tr4));
        bytes data = b.data;
        const std::size_t at = section_offset(b, block) + 8; // the zlib stream
        data[at] ^= 0xFF;                                    // the stream header
        data[at + 1] ^= 0x5A;
        tr_level l;
        const outcome o = read_bytes(l, data, "level.tr4");
        EXPECT_EQ(o.code, read_corrupt) << block;
        EXPECT_FALSE(o.error.empty()) << block;
        EXPECT_EQ(l.signature, "");
    }
}

TEST(tr4_level_data, level_data_cut_short_is_refused_before_the_sound_sections_and_kept_raw_after) {
    const built_level b = build_level(small_level(game_tr4));
    const std::size_t sound = section_offset(b, "demo data", true);
    for (std::size_t cut = 0; cut < b.level_data.size(); ++cut) {
        tr_level l;
        const outcome o = read_bytes(l, with_level_data(b, truncated(b.level_data, cut)), "level.tr4");
        if (cut < sound) {
            EXPECT_EQ(o.code, read_corrupt) << "cut at " << cut;
            EXPECT_FALSE(o.error.empty());
        } else {
            ASSERT_EQ(o.code, read_ok) << "cut at " << cut << ": " << o.error;
            EXPECT_TRUE(l.sound_block_raw) << "cut at " << cut;
            EXPECT_EQ(l.sound_block, bytes(b.level_data.begin() + std::ptrdiff_t(sound),
                                           b.level_data.begin() + std::ptrdiff_t(cut)));
        }
    }
}

TEST(extra_bytes, bytes_after_the_last_section_of_tr2_and_tr3_are_kept) {
    for (std::int32_t v : {game_tr2, game_tr2_gold, game_tr3, game_tr1_gold}) {
        level_desc d = make_level(v);
        d.after_last_section = {9, 8, 7};
        tr_level l;
        const outcome o = read_built(l, build_level(d), v);
        ASSERT_EQ(o.code, read_ok) << o.error;
        EXPECT_EQ(l.tail_bytes, d.after_last_section) << v;
    }
}

// TRC rooms.

// A TRC level whose first room has the given layers (the second room keeps its default).
tr_level read_trc_room(const std::vector<trc_layer>& layers, const bytes& trailing = {}) {
    level_desc d = make_level(game_trc);
    d.rooms[0].layers = layers;
    d.rooms[0].trailing = trailing;
    tr_level l;
    const outcome o = read_built(l, build_level(d), game_trc);
    EXPECT_EQ(o.code, read_ok) << o.error;
    return l;
}

std::array<std::int16_t, 3> position(const troom& r, std::size_t i) {
    return {get_i16(&r.vertices8[i][0]), get_i16(&r.vertices8[i][2]), get_i16(&r.vertices8[i][4])};
}

TEST(trc_rooms, vertices_at_one_truncated_position_in_different_layers_become_one) {
    trc_layer a, b;
    a.vertices = {trc_vertex(10.9f, 0, -3.7f, 0, 0, 0), trc_vertex(20, 0, 0, 0, 0, 0),
                  trc_vertex(0, 5, 0, 0, 0, 0)};
    a.triangles = {room_face({0, 1, 2}, 1, true, 0)};
    b.vertices = {trc_vertex(30, 0, 0, 0, 0, 0), trc_vertex(10.2f, 0, -3.2f, 0, 0, 0, 0x77),
                  trc_vertex(0, 5.5f, 0, 0, 0, 0)};
    b.triangles = {room_face({0, 1, 2}, 2, true, 0)};
    const tr_level l = read_trc_room({a, b});
    const troom& r = l.rooms.at(0);
    ASSERT_EQ(r.num_vertices, 4);
    EXPECT_EQ(position(r, 0), (std::array<std::int16_t, 3>{10, 0, -3}));
    EXPECT_EQ(get_i16(&r.vertices12[0][4]), -3);
    // The layer vertex that last landed on a merged vertex is the one kept.
    EXPECT_TRUE(std::equal(b.vertices[1].begin(), b.vertices[1].end(), r.vertices28[0].begin()));
    ASSERT_EQ(r.num_triangles, 2);
    // Both triangles use the merged vertices: (10,0,-3) is room vertex 0 and (0,5,0) vertex 2.
    EXPECT_EQ(get_u16(&r.triangles8[0][0]), 0);
    EXPECT_EQ(get_u16(&r.triangles8[0][4]), 2);
    EXPECT_EQ(get_u16(&r.triangles8[1][0]), 3);
    EXPECT_EQ(get_u16(&r.triangles8[1][2]), 0);
    EXPECT_EQ(get_u16(&r.triangles8[1][4]), 2);
}

TEST(trc_rooms, an_odd_triangle_total_is_followed_by_two_filler_bytes) {
    for (std::size_t total : {5u, 6u}) {
        trc_layer a, b;
        for (int i = 0; i < 4; ++i)
            a.vertices.push_back(trc_vertex(float(i), 0, 0, 0, 0, 0));
        for (int i = 0; i < 4; ++i)
            b.vertices.push_back(trc_vertex(float(100 + i), 0, 0, 0, 0, 0));
        for (std::size_t t = 0; t < 2; ++t)
            a.triangles.push_back(room_face({0, 1, 2}, std::uint16_t(t), true, 0));
        for (std::size_t t = 2; t < total; ++t)
            b.triangles.push_back(room_face({1, 2, 3}, std::uint16_t(t), true, 0));
        const tr_level l = read_trc_room({a, b}, {0xEE, 0xEE, 0xEE});
        const troom& r = l.rooms.at(0);
        ASSERT_EQ(r.num_triangles, total);
        ASSERT_EQ(r.num_vertices, 8);
        // Misplaced filler would shift every vertex by two bytes.
        EXPECT_EQ(position(r, 4), (std::array<std::int16_t, 3>{100, 0, 0})) << total;
        EXPECT_EQ(position(r, 7), (std::array<std::int16_t, 3>{103, 0, 0})) << total;
        EXPECT_EQ(r.trailing_bytes, 3u) << total;
        EXPECT_EQ(get_u16(&r.triangles8[total - 1][6]), total - 1);
        EXPECT_EQ(l.rooms.at(1).num_vertices, 3);
    }
}

TEST(trc_rooms, the_12_byte_vertex_form_takes_its_colour_from_the_layer_vertex) {
    trc_layer a;
    a.vertices = {trc_vertex(1, 2, 3, /*blue*/ 0xFF, /*green*/ 0x80, /*red*/ 0x08),
                  trc_vertex(4, 5, 6, 0x07, 0x0F, 0xF8)};
    const tr_level l = read_trc_room({a});
    const troom& r = l.rooms.at(0);
    ASSERT_EQ(r.num_vertices, 2);
    EXPECT_EQ(get_u16(&r.vertices12[0][10]), (1u << 10) | (16u << 5) | 31u);
    EXPECT_EQ(get_u16(&r.vertices12[1][10]), (31u << 10) | (1u << 5) | 0u);
}

TEST(trc_rooms, faces_follow_layer_order_with_rectangles_before_triangles) {
    trc_layer a, b;
    for (int i = 0; i < 4; ++i)
        a.vertices.push_back(trc_vertex(float(i), 0, 0, 0, 0, 0));
    a.rectangles = {room_face({0, 1, 2, 3}, 10, true, 0xF010)};
    a.triangles = {room_face({0, 1, 2}, 11, true, 0xF011)};
    for (int i = 0; i < 4; ++i)
        b.vertices.push_back(trc_vertex(float(i + 2), 0, 0, 0, 0, 0));
    b.rectangles = {room_face({3, 2, 1, 0}, 20, true, 0xF020)};
    b.triangles = {room_face({2, 3, 0}, 21, true, 0xF021)};
    const tr_level l = read_trc_room({a, b});
    const troom& r = l.rooms.at(0);
    ASSERT_EQ(r.num_vertices, 6); // x = 0..5; layer b's 2 and 3 merge with layer a's
    ASSERT_EQ(r.num_rectangles, 2);
    ASSERT_EQ(r.num_triangles, 2);
    EXPECT_EQ(get_u16(&r.rectangles10[0][8]), 10);
    EXPECT_EQ(get_u16(&r.rectangles12[0][10]), 0xF010);
    EXPECT_EQ(get_u16(&r.rectangles10[1][8]), 20);
    EXPECT_EQ(get_u16(&r.rectangles12[1][10]), 0xF020);
    // Layer b's rectangle (3,2,1,0) sits at x = 5, 4, 3, 2: room vertices 5, 4, 3, 2.
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(get_u16(&r.rectangles10[1][2 * k]), 5 - k);
    EXPECT_EQ(get_u16(&r.triangles8[0][6]), 11);
    EXPECT_EQ(get_u16(&r.triangles10[0][8]), 0xF011);
    EXPECT_EQ(get_u16(&r.triangles8[1][6]), 21);
    EXPECT_EQ(get_u16(&r.triangles10[1][8]), 0xF021);
    EXPECT_EQ(get_u16(&r.triangles8[1][0]), 4);
    EXPECT_EQ(get_u16(&r.triangles8[1][4]), 2);
}

TEST(trc_rooms, room_fields_and_layer_data_are_kept) {
    const level_desc d = make_level(game_trc);
    tr_level l;
    ASSERT_EQ(read_built(l, build_level(d), game_trc).code, read_ok);
    for (std::size_t i = 0; i < d.rooms.size(); ++i) {
        SCOPED_TRACE("room " + std::to_string(i));
        const room_desc& w = d.rooms[i];
        const troom& r = l.rooms[i];
        EXPECT_EQ(r.x, w.x);
        EXPECT_EQ(r.y, w.y);
        EXPECT_EQ(r.z, w.z);
        EXPECT_EQ(r.y_bottom, w.y_bottom);
        EXPECT_EQ(r.y_top, w.y_top);
        EXPECT_EQ(r.trc_offsets, w.offsets);
        EXPECT_EQ(r.room_colour, w.colour);
        EXPECT_EQ(r.trc_words1, w.words1);
        EXPECT_EQ(r.trc_word7, w.word7);
        EXPECT_TRUE(std::equal(w.bytes16.begin(), w.bytes16.end(), r.trc_bytes16.begin()));
        EXPECT_EQ(r.trc_word2, w.word2);
        EXPECT_EQ(r.trc_words3, w.words3);
        EXPECT_EQ(r.trc_word4, w.word4);
        EXPECT_EQ(r.trc_word5, w.word5);
        EXPECT_EQ(r.trc_words6, w.words6);
        EXPECT_EQ(r.room_flags[0], w.flags[0]);
        EXPECT_EQ(r.room_flags[1], w.flags[1]);
        EXPECT_EQ(r.num_fog_bulbs, w.fog_bulbs.size());
        expect_records(r.fog_bulbs, w.fog_bulbs, "fog bulbs");
        EXPECT_EQ(r.num_lights, w.lights.size());
        expect_records(r.lights88, w.lights, "lights");
        EXPECT_EQ(r.num_room_statics, w.statics.size());
        expect_records(r.room_statics20, w.statics, "room statics");
        EXPECT_EQ(r.num_portals, w.portals.size());
        expect_records(r.portals, w.portals, "portals");
        expect_records(r.sectors, w.sectors, "sectors");
        EXPECT_EQ(r.trailing_bytes, w.trailing.size());
        EXPECT_EQ(r.num_sprites, 0);
        ASSERT_EQ(r.num_layers, w.layers.size());
        ASSERT_EQ(r.layers.layers.size(), w.layers.size());
        for (std::size_t k = 0; k < w.layers.size(); ++k) {
            expect_records(r.layers.layers[k].vertices, w.layers[k].vertices, "layer vertices");
            expect_records(r.layers.layers[k].rectangles, w.layers[k].rectangles, "layer rectangles");
            expect_records(r.layers.layers[k].triangles, w.layers[k].triangles, "layer triangles");
            EXPECT_EQ(get_u32(&r.layer_headers[k][0]), w.layers[k].vertices.size());
            EXPECT_EQ(get_u16(&r.layer_headers[k][4]), w.layers[k].header_word);
            EXPECT_TRUE(std::equal(w.layers[k].header_raw.begin(), w.layers[k].header_raw.end(),
                                   r.layer_headers[k].begin() + 10));
        }
    }
    // Room 0: 4 + 3 layer vertices of which two merge; room 1: three vertices.
    EXPECT_EQ(l.rooms[0].num_vertices, 5);
    EXPECT_EQ(l.rooms[0].num_rectangles, 1);
    EXPECT_EQ(l.rooms[0].num_triangles, 2);
    EXPECT_EQ(l.rooms[1].num_vertices, 3);
}

TEST(trc_rooms, a_face_naming_a_vertex_its_layer_lacks_is_refused) {
    trc_layer a;
    a.vertices = {trc_vertex(0, 0, 0, 0, 0, 0), trc_vertex(1, 0, 0, 0, 0, 0)};
    a.triangles = {room_face({0, 1, 7}, 1, true, 0)};
    level_desc d = make_level(game_trc);
    d.rooms[0].layers = {a};
    tr_level l;
    const outcome o = read_built(l, build_level(d), game_trc);
    EXPECT_EQ(o.code, read_corrupt);
    EXPECT_FALSE(o.error.empty());
}

// Compressed blocks whose sizes do not match what the file says about them.

TEST(compressed_blocks, a_page_block_that_does_not_match_the_page_counts_is_refused_naming_it) {
    struct damage {
        const char* block;
        std::int32_t game;
        int pages32, pages16, room_pages; // in pages; room_pages is the count the file states
    };
    for (const damage& c :
         {damage{"32-bit pages", game_tr4, 0, 1, 1}, damage{"32-bit pages", game_tr4, 2, 1, 1},
          damage{"16-bit pages", game_tr4, 1, 2, 1}, damage{"16-bit pages", game_trc, 1, 0, 1},
          damage{"32-bit pages", game_trc, 1, 1, 2}}) {
        level_desc d = small_level(c.game);
        d.room_pages = std::uint16_t(c.room_pages);
        d.pages32.assign(std::size_t(c.pages32) * 262144, 0x32);
        d.pages16.assign(std::size_t(c.pages16) * 131072, 0x16);
        tr_level l;
        const outcome o = read_bytes(l, build_level(d).data, file_name_for(c.game));
        EXPECT_EQ(o.code, read_corrupt) << c.block;
        EXPECT_NE(o.error.find(std::string("The ") + c.block + " block does not match the page counts"),
                  std::string::npos)
            << o.error;
        EXPECT_EQ(l.signature, "");
    }
}

TEST(compressed_blocks, more_texture_pages_than_the_blocks_can_hold_are_refused_before_inflating) {
    struct claim {
        std::uint16_t room_pages, object_pages, bump_pages;
        const char* says;
    };
    // The blocks hold one page: they cannot expand to 129 pages, and no 32-bit page block can
    // state the size of 16384.
    for (const claim& c :
         {claim{100, 29, 0, "32-bit pages block does not match the page counts: 129 texture pages"},
          claim{65535, 65535, 65535, "196605 texture pages, more than the 16383"},
          claim{16384, 0, 0, "16384 texture pages, more than the 16383"}}) {
        level_desc d = small_level(game_tr4);
        d.room_pages = c.room_pages;
        d.object_pages = c.object_pages;
        d.bump_pages = c.bump_pages;
        tr_level l;
        std::size_t largest = 0;
        outcome o;
        {
            allocation_probe probe;
            o = read_bytes(l, build_level(d).data, "level.tr4");
            largest = probe.largest();
        }
        EXPECT_EQ(o.code, read_corrupt);
        EXPECT_NE(o.error.find(c.says), std::string::npos) << o.error;
        if (allocation_probe::available()) {
            EXPECT_LT(largest, std::size_t(1) << 20);
        }
    }
}

TEST(compressed_blocks, a_level_with_more_than_128_pages_reads_and_saves_the_same) {
    level_desc d = small_level(game_tr4);
    d.room_pages = 150;
    d.object_pages = 30;
    d.pages32.assign(std::size_t(180) * 262144, 0);
    d.pages16.assign(std::size_t(180) * 131072, 0);
    d.pages32[179 * 262144 + 5] = 0x32; // the last page differs from the others
    d.pages16[179 * 131072 + 7] = 0x16;
    const built_level b = build_level(d);
    const auto r = check_roundtrip_memory(b.data, "level.tr4");
    ASSERT_EQ(r.read_code, read_ok) << r.error;
    EXPECT_TRUE(r.compare.equal()) << r.compare.message;
    tr_level l;
    ASSERT_EQ(read_bytes(l, b.data, "level.tr4").code, read_ok);
    EXPECT_EQ(l.num_pages, 180u);
    EXPECT_EQ(l.pages32[179 * 262144 + 5], 0x32);
}

TEST(compressed_blocks, bytes_after_a_zlib_stream_inside_its_packed_size_are_refused_naming_the_block) {
    const level_desc d = make_level(game_tr4);
    const built_level b = build_level(d);
    const bytes plains[] = {d.pages32, d.pages16, d.pages32_misc, b.level_data};
    const char* names[] = {"32-bit pages", "16-bit pages", "extra 32-bit pages", "level data"};
    for (int i = 0; i < 4; ++i) {
        const bytes data = with_block(b, names[i], std::uint32_t(plains[i].size()), zlib_compress(plains[i]),
                                      bytes{0, 0, 0, 1, 2});
        tr_level l;
        const outcome o = read_bytes(l, data, "level.tr4");
        EXPECT_EQ(o.code, read_corrupt) << names[i];
        EXPECT_NE(o.error.find(std::string("The ") + names[i] + " block holds 5 bytes after the end"),
                  std::string::npos)
            << o.error;
    }
    // The level data's packed size stretched to the end of the file would swallow the samples.
    ASSERT_FALSE(d.samples.empty());
    bytes swallowed = b.data;
    const std::size_t at = section_offset(b, "level data");
    put_u32(&swallowed[at + 4], std::uint32_t(swallowed.size() - at - 8));
    tr_level l;
    const outcome o = read_bytes(l, swallowed, "level.tr4");
    EXPECT_EQ(o.code, read_corrupt);
    EXPECT_NE(o.error.find(std::to_string(d.samples.size()) + " bytes after the end"), std::string::npos)
        << o.error;
}

TEST(compressed_blocks, a_zlib_bomb_is_refused_without_taking_its_size_in_memory) {
    const level_desc d = make_level(game_tr4);
    const built_level b = build_level(d);
    struct bomb {
        const char* block;
        std::size_t plain;
        std::size_t most_allocated;
    };
    for (const bomb& c :
         {bomb{"32-bit pages", 16u << 20, 262144 * 2}, bomb{"extra 32-bit pages", 16u << 20, 8u << 20},
          bomb{"level data", max_inflated_size + 4096, max_inflated_size + 1}}) {
        const bytes data = with_block(b, c.block, 0xFFFFFFFFu, zlib_zeros(c.plain));
        tr_level l;
        outcome o;
        std::size_t largest = 0;
        {
            allocation_probe probe;
            o = read_bytes(l, data, "level.tr4");
            largest = probe.largest();
        }
        EXPECT_EQ(o.code, read_corrupt) << c.block;
        EXPECT_NE(o.error.find(c.block), std::string::npos) << o.error;
        if (allocation_probe::available()) {
            EXPECT_LE(largest, c.most_allocated) << c.block;
        }
    }
}

// Blocks inflated side by side.

TEST(parallel_inflate, reads_every_shared_and_sample_level_exactly_as_a_sequential_read) {
    std::vector<std::string> paths;
    for (const char* name : {"test1.phd", "test1.tr2", "test1_tr3.tr2", "test1.tr4", "test1.trc"})
        paths.push_back(std::string(VELLUM_SHARED_LEVELS) + "/" + name);
#ifdef VELLUM_SAMPLES_DIR
    for (const auto& entry : std::filesystem::directory_iterator(VELLUM_SAMPLES_DIR))
        if (entry.is_regular_file()) paths.push_back(entry.path().string());
#endif
    for (const auto& path : paths) {
        if (!std::filesystem::exists(path)) continue;
        tr_level sequential, parallel;
        std::vector<int> sequential_progress, parallel_progress;
        sequential.progress = [&](int v) { sequential_progress.push_back(v); };
        parallel.progress = [&](int v) { parallel_progress.push_back(v); };
        std::string error;
        ASSERT_EQ(read_level(sequential, path, &error, read_options{false}), read_ok)
            << path << ": " << error;
        ASSERT_EQ(read_level(parallel, path, &error, read_options{true}), read_ok) << path << ": " << error;
        EXPECT_EQ(level_snapshot(parallel), level_snapshot(sequential)) << path;
        EXPECT_EQ(parallel_progress, sequential_progress) << path;
    }
}

TEST(parallel_inflate, the_first_corrupt_block_in_file_order_is_named_and_the_open_level_kept) {
    const char* names[] = {"32-bit pages", "16-bit pages", "extra 32-bit pages", "level data"};
    const built_level b = build_level(make_level(game_tr4));
    tr_level l;
    ASSERT_EQ(read_built(l, b, game_tr4).code, read_ok);
    const auto before = level_snapshot(l);
    struct damage {
        std::vector<int> blocks; // the blocks whose zlib header is broken
        int named;               // the block the message names
    };
    for (const damage& c : {damage{{0}, 0}, damage{{1}, 1}, damage{{2}, 2}, damage{{3}, 3}, damage{{2, 3}, 2},
                            damage{{1, 2}, 1}, damage{{0, 3}, 0}}) {
        bytes data = b.data;
        for (int i : c.blocks)
            data[section_offset(b, names[i]) + 8] ^= 0xFF;
        for (bool parallel : {false, true}) {
            std::string error;
            EXPECT_EQ(read_level_memory(l, data, "level.tr4", &error, read_options{parallel}), read_corrupt);
            EXPECT_NE(error.find(std::string("The ") + names[c.named] + " block"), std::string::npos)
                << (parallel ? "parallel: " : "sequential: ") << error;
            EXPECT_EQ(level_snapshot(l), before);
        }
    }
}

TEST(prefetched_read, is_taken_by_the_next_read_of_the_file_unless_the_file_changed_meanwhile) {
    const auto folder =
        std::filesystem::temp_directory_path() /
        ("vellum_prefetch_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "level.tr4").string();
    auto write = [&](const bytes& data) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    };
    const level_desc first = make_level(game_tr4);
    level_desc second = first;
    second.samples.push_back(0x5A); // another size
    write(build_level(first).data);
    tr_level direct;
    ASSERT_EQ(read_level(direct, path), read_ok);

    // Taken whether it was started by the full name or, as from a terminal, by a relative one:
    // a taken read reports only its start and end.
    const auto was_in = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    for (const std::string& prefetched :
         {path, std::string("level.tr4"), std::string("./../" + folder.filename().string() + "/level.tr4")}) {
        prefetch_level(prefetched);
        tr_level taken;
        std::vector<int> progress;
        taken.progress = [&](int v) { progress.push_back(v); };
        ASSERT_EQ(read_level(taken, path), read_ok);
        EXPECT_EQ(level_snapshot(taken), level_snapshot(direct));
        EXPECT_EQ(progress, (std::vector<int>{0, 100, 0})) << prefetched;
    }
    std::filesystem::current_path(was_in);

    prefetch_level(path);
    discard_prefetched_level(); // the file may now change
    write(build_level(second).data);
    prefetch_level(path);
    write(build_level(first).data); // changed after the prefetch began
    tr_level reread;
    ASSERT_EQ(read_level(reread, path), read_ok);
    EXPECT_EQ(reread.samples, first.samples);
    std::filesystem::remove_all(folder);
}

// The "ZLIB" wrapper.

TEST(zlib_wrapper, bytes_the_wrapped_stream_does_not_cover_are_refused) {
    const bytes plain = build_level(small_level(game_tr2)).data;
    bytes inside = zlib_wrapped(plain);
    inside.insert(inside.end(), {1, 2, 3});
    put_u32(&inside[4], get_u32(&inside[4]) + 3); // counted in the packed size
    bytes beyond = zlib_wrapped(plain);
    beyond.insert(beyond.end(), {1, 2, 3}); // after the packed size
    for (const bytes* data : {&inside, &beyond}) {
        tr_level l;
        const outcome o = read_bytes(l, *data, "level.tr2");
        EXPECT_EQ(o.code, read_corrupt);
        EXPECT_NE(o.error.find("3 bytes after the end of its compressed content"), std::string::npos)
            << o.error;
    }
}

TEST(zlib_wrapper, a_corrupt_wrapped_stream_is_refused_with_a_message) {
    bytes data = zlib_wrapped(build_level(small_level(game_tr2)).data);
    data[12] ^= 0xFF;
    tr_level l;
    const outcome o = read_bytes(l, data, "level.tr2");
    EXPECT_EQ(o.code, read_corrupt);
    EXPECT_FALSE(o.error.empty());
}

TEST(zlib_wrapper, a_wrong_stored_plain_size_still_inflates_the_whole_file) {
    const built_level b = build_level(small_level(game_tr3));
    for (std::uint32_t wrong : {0u, 7u, 0xFFFFFFFFu}) {
        bytes data = zlib_wrapped(b.data);
        put_u32(&data[8], wrong);
        tr_level l;
        const outcome o = read_bytes(l, data, "level.tr2");
        ASSERT_EQ(o.code, read_ok) << wrong << ": " << o.error;
        expect_counts(l, b.counts);
    }
}

TEST(zlib_wrapper, a_12_byte_file_starting_with_zlib_is_plain_bytes) {
    const bytes data = {'Z', 'L', 'I', 'B', 1, 0, 0, 0, 2, 0, 0, 0};
    tr_level l;
    // Read as plain bytes, its first word is not a version word.
    EXPECT_EQ(read_bytes(l, data, "level.tr4").code, read_not_a_level);
}

} // namespace

namespace {

TEST(trc_level_data, sections_running_past_the_stored_level_data_size_are_refused) {
    const built_level b = build_level(test_levels::make_level(game_trc));
    // The level data size sits in the 4 bytes before the second size field, which ends at "room count".
    const std::size_t size_field = section_offset(b, "room count") - 8;
    for (std::uint32_t shorter : {1u, 6u, 100u}) {
        bytes data = b.data;
        put_u32(&data[size_field], std::uint32_t(b.level_data.size()) - shorter);
        tr_level l;
        const outcome o = read_bytes(l, data, "level.trc");
        EXPECT_EQ(o.code, read_corrupt) << "level data " << shorter << " bytes shorter than its sections";
        EXPECT_FALSE(o.error.empty());
    }
}

} // namespace
