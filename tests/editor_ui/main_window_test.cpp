// The main window driven as a user would: opening levels, selecting in the tree, the texture
// panel, and the questions before unsaved work is lost.
#include "gl_viewport.h"
#include "level_records.h"
#include "main_window.h"
#include "page_view.h"
#include "scripted_prompts.h"
#include "texture_panel_widget.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
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
    std::unique_ptr<main_window> w;
    void SetUp() override {
        store = std::make_unique<QSettings>(dir.filePath("store.ini"), QSettings::IniFormat);
        w = std::make_unique<main_window>(VELLUM_APP_DIR, store.get(), &prompts);
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    }
    void TearDown() override {
        w->document().history().setClean(); // leave without the unsaved-changes question
        w->close();
        w.reset();
    }
    // Widgets by their component names.
    template <class T> T* find(const char* name) {
        auto* widget = w->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QTreeWidget* tree() { return find<QTreeWidget>("TreeView1"); }
    QListWidget* texture_list() { return find<QListWidget>("ListBox1"); }
    QComboBox* page_combo() { return find<QComboBox>("ComboBox1"); }
    page_view_widget* page_view() { return find<page_view_widget>("Image1"); }
    QAction* action(const char* name) { return find<QAction>(name); }
    QLabel* status(int panel) {
        auto panels = w->statusBar()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
        return panels.at(panel);
    }
    const Ttrlevel& level() { return w->document().level(); }
    tr_scene scene() {
        tr_scene s;
        w->document().show_in(s);
        return s;
    }
    QTreeWidgetItem* movables() { return tree()->topLevelItem(0)->child(0); }
    QTreeWidgetItem* statics() { return tree()->topLevelItem(0)->child(1); }
};

TEST_F(window_fixture, OpeningATr4LevelFillsTreePagesTextureListAndCaptions) {
    ASSERT_TRUE(w->open_path(shared + "/test1.tr4"));
    EXPECT_TRUE(prompts.messages.empty());
    ASSERT_EQ(tree()->topLevelItemCount(), 1);
    EXPECT_EQ(tree()->topLevelItem(0)->text(0), "test1.tr4 (TR 4)");
    EXPECT_EQ(movables()->text(0), "Movables");
    EXPECT_EQ(statics()->text(0), "Static Meshes");
    EXPECT_EQ(std::uint32_t(movables()->childCount()), level().num_moveables);
    EXPECT_EQ(std::uint32_t(page_combo()->count()), level().num_pages);
    EXPECT_EQ(page_combo()->itemText(0), "Page#1");
    EXPECT_EQ(std::uint32_t(texture_list()->count()), level().num_object_textures);
    EXPECT_EQ(texture_list()->item(0)->text(), "Texture#0");
    EXPECT_EQ(texture_list()->currentRow(), 0);
    EXPECT_EQ(find<QGroupBox>("GroupBox1")->title(), "\"test1.tr4\" Textures");
    EXPECT_EQ(w->windowTitle(), "Vellum v.2.2 Rev 0   \"" + (shared + "/test1.tr4").toLower() + "\"");
    EXPECT_TRUE(page_view()->has_picture());
    EXPECT_EQ(action("None1")->text(), shared + "/test1.tr4");
    EXPECT_EQ(action("None2")->text(), "None");
}

TEST_F(window_fixture, EverySharedLevelOpens) {
    for (const char* name : {"test1.phd", "test1.tr2", "test1_tr3.tr2", "test1.tr4", "test1.trc"}) {
        ASSERT_TRUE(w->open_path(shared + "/" + name)) << name;
        EXPECT_EQ(tree()->topLevelItem(0)->childCount(), 2);
        EXPECT_EQ(std::uint32_t(texture_list()->count()), level().num_object_textures);
    }
    EXPECT_EQ(action("None1")->text(), shared + "/test1.trc");
    EXPECT_EQ(action("None5")->text(), shared + "/test1.phd");
}

