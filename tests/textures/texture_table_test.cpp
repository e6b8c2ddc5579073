// Texture geometry (three corners, bounds, mirror, hit rectangle) and the texture table.
#include "texture_fixtures.h"
#include "texture_table.h"

#include <gtest/gtest.h>

using namespace texture_fixtures;

namespace {

tobject_texture::corner corner(int xf, int x, int yf, int y) {
    return {std::uint8_t(xf), std::uint8_t(x), std::uint8_t(yf), std::uint8_t(y)};
}

std::uint16_t pixel16(const QImage& image, int x, int y) {
    return reinterpret_cast<const std::uint16_t*>(image.constScanLine(y))[x];
}

} // namespace

TEST(TextureCorners, ThreeCornerRules) {
    tobject_texture t = make_texture(0, 10, 10, 20, 20);
    EXPECT_FALSE(is_triangle(t));
    t.corners[3] = corner(1, 0, 255, 0); // pixel (0, 0) whatever the fractions
    EXPECT_TRUE(is_triangle(t));
    t.corners[3] = corner(0, 40, 0, 50); // fractions both 0 whatever the pixels
    EXPECT_TRUE(is_triangle(t));
    t.corners[3] = corner(1, 0, 255, 5);
    EXPECT_FALSE(is_triangle(t));

    // Files that hold 0 in every fraction byte: only corner 4's pixels can mark three corners.
    for (auto& c : t.corners)
        c.x_frac = c.y_frac = 0;
    EXPECT_FALSE(is_triangle(t));
    t.corners[3] = corner(0, 0, 0, 0);
    EXPECT_TRUE(is_triangle(t));
}

TEST(TextureCorners, BoundsOfThreeCornerTexturesIgnoreCornerFour) {
    tobject_texture t;
    t.corners = {corner(1, 30, 1, 40), corner(255, 60, 1, 40), corner(1, 30, 255, 70), corner(0, 0, 0, 0)};
    EXPECT_EQ(texture_bounds(t), (texture_rect{30, 40, 60, 70}));
    t.corners[3] = corner(0, 200, 0, 220); // fractions 0: still three corners
    EXPECT_EQ(texture_bounds(t), (texture_rect{30, 40, 60, 70}));

    const tobject_texture column = make_texture(0, 7, 3, 7, 90);
    EXPECT_EQ(texture_bounds(column).width(), 1);
    EXPECT_EQ(texture_bounds(column).height(), 88);
}

TEST(TextureCorners, MirrorState) {
    tobject_texture t = make_texture(0, 10, 10, 20, 20);
    EXPECT_EQ(texture_mirror(t), (mirror_state{false, false}));
    std::swap(t.corners[0], t.corners[1]); // corner 1 now on the right
    EXPECT_EQ(texture_mirror(t), (mirror_state{true, false}));
    std::swap(t.corners[0], t.corners[2]); // corner 1 now at the bottom right
    EXPECT_EQ(texture_mirror(t), (mirror_state{true, true}));

    tobject_texture tri;
    tri.corners = {corner(255, 20, 1, 10), corner(1, 10, 1, 10), corner(255, 20, 255, 20),
                   corner(0, 0, 0, 0)};
    EXPECT_EQ(texture_mirror(tri), (mirror_state{false, false})); // corners 1 and 3 both at 255
    tri.corners[2] = corner(1, 10, 255, 20);                      // corner 3 moved to the left
    EXPECT_EQ(texture_mirror(tri), (mirror_state{true, false}));
}

TEST(TextureCorners, HitRectangleFallsBackToCornerTwo) {
    tobject_texture t = make_texture(0, 10, 20, 50, 60);
    EXPECT_EQ(hit_rect(t), (texture_rect{10, 20, 50, 60}));
    t.corners = {corner(255, 50, 255, 60), corner(1, 10, 1, 20), corner(255, 50, 1, 20), corner(0, 0, 0, 0)};
    EXPECT_EQ(hit_rect(t), (texture_rect{10, 20, 50, 60})); // x from corner 2, swapped
}

