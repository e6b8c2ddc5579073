// The editor on a builder-sized level: 329 texture pages, made from test1.tr4 by repeating its pages.
#include "big_level.h"
#include "editor_window_fixture.h"
#include "page_view.h"
#include "real_levels.h"
#include "level_stream.h"

#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <gtest/gtest.h>

namespace {

TEST_F(editor_window_fixture, ALevelOf329PagesOpensShowsItsLastPageAndTradesItsBigBmp) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4");
    const std::vector<std::uint8_t> small = read_whole_file(real_levels::path("test1.tr4"));
    const std::uint32_t own_pages = get_u16(&small[4]) + get_u16(&small[6]);
    const QString big = dir.filePath("big.tr4");
    const std::vector<std::uint8_t> bytes = repeat_pages_in_file(small, 329);
    ASSERT_FALSE(bytes.empty());
    write_file_atomic(big.toStdString(), bytes.data(), bytes.size());

    ASSERT_TRUE(w->open_path(big));
    EXPECT_TRUE(prompts.messages.empty());
    auto* pages = w->findChild<QComboBox*>("ComboBox1");
    auto* textures = w->findChild<QListWidget*>("ListBox1");
    ASSERT_TRUE(pages && textures);
    ASSERT_EQ(pages->count(), 329);
    EXPECT_EQ(std::uint32_t(textures->count()), w->document().level().num_object_textures);
    const QImage& all = w->document().table().pages_bitmap;
    ASSERT_EQ(all.height(), 329 * 256);

    // Page 329 repeats one of the level's own pages, and the page view shows it.
    pages->setCurrentIndex(328);
    const int same = int(328 % own_pages);
    const QImage shown =
        w->findChild<page_view_widget*>("Image1")->shown_page().convertToFormat(QImage::Format_RGB16);
    EXPECT_EQ(shown, all.copy(0, 328 * 256, 256, 256));
    EXPECT_EQ(shown, all.copy(0, same * 256, 256, 256));

    // The all-pages bitmap of 256 x 84224 goes out and comes back in unchanged.
    const QImage before = all.copy();
    const QString bmp = dir.filePath("all.bmp");
    prompts.save_choice = bmp.toStdString();
    w->findChild<QAction*>("ExportBigBMP1")->trigger();
    EXPECT_EQ(QImage(bmp).size(), QSize(256, 84224));
    prompts.open_choice = bmp.toStdString();
    w->findChild<QAction*>("ImportBigBMP1")->trigger();
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messages.front();
    EXPECT_EQ(w->document().table().pages_bitmap, before);
}

} // namespace
