// Reads the five public test levels and checks their version and section counts against a small walk
// of the file done here: it skips room geometry by its stored size and never uses the project's reader.
// Every level file in the real-level folder must read, pass the round-trip check and re-save.
#include "big_level.h"
#include "level_builder.h"
#include "level_compare.h"
#include "level_reader.h"
#include "level_writer.h"
#include "mesh_list.h"
#include "real_levels.h"
#include "level_stream.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <stdlib.h>

namespace {

using bytes = std::vector<std::uint8_t>;

struct walked {
    std::uint32_t rooms = 0, mesh_words = 0, mesh_pointers = 0, moveables = 0, static_meshes = 0,
                  object_textures = 0, entities = 0, sample_indices = 0;
    std::size_t unread = 0; // bytes after the sample indices (TR4, TRC: inside the level data)
};

class walk_cursor {
  public:
    explicit walk_cursor(bytes d) : d_(std::move(d)) {}
    std::uint32_t u(int width) {
        need(std::size_t(width));
        std::uint32_t v = 0;
        for (int i = 0; i < width; ++i)
            v |= std::uint32_t(d_[p_ + std::size_t(i)]) << (8 * i);
        p_ += std::size_t(width);
        return v;
    }
    std::uint32_t u16() { return u(2); }
    std::uint32_t u32() { return u(4); }
    void skip(std::uint64_t n) {
        need(n);
        p_ += std::size_t(n);
    }
    // A count of `width` bytes followed by that many records of `size` bytes.
    std::uint32_t section(std::size_t size, int width = 4) {
        const std::uint32_t n = u(width);
        skip(std::uint64_t(n) * size);
        return n;
    }
    bytes inflate_block() {
        const std::uint32_t plain = u32(), packed = u32();
        need(packed);
        bytes out(plain);
        uLongf out_size = plain;
        if (uncompress(out.data(), &out_size, d_.data() + p_, packed) != Z_OK || out_size != plain)
            throw std::runtime_error("walk: a compressed block does not inflate to its stored size");
        p_ += packed;
        return out;
    }
    std::size_t pos() const { return p_; }
    std::size_t size() const { return d_.size(); }