TEST_F(window_fixture, SelectingTreeNodesSetsTheSceneAndStatus) {
    ASSERT_TRUE(w->open_path(shared + "/test1.phd"));
    ASSERT_GT(statics()->childCount(), 0);
    tree()->setCurrentItem(statics()->child(0));
    EXPECT_EQ(scene().sel_kind, 1);
    EXPECT_EQ(scene().sel_mesh,
              w->document().meshes().mesh_index[read_static_mesh(level().static_meshes[0]).mesh]);
    EXPECT_TRUE(status(1)->text().startsWith("Number of Vertex: ")) << status(1)->text().toStdString();

    tree()->setCurrentItem(movables()->child(0));
    EXPECT_EQ(scene().sel_kind, 0);
    EXPECT_EQ(scene().sel_moveable, 0);
    EXPECT_EQ(scene().show_box, 0);

    ASSERT_GT(movables()->child(0)->childCount(), 1);
    tree()->setCurrentItem(movables()->child(0)->child(1));
    EXPECT_EQ(scene().sel_kind, 1);
    EXPECT_EQ(scene().sel_mesh,
              w->document().meshes().mesh_index[read_moveable(level().moveables[0]).first_mesh + 1u]);

    tree()->setCurrentItem(movables());
    EXPECT_EQ(scene().sel_moveable, -1);
    EXPECT_EQ(scene().sel_mesh, -1);
    EXPECT_TRUE(status(1)->text().isEmpty());
}

TEST_F(window_fixture, ClickingTheFirstTexturesCornerOnThePageViewSelectsIt) {
    ASSERT_TRUE(w->open_path(shared + "/test1.tr2"));
    // A texture on page 1 (the second page), found through the page selector's own switch.
    int target = -1;
    for (std::size_t i = 0; i < level().object_textures.size(); ++i)
        if ((level().object_textures[i].page & 0x7FFF) == 1) {
            target = int(i);
            break;
        }
    ASSERT_GE(target, 0);
    texture_list()->setCurrentRow(target);
    EXPECT_EQ(page_combo()->currentIndex(), 1); // the page selector follows the texture
    texture_list()->setCurrentRow(0);
    page_combo()->setCurrentIndex(1);
    const auto& t = level().object_textures[std::size_t(target)];
    QTest::mouseClick(page_view(), Qt::LeftButton, {}, QPoint(t.corners[0].x_pixel, t.corners[0].y_pixel));
    const int expected = texture_at(level(), 1, t.corners[0].x_pixel, t.corners[0].y_pixel);
    EXPECT_EQ(texture_list()->currentRow(), expected);
    EXPECT_LE(expected, target);
}

TEST_F(window_fixture, ShiftDragThenDefineMouseSelectedAddsATexture) {
    ASSERT_TRUE(w->open_path(shared + "/test1_tr3.tr2"));
    const int before = texture_list()->count();
    QTest::mousePress(page_view(), Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 20));
    QTest::mouseMove(page_view(), QPoint(74, 84));
    find<texture_panel_widget>("GroupBox1")
        ->on_page_moved(74, 84); // synthetic moves without a button are not always delivered
    QTest::mouseRelease(page_view(), Qt::LeftButton, Qt::ShiftModifier, QPoint(74, 84));
    action("DefineMouseSelected1")->trigger();
    ASSERT_EQ(texture_list()->count(), before + 1);
    EXPECT_EQ(texture_list()->currentRow(), before);
    const auto& t = level().object_textures.back();
    EXPECT_EQ(t.corners[2].x_pixel, 73);
    EXPECT_EQ(t.corners[2].y_pixel, 83);
    EXPECT_TRUE(w->document().modified());
    EXPECT_EQ(status(2)->text(), " X=75    Y=85");
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
    EXPECT_EQ(tree()->topLevelItem(0)->text(0), "test1.tr2 (TR 2)");
    tree()->setCurrentItem(movables()->child(0));
    EXPECT_EQ(scene().sel_moveable, 0);
    EXPECT_EQ(w->windowTitle(), "Vellum v.2.2 Rev 0   \"" + (shared + "/test1.tr2").toLower() + "\"");
}

