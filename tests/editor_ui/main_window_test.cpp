// The main window driven as a user would: opening levels, selecting in the tree, the texture
// panel, and the questions before unsaved work is lost.
#include "gl_viewport.h"
#include "main_window.h"
#include "page_view.h"
#include "scripted_prompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

const QString shared = VELLUM_SHARED_LEVELS;

struct window_fixture : ::testing::Test {
    QTemporaryDir dir;
    std::unique_ptr<QSettings> store;
    scripted_prompts prompts;
    std::unique_ptr<TForm1> w;
    void SetUp() override {
        store = std::make_unique<QSettings>(dir.filePath("store.ini"), QSettings::IniFormat);
        w = std::make_unique<TForm1>(VELLUM_APP_DIR, store.get(), &prompts);
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    }
    void TearDown() override {
        w->doc.modified = false;
        w->close();
        w.reset();
    }
    QTreeWidgetItem* movables() { return w->TreeView1->topLevelItem(0)->child(0); }
    QTreeWidgetItem* statics() { return w->TreeView1->topLevelItem(0)->child(1); }
};

TEST_F(window_fixture, OpeningATr4LevelFillsTreePagesTextureListAndCaptions) {
    ASSERT_TRUE(w->open_path(shared + "/test1.tr4"));
    EXPECT_TRUE(prompts.messages.empty());
    ASSERT_EQ(w->TreeView1->topLevelItemCount(), 1);
    EXPECT_EQ(w->TreeView1->topLevelItem(0)->text(0), "test1.tr4 (TR 4)");
    EXPECT_EQ(movables()->text(0), "Movables");
    EXPECT_EQ(statics()->text(0), "Static Meshes");
    EXPECT_EQ(std::uint32_t(movables()->childCount()), w->doc.level->num_moveables);
    EXPECT_EQ(std::uint32_t(w->ComboBox1->count()), w->doc.level->num_pages);
    EXPECT_EQ(w->ComboBox1->itemText(0), "Page#1");
    EXPECT_EQ(std::uint32_t(w->ListBox1->count()), w->doc.level->num_object_textures);
    EXPECT_EQ(w->ListBox1->item(0)->text(), "Texture#0");
    EXPECT_EQ(w->ListBox1->currentRow(), 0);
    EXPECT_EQ(w->GroupBox1->title(), "\"test1.tr4\" Textures");
    EXPECT_EQ(w->windowTitle(), "Vellum v.2.2 Rev 0   \"" + (shared + "/test1.tr4").toLower() + "\"");
    EXPECT_TRUE(w->Image1->has_picture());
    EXPECT_EQ(w->recent_items[0]->text(), shared + "/test1.tr4");
    EXPECT_EQ(w->recent_items[1]->text(), "None");
}

TEST_F(window_fixture, EverySharedLevelOpens) {
    for (const char* name : {"test1.phd", "test1.tr2", "test1_tr3.tr2", "test1.tr4", "test1.trc"}) {
        ASSERT_TRUE(w->open_path(shared + "/" + name)) << name;
        EXPECT_EQ(w->TreeView1->topLevelItem(0)->childCount(), 2);
        EXPECT_EQ(std::uint32_t(w->ListBox1->count()), w->doc.level->num_object_textures);
    }
    EXPECT_EQ(w->recent_items[0]->text(), shared + "/test1.trc");
    EXPECT_EQ(w->recent_items[4]->text(), shared + "/test1.phd");
}

TEST_F(window_fixture, SelectingTreeNodesSetsTheSceneAndStatus) {
    ASSERT_TRUE(w->open_path(shared + "/test1.phd"));
    ASSERT_GT(statics()->childCount(), 0);
    w->TreeView1->setCurrentItem(statics()->child(0));
    EXPECT_EQ(w->scene.sel_kind, 1);
    EXPECT_EQ(w->scene.sel_mesh, w->doc.meshes.mesh_index[get_u16(&w->doc.level->static_meshes[0][4])]);
    EXPECT_TRUE(w->status[1]->text().startsWith("Number of Vertex: ")) << w->status[1]->text().toStdString();

    w->TreeView1->setCurrentItem(movables()->child(0));
    EXPECT_EQ(w->scene.sel_kind, 0);
    EXPECT_EQ(w->scene.sel_moveable, 0);
    EXPECT_EQ(w->scene.show_box, 0);

    ASSERT_GT(movables()->child(0)->childCount(), 1);
    w->TreeView1->setCurrentItem(movables()->child(0)->child(1));
    EXPECT_EQ(w->scene.sel_kind, 1);
    EXPECT_EQ(w->scene.sel_mesh, w->doc.meshes.mesh_index[get_u16(&w->doc.level->moveables[0][6]) + 1u]);

    w->TreeView1->setCurrentItem(movables());
    EXPECT_EQ(w->scene.sel_moveable, -1);
    EXPECT_EQ(w->scene.sel_mesh, -1);
    EXPECT_TRUE(w->status[1]->text().isEmpty());
}

