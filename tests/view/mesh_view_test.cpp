// Renderable-mesh rules: view coordinates, face textures and coordinates, names, greys.
#include "mesh_view.h"
#include "view_fixtures.h"

#include <gtest/gtest.h>

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
    Ttrlevel level = make_level(game_tr4, 2);
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

TEST(MeshView, FaceTextureNameFollowsTheRenderMode) {
    Ttrlevel level = make_level(game_tr4, 6);
    Tmesh_list list;
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
    Ttrlevel level = make_level(game_tr2, 6);
    Tmesh_list list;
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