TEST_F(window_fixture, UnsavedChangesAskBeforeAnotherLevelReplacesThem) {
    ASSERT_TRUE(w->open_path(shared + "/test1.tr4"));
    find<QCheckBox>("CheckBox1")->click(); // flips the current texture: an edit
    ASSERT_TRUE(w->document().modified());
    prompts.answers = {answer::cancel};
    EXPECT_FALSE(w->open_path(shared + "/test1.phd"));
    EXPECT_EQ(level().game_version, game_tr4);
    ASSERT_EQ(prompts.questions.size(), 1u);
    prompts.answers = {answer::no};
    EXPECT_TRUE(w->open_path(shared + "/test1.phd"));
    EXPECT_EQ(level().game_version, game_tr1);
}

TEST_F(window_fixture, ApplyIntensityAlphaOnTr2ExplainsWhyNot) {
    ASSERT_TRUE(w->open_path(shared + "/test1.tr2"));
    tree()->setCurrentItem(movables()->child(0));
    action("ApplyIntensityAlpha1")->trigger();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0],
              "Intensity Alpha (Semi-transparent Texture Attrib) is just available from TR3 to TRC.");
    EXPECT_FALSE(w->document().modified());
}

TEST_F(window_fixture, ExportingTheCurrentTextureAndImportingItBackKeepsThePages) {
    ASSERT_TRUE(w->open_path(shared + "/test1.tr4"));
    texture_list()->setCurrentRow(5);
    const auto pages_before = level().pages16;
    const auto bmp = dir.filePath("current.bmp").toStdString();
    prompts.save_choice = bmp;
    find<QPushButton>("Button2")->click();
    ASSERT_TRUE(std::filesystem::exists(bmp)) << (prompts.messages.empty() ? "" : prompts.messages[0]);
    prompts.open_choice = bmp;
    find<QPushButton>("Button3")->click();
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messages[0];
    EXPECT_TRUE(w->document().modified());
    EXPECT_EQ(level().pages16, pages_before);

    // A file that is not a bitmap is refused with a message and changes nothing.
    std::ofstream(dir.filePath("junk.bmp").toStdString()) << "not a bitmap";
    prompts.open_choice = dir.filePath("junk.bmp").toStdString();
    action("ImportBigBMP1")->trigger();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(level().pages16, pages_before);

    // Exporting over an existing file asks first; No writes nothing.
    prompts.answers = {answer::no};
    const auto size_before = std::filesystem::file_size(bmp);
    texture_list()->setCurrentRow(0);
    action("ExportCurrent1")->trigger();
    EXPECT_EQ(prompts.questions.back(), "The File " + bmp + " Already Exists. Overwrite It?");
    EXPECT_EQ(std::filesystem::file_size(bmp), size_before);
}

TEST_F(window_fixture, AClickOnAFaceInTheViewReachesTheEditor) {
    ASSERT_TRUE(w->open_path(shared + "/test1.phd"));
    ASSERT_GT(statics()->childCount(), 0);
    tree()->setCurrentItem(statics()->child(0));
    const int mesh = scene().sel_mesh;
    ASSERT_GE(mesh, 0);
    auto* view = find<QWidget>("Panel1")->findChild<TGLViewport*>();
    ASSERT_NE(view, nullptr);
    // The centred mesh covers some point near the middle of the view.
    const QPoint middle = view->rect().center();
    QString status_text;
    for (int d = 0; d <= 40 && !status_text.startsWith("Mesh # "); d += 4) {
        for (const QPoint at : {middle + QPoint(d, 0), middle + QPoint(0, d), middle - QPoint(d, d)}) {
            QTest::mouseClick(view, Qt::LeftButton, {}, at);
            status_text = status(1)->text();
            if (status_text.startsWith("Mesh # ")) break;
        }
    }
    EXPECT_TRUE(status_text.startsWith(QString("Mesh # %1      ").arg(mesh))) << status_text.toStdString();
    EXPECT_FALSE(w->document().modified()); // the face edits come later
}

