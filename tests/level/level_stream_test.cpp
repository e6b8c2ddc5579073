// Tests of level_stream (clamped reads and seeks, growing writes, the "ZLIB" whole-file wrapper, file I/O)
// and of the zlib block routines used by compressed level sections.
#include "level_builder.h"
#include "tr_level.h" // level_error
#include "level_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

namespace {

using test_levels::bytes;

bytes counting(std::size_t n) {
    bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = std::uint8_t(i * 7 + 3);
    return b;
}

bytes random_bytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    bytes b(n);
    for (auto& x : b)
        x = std::uint8_t(rng());
    return b;
}

// A scratch folder removed at the end of the test.
class scratch_dir {
  public:
    scratch_dir() {
        path_ = std::filesystem::temp_directory_path() /
                ("vellum_level_stream_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~scratch_dir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string file(const char* name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

void write_file(const std::string& path, const bytes& data) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

bytes file_bytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return bytes(std::istreambuf_iterator<char>(f), {});
}

TEST(level_stream_stream, reads_are_clamped_to_what_remains_and_leave_the_rest_untouched) {
    level_stream z;
    z.init("memory");
    z.open_memory(counting(100));
    std::uint8_t dest[128];
    std::fill(std::begin(dest), std::end(dest), 0xEE);
    EXPECT_EQ(z.read(dest, 40), 40u);
    EXPECT_EQ(z.position, 40u);
    EXPECT_EQ(dest[39], counting(100)[39]);
    std::fill(std::begin(dest), std::end(dest), 0xEE);
    EXPECT_EQ(z.read(dest, 100), 60u);
    EXPECT_EQ(z.position, 100u);
    EXPECT_EQ(dest[0], counting(100)[40]);
    EXPECT_EQ(dest[59], counting(100)[99]);
    EXPECT_EQ(dest[60], 0xEE);
}

TEST(level_stream_stream, seeking_past_the_end_stops_at_the_end_and_a_read_there_copies_nothing) {
    level_stream z;
    z.init("memory");
    z.open_memory(counting(100));
    z.seek(1000);
    EXPECT_EQ(z.position, 100u);
    std::uint8_t dest[4] = {1, 2, 3, 4};
    EXPECT_EQ(z.read(dest, 4), 0u);
    EXPECT_EQ(dest[0], 1);
    EXPECT_EQ(dest[3], 4);
    EXPECT_EQ(z.position, 100u);
    z.seek(10);
    EXPECT_EQ(z.position, 10u);
    EXPECT_EQ(z.remaining(), 90u);
}

TEST(level_stream_stream, writing_inside_the_data_never_shrinks_it_and_writing_past_the_end_grows_it) {
    level_stream z;
    z.init("memory");
    z.open_write();
    const bytes hundred = counting(100);
    z.write(hundred.data(), 100);
    EXPECT_EQ(z.size, 100u);
    z.seek(0);
    const bytes ten(10, 0xAB);
    z.write(ten.data(), 10);
    EXPECT_EQ(z.size, 100u);
    EXPECT_EQ(z.position, 10u);
    EXPECT_EQ(z.buffer[9], 0xAB);
    EXPECT_EQ(z.buffer[10], hundred[10]);
    EXPECT_EQ(z.buffer[99], hundred[99]);
    z.seek(95);
    z.write(ten.data(), 10);
    EXPECT_EQ(z.size, 105u);
    EXPECT_EQ(z.buffer[94], hundred[94]);
    EXPECT_EQ(z.buffer[104], 0xAB);
    // Large writes keep everything written before.
    const bytes big = random_bytes(1 << 20, 5);
    z.write(big.data(), std::uint32_t(big.size()));
    EXPECT_EQ(z.size, 105u + big.size());
    EXPECT_EQ(z.buffer[0], 0xAB);
    EXPECT_TRUE(std::equal(big.begin(), big.end(), z.buffer.begin() + 105));
}

TEST(level_stream_stream, counts_are_multiplied_by_the_record_size) {
    level_stream z;
    z.init("memory");
    z.open_memory(counting(20), 4);
    std::uint8_t dest[20] = {};
    EXPECT_EQ(z.read(dest, 3), 12u);
    EXPECT_EQ(z.position, 12u);
    EXPECT_EQ(z.read(dest, 3), 8u); // clamped to the bytes left
}

TEST(level_stream_wrapper, a_12_byte_file_starting_with_zlib_is_kept_as_plain_bytes) {
    const bytes data = {'Z', 'L', 'I', 'B', 4, 0, 0, 0, 9, 0, 0, 0};
    level_stream z;
    z.init("memory");
    z.open_memory(data);
    EXPECT_FALSE(z.packed);
    EXPECT_EQ(z.size, 12u);
    EXPECT_EQ(z.buffer, data);
}

TEST(level_stream_wrapper, a_longer_wrapped_file_is_inflated_on_opening) {
    const bytes plain = counting(5000);
    level_stream z;
    z.init("memory");
    z.open_memory(test_levels::zlib_wrapped(plain));
    EXPECT_TRUE(z.packed);
    EXPECT_EQ(z.size, plain.size());
    EXPECT_EQ(z.buffer, plain);
    EXPECT_EQ(z.position, 0u);
}

TEST(level_stream_wrapper, a_wrong_stored_plain_size_still_inflates_completely) {
    const bytes plain = random_bytes(70000, 11);
    for (std::uint32_t wrong : {0u, 1u, 255u, 69999u, 70001u, 1u << 30, 0xFFFFFFFFu}) {
        bytes wrapped = test_levels::zlib_wrapped(plain);
        put_u32(&wrapped[8], wrong);
        level_stream z;
        z.init("memory");
        z.open_memory(wrapped);
        EXPECT_EQ(z.buffer, plain) << "stored plain size " << wrong;
        EXPECT_EQ(z.size, plain.size()) << "stored plain size " << wrong;
    }
}

TEST(level_stream_wrapper, damaged_wrapped_data_raises_a_level_error) {
    const bytes plain = counting(3000);
    bytes corrupt = test_levels::zlib_wrapped(plain);
    corrupt[12] ^= 0xFF;
    level_stream z;
    z.init("memory");
    EXPECT_THROW(z.open_memory(corrupt), level_error);
    bytes cut = test_levels::zlib_wrapped(plain);
    cut.resize(cut.size() / 2);
    EXPECT_THROW(z.open_memory(cut), level_error);
}

TEST(zlib_blocks, deflate_then_inflate_gives_back_the_bytes_for_any_estimate) {
    for (std::size_t n : {0u, 1u, 255u, 256u, 257u, 4096u, 300000u}) {
        const bytes plain = random_bytes(n, unsigned(n));
        const bytes packed = deflate_block(plain.data(), plain.size());
        ASSERT_GE(packed.size(), 2u);
        EXPECT_EQ(packed[0], 0x78) << "zlib stream header";
        for (std::size_t estimate : {std::size_t(0), std::size_t(1), n, n * 3 + 1})
            EXPECT_EQ(inflate_block(packed.data(), packed.size(), estimate), plain)
                << n << " bytes, estimate " << estimate;
    }
}

TEST(zlib_blocks, a_highly_compressed_stream_inflates_completely) {
    const bytes plain(8u << 20, 0);
    const bytes packed = test_levels::zlib_compress(plain);
    ASSERT_LT(packed.size(), 20000u);
    EXPECT_EQ(inflate_block(packed.data(), packed.size(), 0), plain);
}

TEST(zlib_blocks, damaged_streams_raise_a_level_error_with_a_message) {
    const bytes plain = counting(10000);
    const bytes packed = test_levels::zlib_compress(plain);
    bytes flipped = packed;
    flipped[1] ^= 0x01; // header check fails
    bytes checksum = packed;
    checksum.back() ^= 0x01;
    bytes garbage = random_bytes(500, 3);
    std::vector<bytes> damaged = {flipped, checksum, garbage};
    for (std::size_t cut : {std::size_t(0), std::size_t(2), packed.size() / 2, packed.size() - 1})
        damaged.emplace_back(packed.begin(), packed.begin() + std::ptrdiff_t(cut));
    auto message = [](const bytes& b, std::size_t estimate) -> std::string {
        try {
            inflate_block(b.data(), b.size(), estimate);
        } catch (const level_error& e) {
            return e.what();
        }
        return "";
    };
    // Without an estimate or with the true size (the one-pass inflate), the same message.
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        const std::string unsized = message(damaged[i], 0);
        EXPECT_NE(unsized, "") << "case " << i;
        EXPECT_EQ(message(damaged[i], plain.size()), unsized) << "case " << i;
    }
}

TEST(level_stream_files, open_read_loads_and_inflates_a_file_and_a_missing_file_raises_an_error) {
    scratch_dir dir;
    const bytes plain = counting(777);
    write_file(dir.file("plain.bin"), plain);
    write_file(dir.file("wrapped.bin"), test_levels::zlib_wrapped(plain));
    for (const char* name : {"plain.bin", "wrapped.bin"}) {
        level_stream z;
        z.init(dir.file(name));
        z.open_read();
        EXPECT_EQ(z.buffer, plain) << name;
        z.close(false);
        EXPECT_EQ(z.size, 0u);
        EXPECT_EQ(z.position, 0u);
    }
    EXPECT_EQ(file_bytes(dir.file("wrapped.bin")), test_levels::zlib_wrapped(plain))
        << "reading changed the file";
    level_stream missing;
    missing.init(dir.file("missing.bin"));
    EXPECT_THROW(missing.open_read(), level_error);
}

TEST(level_stream_files, close_with_flush_writes_the_buffer_plain_and_without_flush_writes_nothing) {
    scratch_dir dir;
    const std::string path = dir.file("out.bin");
    write_file(path, {1, 2, 3});
    const bytes content = counting(1000);
    {
        level_stream z;
        z.init(path);
        z.open_write();
        z.write(content.data(), 500);
        z.close(false);
    }
    EXPECT_EQ(file_bytes(path), (bytes{1, 2, 3}));
    level_stream z;
    z.init(path);
    z.open_write();
    z.write(content.data(), std::uint32_t(content.size()));
    z.close(true);
    EXPECT_EQ(file_bytes(path), content);
    EXPECT_EQ(z.size, 0u);
    EXPECT_TRUE(z.buffer.empty());
    // Only the target is left in the folder: no temporary files.
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e :
         std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()))
        ++files;
    EXPECT_EQ(files, 1u);
}

