// Texture panel operations: hit test, rubber band, Define Mouse Selected, flips, Intensity Alpha.
#include "mesh_list.h"
#include "texture_panel.h"
#include "texture_table.h"
#include "tr_level.h"

#include <gtest/gtest.h>

namespace {

tobject_texture quad(std::uint16_t page, int x1, int y1, int x2, int y2) {
    tobject_texture t;
    t.page = page;
    t.corners[0] = {1, std::uint8_t(x1), 1, std::uint8_t(y1)};
    t.corners[1] = {255, std::uint8_t(x2), 1, std::uint8_t(y1)};
    t.corners[2] = {255, std::uint8_t(x2), 255, std::uint8_t(y2)};
    t.corners[3] = {1, std::uint8_t(x1), 255, std::uint8_t(y2)};
    return t;
}

tr_level level_with(std::vector<tobject_texture> textures, int game = game_tr3, int pages = 4) {
    tr_level lv;
    lv.game_version = game;
    lv.num_pages = std::uint32_t(pages);
    lv.set_num_object_textures(std::uint32_t(textures.size()));
    std::copy(textures.begin(), textures.end(), lv.object_textures.begin());
    return lv;
}

TEST(PageView, ClickPicksTheLowestIndexOnThePageEdgesIncluded) {
    auto lv = level_with({quad(1, 0, 0, 63, 63), quad(0, 32, 32, 95, 95), quad(0, 0, 0, 63, 63)});
    EXPECT_EQ(texture_at(lv, 0, 40, 40), 1); // overlap of 1 and 2: the lower index wins
    EXPECT_EQ(texture_at(lv, 0, 10, 10), 2);
    EXPECT_EQ(texture_at(lv, 0, 95, 95), 1); // right and bottom edges belong to the texture
    EXPECT_EQ(texture_at(lv, 0, 96, 40), -1);
    EXPECT_EQ(texture_at(lv, 1, 10, 10), 0);
    lv.object_textures[0].page = 0x8001; // the flag bit does not hide the page
    EXPECT_EQ(texture_at(lv, 1, 10, 10), 0);
}

TEST(PageView, DragAndDefineMouseSelectedMakeA64By64Texture) {
    auto lv = level_with({quad(0, 0, 0, 7, 7)});
    lv.object_textures[0].attribute = 1;
    page_selection sel;
    sel.press(10, 20);
    EXPECT_TRUE(sel.move(73, 83));
    EXPECT_FALSE(sel.hatched()); // 63 wide: clear frame
    EXPECT_TRUE(sel.move(74, 84));
    EXPECT_TRUE(sel.hatched());      // 64 x 64: cross-hatched
    EXPECT_FALSE(sel.move(300, 90)); // off the page: the end stays
    EXPECT_EQ(sel.end.x, 74);
    sel.release();
    user_message message;
    const int i = define_mouse_selected(lv, 2, sel, message);
    ASSERT_EQ(i, 1) << message;
    ASSERT_EQ(lv.num_object_textures, 2u);
    EXPECT_EQ(lv.object_textures[0].attribute, 1); // existing textures are kept
    const auto& t = lv.object_textures[1];
    EXPECT_EQ(t.page, 2);
    EXPECT_EQ(texture_bounds(t), (texture_rect{10, 20, 73, 83}));
    EXPECT_EQ(t.corners[1].x_frac, 255);
    EXPECT_EQ(t.corners[3].y_frac, 255);
    EXPECT_EQ(page_position_text(9, 19), " X=10    Y=20");
}

TEST(PageView, DefineMouseSelectedRefusesAnEmptyOrBackwardRectangle) {
    auto lv = level_with({});
    page_selection sel;
    sel.press(50, 50);
    sel.move(40, 60);
    user_message message;
    EXPECT_EQ(define_mouse_selected(lv, 0, sel, message), -1);
    EXPECT_FALSE(message.empty());
    // A SHIFT+click without dragging marks nothing, whatever an earlier drag marked.
    sel.press(10, 10);
    sel.move(74, 74);
    sel.release();
    sel.press(0, 0);
    sel.release();
    EXPECT_EQ(define_mouse_selected(lv, 0, sel, message), -1);
    EXPECT_EQ(lv.num_object_textures, 0u);
}

TEST(Flips, TwiceRestoreTheCornersAndOnceMirror) {
    auto four = quad(0, 10, 20, 73, 83);
    tobject_texture three;
    three.corners[0] = {1, 5, 1, 6};
    three.corners[1] = {255, 40, 1, 6};
    three.corners[2] = {1, 5, 255, 30};
    // At the page's top-left corner a vertical flip puts corner 4 on pixel (0, 0).
    const auto at_origin = quad(0, 0, 0, 63, 63);
    for (auto t : {four, three, at_origin}) {
        const auto original = t;
        flip_horizontal(t);
        EXPECT_NE(t, original);
        EXPECT_EQ(texture_bounds(t), texture_bounds(original));
        EXPECT_EQ(is_triangle(t), is_triangle(original));
        flip_horizontal(t);
        EXPECT_EQ(t, original);
        flip_vertical(t);
        EXPECT_EQ(texture_bounds(t), texture_bounds(original));
        flip_vertical(t);
        EXPECT_EQ(t, original);
    }
    flip_horizontal(four);
    EXPECT_TRUE(texture_mirror(four).left_right);
    EXPECT_FALSE(texture_mirror(four).top_bottom);
}

TEST(IntensityAlpha, OnlyFromTr3AndOnlyTheMeshesTextures) {
    mesh_list meshes;
    tmesh m;
    m.set_num_tex_rects(1);
    set_face_word(m.tex_rects[0], 4, 0x8001);
    m.set_num_tex_tris(1);
    set_face_word(m.tex_tris[0], 3, 4000); // beyond the texture count: ignored
    meshes.meshes.push_back(m);
    for (int game : {game_tr1, game_tr2_gold}) {
        auto lv = level_with({quad(0, 0, 0, 1, 1), quad(0, 0, 0, 1, 1)}, game);
        EXPECT_EQ(apply_intensity_alpha(lv, meshes, {0}),
                  "Intensity Alpha (Semi-transparent Texture Attrib) is just available from TR3 to TRC.");
        EXPECT_EQ(lv.object_textures[1].attribute, 0);
    }
    auto lv = level_with({quad(0, 0, 0, 1, 1), quad(0, 0, 0, 1, 1)}, game_tr3);
    EXPECT_EQ(apply_intensity_alpha(lv, meshes, {0, 7}), "");
    EXPECT_EQ(lv.object_textures[0].attribute, 0);
    EXPECT_EQ(lv.object_textures[1].attribute, 2);
}

} // namespace