  private:
    void need(std::uint64_t n) const {
        if (n > d_.size() - p_)
            throw std::runtime_error("walk: ran past the end at offset " + std::to_string(p_));
    }
    bytes d_;
    std::size_t p_ = 0;
};

// The level sections from the room count to the sample indices.
walked walk_level_data(walk_cursor& c, int v, std::size_t end) {
    walked w;
    if (v == 7) {
        c.u32();
        w.rooms = c.u32() & 0xFFFF;
    } else {
        c.u32();
        w.rooms = c.u16();
    }
    for (std::uint32_t r = 0; r < w.rooms; ++r) {
        if (v == 7) {
            c.skip(4);
            c.skip(c.u32()); // the whole room block
            continue;
        }
        c.skip(16);
        c.skip(std::uint64_t(c.u32()) * 2); // geometry, by its stored size in words
        c.section(32, 2);                   // portals
        const std::uint32_t zs = c.u16(), xs = c.u16();
        c.skip(std::uint64_t(zs) * xs * 8);
        c.skip(2);
        if (v >= 3) c.skip(2);
        if (v == 3 || v == 4) c.skip(2);
        c.section(v <= 2 ? 18 : (v <= 5 ? 24 : 46), 2);
        c.section(v <= 2 ? 18 : 20, 2);
        c.skip(4);
        if (v >= 5) c.skip(3);
    }
    c.section(2); // floor data
    w.mesh_words = c.section(2);
    w.mesh_pointers = c.section(4);
    c.section(v >= 6 ? 40 : 32);
    c.section(6);
    c.section(8);
    c.section(2);
    c.section(4);
    c.section(2);
    w.moveables = c.section(v == 7 ? 20 : 18);
    w.static_meshes = c.section(32);
    if (v <= 4) w.object_textures = c.section(20);
    if (v >= 6) c.skip(v == 6 ? 3 : 4);
    c.section(16);
    c.section(8);
    if (v == 2) c.skip(768);
    c.section(16);
    if (v >= 6) c.section(40);
    c.section(16);
    const std::uint32_t boxes = c.section(v <= 2 ? 20 : 8);
    c.section(2);
    c.skip(std::uint64_t(boxes) * 2 * (v <= 2 ? 6 : 10));
    c.section(2);
    if (v >= 6) c.skip(v == 6 ? 4 : 5);
    if (v >= 5) w.object_textures = c.section(v == 5 ? 20 : (v == 6 ? 38 : 40));
    w.entities = c.section(v <= 2 ? 22 : 24);
    if (v <= 5) c.skip(8192);
    if (v == 1) c.skip(768);
    if (v <= 5)
        c.section(16, 2);
    else
        c.section(24);
    c.section(1, 2);
    c.skip(v <= 2 ? 512 : (v == 7 ? 900 : 740));
    c.section(8);
    if (v <= 2) c.section(1);
    w.sample_indices = c.section(4);
    w.unread = end - c.pos();
    return w;
}

walked walk_file(const bytes& file, int v) {
    walk_cursor c(file);
    c.u32();
    if (v >= 6) {
        c.skip(6);
        for (int b = 0; b < 3; ++b)
            c.inflate_block();
        if (v == 6) {
            walk_cursor ld(c.inflate_block());
            return walk_level_data(ld, v, ld.size());
        }
        c.skip(32);
        const std::uint32_t size = c.u32();
        c.u32();
        const std::size_t end = c.pos() + size;
        return walk_level_data(c, v, end);
    }
    if (v >= 3) c.skip(768 + 1024);
    const std::uint32_t pages = c.u32();
    c.skip(std::uint64_t(pages) * (v >= 3 ? 65536 + 131072 : 65536));
    return walk_level_data(c, v, c.size());
}

bytes load(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return bytes(std::istreambuf_iterator<char>(f), {});
}

struct shared_level {
    const char* file;
    int version;
};

class shared_levels_test : public ::testing::TestWithParam<shared_level> {};

TEST_P(shared_levels_test, reads_with_the_right_version_and_counts) {
    const auto [file, version] = GetParam();
    SKIP_WITHOUT_REAL_LEVELS(file);
    const std::string path = real_levels::path(file);

    walked w;
    ASSERT_NO_THROW(w = walk_file(load(path), version)) << path;
    // The walk must account for the whole file: TR1-TR3 end with the sample indices; TR4 and TRC
    // levels carry a few padding bytes after them inside the level data.
    if (version <= 5)
        EXPECT_EQ(w.unread, 0u);
    else
        EXPECT_LT(w.unread, 16u);
    ASSERT_GT(w.rooms, 0u);
    ASSERT_GT(w.mesh_words, 0u);

    tr_level l;
    std::string error;
    ASSERT_EQ(read_level(l, path, &error), read_ok) << error;
    EXPECT_EQ(l.game_version, version);
    EXPECT_EQ(l.num_rooms, w.rooms);
    EXPECT_EQ(l.num_mesh_words, w.mesh_words);
    EXPECT_EQ(l.num_mesh_pointers, w.mesh_pointers);
    EXPECT_EQ(l.num_moveables, w.moveables);
    EXPECT_EQ(l.num_static_meshes, w.static_meshes);
    EXPECT_EQ(l.num_object_textures, w.object_textures);
    EXPECT_EQ(l.num_entities, w.entities);
    EXPECT_EQ(l.num_sample_indices, w.sample_indices);
    EXPECT_EQ(l.tail_bytes.size(), w.unread);
    EXPECT_FALSE(l.sound_block_raw);
    EXPECT_FALSE(l.tr1_layout_swapped);
    // Every mesh pointer designates a place inside the mesh data.
    for (auto p : l.mesh_pointers)
        EXPECT_LT(p, l.num_mesh_words * 2u);
}

// The walk itself, checked on levels whose every count is known because the test builder made them.
TEST(level_walk, finds_the_counts_of_builder_made_levels) {
    for (int v : {1, 3, 5, 6, 7}) {
        test_levels::level_desc d = test_levels::make_level(v);
        d.level_data_tail = {0, 0, 0, 0, 0, 0};
        const test_levels::built_level b = test_levels::build_level(d);
        walked w;
        ASSERT_NO_THROW(w = walk_file(b.data, v)) << v;
        EXPECT_EQ(w.rooms, b.counts.rooms) << v;
        EXPECT_EQ(w.mesh_words, b.counts.mesh_words) << v;
        EXPECT_EQ(w.mesh_pointers, b.counts.mesh_pointers) << v;
        EXPECT_EQ(w.moveables, b.counts.moveables) << v;
        EXPECT_EQ(w.static_meshes, b.counts.static_meshes) << v;
        EXPECT_EQ(w.object_textures, b.counts.object_textures) << v;
        EXPECT_EQ(w.entities, b.counts.entities) << v;
        EXPECT_EQ(w.sample_indices, b.counts.sample_indices) << v;
        EXPECT_EQ(w.unread, v >= 6 ? 6u : 0u) << v;
    }
}

// Whatever levels the folder holds (a modder's game install, say), each must read, pass the
// round-trip check, and read back the same after a save under its own name.
TEST(real_levels_folder, every_level_found_reads_checks_and_resaves) {
    const std::vector<std::string> files = real_levels::all_files();
    if (files.empty())
        GTEST_SKIP() << "no level files (.phd .tub .tr2 .tr4 .trc) in " << real_levels::folder()
                     << " (set VELLUM_TEST_LEVELS to a folder of levels)";
    std::string tmpl = (std::filesystem::temp_directory_path() / "vellum-levels-XXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    const std::filesystem::path scratch = tmpl;
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        tr_level as_read;
        std::string error;
        if (read_level(as_read, path, &error) != read_ok) {
            ADD_FAILURE() << "does not read: " << error;
            continue;
        }
        const roundtrip_result r = check_roundtrip(path);
        EXPECT_TRUE(r.read_code == read_ok && r.error.empty() && r.compare.equal())
            << "check: " << r.error << r.compare.message;

        // Saved as the editor saves (meshes parsed and rebuilt), under the same file name.
        const std::string saved = (scratch / std::filesystem::path(path).filename()).string();
        tr_level level = as_read;
        mesh_list list;
        try {
            build_mesh_list(list, level);
            rebuild_mesh_words(list, level);
            EXPECT_EQ(write_level(level, saved), write_ok);
        } catch (const level_error& e) {
            ADD_FAILURE() << "does not save: " << e.what();
            continue;
        }
        tr_level reread;
        if (read_level(reread, saved, &error) != read_ok) {
            ADD_FAILURE() << "the saved file does not read back: " << error;
            continue;
        }
        EXPECT_EQ(reread.game_version, as_read.game_version);
        EXPECT_EQ(compare_levels(as_read, reread, as_read.game_version == game_trc), "");
        std::filesystem::remove(saved);
    }
    std::filesystem::remove_all(scratch);
}

// A builder-made TR4 level of 329 pages (as public reports describe one), made from test1.tr4 by
// repeating its pages: it reads, passes the round-trip check, and saves and reads back the same.
TEST(shared_big_levels, a_tr4_level_of_329_pages_reads_checks_saves_and_reads_back_the_same) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4");
    const std::vector<std::uint8_t> small = read_whole_file(real_levels::path("test1.tr4"));
    const std::uint32_t own_pages = get_u16(&small[4]) + get_u16(&small[6]);
    const std::vector<std::uint8_t> big = repeat_pages_in_file(small, 329);
    ASSERT_FALSE(big.empty());

