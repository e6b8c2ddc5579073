// Level writer: round trips of every version, recomputed room sizes, TRC rooms rebuilt as one layer,
// layouts kept or chosen by name, parallel compression, and saving that never damages the existing
// file and follows symbolic links.
#include "level_builder.h"
#include "level_compare.h"
#include "level_reader.h"
#include "level_snapshot.h"
#include "level_writer.h"
#include "mesh_list.h"
#include "real_levels.h"
#include "level_stream.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

namespace tl = test_levels;
namespace fs = std::filesystem;

namespace {

std::string shared_level(const char* name) {
    return real_levels::path(name);
}

std::vector<std::uint8_t> file_bytes(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

void put_file(const fs::path& p, const std::vector<std::uint8_t>& data) {
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

// A fresh directory for one test, removed afterwards.
class temp_dir {
  public:
    temp_dir() {
        std::string tmpl = (fs::temp_directory_path() / "vellum-writer-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
        path = tmpl;
    }
    ~temp_dir() {
        std::error_code ec;
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path, ec);
    }
    std::size_t entries() const {
        return std::size_t(std::distance(fs::directory_iterator(path), fs::directory_iterator()));
    }
    fs::path path;
};

tr_level read_bytes(const std::vector<std::uint8_t>& data, const std::string& name) {
    tr_level lv;
    std::string error;
    const auto rc = read_level_memory(lv, data, name, &error);
    if (rc != read_ok) throw std::runtime_error("read failed: " + error);
    return lv;
}

tr_level read_file(const std::string& path) {
    tr_level lv;
    std::string error;
    if (read_level(lv, path, &error) != read_ok) throw std::runtime_error("read failed: " + error);
    return lv;
}

// The four blocks of a TR4 file (three page blocks and the level data), inflated, and the samples.
struct tr4_parts {
    std::vector<std::uint8_t> plain[4];
    std::uint32_t stored_plain[4] = {};
    std::vector<std::uint8_t> samples;
    std::size_t level_data_at = 0; // TRC: where the stored level data starts
};
tr4_parts split(const std::vector<std::uint8_t>& f, int blocks) {
    tr4_parts t;
    std::size_t p = 10;
    for (int i = 0; i < blocks; ++i) {
        t.stored_plain[i] = get_u32(&f[p]);
        const std::uint32_t packed = get_u32(&f[p + 4]);
        t.plain[i] = inflate_block(&f[p + 8], packed);
        p += 8 + packed;
    }
    t.level_data_at = p;
    t.samples.assign(f.begin() + std::ptrdiff_t(p), f.end());
    return t;
}

float get_f32(const std::uint8_t* p) {
    const std::uint32_t u = get_u32(p);
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}

} // namespace

// ---- Round trips of the shared levels ----

class SharedLevelRoundTrip : public ::testing::TestWithParam<const char*> {};

TEST_P(SharedLevelRoundTrip, ReadBuildRebuildWriteCompare) {
    SKIP_WITHOUT_REAL_LEVELS(GetParam());
    const std::string path = shared_level(GetParam());
    const auto original = read_whole_file(path);
    tr_level lv = read_file(path);
    const std::int32_t game = lv.game_version;
    const tr_level as_read = lv;

    mesh_list list;
    build_mesh_list(list, lv);
    rebuild_mesh_words(list, lv);
    const auto saved = write_level_memory(lv, path);

    if (game < game_tr4) {
        EXPECT_EQ(saved, original) << "TR1-TR3 are written back byte for byte";
    } else if (game == game_tr4) {
        const auto a = split(original, 4);
        const auto b = split(saved, 4);
        EXPECT_TRUE(std::equal(original.begin(), original.begin() + 10, saved.begin()));
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(a.plain[i], b.plain[i]) << "block " << i;
        EXPECT_EQ(a.samples, b.samples);
    } else {
        tr_level reread = read_bytes(saved, path);
        EXPECT_EQ(compare_levels(as_read, reread, true), "");
        ASSERT_EQ(reread.num_rooms, as_read.num_rooms);
        for (std::size_t i = 0; i < reread.num_rooms; ++i) {
            const troom& x = as_read.rooms[i];
            const troom& y = reread.rooms[i];
            EXPECT_EQ(y.num_layers, 1u);
            EXPECT_EQ(y.num_vertices, x.num_vertices);
            EXPECT_EQ(y.rectangles12, x.rectangles12);
            EXPECT_EQ(y.triangles10, x.triangles10);
            for (std::size_t v = 0; v < x.num_vertices; ++v)
                EXPECT_TRUE(
                    std::equal(x.vertices8[v].begin(), x.vertices8[v].begin() + 6, y.vertices8[v].begin()));
        }
        const auto again = resave_level_memory(reread, path);
        EXPECT_EQ(again, saved) << "a second save gives the same bytes";
    }

    // The shared check agrees.
    const auto r = check_roundtrip(path);
    EXPECT_EQ(r.read_code, read_ok);
    EXPECT_EQ(r.error, "");
    EXPECT_TRUE(r.compare.equal()) << r.compare.message;
    EXPECT_EQ(r.compare.message, game < game_tr4 ? "identical" : "same content");
}

INSTANTIATE_TEST_SUITE_P(Writer, SharedLevelRoundTrip,
                         ::testing::Values("test1.phd", "test1.tr2", "test1_tr3.tr2", "test1.tr4",
                                           "test1.trc"),
                         [](const auto& info) {
                             std::string n = info.param;
                             for (auto& c : n)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return n;
                         });

// ---- Built levels of every version ----

class BuiltLevelRoundTrip : public ::testing::TestWithParam<int> {};

TEST_P(BuiltLevelRoundTrip, WriterProducesTheBuildersBytes) {
    const int game = GetParam();
    const auto built = tl::build_level(tl::make_level(game));
    const std::string name = tl::file_name_for(game);
    tr_level lv = read_bytes(built.data, name);
    ASSERT_EQ(lv.game_version, game);
    const auto saved = resave_level_memory(lv, name);
    if (game < game_tr4) {
        EXPECT_EQ(saved, built.data);
    } else if (game == game_tr4) {
        const auto parts = split(saved, 4);
        EXPECT_EQ(parts.plain[3], built.level_data);
        EXPECT_EQ(parts.samples, tl::pattern(32, 0xA5));
        // The builder compresses at level 9 too, so the files are even identical.
        EXPECT_TRUE(compare_level_files(built.data, saved, game, {}).equal());
    } else {
        const auto r = check_roundtrip_memory(built.data, name);
        EXPECT_TRUE(r.compare.equal()) << r.compare.message << r.error;
    }
}

INSTANTIATE_TEST_SUITE_P(Writer, BuiltLevelRoundTrip, ::testing::Range(1, 8));

TEST(Writer, Tr4KeptSoundBlockIsWrittenBackUnchanged) {
    auto desc = tl::make_level(game_tr4);
    desc.raw_sound_section = tl::unparsable_sound_section();
    const auto built = tl::build_level(desc);
    tr_level lv = read_bytes(built.data, "level.tr4");
    ASSERT_TRUE(lv.sound_block_raw);
    const auto saved = write_level_memory(lv, "level.tr4");
    EXPECT_EQ(split(saved, 4).plain[3], built.level_data);
}

TEST(Writer, BytesAfterTheLastSectionAreKept) {
    for (int game : {game_tr1, game_tr3, game_tr4}) {
        auto desc = tl::make_level(game);
        if (game == game_tr4)
            desc.level_data_tail = {1, 2, 3, 4, 5};
        else
            desc.after_last_section = {9, 8, 7};
        const auto built = tl::build_level(desc);
        const std::string name = tl::file_name_for(game);
        tr_level lv = read_bytes(built.data, name);
        const auto saved = write_level_memory(lv, name);
        if (game == game_tr4)
            EXPECT_EQ(split(saved, 4).plain[3], built.level_data);
        else
            EXPECT_EQ(saved, built.data) << game;
    }
}

TEST(Writer, NonZeroMeshFillersAreSavedByteForByte) {
    for (int game = game_tr1; game <= game_trc; ++game) {
        SCOPED_TRACE(game);
        auto desc = tl::make_level(game);
        // A mesh followed by a filler holding 0x9C 0xC1, as in some TR2 files: a vertex adds 6
        // bytes, so of 3 and 4 vertices one gives a length that needs the filler.
        tl::bytes mesh;
        std::vector<std::uint32_t> offsets;
        for (int vertices : {3, 4}) {
            tl::mesh_desc m;
            for (int i = 0; i < vertices; ++i)
                m.vertices.push_back({std::int16_t(i), 0, 0});
            m.lights = {1, 2, 3};
            m.tex_rects = {tl::room_face({0, 1, 2, 0}, 1, game >= game_tr4)};
            offsets.clear();
            mesh = tl::mesh_bytes(game, {m, m}, &offsets, 0xC19C);
            if (mesh.back() == 0xC1) break;
        }
        ASSERT_EQ(mesh.back(), 0xC1);
        desc.mesh_words.clear();
        for (std::size_t i = 0; i + 1 < mesh.size(); i += 2)
            desc.mesh_words.push_back(std::uint16_t(mesh[i] | (mesh[i + 1] << 8)));
        desc.mesh_pointers = {offsets[0], offsets[1], offsets[0]};
        const auto built = tl::build_level(desc);
        const std::string name = tl::file_name_for(game);
        const auto r = check_roundtrip_memory(built.data, name);
        EXPECT_TRUE(r.error.empty() && r.compare.equal()) << r.error << r.compare.message;
        if (game < game_tr4) {
            tr_level lv = read_bytes(built.data, name);
            EXPECT_EQ(resave_level_memory(lv, name), built.data);
        }
    }
}

TEST(Writer, ZlibWrappedFileChecksAgainstItsContent) {
    const auto built = tl::build_level(tl::make_level(game_tr2));
    const auto r = check_roundtrip_memory(tl::zlib_wrapped(built.data), "level.tr2");
    EXPECT_EQ(r.read_code, read_ok);
    EXPECT_EQ(r.compare.message, "identical");
}

// ---- Room sizes ----

TEST(Writer, Tr1RoomDataWordsAreRecomputed) {
    auto desc = tl::make_level(game_tr1);
    auto& room = desc.rooms[0];
    room.vertices.clear();
    room.rectangles.clear();
    room.triangles.clear();
    room.sprites.clear();
    for (int i = 0; i < 10; ++i)
        room.vertices.push_back(tl::room_vertex8(std::int16_t(i), 0, 0, 0));
    for (int i = 0; i < 4; ++i)
        room.rectangles.push_back(tl::room_face({0, 1, 2, 3}, 1));
    for (int i = 0; i < 2; ++i)
        room.triangles.push_back(tl::room_face({0, 1, 2}, 1));
    const auto built = tl::build_level(desc);
    tr_level lv = read_bytes(built.data, "level.phd");
    lv.rooms[0].num_data_words = 9999;
    std::vector<section_mark> marks;
    write_options options;
    options.sections = &marks;
    const auto saved = write_level_memory(lv, "level.phd", options);
    EXPECT_EQ(lv.rooms[0].num_data_words, 72u);
    std::size_t rooms_at = 0;
    for (const auto& m : marks)
        if (m.name == "rooms") rooms_at = m.offset;
    ASSERT_GT(rooms_at, 0u);
    EXPECT_EQ(get_u32(&saved[rooms_at + 16]), 72u);
    EXPECT_EQ(saved, built.data);
}

TEST(Writer, Tr2RoomDataWordsUse12ByteVertices) {
    auto desc = tl::make_level(game_tr2);
    const auto built = tl::build_level(desc);
    tr_level lv = read_bytes(built.data, "level.tr2");
    // Room 0: 4 vertices, 1 rectangle, 2 triangles, 1 sprite.
    write_level_memory(lv, "level.tr2");
    EXPECT_EQ(lv.rooms[0].num_data_words, (12u * 4 + 10 + 16 + 4 + 8) / 2);
}

// ---- TRC rooms ----

TEST(Writer, TrcRoomIsRebuiltAsOneLayerWithItsOffsetsAndFillers) {
    const auto built = tl::build_level(tl::make_level(game_trc));
    tr_level lv = read_bytes(built.data, "level.trc");
    ASSERT_EQ(lv.rooms[0].num_layers, 2u);
    const tr_level as_read = lv;
    const auto saved = write_level_memory(lv, "level.trc");
    const auto parts = split(saved, 3);
    std::size_t R = parts.level_data_at + 32 + 8 + 8; // room 0

    for (std::size_t i = 0; i < 2; ++i) {
        const troom& r = as_read.rooms[i];
        SCOPED_TRACE("room " + std::to_string(i));
        const std::uint8_t* b = &saved[R];
        EXPECT_EQ(std::memcmp(b, "XELA", 4), 0);
        const std::uint32_t block = get_u32(b + 4);
        EXPECT_EQ(get_u32(b + 8), 0xCDCDCDCDu);
        EXPECT_EQ(get_i32(b + 28), r.x);
        EXPECT_EQ(get_i32(b + 32), r.y);
        EXPECT_EQ(get_i32(b + 36), r.z);
        EXPECT_EQ(std::memcmp(b + 72, "\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xFF\xFF\xFF\xFF\xFF\xFF", 14), 0);
        EXPECT_EQ(b[86], r.room_flags[0]);
        EXPECT_EQ(get_u16(b + 88), r.trc_word7);
        for (int k = 90; k < 100; ++k)
            EXPECT_EQ(b[k], 0);
        EXPECT_EQ(std::memcmp(b + 104, r.trc_bytes16.data(), 4), 0);
        EXPECT_EQ(get_f32(b + 108), float(r.x));
        EXPECT_EQ(get_f32(b + 112), 0.0f);
        EXPECT_EQ(get_f32(b + 116), float(r.z));
        EXPECT_EQ(get_u32(b + 156), r.num_lights * 88u) << "trc_words3[3]";
        EXPECT_EQ(lv.rooms[i].trc_words3[3], r.num_lights * 88u);
        EXPECT_EQ(get_u32(b + 164), r.num_fog_bulbs);
        EXPECT_EQ(get_f32(b + 168), float(r.y_top)) << "the game's files hold floats here";
        EXPECT_EQ(get_f32(b + 172), float(r.y_bottom));
        EXPECT_EQ(get_u32(b + 176), 1u) << "one layer";
        const std::uint8_t* w6 = b + 180;
        const std::size_t D = 216; // data start, relative to the room
        std::size_t p = D + r.num_lights * 88u + r.num_fog_bulbs * 36u;
        EXPECT_EQ(get_u32(b + 16), p - D) << "trc_offsets[1]";
        p += std::size_t(r.num_z_sectors) * r.num_x_sectors * 8;
        EXPECT_EQ(get_u32(b + 12), p - D) << "trc_offsets[0]";
        EXPECT_EQ(get_u32(b + 20), r.trc_offsets[2]) << "trc_offsets[2] as held";
        p += 2 + r.num_portals * 32u;
        EXPECT_EQ(get_u16(b + p), 0xCDCD) << "filler after the portals";
        p += 2;
        EXPECT_EQ(get_u32(b + 24), p - D) << "trc_offsets[3]";
        p += r.num_room_statics * 20u;
        EXPECT_EQ(get_u32(w6 + 0), p - D) << "trc_words6[0]";
        // The layer header.
        EXPECT_EQ(get_u32(b + p), r.num_vertices);
        EXPECT_EQ(get_u16(b + p + 4), 0x1234) << "raw word of the first layer header";
        EXPECT_EQ(get_u16(b + p + 6), r.num_rectangles);
        EXPECT_EQ(get_u16(b + p + 8), r.num_triangles);
        EXPECT_EQ(std::memcmp(b + p + 10, &r.layer_headers[0][10], 46), 0)
            << "46 raw bytes of the first header";
        p += 56;
        EXPECT_EQ(get_u32(w6 + 8), p - D) << "trc_words6[2]";
        EXPECT_EQ(get_u32(w6 + 12), p - D) << "trc_words6[3]";
        p += r.num_rectangles * 12u + r.num_triangles * 10u;
        if (r.num_triangles % 2) {
            EXPECT_EQ(get_u16(b + p), 0xCDCD) << "filler after an odd triangle count";
            p += 2;
        }
        EXPECT_EQ(get_u32(w6 + 4), p - D) << "trc_words6[1]";
        const std::size_t vertices_at = p;
        EXPECT_EQ(std::memcmp(b + p, r.vertices28[0].data(), 28), 0);
        p += r.num_vertices * 28u;
        EXPECT_EQ(get_u16(b + p), 0xCDCD) << "filler after the vertices";
        p += 2;
        EXPECT_EQ(get_u32(w6 + 16), p - vertices_at) << "trc_words6[4]";
        EXPECT_EQ(block, p - 8) << "room block size";
        R += p;
    }
    // Room 1 has an odd triangle count (one); room 0 two.
    EXPECT_EQ(as_read.rooms[1].num_triangles % 2, 1);
    EXPECT_EQ(as_read.rooms[0].num_triangles % 2, 0);

    // The level-data size fields hold the length behind them.
    const std::size_t ld = parts.level_data_at;
    const std::uint32_t length = get_u32(&saved[ld + 32]);
    EXPECT_EQ(get_u32(&saved[ld + 36]), length);
    EXPECT_EQ(ld + 40 + length + as_read.samples_size, saved.size());
    EXPECT_EQ(std::memcmp(&saved[ld + 40 + length - 4], "\xCD\xCD\xCD\xCD", 4), 0) << "separator at the end";

    // The reader reads the rebuilt rooms back with the same merged geometry.
    tr_level reread = read_bytes(saved, "level.trc");
    EXPECT_EQ(compare_levels(as_read, reread, true), "");
    EXPECT_EQ(reread.rooms[0].num_vertices, 5);
    EXPECT_EQ(reread.rooms[0].num_layers, 1u);
    EXPECT_EQ(reread.rooms[0].trailing_bytes, 2u);
    EXPECT_EQ(resave_level_memory(reread, "level.trc"), saved);
}

TEST(Writer, TrcRoomWithoutLayersGetsAZeroLayerHeader) {
    auto desc = tl::make_level(game_trc);
    desc.rooms[1].layers.clear();
    const auto built = tl::build_level(desc);
    tr_level lv = read_bytes(built.data, "level.trc");
    ASSERT_EQ(lv.rooms[1].num_layers, 0u);
    ASSERT_EQ(lv.rooms[1].num_vertices, 0);
    const auto saved = write_level_memory(lv, "level.trc");
    tr_level reread = read_bytes(saved, "level.trc");
    ASSERT_EQ(reread.rooms[1].num_layers, 1u);
    EXPECT_EQ(reread.rooms[1].layer_headers[0], (rec<56>{}));
    EXPECT_EQ(reread.rooms[1].num_vertices, 0);
    EXPECT_EQ(compare_levels(lv, reread, true), "");
}

// ---- Versions by name ----

TEST(Writer, Tr1GoldLayoutFollowsTheTargetNameBothWays) {
    auto tr1 = tl::make_level(game_tr1);
    auto gold = tr1;
    gold.game_version = game_tr1_gold;
    const auto tr1_bytes = tl::build_level(tr1).data;
    const auto gold_bytes = tl::build_level(gold).data;
    ASSERT_NE(tr1_bytes, gold_bytes);

    tr_level a = read_bytes(tr1_bytes, "level.phd");
    ASSERT_EQ(a.game_version, game_tr1);
    EXPECT_EQ(game_version_for_target(a, "/x/level.tub"), game_tr1_gold);
    EXPECT_EQ(write_level_memory(a, "/x/level.tub"), gold_bytes);
    EXPECT_EQ(a.game_version, game_tr1_gold);

    tr_level b = read_bytes(gold_bytes, "LEVEL.TUB");
    ASSERT_EQ(b.game_version, game_tr1_gold);
    EXPECT_EQ(write_level_memory(b, "level.phd"), tr1_bytes);
    EXPECT_EQ(b.game_version, game_tr1);
    // A folder name containing ".tub" selects Gold too.
    EXPECT_EQ(game_version_for_target(b, "/levels.tub/level.phd"), game_tr1_gold);
}

// A TR1 file is read with the layout its palette position fits, whatever its name; saving keeps
// that layout unless the target name selects another game than the file's own name did.
TEST(Writer, SavingKeepsTheTr1LayoutReadUnlessTheNameSelectsTheOther) {
    auto tr1 = tl::make_level(game_tr1);
    auto gold = tr1;
    gold.game_version = game_tr1_gold;
    const auto tr1_bytes = tl::build_level(tr1).data;
    const auto gold_bytes = tl::build_level(gold).data;
    struct save_case {
        const char* file_layout; // "tr1" or "gold"
        const char* read_as;
        std::vector<const char*> targets; // saved one after another
        const char* expected_layout;      // of the last save
    };
    const save_case cases[] = {
        {"gold", "level.phd", {"level.phd"}, "gold"},
        {"gold", "level.phd", {"copy.phd"}, "gold"},
        {"gold", "level.phd", {"copy.tub"}, "gold"},
        {"gold", "level.phd", {"copy.tub", "back.phd"}, "tr1"},
        {"tr1", "level.tub", {"level.tub"}, "tr1"},
        {"tr1", "level.tub", {"copy.phd"}, "tr1"},
        {"tr1", "level.tub", {"copy.phd", "gold.tub"}, "gold"},
        {"tr1", "level.phd", {"level.phd"}, "tr1"},
        {"tr1", "level.phd", {"copy.tub"}, "gold"},
        {"gold", "level.tub", {"level.tub"}, "gold"},
        {"gold", "level.tub", {"copy.phd"}, "tr1"},
    };
    for (const auto& c : cases) {
        std::string trace = std::string(c.file_layout) + " read as " + c.read_as + ", saved as";
        for (const char* t : c.targets)
            trace += std::string(" ") + t;
        SCOPED_TRACE(trace);
        tr_level lv = read_bytes(std::string(c.file_layout) == "gold" ? gold_bytes : tr1_bytes, c.read_as);
        std::vector<std::uint8_t> saved;
        for (const char* t : c.targets)
            saved = write_level_memory(lv, t);
        EXPECT_EQ(saved, std::string(c.expected_layout) == "gold" ? gold_bytes : tr1_bytes);
        EXPECT_EQ(lv.game_version, std::string(c.expected_layout) == "gold" ? game_tr1_gold : game_tr1);
    }
}

TEST(Writer, Tr2GoldFollowsTheTargetNameWithTheSameLayout) {
    const auto bytes = tl::build_level(tl::make_level(game_tr2)).data;
    tr_level lv = read_bytes(bytes, "level.tr2");
    EXPECT_EQ(write_level_memory(lv, "level.TRG.tr2"), bytes);
    EXPECT_EQ(lv.game_version, game_tr2_gold);
    EXPECT_EQ(write_level_memory(lv, "level.tr2"), bytes);
    EXPECT_EQ(lv.game_version, game_tr2);
}

TEST(Writer, Tr4AndTrcKeepTheirCode) {
    tr_level lv = read_bytes(tl::build_level(tl::make_level(game_tr4)).data, "level.tr4");
    EXPECT_EQ(game_version_for_target(lv, "level.trc"), game_tr4);
    tr_level t = read_bytes(tl::build_level(tl::make_level(game_trc)).data, "level.trc");
    EXPECT_EQ(game_version_for_target(t, "level.tr4"), game_trc);
}

TEST(Writer, Tr1FileReadWithTheOtherLayoutChecksIdentical) {
    auto desc = tl::make_level(game_tr1);
    desc.tr1_palette_at_gold_position = true;
    const auto built = tl::build_level(desc);
    const auto r = check_roundtrip_memory(built.data, "level.phd");
    ASSERT_EQ(r.read_code, read_ok) << r.error;
    EXPECT_EQ(r.compare.message, "identical");
}

// ---- Compression ----

TEST(Writer, ParallelCompressionGivesTheBytesOfSequentialCompression) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4", "test1.trc");
    for (const char* name : {"test1.tr4", "test1.trc"}) {
        tr_level lv = read_file(shared_level(name));
        write_options sequential;
        sequential.parallel_compression = false;
        const auto a = write_level_memory(lv, name, sequential);
        const auto b = write_level_memory(lv, name);
        EXPECT_EQ(a, b) << name;
    }
}

TEST(Writer, PageSizesAndPackedSizesAreRecomputed) {
    tr_level lv = read_bytes(tl::build_level(tl::make_level(game_tr4)).data, "level.tr4");
    lv.pages32_packed = lv.pages16_packed = lv.pages32_misc_packed = 1;
    lv.pages32_size = lv.pages16_size = 5;
    const auto saved = write_level_memory(lv, "level.tr4");
    EXPECT_EQ(lv.pages32_size, 262144u);
    EXPECT_EQ(lv.pages16_size, 131072u);
    std::size_t p = 10;
    EXPECT_EQ(get_u32(&saved[p]), 262144u);
    EXPECT_EQ(get_u32(&saved[p + 4]), lv.pages32_packed);
    p += 8 + lv.pages32_packed;
    EXPECT_EQ(get_u32(&saved[p]), 131072u);
    EXPECT_EQ(get_u32(&saved[p + 4]), lv.pages16_packed);
    p += 8 + lv.pages16_packed;
    EXPECT_EQ(get_u32(&saved[p + 4]), lv.pages32_misc_packed);
}

TEST(Writer, AddedTexturePageIsWritten) {
    tr_level lv = read_bytes(tl::build_level(tl::make_level(game_tr4)).data, "level.tr4");
    lv.add_texture_page();
    const auto saved = write_level_memory(lv, "level.tr4");
    tr_level reread = read_bytes(saved, "level.tr4");
    EXPECT_EQ(reread.num_pages, 2u);
    EXPECT_EQ(reread.pages32_size, 2u * 262144);
    EXPECT_EQ(reread.pages32, lv.pages32);
}

// ---- Progress ----

TEST(Writer, ProgressRunsFromZeroTo100AndBack) {
    tr_level lv = read_bytes(tl::build_level(tl::make_level(game_tr1)).data, "level.phd");
    std::vector<int> seen;
    lv.progress = [&](int v) { seen.push_back(v); };
    write_level_memory(lv, "level.phd");
    ASSERT_GE(seen.size(), 8u);
    EXPECT_EQ(seen.front(), 0);
    EXPECT_EQ(seen.back(), 0);
    EXPECT_EQ(seen[seen.size() - 2], 100);
    const std::vector<int> expected = {0, 30, 50, 65, 80, 80, 85, 90, 100, 0};
    EXPECT_EQ(seen, expected);
}

// ---- Refusals and failures ----

TEST(Writer, UnloadedLevelIsRefusedWithoutTouchingAnyFile) {
    temp_dir dir;
    tr_level empty;
    const fs::path missing = dir.path / "new.phd";
    EXPECT_EQ(write_level(empty, missing.string()), write_not_loaded);
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_EQ(dir.entries(), 0u);

    const fs::path existing = dir.path / "old.phd";
    put_file(existing, {1, 2, 3});
    const auto old_time = fs::last_write_time(existing);
    EXPECT_EQ(write_level(empty, existing.string()), write_not_loaded);
    EXPECT_EQ(file_bytes(existing), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(fs::last_write_time(existing), old_time);
    EXPECT_EQ(dir.entries(), 1u);

    EXPECT_THROW(write_level_memory(empty, "x.phd"), level_error);
}

TEST(Writer, SaveWritesTheFileAndReplacesAnOldOne) {
    temp_dir dir;
    const fs::path target = dir.path / "level.tr2";
    put_file(target, {1, 2, 3});
    const auto built = tl::build_level(tl::make_level(game_tr3));
    tr_level lv = read_bytes(built.data, "level.tr2");
    EXPECT_EQ(write_level(lv, target.string()), write_ok);
    EXPECT_EQ(file_bytes(target), built.data);
    EXPECT_EQ(dir.entries(), 1u) << "no temporary file is left behind";
}

// A modder may link a level from the game's folder to a work folder: saving through the link
// replaces the file it points to, in that file's folder, and keeps the link.
TEST(Writer, SaveThroughASymbolicLinkReplacesItsTargetAndKeepsTheLink) {
    struct link_case {
        const char* what;
        bool absolute;   // the link holds an absolute path
        bool chained;    // a link to a link
        bool target_new; // the file the link names does not exist yet
    };
    const link_case cases[] = {
        {"relative link", false, false, false},
        {"absolute link", true, false, false},
        {"link to a link", false, true, false},
        {"link to a file not made yet", false, false, true},
    };
    const auto built = tl::build_level(tl::make_level(game_tr2));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        temp_dir dir;
        fs::create_directories(dir.path / "game");
        fs::create_directories(dir.path / "work");
        const fs::path file = dir.path / "work" / "level.tr2";
        if (!c.target_new) put_file(file, {1, 2, 3});
        const fs::path link = dir.path / "game" / "level.tr2";
        fs::path points_to = c.absolute ? file : fs::path("..") / "work" / "level.tr2";
        if (c.chained) {
            fs::create_symlink(points_to, dir.path / "game" / "middle.tr2");
            points_to = "middle.tr2";
        }
        fs::create_symlink(points_to, link);

        tr_level lv = read_bytes(built.data, "level.tr2");
        ASSERT_EQ(write_level(lv, link.string()), write_ok);
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(file_bytes(file), built.data);
        EXPECT_EQ(file_bytes(link), built.data);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path / "work"), fs::directory_iterator()), 1)
            << "no temporary file is left behind";
    }
}

