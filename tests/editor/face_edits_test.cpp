// Clicks on a face: every click form, its status text, and the history steps it adds.
#include "editing_fixtures.h"
#include "face_edits.h"

#include <gtest/gtest.h>

namespace {

using namespace editing_fixtures;

struct clicking : ::testing::Test {
    // Mesh 0..2 of a TR4 moveable with 20 object textures; mesh 2 has 6 rectangles, 6 triangles.
    edit_level e = make_level(game_tr4, 20, {make_mesh(2, 1), make_mesh(1, 1), make_mesh(6, 6)});
    QUndoStack history;
    click_settings settings{target_kind::moveable, 7};

    face_click_outcome click(int mesh, int code, click_action action) {
        return click_face(history, e.meshes, e.level, face(mesh, code), action, settings);
    }
    const tmesh& mesh(int m) const { return e.meshes.meshes[std::size_t(m)]; }
};

TEST(ClickForms, InPointsModeOnlyTheVertexNumberActs) {
    auto e = make_level(game_tr4, 5, {make_mesh(2, 2)});
    e.meshes.render_mode = mode_points;
    const tmesh start = e.meshes.meshes[0];
    QUndoStack history;
    for (auto action :
         {click_action::apply, click_action::rotate, click_action::cut, click_action::get_texture}) {
        const auto out =
            click_face(history, e.meshes, e.level, face(0, 1), action, {target_kind::moveable, 1});
        EXPECT_FALSE(out.status);
    }
    EXPECT_EQ(e.meshes.meshes[0], start);
    EXPECT_EQ(history.count(), 0);
    EXPECT_EQ(click_face(history, e.meshes, e.level, face(0, 1), click_action::vertex_number, {}).status,
              "Mesh # 0      Vertex # 1");
}

TEST_F(clicking, PlainClickAppliesTheCurrentTextureAndReportsTheFace) {
    set_face_word(e.meshes.meshes[2].tex_rects[3], 4, 0x8005); // upper bits are replaced too
    const tmesh before = mesh(2);
    const auto out = click(2, 3, click_action::apply);
    EXPECT_EQ(out.status, "Mesh # 2      Polygon # 3      Polygon type: Quad");
    EXPECT_EQ(rect_texture(mesh(2).tex_rects[3]), 7);
    EXPECT_TRUE(out.redraw);
    EXPECT_EQ(history.count(), 1);
    EXPECT_EQ(history.undoText(), "Apply Texture");

    const auto tri_out = click(2, 1004, click_action::apply);
    EXPECT_EQ(tri_out.status, "Mesh # 2      Polygon # 4      Polygon type: Triangle");
    EXPECT_EQ(tri_texture(mesh(2).tex_tris[4]), 7);
    history.undo();
    history.undo();
    EXPECT_EQ(mesh(2), before);
    history.redo();
    EXPECT_EQ(rect_texture(mesh(2).tex_rects[3]), 7);
}

TEST_F(clicking, RotatingFourTimesOrThreeTimesGivesBackTheFace) {
    set_face_word(e.meshes.meshes[2].tex_rects[0], 0, 4);
    set_face_word(e.meshes.meshes[2].tex_rects[0], 1, 5);
    set_face_word(e.meshes.meshes[2].tex_rects[0], 2, 6);
    set_face_word(e.meshes.meshes[2].tex_rects[0], 3, 7);
    const tmesh start = mesh(2);
    const auto out = click(2, 0, click_action::rotate);
    EXPECT_EQ(out.status, "Mesh # 2      Polygon # 0      Polygon type: Quad");
    const auto& r = mesh(2).tex_rects[0];
    EXPECT_EQ((std::array{face_word(r, 0), face_word(r, 1), face_word(r, 2), face_word(r, 3)}),
              (std::array<std::uint16_t, 4>{7, 4, 5, 6}));
    EXPECT_EQ(history.undoText(), "Rotate Texture");
    for (int i = 0; i < 3; ++i)
        click(2, 0, click_action::rotate);
    EXPECT_EQ(mesh(2), start);
    for (int i = 0; i < 3; ++i)
        click(2, 1002, click_action::rotate);
    EXPECT_EQ(mesh(2), start);
    EXPECT_EQ(history.count(), 7); // every rotation is a step of its own
}

TEST_F(clicking, GetPicksTheTextureUpWithoutAStep) {
    set_face_word(e.meshes.meshes[2].tex_tris[5], 3, 0x9003); // upper bits: the low 12 bits count
    auto out = click(2, 1005, click_action::get_texture);
    EXPECT_EQ(out.status, "Mesh # 2      Polygon # 5      Polygon type: Triangle");
    EXPECT_EQ(out.picked_texture, 3);
    EXPECT_FALSE(out.redraw);
    EXPECT_EQ(history.count(), 0);

    set_face_word(e.meshes.meshes[2].tex_tris[5], 3, 25); // not in the level: nothing selected
    out = click(2, 1005, click_action::get_texture);
    EXPECT_FALSE(out.picked_texture);
}

TEST_F(clicking, PointsModeShowsTheVertexNumber) {
    const auto out = click(1, 6, click_action::vertex_number);
    EXPECT_EQ(out.status, "Mesh # 1      Vertex # 6");
    EXPECT_EQ(history.count(), 0);
}

TEST_F(clicking, CutCollapsesTheFaceOntoVertexZeroAndNamesTheCutFace) {
    auto& r = e.meshes.meshes[2].tex_rects[1];
    for (int k = 0; k < 4; ++k)
        set_face_word(r, k, std::uint16_t(4 + k));
    const auto out = click(2, 1, click_action::cut);
    EXPECT_EQ(out.status, "Mesh # 2      Polygon # 1      Polygon type: Quad"); // not the face before
    const auto& cut = mesh(2).tex_rects[1];
    EXPECT_EQ((std::array{face_word(cut, 0), face_word(cut, 1), face_word(cut, 2), face_word(cut, 3)}),
              (std::array<std::uint16_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(mesh(2).num_tex_rects, 6); // the face stays in its list
    EXPECT_EQ(history.undoText(), "Cut Face");
    click(2, 1, click_action::cut); // already cut: nothing changes, no step
    EXPECT_EQ(history.count(), 1);
}

TEST(ColouredFaces, ClicksReportTheColouredPolygonAndChangeNothing) {
    auto e = make_level(game_tr2, 10, {make_mesh(1, 1, 2, 2)});
    QUndoStack history;
    const tmesh start = e.meshes.meshes[0];
    const click_settings settings{target_kind::moveable, 3};
    struct row {
        int code;
        click_action action;
        std::optional<std::string> status;
    };
    const row rows[] = {
        {2001, click_action::apply, "Mesh # 0      Colored Polygon!"},
        {3000, click_action::rotate, "Mesh # 0      Colored Polygon!"},
        {2000, click_action::get_texture, "Mesh # 0       Colored Polygon!"},
        {3001, click_action::cut, "       Colored Polygon!"},
    };
    for (const row& r : rows) {
        const auto out = click_face(history, e.meshes, e.level, face(0, r.code), r.action, settings);
        EXPECT_EQ(out.status, r.status) << r.code;
    }
    EXPECT_EQ(e.meshes.meshes[0], start);
    EXPECT_EQ(history.count(), 0); // a click that changes nothing adds no step
}

TEST(StaticLights, EnabledLightsSetTheTickedCornersOnly) {
    auto e = make_level(game_tr3, 10, {make_mesh(2, 1, 0, 0, /*lit=*/true)});
    QUndoStack history;
    auto& r = e.meshes.meshes[0].tex_rects[1];
    for (int k = 0; k < 4; ++k)
        set_face_word(r, k, std::uint16_t(2 + k)); // vertices 2, 3, 4, 5
    click_settings s{target_kind::static_mesh, 6};
    s.lights_enabled = true;
    s.light_corners = {true, false, true, false};
    s.light_value = 4228;
    const auto out = click_face(history, e.meshes, e.level, face(0, 1), click_action::apply, s);
    EXPECT_EQ(out.status, "Mesh # 0      Polygon # 1      Polygon type: Quad");
    const auto& lights = e.meshes.meshes[0].lights;
    EXPECT_EQ(lights, (std::vector<std::int16_t>{100, 100, 4228, 100, 4228, 100, 100, 100}));
    EXPECT_EQ(rect_texture(e.meshes.meshes[0].tex_rects[1]), 1); // the texture stays
    EXPECT_EQ(history.undoText(), "Set Vertex Lights");

    // A moveable's mesh is textured, whatever the lights box says.
    s.target = target_kind::moveable_mesh;
    click_face(history, e.meshes, e.level, face(0, 1), click_action::apply, s);
    EXPECT_EQ(rect_texture(e.meshes.meshes[0].tex_rects[1]), 6);
}

TEST(Shine, PlainClickWithShineSetsTheEffectsWord) {
    struct row {
        int strength;
        bool transparent;
        std::uint16_t word;
    };
    for (const row& r : {row{0, true, 1}, row{31, false, 126}, row{16, false, 66}}) {
        auto e = make_level(game_trc, 10, {make_mesh(1, 2)});
        QUndoStack history;
        click_settings s{target_kind::moveable, 4};
        s.shine_enabled = true;
        s.shine_with_texture = false;
        s.shine_effects = shiny_word(r.strength, r.transparent);
        const auto out = click_face(history, e.meshes, e.level, face(0, 1001), click_action::apply, s);
        EXPECT_EQ(out.status, "Mesh # 0      Polygon # 1      Polygon type: Triangle");
        EXPECT_EQ(tri_effects(e.meshes.meshes[0].tex_tris[1]), r.word) << r.strength;
        EXPECT_EQ(tri_texture(e.meshes.meshes[0].tex_tris[1]), 1); // texture left alone
        EXPECT_EQ(history.undoText(), "Apply Shiny Effect");
    }
}

TEST(Shine, WithTextureAppliesBothInOneStepAndNeverOnStaticsOrOldGames) {
    auto e = make_level(game_tr4, 10, {make_mesh(2, 1)});
    QUndoStack history;
    click_settings s{target_kind::moveable, 4};
    s.shine_enabled = true;
    s.shine_effects = 66;
    click_face(history, e.meshes, e.level, face(0, 0), click_action::apply, s);
    EXPECT_EQ(rect_texture(e.meshes.meshes[0].tex_rects[0]), 4);
    EXPECT_EQ(rect_effects(e.meshes.meshes[0].tex_rects[0]), 66);
    EXPECT_EQ(history.count(), 1);

    s.target = target_kind::static_mesh; // shine alone on a static mesh: nothing, not even a text
    s.shine_with_texture = false;
    EXPECT_FALSE(click_face(history, e.meshes, e.level, face(0, 1), click_action::apply, s).status);
    EXPECT_EQ(rect_effects(e.meshes.meshes[0].tex_rects[1]), 0);
    EXPECT_EQ(history.count(), 1);
}

TEST(ApplyWithoutTexture, ChangesNothingAndSaysWhy) {
    auto none = make_level(game_tr4, 0, {make_mesh(1, 0)});
    auto some = make_level(game_tr4, 5, {make_mesh(1, 0)});
    QUndoStack history;
    for (auto* e : {&none, &some}) {
        const tmesh start = e->meshes.meshes[0];
        const int texture = e == &none ? 0 : -1; // no textures at all / no list selection
        const auto out = click_face(history, e->meshes, e->level, face(0, 0), click_action::apply,
                                    {target_kind::moveable, texture});
        ASSERT_TRUE(out.status);
        EXPECT_NE(out.status->english.find("exture"), std::string::npos) << *out.status;
        EXPECT_EQ(e->meshes.meshes[0], start);
    }
    EXPECT_EQ(history.count(), 0);
}

TEST(ClickNames, ANameOutsideTheMeshDoesNothing) {
    auto e = make_level(game_tr4, 5, {make_mesh(1, 1)});
    QUndoStack history;
    for (auto hit : {face(3, 0), face(0, 7), face(0, 1009)}) {
        const auto out =
            click_face(history, e.meshes, e.level, hit, click_action::rotate, {target_kind::moveable, 1});
        EXPECT_FALSE(out.status);
    }
    EXPECT_EQ(history.count(), 0);
}

} // namespace