TEST_F(window_fixture, ClickingTheFirstTexturesCornerOnThePageViewSelectsIt) {
    ASSERT_TRUE(w->open_path(shared + "/test1.tr2"));
    // A texture on page 1 (the second page), found through the page selector's own switch.
    int target = -1;
    for (std::size_t i = 0; i < w->doc.level->object_textures.size(); ++i)
        if ((w->doc.level->object_textures[i].page & 0x7FFF) == 1) {
            target = int(i);
            break;
        }
    ASSERT_GE(target, 0);
    w->ListBox1->setCurrentRow(target);
    EXPECT_EQ(w->ComboBox1->currentIndex(), 1); // the page selector follows the texture
    w->ListBox1->setCurrentRow(0);
    w->ComboBox1->setCurrentIndex(1);
    const auto& t = w->doc.level->object_textures[std::size_t(target)];
    QTest::mouseClick(w->Image1, Qt::LeftButton, {}, QPoint(t.corners[0].x_pixel, t.corners[0].y_pixel));
    const int expected = texture_at(*w->doc.level, 1, t.corners[0].x_pixel, t.corners[0].y_pixel);
    EXPECT_EQ(w->ListBox1->currentRow(), expected);
    EXPECT_LE(expected, target);
}

TEST_F(window_fixture, ShiftDragThenDefineMouseSelectedAddsATexture) {
    ASSERT_TRUE(w->open_path(shared + "/test1_tr3.tr2"));
    const int before = w->ListBox1->count();
    QTest::mousePress(w->Image1, Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 20));
    QTest::mouseMove(w->Image1, QPoint(74, 84));
    w->Image1MouseMove(74, 84); // synthetic moves without a button are not always delivered
    QTest::mouseRelease(w->Image1, Qt::LeftButton, Qt::ShiftModifier, QPoint(74, 84));
    w->DefineMouseSelected1Click();
    ASSERT_EQ(w->ListBox1->count(), before + 1);
    EXPECT_EQ(w->ListBox1->currentRow(), before);
    const auto& t = w->doc.level->object_textures.back();
    EXPECT_EQ(t.corners[2].x_pixel, 73);
    EXPECT_EQ(t.corners[2].y_pixel, 83);
    EXPECT_TRUE(w->doc.modified);
    EXPECT_EQ(w->status[2]->text(), " X=75    Y=85");
}

TEST_F(window_fixture, ACorruptFileLeavesTheOpenLevelUsable) {
    ASSERT_TRUE(w->open_path(shared + "/test1.tr2"));
    const auto bad = dir.filePath("bad.tr2");
    {
        std::ifstream in((shared + "/test1.tr2").toStdString(), std::ios::binary);
        std::vector<char> head(300000);
        in.read(head.data(), std::streamsize(head.size()));
        std::ofstream(bad.toStdString(), std::ios::binary).write(head.data(), std::streamsize(head.size()));
    }
    EXPECT_FALSE(w->open_path(bad));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(w->TreeView1->topLevelItem(0)->text(0), "test1.tr2 (TR 2)");
    w->TreeView1->setCurrentItem(movables()->child(0));
    EXPECT_EQ(w->scene.sel_moveable, 0);
    EXPECT_EQ(w->windowTitle(), "Vellum v.2.2 Rev 0   \"" + (shared + "/test1.tr2").toLower() + "\"");
}

TEST_F(window_fixture, UnsavedChangesAskBeforeAnotherLevelReplacesThem) {
    ASSERT_TRUE(w->open_path(shared + "/test1.tr4"));
    w->CheckBox1->click(); // flips the current texture: an edit
    ASSERT_TRUE(w->doc.modified);
    prompts.answers = {answer::cancel};
    EXPECT_FALSE(w->open_path(shared + "/test1.phd"));
    EXPECT_EQ(w->doc.level->game_version, game_tr4);
    ASSERT_EQ(prompts.questions.size(), 1u);
    prompts.answers = {answer::no};
    EXPECT_TRUE(w->open_path(shared + "/test1.phd"));
    EXPECT_EQ(w->doc.level->game_version, game_tr1);
}

TEST_F(window_fixture, ApplyIntensityAlphaOnTr2ExplainsWhyNot) {
    ASSERT_TRUE(w->open_path(shared + "/test1.tr2"));
    w->TreeView1->setCurrentItem(movables()->child(0));
    w->ApplyIntensityAlpha1Click();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0],
              "Intensity Alpha (Semi-transparent Texture Attrib) is just available from TR3 to TRC.");
    EXPECT_FALSE(w->doc.modified);
}

TEST_F(window_fixture, ExportingTheCurrentTextureAndImportingItBackKeepsThePages) {
    ASSERT_TRUE(w->open_path(shared + "/test1.tr4"));
    w->ListBox1->setCurrentRow(5);
    const auto pages_before = w->doc.level->pages16;
    const auto bmp = dir.filePath("current.bmp").toStdString();
    prompts.save_choice = bmp;
    w->Button2->click();
    ASSERT_TRUE(std::filesystem::exists(bmp)) << (prompts.messages.empty() ? "" : prompts.messages[0]);
    prompts.open_choice = bmp;
    w->Button3->click();
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messages[0];
    EXPECT_TRUE(w->doc.modified);
    EXPECT_EQ(w->doc.level->pages16, pages_before);

    // A file that is not a bitmap is refused with a message and changes nothing.
    std::ofstream(dir.filePath("junk.bmp").toStdString()) << "not a bitmap";
    prompts.open_choice = dir.filePath("junk.bmp").toStdString();
    w->ImportBigBMP1Click();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(w->doc.level->pages16, pages_before);

    // Exporting over an existing file asks first; No writes nothing.
    prompts.answers = {answer::no};
    const auto size_before = std::filesystem::file_size(bmp);
    w->ListBox1->setCurrentRow(0);
    w->ExportCurrent1Click();
    EXPECT_EQ(prompts.questions.back(), "The File " + bmp + " Already Exists. Overwrite It?");
    EXPECT_EQ(std::filesystem::file_size(bmp), size_before);
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests (test discovery at build time) needs no display.
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    QSurfaceFormat::setDefaultFormat(TGLViewport::surface_format(24));
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
