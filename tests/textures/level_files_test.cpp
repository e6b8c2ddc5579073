// The texture layer over real level files: the shared public levels of TR1 to TRC and the
// project's generated samples of all seven versions.
#include "bitmap_exchange.h"
#include "level_reader.h"
#include "level_writer.h"
#include "pixels.h"
#include "real_levels.h"
#include "texture_fixtures.h"
#include "texture_table.h"

#include <QTemporaryDir>
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

std::vector<named_level> shared_levels() {
    std::vector<named_level> out;
    for (const char* name : {"test1.phd", "test1.tr2", "test1_tr3.tr2", "test1.tr4", "test1.trc"}) {
        const std::string path = real_levels::path(name);
        if (!std::filesystem::exists(path)) continue;
        named_level l{name, {}};
        std::string error;
        EXPECT_EQ(read_level(l.level, path, &error), read_ok) << name << ": " << error;
        out.push_back(std::move(l));
    }
    return out;
}

std::vector<named_level> all_levels() {
    std::vector<named_level> out = shared_levels();
#ifdef VELLUM_HAVE_SAMPLES
    for (const std::int32_t v : sample_game_versions())
        out.push_back({sample_file_name(v), make_sample_level(v)});
#endif
    return out;
}

std::uint16_t pixel16(const QImage& image, int x, int y) {
    return reinterpret_cast<const std::uint16_t*>(image.constScanLine(y))[x];
}

} // namespace

TEST(LevelFiles, TextureTableShowsEveryPagePixelAndEveryTexture) {
    const auto levels = all_levels();
    if (levels.empty()) GTEST_SKIP() << "no level files";
    for (auto& [name, level] : levels) {
        SCOPED_TRACE(name);
        tr_level copy = level;
        texture_table table = build_texture_table(copy);
        ASSERT_EQ(table.pages_bitmap.size(), QSize(256, int(level.num_pages) * 256));
        ASSERT_EQ(table.texture_count, int(level.num_object_textures));
        const auto shown = palette8_display(level.palette8);
        const std::size_t pixels = std::size_t(level.num_pages) * page_pixels;
        const auto* display = reinterpret_cast<const std::uint16_t*>(table.pages_bitmap.constBits());
        for (std::size_t i = 0; i < pixels; ++i) {
            const std::uint16_t want = level.game_version >= game_tr2
                                           ? page16_to_display_pixel(get_u16(&level.pages16[2 * i]))
                                           : shown[level.pages8[i]];
            ASSERT_EQ(display[i], want) << "pixel " << i;
        }
        for (int i = 0; i < table.texture_count; ++i) {
            const tobject_texture& t = level.object_textures[std::size_t(i)];
            const texture_rect r = texture_bounds(t);
            ASSERT_LE(r.left, r.right);
            const QImage& piece = texture_bitmap(table, i);
            ASSERT_EQ(piece.size(), QSize(r.width(), r.height())) << i;
            const mirror_state m = texture_mirror(t);
            const int x = m.left_right ? r.width() - 1 : 0, y = m.top_bottom ? r.height() - 1 : 0;
            if (texture_page(t) < level.num_pages) {
                EXPECT_EQ(pixel16(piece, x, y),
                          pixel16(table.pages_bitmap, r.left, int(texture_page(t)) * 256 + r.top))
                    << i;
            }
        }
    }
}

TEST(LevelFiles, BigBmpThroughAFileLeavesEveryPageArrayUnchanged) {
    auto levels = shared_levels();
    if (levels.empty()) GTEST_SKIP() << "no shared levels";
    QTemporaryDir dir;
    for (auto& [name, level] : levels) {
        SCOPED_TRACE(name);
        texture_table table = build_texture_table(level);
        const std::string path = dir.filePath("pages.bmp").toStdString();
        ASSERT_TRUE(save_bitmap(export_big_bmp(table), path));
        QImage loaded;
        ASSERT_TRUE(load_bitmap(path, loaded));
        const tr_level before = level;
        ASSERT_TRUE(import_big_bmp(level, table, loaded));
        EXPECT_TRUE(level.pages8 == before.pages8);
        EXPECT_TRUE(level.pages16 == before.pages16);
        EXPECT_TRUE(level.pages32 == before.pages32);
    }
}

// The plain nearest-colour reduction of the TR1 display copy changes exactly the pixels whose
// palette entry shares its 5-6-5 colour with a lower entry; write_pages keeps them all.
TEST(LevelFiles, Tr1PaletteReductionChangesOnlyColoursThatCollideAtDisplayPrecision) {
    auto levels = shared_levels();
    auto it = std::find_if(levels.begin(), levels.end(),
                           [](auto& l) { return l.level.game_version <= game_tr1_gold; });
    if (it == levels.end()) GTEST_SKIP() << "no TR1 level";
    const tr_level& level = it->level;
    const auto shown = palette8_display(level.palette8);
    palette_matcher matcher(level.palette8);
    std::size_t changed = 0, colliding = 0;
    for (std::size_t i = 0; i < std::size_t(level.num_pages) * page_pixels; ++i) {
        const std::uint8_t index = level.pages8[i];
        const bool collides =
            std::find(shown.begin(), shown.begin() + index, shown[index]) != shown.begin() + index;
        colliding += collides;
        changed += matcher.nearest(display_to_rgb(shown[index])) != index;
    }
    EXPECT_EQ(changed, colliding);
    RecordProperty("pixels_changed_by_plain_reduction", std::to_string(changed));
    std::printf("TR1 %s: %zu of %zu pixels would change by plain palette reduction\n", it->name.c_str(),
                changed, std::size_t(level.num_pages) * page_pixels);
}