TEST(TextureTable, SixteenBitVersionsShowPages16) {
    tr_level level = make_level(game_tr3, 2);
    level.object_textures = {make_texture(1, 3, 4, 10, 20)};
    level.num_object_textures = 1;
    const texture_table table = build_texture_table(level);
    EXPECT_EQ(table.valid_mark, "Valido");
    EXPECT_EQ(table.texture_count, 1);
    EXPECT_EQ(table.piece_index, -1);
    EXPECT_EQ(table.level, &level);
    ASSERT_EQ(table.pages_bitmap.format(), QImage::Format_RGB16);
    ASSERT_EQ(table.pages_bitmap.size(), QSize(256, 512));
    for (int y = 0; y < 512; y += 7)
        for (int x = 0; x < 256; x += 5)
            ASSERT_EQ(pixel16(table.pages_bitmap, x, y),
                      page16_to_display_pixel(page16_at(level, std::size_t(y / 256), x, y % 256)));
}

TEST(TextureTable, Tr1ShowsPalette8InDisplayColours) {
    tr_level level = make_level(game_tr1, 1);
    level.palette8[3 * 7] = 63, level.palette8[3 * 7 + 1] = 63, level.palette8[3 * 7 + 2] = 0;
    level.pages8[5] = 7;
    const texture_table table = build_texture_table(level);
    EXPECT_EQ(pixel16(table.pages_bitmap, 5, 0), (31 << 11) | (63 << 5));
    const auto shown = palette8_display(level.palette8);
    for (int y = 0; y < 256; y += 3)
        for (int x = 0; x < 256; x += 3)
            ASSERT_EQ(pixel16(table.pages_bitmap, x, y),
                      shown[level.pages8[std::size_t(y) * 256 + std::size_t(x)]]);
}

TEST(TextureTable, TextureBitmapCutsMirrorsAndCaches) {
    tr_level level = make_level(game_tr2, 2);
    tobject_texture t = make_texture(1, 100, 50, 103, 52);
    std::swap(t.corners[0], t.corners[1]); // mirrored left-right
    std::swap(t.corners[2], t.corners[3]);
    std::swap(t.corners[0], t.corners[3]); // and top-bottom
    std::swap(t.corners[1], t.corners[2]);
    level.object_textures = {make_texture(1, 100, 50, 103, 52), t};
    level.num_object_textures = 2;
    texture_table table = build_texture_table(level);

    const QImage plain = texture_bitmap(table, 0);
    ASSERT_EQ(plain.size(), QSize(4, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(pixel16(plain, x, y), pixel16(table.pages_bitmap, 100 + x, 256 + 50 + y));

    const QImage& mirrored = texture_bitmap(table, 1);
    EXPECT_EQ(table.piece_index, 1);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(pixel16(mirrored, x, y), pixel16(plain, 3 - x, 2 - y));
    const std::uint8_t* bits = mirrored.constBits();
    EXPECT_EQ(texture_bitmap(table, 1).constBits(), bits); // same bitmap, no new copy
    // A request outside the table in between does not leave its white square cached for 1.
    EXPECT_EQ(texture_bitmap(table, 7).size(), QSize(4, 4));
    EXPECT_EQ(pixel16(texture_bitmap(table, 1), 0, 0), pixel16(plain, 3, 2));
}

TEST(TextureTable, IndicesOutsideTheTableGiveAWhiteFourByFour) {
    tr_level level = make_level(game_tr4, 1);
    texture_table table = build_texture_table(level);
    for (const int i : {-1, 0, 5}) {
        const QImage& b = texture_bitmap(table, i);
        ASSERT_EQ(b.size(), QSize(4, 4));
        EXPECT_EQ(pixel16(b, 3, 3), 0xFFFF);
        EXPECT_EQ(table.piece_index, -1);
    }
}

TEST(TextureTable, TexturesOnMissingPagesStayInsideTheBitmap) {
    tr_level level = make_level(game_tr2, 1);
    level.object_textures = {make_texture(9, 0, 10, 255, 255)};
    level.num_object_textures = 1;
    texture_table table = build_texture_table(level);
    const QImage& b = texture_bitmap(table, 0);
    EXPECT_EQ(b.size(), QSize(256, 246));
    EXPECT_EQ(pixel16(b, 255, 245), 0);
    EXPECT_EQ(gl_texture_piece(table.pages_bitmap, level, 0).size(), QSize(256, 246));
}

TEST(TextureTable, ListTexts) {
    EXPECT_EQ(texture_list_text(0), "Texture#0");
    EXPECT_EQ(texture_list_text(12), "Texture#12");
}
