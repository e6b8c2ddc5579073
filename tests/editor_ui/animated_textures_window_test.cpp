// The Animated Textures window as a user sees it: its lists, the preview, and the double-click
// that makes a texture current.
#include "animated_textures_window.h"

#include "texture_table.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A level with one page and `count` small object textures.
struct textured_level {
    Ttrlevel level;
    Ttabla_textures table;
    explicit textured_level(int count) {
        level.signature = loaded_signature;
        level.game_version = 3;
        level.add_texture_page();
        for (int i = 0; i < count; ++i) {
            tobject_texture t;
            const auto x = std::uint8_t(i % 32 * 8), y = std::uint8_t(i / 32 * 8);
            t.corners = {tobject_texture::corner{1, x, 1, y},
                         {255, std::uint8_t(x + 7), 1, y},
                         {255, std::uint8_t(x + 7), 255, std::uint8_t(y + 3)},
                         {1, x, 255, std::uint8_t(y + 3)}};
            level.object_textures.push_back(t);
        }
        level.num_object_textures = std::uint32_t(count);
        table = build_texture_table(level);
    }
};

} // namespace

TEST(AnimatedTexturesWindow, ListsTheRangesAndTheirTextures) {
    textured_level l(60);
    Tfanimated window;
    window.fill({2, 2, 10, 11, 12, 0, 20}, &l.table);
    ASSERT_EQ(window.ListBox1->count(), 2);
    EXPECT_EQ(window.ListBox1->item(1)->text(), "Animated Texture #2");
    ASSERT_EQ(window.ListBox2->count(), 3);
    EXPECT_EQ(window.ListBox2->item(0)->text(), "Texture ID:10");
    window.ListBox1->setCurrentRow(1);
    ASSERT_EQ(window.ListBox2->count(), 1);
    EXPECT_EQ(window.ListBox2->item(0)->text(), "Texture ID:20");

    window.fill({1, 0, 700}, &l.table); // refilled: an index the level lacks is marked
    ASSERT_EQ(window.ListBox1->count(), 1);
    EXPECT_EQ(window.ListBox2->item(0)->text(), "Texture ID:700 (not in this level)");
}

TEST(AnimatedTexturesWindow, PreviewLoopsOnlyWhileVisible) {
    textured_level l(60);
    Tfanimated window;
    window.fill({1, 1, 3, 4}, &l.table);
    window.Timer1Timer();
    EXPECT_TRUE(window.Image1->pixmap().isNull()); // hidden: nothing is drawn
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.Timer1Timer();
    EXPECT_EQ(window.Image1->pixmap().size(), QSize(8, 4));
    window.CheckBox1->setChecked(true);
    window.Timer1Timer();
    EXPECT_EQ(window.Image1->size(), QSize(64, 64));
    window.fill({0}, &l.table);
    window.Timer1Timer();
    EXPECT_TRUE(window.Image1->pixmap().isNull()); // no ranges: the preview is cleared
}

TEST(AnimatedTexturesWindow, DoubleClickSelectsTexture57AndCloses) {
    textured_level l(60);
    Tfanimated window;
    int selected = -1;
    window.select_texture = [&](int t) { selected = t; };
    window.fill({1, 1, 56, 57}, &l.table);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QListWidgetItem* item = window.ListBox2->item(1);
    ASSERT_EQ(item->text(), "Texture ID:57");
    const QPoint at = window.ListBox2->visualItemRect(item).center();
    QTest::mouseClick(window.ListBox2->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(window.ListBox2->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(selected, 57);
    EXPECT_FALSE(window.isVisible());
}
