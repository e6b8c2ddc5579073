// Whole-mesh commands: Convert, Retexture, Apply to All Faces, Change All, and their history steps.
#include "editing_fixtures.h"
#include "face_edits.h"
#include "mesh_commands.h"

#include <gtest/gtest.h>

namespace {

using namespace editing_fixtures;

TEST(Convert, ColouredFacesFollowTheTexturedOnesWithTheCurrentTexture) {
    auto e = make_level(game_tr2, 12, {make_mesh(10, 2, 3, 1)});
    const tmesh start = e.meshes.meshes[0];
    QUndoStack history;
    const auto out = convert_coloured(history, e.meshes, e.level, {target_kind::moveable, 0}, 9);
    EXPECT_TRUE(out.message.empty()) << out.message;
    EXPECT_TRUE(out.redraw);
    const tmesh& m = e.meshes.meshes[0];
    ASSERT_EQ(m.num_tex_rects, 13);
    ASSERT_EQ(m.num_tex_tris, 3);
    EXPECT_EQ(m.num_col_rects, 0);
    EXPECT_EQ(m.num_col_tris, 0);
    for (int k = 0; k < 3; ++k) {
        const auto& r = m.tex_rects[std::size_t(10 + k)];
        EXPECT_EQ(rect_texture(r), 9);
        for (int w = 0; w < 4; ++w)
            EXPECT_EQ(face_word(r, w), face_word(start.col_rects[std::size_t(k)], w));
    }
    EXPECT_EQ(tri_texture(m.tex_tris[2]), 9);
    EXPECT_EQ(face_word(m.tex_tris[2], 2), face_word(start.col_tris[0], 2));
    EXPECT_EQ(history.undoText(), "Convert Colored to Textured Faces");
    history.undo();
    EXPECT_EQ(e.meshes.meshes[0], start);
}

TEST(Convert, OverCapacityRefusesNamingTheMeshAndCounts) {
    // Mesh 1 of the moveable would end with 502 rectangles; mesh 0 alone would fit.
    auto e = make_level(game_tr1, 4, {make_mesh(1, 0, 2, 0), make_mesh(500, 0, 2, 0)});
    const auto start = e.meshes.meshes;
    QUndoStack history;
    const auto out = convert_coloured(history, e.meshes, e.level, {target_kind::moveable, 0}, 1);
    EXPECT_EQ(out.message,
              "Mesh # 1 cannot be converted: 500 textured + 2 colored rectangles = 502, more than "
              "501. Nothing was changed.");
    EXPECT_EQ(e.meshes.meshes, start);
    EXPECT_EQ(history.count(), 0);
}

TEST(Convert, StaticMeshesAndMeshesWithoutColouredFacesAreLeftAloneTheLatterWithAWord) {
    auto e = make_level(game_tr3, 4, {make_mesh(1, 1, 1, 1)});
    QUndoStack history;
    EXPECT_TRUE(convert_coloured(history, e.meshes, e.level, {target_kind::static_mesh, -1, 0}, 1).redraw);
    auto tr4 = make_level(game_tr4, 4, {make_mesh(1, 1)});
    const auto nothing = convert_coloured(history, tr4.meshes, tr4.level, {target_kind::moveable, 0}, 1);
    EXPECT_TRUE(nothing.redraw);
    EXPECT_EQ(nothing.message.key, "NothingColoured"); // said, not silently ignored
    EXPECT_EQ(history.count(), 0);
    EXPECT_EQ(e.meshes.meshes[0].num_col_rects, 1);
}

TEST(Retexture, EveryTexturedFaceOfEveryTargetMeshGetsTheTexture) {
    auto e = make_level(game_tr4, 30, {make_mesh(3, 2), make_mesh(1, 4), make_mesh(2, 2)});
    QUndoStack history;
    retexture(history, e.meshes, e.level, {target_kind::moveable, 0}, 21);
    for (const tmesh& m : e.meshes.meshes) {
        for (const auto& r : m.tex_rects)
            EXPECT_EQ(rect_texture(r), 21);
        for (const auto& t : m.tex_tris)
            EXPECT_EQ(tri_texture(t), 21);
    }
    EXPECT_EQ(history.count(), 1); // one step for the whole moveable

    const auto refused = retexture(history, e.meshes, e.level, {target_kind::moveable_mesh, -1, 1}, 30);
    EXPECT_EQ(refused.message, "Texture# 30 does not exist: the level has 30 object textures.");
    EXPECT_EQ(history.count(), 1);
}

TEST(ApplyToAllFaces, MessagesForOldGamesAndStaticMeshes) {
    QUndoStack history;
    auto tr3 = make_level(game_tr3, 4, {make_mesh(1, 1)});
    EXPECT_EQ(
        apply_shiny_to_all(history, tr3.meshes, tr3.level, {target_kind::moveable, 0}, 66, true, 1).message,
        "Shinny Effect Just available for TR4 and TRC!!");
    auto tr4 = make_level(game_tr4, 4, {make_mesh(1, 1)});
    EXPECT_EQ(
        apply_shiny_to_all(history, tr4.meshes, tr4.level, {target_kind::static_mesh, -1, 0}, 66, true, 1)
            .message,
        "Shinny Effect cannot be aplied to Static Meshes!!");
    EXPECT_EQ(history.count(), 0);
}

TEST(ApplyToAllFaces, EveryMeshOfAMoveableGetsTheSameWord) {
    std::vector<tmesh> twelve(12, make_mesh(2, 3));
    auto e = make_level(game_trc, 8, twelve);
    QUndoStack history;
    auto out = apply_shiny_to_all(history, e.meshes, e.level, {target_kind::moveable, 0},
                                  shiny_word(31, false), false, 5);
    EXPECT_FALSE(out.redraw); // the view does not show the effects word
    for (const tmesh& m : e.meshes.meshes) {
        for (const auto& r : m.tex_rects) {
            EXPECT_EQ(rect_effects(r), 126);
            EXPECT_EQ(rect_texture(r), 1);
        }
        for (const auto& t : m.tex_tris)
            EXPECT_EQ(tri_effects(t), 126);
    }
    out = apply_shiny_to_all(history, e.meshes, e.level, {target_kind::moveable, 0}, 66, true, 5);
    EXPECT_TRUE(out.redraw);
    EXPECT_EQ(tri_texture(e.meshes.meshes[11].tex_tris[2]), 5);
    EXPECT_EQ(history.count(), 2);
}

TEST(ChangeAll, SetsEveryLightOnlyWithLightsEnabledOnALitStatic) {
    auto e = make_level(game_tr2, 4, {make_mesh(1, 0, 0, 0, true), make_mesh(1, 0)});
    QUndoStack history;
    const mesh_target lit{target_kind::static_mesh, -1, 0};
    EXPECT_FALSE(change_all_lights(history, e.meshes, lit, false, 500).changed);
    EXPECT_FALSE(change_all_lights(history, e.meshes, {target_kind::static_mesh, -1, 1}, true, 500).changed);
    EXPECT_TRUE(change_all_lights(history, e.meshes, lit, true, 500).changed);
    EXPECT_EQ(e.meshes.meshes[0].lights, std::vector<std::int16_t>(8, 500));
    EXPECT_EQ(history.undoText(), "Change All Lights");
}

TEST(Sliders, LightValueAndShinyWordPerGame) {
    struct row {
        std::int32_t game;
        int position;
        std::int16_t light;
    };
    for (const row& r : {row{game_tr1, 31, 32767}, row{game_tr2, 31, 32767}, row{game_tr2_gold, 16, 16912},
                         row{game_tr3, 31, 8191}, row{game_tr4, 16, 4228}, row{game_trc, 0, 0}})
        EXPECT_EQ(light_value(r.game, r.position), r.light) << r.game << " " << r.position;
    EXPECT_EQ(shiny_word(0, true), 1);
    EXPECT_EQ(shiny_word(31, false), 126);
    EXPECT_EQ(shiny_word(16, false), 66);
}

TEST(History, MouseEditsAndMenuCommandsAreUndoneNewestFirst) {
    auto e = make_level(game_tr4, 10, {make_mesh(2, 1), make_mesh(2, 1), make_mesh(2, 1)});
    const auto start = e.meshes.meshes;
    QUndoStack history;
    const click_settings s{target_kind::moveable, 3};
    click_face(history, e.meshes, e.level, face(0, 1), click_action::apply, s);
    const auto after_apply = e.meshes.meshes;
    click_face(history, e.meshes, e.level, face(2, 0), click_action::get_texture, s); // no step
    click_face(history, e.meshes, e.level, face(0, 0), click_action::rotate, s);
    const auto after_rotate = e.meshes.meshes;
    retexture(history, e.meshes, e.level, {target_kind::moveable_mesh, -1, 0}, 8);
    ASSERT_EQ(history.count(), 3);

    EXPECT_EQ(history.undoText(), "Retexture");
    history.undo();
    EXPECT_EQ(e.meshes.meshes, after_rotate);
    EXPECT_EQ(history.undoText(), "Rotate Texture");
    history.undo();
    EXPECT_EQ(e.meshes.meshes, after_apply);
    history.undo();
    EXPECT_EQ(e.meshes.meshes, start);
    history.redo();
    history.redo();
    EXPECT_EQ(e.meshes.meshes, after_rotate);
    // A new edit after an undo drops the redo steps.
    click_face(history, e.meshes, e.level, face(1, 1000), click_action::cut, s);
    EXPECT_FALSE(history.canRedo());
}

} // namespace