TEST(LevelFiles, ExportAllThenImportLeavesPagesUnchanged) {
    auto levels = all_levels();
    if (levels.empty()) GTEST_SKIP() << "no level files";
    for (auto& [name, level] : levels) {
        SCOPED_TRACE(name);
        texture_table table = build_texture_table(level);
        const tr_level before = level;
        int exported = 0;
        for (std::size_t n = 0; n < level.moveables.size() && exported < 12; ++n) {
            const auto meshes = moveable_face_textures(level, n);
            ASSERT_TRUE(meshes) << "moveable " << n;
            QImage out;
            if (!export_all(level, table, *meshes, out)) continue;
            ASSERT_LE(out.width(), 256);
            ASSERT_TRUE(import_and_replace(level, table, *meshes, out));
            ++exported;
        }
        for (std::size_t n = 0; n < level.static_meshes.size() && n < 12; ++n) {
            const auto meshes = static_face_textures(level, n);
            ASSERT_TRUE(meshes) << "static " << n;
            QImage out;
            if (export_all(level, table, *meshes, out)) {
                ASSERT_TRUE(import_and_replace(level, table, *meshes, out));
            }
        }
        EXPECT_GT(exported, 0);
        EXPECT_TRUE(level.pages8 == before.pages8);
        EXPECT_TRUE(level.pages16 == before.pages16);
        EXPECT_TRUE(level.pages32 == before.pages32);
    }
}

TEST(LevelFiles, ImportedPagesSurviveSavingAndReading) {
    auto levels = shared_levels();
    if (levels.empty()) GTEST_SKIP() << "no shared levels";
    for (auto& [name, level] : levels) {
        SCOPED_TRACE(name);
        texture_table table = build_texture_table(level);
        QImage page(256, 256, QImage::Format_RGB888);
        page.fill(QColor(40, 160, 220));
        page.setPixel(3, 4, qRgb(255, 0, 255));
        ASSERT_TRUE(import_texture_pages(level, table, page));
        tr_level back;
        std::string error;
        ASSERT_EQ(read_level_memory(back, write_level_memory(level, name), name, &error), read_ok) << error;
        EXPECT_EQ(back.num_pages, level.num_pages);
        EXPECT_TRUE(back.pages8 == level.pages8);
        EXPECT_TRUE(back.pages16 == level.pages16);
        EXPECT_TRUE(back.pages32 == level.pages32);
    }
}

// True when the level's fraction bytes are the games' own: 1 and 255 (0 in unused corners).
bool classic_fractions(const tr_level& level) {
    bool used = false;
    for (const tobject_texture& t : level.object_textures)
        for (const auto& c : t.corners)
            for (const std::uint8_t f : {c.x_frac, c.y_frac}) {
                if (f != 0 && f != 1 && f != 255) return false;
                used = used || f != 0;
            }
    return used;
}

// Files holding the games' own fraction bytes: reading the corner sides from the pixels changes
// neither the three-corner test, the mirror state (flip boxes, previews, exports) nor a
// triangle's outline there.
TEST(LevelFiles, ClassicTexturesKeepTheirCornersMirrorStateAndOutline) {
    int levels = 0;
    for (auto& [name, level] : all_levels()) {
        if (!classic_fractions(level)) continue;
        SCOPED_TRACE(name);
        ++levels;
        int differences = 0;
        for (const tobject_texture& t : level.object_textures) {
            const auto& c = t.corners;
            const bool three =
                (c[3].x_pixel == 0 && c[3].y_pixel == 0) || (c[3].x_frac == 0 && c[3].y_frac == 0);
            differences += is_triangle(t) != three;
            const mirror_state by_fraction = three ? mirror_state{c[0].x_frac == 255 && c[2].x_frac != 255,
                                                                  c[0].y_frac == 255 && c[2].y_frac != 255}
                                                   : mirror_state{c[0].x_frac == 255, c[0].y_frac == 255};
            differences += texture_mirror(t) != by_fraction;
            if (!three) continue;
            const auto outline = triangle_outline(t, 32, 16);
            for (std::size_t k = 0; k < 3; ++k)
                differences += outline[k] !=
                               std::array<int, 2>{c[k].x_frac == 255 ? 31 : 1, c[k].y_frac == 255 ? 15 : 1};
        }
        EXPECT_EQ(differences, 0);
    }
    if (levels == 0) GTEST_SKIP() << "no level with the games' own fraction bytes";
}

// A builder-made level's textures (127 in the fraction bytes) are mirrored when their corner order
// says so, like classic ones.
TEST(TextureCorners, BuilderFractionBytesMirrorByCornerPosition) {
    const auto builder = [](tobject_texture t) {
        for (auto& c : t.corners)
            c.x_frac = c.y_frac = 127;
        return t;
    };
    tobject_texture t = builder(texture_fixtures::make_texture(0, 10, 10, 20, 30));
    EXPECT_EQ(texture_mirror(t), (mirror_state{false, false}));
    std::swap(t.corners[0], t.corners[1]);
    std::swap(t.corners[2], t.corners[3]);
    EXPECT_EQ(texture_mirror(t), (mirror_state{true, false}));
    std::swap(t.corners[0], t.corners[3]);
    std::swap(t.corners[1], t.corners[2]);
    EXPECT_EQ(texture_mirror(t), (mirror_state{true, true}));

    // Three corners: top-right, top-left, bottom-left; corner 4 unused.
    tobject_texture tri = builder(texture_fixtures::make_texture(0, 10, 10, 20, 30));
    tri.corners = {tri.corners[1], tri.corners[0], tri.corners[3], tobject_texture::corner{}};
    EXPECT_EQ(texture_mirror(tri), (mirror_state{true, false}));
    EXPECT_EQ(triangle_outline(tri, 11, 21), (std::array<std::array<int, 2>, 3>{{{10, 1}, {1, 1}, {1, 20}}}));
}
