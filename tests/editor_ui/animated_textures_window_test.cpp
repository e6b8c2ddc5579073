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
    tr_level level;
    texture_table table;
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
    animated_textures_window window;
    window.fill({2, 2, 10, 11, 12, 0, 20}, &l.table);
    ASSERT_EQ(window.range_list->count(), 2);
    EXPECT_EQ(window.range_list->item(1)->text(), "Animated Texture #2");
    ASSERT_EQ(window.texture_list->count(), 3);
    EXPECT_EQ(window.texture_list->item(0)->text(), "Texture ID:10");
    window.range_list->setCurrentRow(1);
    ASSERT_EQ(window.texture_list->count(), 1);
    EXPECT_EQ(window.texture_list->item(0)->text(), "Texture ID:20");

    window.fill({1, 0, 700}, &l.table); // refilled: an index the level lacks is marked
    ASSERT_EQ(window.range_list->count(), 1);
    EXPECT_EQ(window.texture_list->item(0)->text(), "Texture ID:700 (not in this level)");
}

TEST(AnimatedTexturesWindow, PreviewLoopsOnlyWhileVisible) {
    textured_level l(60);
    animated_textures_window window;
    window.fill({1, 1, 3, 4}, &l.table);
    window.tick();
    EXPECT_TRUE(window.preview->pixmap().isNull()); // hidden: nothing is drawn
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.tick();
    EXPECT_EQ(window.preview->pixmap().size(), QSize(8, 4));
    window.adjust_check->setChecked(true);
    window.tick();
    EXPECT_EQ(window.preview->size(), QSize(64, 64));
    window.fill({0}, &l.table);
    window.tick();
    EXPECT_TRUE(window.preview->pixmap().isNull()); // no ranges: the preview is cleared
}

TEST(AnimatedTexturesWindow, DoubleClickSelectsTexture57AndCloses) {
    textured_level l(60);
    animated_textures_window window;
    int selected = -1;
    window.select_texture = [&](int t) { selected = t; };
    window.fill({1, 1, 56, 57}, &l.table);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QListWidgetItem* item = window.texture_list->item(1);
    ASSERT_EQ(item->text(), "Texture ID:57");
    const QPoint at = window.texture_list->visualItemRect(item).center();
    QTest::mouseClick(window.texture_list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(window.texture_list->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(selected, 57);
    EXPECT_FALSE(window.isVisible());
}
