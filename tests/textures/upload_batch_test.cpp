// Upload preparation of all object textures at once gives exactly the pixels of the one-by-one
// preparation (piece cut from the display bitmap, converted, stretched by the image scaler).
#include "level_reader.h"
#include "texture_fixtures.h"
#include "texture_table.h"
#include "upload_batch.h"

#include <filesystem>
#include <gtest/gtest.h>

#ifdef VELLUM_HAVE_SAMPLES
#include "sample_levels.h"
#endif

namespace {

struct named_level {
    std::string name;
    tr_level level;
};

// A TR2 level of two pages with a texture of every width 1..256 (height 257 - width), and
// textures on a page the level does not have (one named through the page word's high bits).
tr_level every_size_level() {
    tr_level level = texture_fixtures::make_level(game_tr2, 2, 11);
    for (int w = 1; w <= 256; ++w)
        level.object_textures.push_back(texture_fixtures::make_texture(w % 2, 0, 0, w - 1, 256 - w));
    level.object_textures.push_back(texture_fixtures::make_texture(5, 3, 4, 40, 50));
    level.object_textures.push_back(texture_fixtures::make_texture(0x1001, 0, 0, 31, 31));
    level.num_object_textures = std::uint32_t(level.object_textures.size());
    return level;
}

std::vector<named_level> levels() {
    std::vector<named_level> out;
    out.push_back({"every size", every_size_level()});
    for (const char* name : {"test1.phd", "test1.tr2", "test1_tr3.tr2", "test1.tr4", "test1.trc"}) {
        const std::string path = std::string(VELLUM_SHARED_LEVELS) + "/" + name;
        if (!std::filesystem::exists(path)) continue;
        named_level l{name, {}};
        EXPECT_EQ(read_level(l.level, path), read_ok) << name;
        out.push_back(std::move(l));
    }
#ifdef VELLUM_HAVE_SAMPLES
    for (const std::int32_t v : sample_game_versions())
        out.push_back({sample_file_name(v), make_sample_level(v)});
#endif
    return out;
}

} // namespace

TEST(UploadBatch, EveryObjectTextureGetsThePixelsOfOneByOnePreparation) {
    for (const auto& [name, level] : levels()) {
        SCOPED_TRACE(name);
        const QImage pages = build_pages_bitmap(level);
        // 32 bits differs from 24 only by a fourth byte: checked on the made level alone.
        for (const int bits : {24, 32}) {
            if (bits == 32 && name != "every size") continue;
            const auto one_thread = prepare_object_textures(level, bits, 1);
            const auto two_threads = prepare_object_textures(level, bits, 2);
            ASSERT_EQ(one_thread->entries.size(), level.object_textures.size());
            ASSERT_EQ(two_threads->entries.size(), level.object_textures.size());
            int differences = 0;
            for (std::size_t i = 0; i < level.object_textures.size(); ++i) {
                const upload_pixels one = prepare_upload(gl_texture_piece(pages, level, int(i)), bits);
                for (const auto* batch : {one_thread.get(), two_threads.get()}) {
                    const upload_pixels& e = batch->entries[i];
                    const bool same = e.width == one.width && e.height == one.height &&
                                      e.bytes_per_pixel == one.bytes_per_pixel &&
                                      std::equal(one.data.begin(), one.data.end(), e.pixels());
                    if (!same && differences++ < 3)
                        ADD_FAILURE() << "object texture " << i << ", " << bits << " bits";
                }
            }
            EXPECT_EQ(differences, 0) << bits << " bits";
        }
    }
}

TEST(UploadBatch, ALevelWithoutObjectTexturesPreparesNothing) {
    tr_level level = texture_fixtures::make_level(game_tr4, 1);
    const auto batch = prepare_object_textures(level, 24);
    EXPECT_TRUE(batch->entries.empty());
    EXPECT_EQ(batch->block_size, 0u);
}
