// Renderable-mesh rules: view coordinates, face textures and coordinates, names, greys.
#include "level_reader.h"
#include "mesh_view.h"
#include "view_fixtures.h"

#ifdef VELLUM_HAVE_SAMPLES
#include "sample_levels.h"
#endif

#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace {

using namespace view_test;

TEST(MeshView, ViewPositionDividesByHundredAndTurnsYAndZ) {
    const auto p = view_position({200, -100, 300}, 100.0f, 0, 0, 0);
    EXPECT_FLOAT_EQ(p[0], 2.0f);
    EXPECT_FLOAT_EQ(p[1], 1.0f);
    EXPECT_FLOAT_EQ(p[2], -3.0f);
    const auto q = view_position({200, -100, 300}, 100.0f, -1, -0.5, 1.5);
    EXPECT_FLOAT_EQ(q[0], 1.0f);
    EXPECT_FLOAT_EQ(q[1], 0.5f);
    EXPECT_FLOAT_EQ(q[2], -1.5f);
}

TEST(MeshView, TextureCoordinatesComeFromTheCornerFractions) {
    tr_level level = make_level(game_tr4, 2);
    auto& t = level.object_textures[1];
    t.corners[0] = {1, 9, 1, 9};
    t.corners[1] = {255, 9, 1, 9};
    t.corners[2] = {255, 9, 255, 9};
    t.corners[3] = {1, 9, 255, 9};
    using tc = std::array<std::array<float, 2>, 4>;
    EXPECT_EQ(face_tex_coords(level, 1), (tc{{{0, 0}, {1, 0}, {1, 1}, {0, 1}}}));

    // 0 and 1 are the low edge, anything above 1 the high edge; the order of the corners is
    // what rotates or mirrors the texture on a face.
    t.corners[0] = {2, 0, 0, 0};
    t.corners[1] = {0, 0, 2, 0};
    t.corners[2] = {1, 0, 1, 0};
    t.corners[3] = {255, 0, 255, 0};
    EXPECT_EQ(face_tex_coords(level, 0x8001), (tc{{{1, 0}, {0, 1}, {0, 0}, {1, 1}}}));
}

// Levels from newer builders store 127 in every used fraction byte: the corners' pixel positions
// say which edge each corner takes, so a rectangular texture spans its whole picture.
TEST(MeshView, BuilderFractionBytesStillSpanTheWholeTexture) {
    using tc = std::array<std::array<float, 2>, 4>;
    tr_level level = make_level(game_tr4, 2);
    auto& t = level.object_textures[1];
    t.corners[0] = {127, 40, 127, 8}; // top-right, top-left, bottom-left, bottom-right: mirrored
    t.corners[1] = {127, 9, 127, 8};
    t.corners[2] = {127, 9, 127, 30};
    t.corners[3] = {127, 40, 127, 30};
    EXPECT_EQ(face_tex_coords(level, 1), (tc{{{1, 0}, {0, 0}, {0, 1}, {1, 1}}}));

    // A three-corner texture: corner 4 unused (zero), the fourth face corner repeats the third.
    t.corners[0] = {127, 9, 127, 8};
    t.corners[1] = {127, 40, 127, 8};
    t.corners[2] = {127, 9, 127, 30};
    t.corners[3] = {0, 0, 0, 0};
    EXPECT_EQ(face_tex_coords(level, 1), (tc{{{0, 0}, {1, 0}, {0, 1}, {0, 0}}}));
}

// Every rectangular four-corner texture (two columns, two rows of corners) of the shared levels
// maps onto the four corners of its picture. Their fraction bytes are 0 (TR1, TR2) or 127 (TR3 to
// TRC) in every used corner: read from those bytes alone, each face would show a single texel.
TEST(MeshView, SharedLevelsTextureCoordinatesCoverTheirTextures) {
    int levels = 0;
    for (const char* name : {"test1.phd", "test1.tr2", "test1_tr3.tr2", "test1.tr4", "test1.trc"}) {
        const std::string path = std::string(VELLUM_SHARED_LEVELS) + "/" + name;
        if (!std::filesystem::exists(path)) continue;
        SCOPED_TRACE(name);
        tr_level level;
        ASSERT_EQ(read_level(level, path), read_ok);
        ++levels;
        int rectangles = 0, flat = 0;
        for (std::size_t i = 0; i < level.object_textures.size(); ++i) {
            const auto& c = level.object_textures[i].corners;
            const std::set<int> xs{c[0].x_pixel, c[1].x_pixel, c[2].x_pixel, c[3].x_pixel};
            const std::set<int> ys{c[0].y_pixel, c[1].y_pixel, c[2].y_pixel, c[3].y_pixel};
            if ((c[3].x_pixel == 0 && c[3].y_pixel == 0) || xs.size() != 2 || ys.size() != 2) continue;
            ++rectangles;
            const auto coords = face_tex_coords(level, std::uint16_t(i));
            flat += std::set<std::array<float, 2>>(coords.begin(), coords.end()).size() != 4;
        }
        EXPECT_GT(rectangles, 0);
        EXPECT_EQ(flat, 0) << "of " << rectangles << " rectangular textures";
    }
    if (levels == 0) GTEST_SKIP() << "no shared levels in " << VELLUM_SHARED_LEVELS;
}