TEST_F(window_fixture, MenuItemsAndControlsCarryTheirComponentNames) {
    const std::pair<const char*, const char*> actions[] = {
        {"OpenFile1", "&Open"},
        {"Save1", "S&ave"},
        {"SaveAs1", "&Save As..."},
        {"Exit1", "E&xit"},
        {"Undo1", "Undo"},
        {"Redo1", "Redo"},
        {"ExportBigBMP1", "Export BigBMP"},
        {"ImportAndReplace1", "Import And Replace"},
        {"DefineMouseSelected1", "Define Mouse Selected"},
        {"ApplyIntensityAlpha1", "Apply Intensity Alpha"},
        {"AutomaticOpenGLBuffersUpdate1", "Automatic OpenGL buffers Update"},
        {"EnablePerspectiveCorrection1", "Enable Perspective Correction"},
        {"KeysGuide1", "Keys Guide"},
        {"None3", "None"},
    };
    for (const auto& [name, text] : actions)
        if (auto* a = action(name)) {
            EXPECT_EQ(a->text(), text) << name;
        }
    const std::pair<const char*, const char*> buttons[] = {
        {"Button1", "&Center Camera"},    {"Button2", "Export"},          {"Button3", "Import"},
        {"CheckBox1", "Flip Horizontal"}, {"CheckBox12", "Proportional"}, {"CheckBox3", "Show &Box"},
        {"CheckBox4", "&Enable Lights"},  {"RadioButton4", "Visibility"}, {"RadioButton5", "Colision"},
    };
    for (const auto& [name, text] : buttons)
        if (auto* b = find<QAbstractButton>(name)) {
            EXPECT_EQ(b->text(), text) << name;
        }
    EXPECT_EQ(find<QGroupBox>("GroupBox2")->title(), "Render Mode");
    EXPECT_EQ(find<QGroupBox>("GroupBox4")->title(), "White Light Intensity");
    EXPECT_EQ(w->objectName(), "TForm1");
    for (const char* form : {"TForm2", "TKeys", "TReadme", "TAbout", "TConfig"})
        EXPECT_NE(w->findChild<QDialog*>(form), nullptr) << form;
}

TEST_F(window_fixture, TreeItemsShowTheirFullNameAsATooltip) {
    ASSERT_TRUE(w->open_path(shared + "/test1.tr4"));
    EXPECT_EQ(movables()->child(0)->toolTip(0), movables()->child(0)->text(0));
    EXPECT_EQ(tree()->topLevelItem(0)->toolTip(0), "test1.tr4 (TR 4)");
}

TEST_F(window_fixture, NothingCoversTheViewAtAnySizeAndTheFirstWindowFitsTheScreen) {
    const QRect screen = w->screen()->availableGeometry();
    EXPECT_LE(w->width(), screen.width());
    EXPECT_LE(w->height(), screen.height());
    ASSERT_TRUE(w->open_path(shared + "/test1.tr4"));
    auto area = [&](const char* name) {
        auto* widget = find<QWidget>(name);
        return QRect(widget->mapTo(w.get(), QPoint(0, 0)), widget->size());
    };
    for (const QSize size : {QSize(640, 480), QSize(1200, 950)}) {
        w->resize(size);
        QApplication::processEvents();
        const QRect view = area("Panel1"), textures = area("GroupBox1"), tree_area = area("TreeView1"),
                    tabs = area("PageControl1");
        EXPECT_FALSE(view.intersects(textures)) << size.width();
        EXPECT_FALSE(view.intersects(tree_area)) << size.width();
        EXPECT_FALSE(view.intersects(tabs)) << size.width();
        EXPECT_GE(view.width(), 200) << size.width();
        // The caption stays just above its preview.
        const QRect caption = area("Label2"), preview = area("Shape1");
        EXPECT_LE(std::abs(preview.top() - caption.bottom()), 12) << size.width();
    }
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