TEST(Writer, SaveGivesANewFileSoHardLinksKeepTheOldContent) {
    temp_dir dir;
    const fs::path file = dir.path / "level.tr2";
    const fs::path other = dir.path / "backup.tr2";
    put_file(file, {1, 2, 3});
    fs::create_hard_link(file, other);
    tr_level lv = read_bytes(tl::build_level(tl::make_level(game_tr2)).data, "level.tr2");
    ASSERT_EQ(write_level(lv, file.string()), write_ok);
    EXPECT_EQ(file_bytes(other), (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(Writer, SaveIntoAMissingFolderFailsWithAMessage) {
    temp_dir dir;
    tr_level lv = read_bytes(tl::build_level(tl::make_level(game_tr1)).data, "level.phd");
    const fs::path target = dir.path / "no-such-folder" / "level.phd";
    try {
        write_level(lv, target.string());
        FAIL() << "saving into a missing folder succeeded";
    } catch (const level_error& e) {
        EXPECT_NE(std::string(e.what()).find(target.string()), std::string::npos) << e.what();
    }
    EXPECT_FALSE(fs::exists(target));
    EXPECT_EQ(dir.entries(), 0u);
}

TEST(Writer, SaveOverAFolderFailsAndLeavesItAlone) {
    temp_dir dir;
    const fs::path target = dir.path / "level.phd";
    fs::create_directory(target);
    put_file(target / "inside", {7});
    tr_level lv = read_bytes(tl::build_level(tl::make_level(game_tr1)).data, "level.phd");
    EXPECT_THROW(write_level(lv, target.string()), level_error);
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_EQ(file_bytes(target / "inside"), (std::vector<std::uint8_t>{7}));
    EXPECT_EQ(dir.entries(), 1u);
}

TEST(Writer, SaveIntoAReadOnlyFolderLeavesTheOldFile) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not stop root";
    temp_dir dir;
    const fs::path target = dir.path / "level.phd";
    put_file(target, {1, 2, 3});
    fs::permissions(dir.path, fs::perms::owner_read | fs::perms::owner_exec);
    tr_level lv = read_bytes(tl::build_level(tl::make_level(game_tr1)).data, "level.phd");
    EXPECT_THROW(write_level(lv, target.string()), level_error);
    fs::permissions(dir.path, fs::perms::owner_all);
    EXPECT_EQ(file_bytes(target), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(dir.entries(), 1u);
}

TEST(Writer, SaveOverAReadOnlyFileLeavesIt) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not stop root";
    temp_dir dir;
    const fs::path target = dir.path / "level.phd";
    put_file(target, {1, 2, 3});
    fs::permissions(target, fs::perms::owner_read);
    tr_level lv = read_bytes(tl::build_level(tl::make_level(game_tr1)).data, "level.phd");
    EXPECT_THROW(write_level(lv, target.string()), level_error);
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(file_bytes(target), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(dir.entries(), 1u);
}

TEST(Writer, WriteFailureHalfwayLeavesTheOldFileByteIdentical) {
    // A file-size limit makes the write fail part way, as a full disk would (even for root).
    temp_dir dir;
    const fs::path target = dir.path / "level.phd";
    const std::vector<std::uint8_t> old = {5, 4, 3, 2, 1};
    put_file(target, old);
    tr_level lv = read_bytes(tl::build_level(tl::make_level(game_tr1)).data, "level.phd");
    const auto game_before = lv.game_version;
    lv.rooms[0].num_data_words = 1; // recomputed only when the save succeeds

    rlimit saved_limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved_limit), 0);
    auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved_limit;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool threw = false;
    try {
        write_level(lv, (dir.path / "level.tub").string()); // would switch to the Gold layout
    } catch (const level_error&) {
        threw = true;
    }
    setrlimit(RLIMIT_FSIZE, &saved_limit);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_TRUE(threw);
    EXPECT_EQ(file_bytes(target), old);
    EXPECT_EQ(dir.entries(), 1u) << "the temporary file is removed";
    EXPECT_EQ(lv.game_version, game_before) << "a failed save leaves the level as it was";
    EXPECT_EQ(lv.rooms[0].num_data_words, 1u);
}

TEST(Writer, InconsistentLevelIsRefusedBeforeTouchingTheFile) {
    temp_dir dir;
    const fs::path target = dir.path / "level.tr4";
    put_file(target, {1, 2, 3});
    tr_level lv = read_bytes(tl::build_level(tl::make_level(game_tr4)).data, "level.tr4");
    lv.floor_data.pop_back(); // fewer words than num_floor_data
    const auto snapshot = tl::level_snapshot(lv);
    try {
        write_level(lv, target.string());
        FAIL();
    } catch (const level_error& e) {
        EXPECT_NE(std::string(e.what()).find("floor data"), std::string::npos) << e.what();
    }
    EXPECT_EQ(file_bytes(target), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(tl::level_snapshot(lv), snapshot);
}

// ---- The check's messages ----

TEST(Writer, CheckNamesTheSectionOfAByteDifference) {
    SKIP_WITHOUT_REAL_LEVELS("test1.phd");
    auto original = read_whole_file(shared_level("test1.phd"));
    tr_level lv = read_bytes(original, "test1.phd");
    // Room 0's data size field: the writer recomputes it, so a wrong value shows as a difference.
    const std::size_t at = 4 + 4 + std::size_t(lv.num_pages) * 65536 + 4 + 2 + 16;
    original[at] ^= 0x40;
    const auto r = check_roundtrip_memory(original, "test1.phd");
    ASSERT_EQ(r.read_code, read_ok);
    EXPECT_FALSE(r.compare.equal());
    EXPECT_NE(r.compare.message.find("offset " + std::to_string(at)), std::string::npos) << r.compare.message;
    EXPECT_NE(r.compare.message.find("section rooms"), std::string::npos) << r.compare.message;
}

TEST(Writer, Tr4ComparisonInflatesTheBlocksAndNamesLevelDataSections) {
    auto a = tl::make_level(game_tr4);
    auto b = a;
    b.floor_data[2] = 0x7777;
    const auto fa = tl::build_level(a).data;
    const auto fb = tl::build_level(b).data;
    tr_level lv = read_bytes(fb, "level.tr4");
    std::vector<section_mark> marks;
    write_options options;
    options.sections = &marks;
    const auto resaved = write_level_memory(lv, "level.tr4", options);
    EXPECT_TRUE(compare_level_files(fb, resaved, game_tr4, marks).equal());
    const auto r = compare_level_files(fa, resaved, game_tr4, marks);
    EXPECT_EQ(r.outcome, compare_outcome::different);
    EXPECT_NE(r.message.find("level data / floor data"), std::string::npos) << r.message;

    auto cut = resaved;
    cut.back() ^= 1;
    EXPECT_NE(compare_level_files(resaved, cut, game_tr4, marks).message.find("samples"), std::string::npos);
}

TEST(Writer, SectionAtFindsTheLastSectionStartingBefore) {
    const std::vector<section_mark> marks = {
        {"a", 0, false}, {"b", 10, false}, {"c", 10, false}, {"d", 5, true}};
    EXPECT_EQ(section_at(marks, 0), "a");
    EXPECT_EQ(section_at(marks, 9), "a");
    EXPECT_EQ(section_at(marks, 10), "c");
    EXPECT_EQ(section_at(marks, 6, true), "d");
    EXPECT_EQ(section_at(marks, 4, true), "");
}