TEST(level_stream_files, a_failed_write_leaves_the_target_as_it_was) {
    scratch_dir dir;
    const std::string folder_target = dir.file("a_folder");
    std::filesystem::create_directory(folder_target);
    const bytes content = counting(10);
    EXPECT_THROW(write_file_atomic(folder_target, content.data(), content.size()), level_error);
    EXPECT_TRUE(std::filesystem::is_directory(folder_target));
    EXPECT_THROW(write_file_atomic(dir.file("no/such/folder/x.tr4"), content.data(), content.size()),
                 level_error);
}

TEST(level_stream_files, a_save_removes_what_killed_saves_left_and_concurrent_saves_all_succeed) {
    scratch_dir dir;
    const std::string target = dir.file("level.tr4");
    const std::string left = target + ".vellum-Ab3xYz";
    const std::vector<std::string> others = {dir.file("other.tr4.vellum-Ab3xYz"), target + ".vellum-part",
                                             target + ".vellum-Ab3xYz7"};
    for (const auto& name : others)
        write_file(name, {1});
    write_file(left, {2});
    const bytes content = counting(5000);
    write_file_atomic(target, content.data(), content.size());
    EXPECT_EQ(file_bytes(target), content);
    EXPECT_FALSE(std::filesystem::exists(left));
    for (const auto& name : others)
        EXPECT_TRUE(std::filesystem::exists(name)) << name;

    // Eight saves at once onto one target: none removes another's file, so each succeeds; one of
    // them is the file and nothing is left.
    std::vector<bytes> contents;
    for (unsigned k = 0; k < 8; ++k)
        contents.push_back(random_bytes(200000, k));
    std::vector<std::string> errors(contents.size());
    std::vector<std::thread> saves;
    for (std::size_t k = 0; k < contents.size(); ++k)
        saves.emplace_back([&, k] {
            try {
                for (int round = 0; round < 10; ++round)
                    write_file_atomic(target, contents[k].data(), contents[k].size());
            } catch (const level_error& e) {
                errors[k] = e.what();
            }
        });
    for (auto& t : saves)
        t.join();
    for (const auto& e : errors)
        EXPECT_EQ(e, "");
    EXPECT_NE(std::find(contents.begin(), contents.end(), file_bytes(target)), contents.end());
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.file("")))
        ++files;
    EXPECT_EQ(files, 1 + others.size());
}

} // namespace