#ifdef VELLUM_HAVE_SAMPLES
// The games' own fraction bytes (1 and 255, 0 in unused corners), as the samples of every version
// hold them, give exactly the coordinates those bytes alone give.
TEST(MeshView, ClassicFractionBytesGiveTheCoordinatesTheyAlwaysGave) {
    using tc = std::array<std::array<float, 2>, 4>;
    for (const std::int32_t v : sample_game_versions()) {
        const tr_level level = make_sample_level(v);
        SCOPED_TRACE(sample_file_name(v));
        ASSERT_FALSE(level.object_textures.empty());
        for (std::size_t i = 0; i < level.object_textures.size(); ++i) {
            const auto& c = level.object_textures[i].corners;
            tc by_fraction{};
            for (std::size_t k = 0; k < 4; ++k)
                by_fraction[k] = {c[k].x_frac > 1 ? 1.0f : 0.0f, c[k].y_frac > 1 ? 1.0f : 0.0f};
            EXPECT_EQ(face_tex_coords(level, std::uint16_t(i)), by_fraction) << "object texture " << i;
        }
    }
}
#endif

TEST(MeshView, FaceTextureNameFollowsTheRenderMode) {
    tr_level level = make_level(game_tr4, 6);
    mesh_list list;
    list.render_mode = mode_textured;
    EXPECT_EQ(face_texture_name(list, level, 0x8005), 6); // upper bits ignored
    list.render_mode = mode_solid;
    EXPECT_EQ(face_texture_name(list, level, 0x8005), SOLID_TEXTURE_NAME);
    list.render_mode = mode_wireframe;
    EXPECT_EQ(face_texture_name(list, level, 5), -1);
    list.render_mode = mode_points;
    EXPECT_EQ(face_texture_name(list, level, 5), -1);
}

TEST(MeshView, ATextureWordBeyondTheLevelsTexturesShowsTheSolidTexture) {
    tr_level level = make_level(game_tr2, 6);
    mesh_list list;
    list.render_mode = mode_textured;
    EXPECT_EQ(face_texture_name(list, level, 6), SOLID_TEXTURE_NAME);
    EXPECT_EQ(face_texture_name(list, level, 0x0FFF), SOLID_TEXTURE_NAME);
    using tc = std::array<std::array<float, 2>, 4>;
    EXPECT_EQ(face_tex_coords(level, 6), (tc{{{0, 0}, {1, 0}, {1, 1}, {0, 1}}}));
}

TEST(MeshView, SelectionNamesAndTheirDecoding) {
    EXPECT_EQ(selection_name(0, code_tex_tri + 7), 1007u * 65536 + 1);
    EXPECT_EQ(selection_name(4, code_col_rect + 2), 2002u * 65536 + 5);

    struct expected {
        int mesh, code;
        element_kind kind;
        int face;
    };
    for (const auto& e :
         {expected{0, 0, element_kind::tex_rect, 0}, expected{12, 999, element_kind::tex_rect, 999},
          expected{3, 1000, element_kind::tex_tri, 0}, expected{3, 1300, element_kind::tex_tri, 300},
          expected{65534, 2000, element_kind::col_rect, 0}, expected{7, 3300, element_kind::col_tri, 300}}) {
        const auto d = decode_name(selection_name(e.mesh, e.code));
        EXPECT_EQ(d.mesh, e.mesh);
        EXPECT_EQ(d.code, e.code);
        EXPECT_EQ(d.kind, e.kind);
        EXPECT_EQ(d.face, e.face);
    }
    EXPECT_EQ(decode_name(0).mesh, -1); // nothing picked
    // Meshes whose number does not fit the low half are drawn under a name that picks nothing,
    // never under one that designates mesh 0 or 1.
    EXPECT_EQ(selection_name(65535, 0), 0u);
    EXPECT_EQ(selection_name(65536, code_tex_tri + 3), 0u);
}

TEST(MeshView, GreysOfLitVertices) {
    EXPECT_EQ(vertex_grey(game_tr2, 16384), 127);
    EXPECT_EQ(vertex_grey(game_tr2, 32767), 255);
    EXPECT_EQ(vertex_grey(game_tr1, 0), 0);
    EXPECT_EQ(vertex_grey(game_tr2_gold, 128), 0); // 0.996 truncates
    EXPECT_EQ(vertex_grey(game_tr4, 9000), 255);   // limited to 8191
    EXPECT_EQ(vertex_grey(game_tr4, 8190), 254);
    EXPECT_EQ(vertex_grey(game_tr3, 32767), 255); // TR3 limits too
    EXPECT_EQ(vertex_grey(game_trc, 4096), 127);
}

} // namespace