    tr_level as_read;
    std::string error;
    ASSERT_EQ(read_level_memory(as_read, big, "big.tr4", &error), read_ok) << error;
    EXPECT_EQ(as_read.num_pages, 329u);
    EXPECT_EQ(std::uint32_t(as_read.num_room_pages) + as_read.num_object_pages + as_read.num_bump_pages,
              329u);
    const std::size_t last = std::size_t(328) * 262144, same = std::size_t(328 % own_pages) * 262144;
    EXPECT_TRUE(std::equal(&as_read.pages32[last], &as_read.pages32[last] + 262144, &as_read.pages32[same]));

    const roundtrip_result r = check_roundtrip_memory(big, "big.tr4");
    EXPECT_EQ(r.read_code, read_ok) << r.error;
    EXPECT_TRUE(r.error.empty() && r.compare.equal()) << r.error << r.compare.message;

    std::vector<std::uint8_t> saved;
    {
        tr_level level;
        ASSERT_EQ(read_level_memory(level, big, "big.tr4"), read_ok);
        saved = resave_level_memory(level, "big.tr4");
    }
    tr_level reread;
    ASSERT_EQ(read_level_memory(reread, saved, "big.tr4", &error), read_ok) << error;
    EXPECT_EQ(compare_levels(as_read, reread), "");
}

INSTANTIATE_TEST_SUITE_P(public_levels, shared_levels_test,
                         ::testing::Values(shared_level{"test1.phd", 1}, shared_level{"test1.tr2", 3},
                                           shared_level{"test1_tr3.tr2", 5}, shared_level{"test1.tr4", 6},
                                           shared_level{"test1.trc", 7}),
                         [](const ::testing::TestParamInfo<shared_level>& info) {
                             std::string n = info.param.file;
                             for (auto& ch : n)
                                 if (ch == '.') ch = '_';
                             return n;
                         });

} // namespace
