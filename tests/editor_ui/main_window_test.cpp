// The main window driven as a user would: opening levels, selecting in the tree, the texture
// panel, and the questions before unsaved work is lost.
#include "editor_window_fixture.h"
#include "gl_viewport.h"
#include "level_records.h"
#include "main_window.h"
#include "page_view.h"
#include "real_levels.h"
#include "save_choices.h"
#include "scripted_prompts.h"
#include "texture_panel_widget.h"
#include "window_test_environment.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

const QString shared = QString::fromStdString(real_levels::folder());

struct window_fixture : editor_window_fixture {
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
    const tr_level& level() { return w->document().level(); }
    tr_scene scene() {
        tr_scene s;
        w->document().show_in(s);
        return s;
    }
    QTreeWidgetItem* movables() { return tree()->topLevelItem(0)->child(0); }
    QTreeWidgetItem* statics() { return tree()->topLevelItem(0)->child(1); }
};

TEST_F(window_fixture, OpeningATr4LevelFillsTreePagesTextureListAndCaptions) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4");
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
    EXPECT_EQ(w->windowTitle(), "Vellum v.2.2 Rev 0   \"" + shared + "/test1.tr4\"[*]");
    EXPECT_TRUE(page_view()->has_picture());
    EXPECT_EQ(action("None1")->text(), shared + "/test1.tr4");
    EXPECT_EQ(action("None2")->text(), "None");
}

TEST_F(window_fixture, EverySharedLevelOpens) {
    SKIP_WITHOUT_REAL_LEVELS("test1.phd", "test1.tr2", "test1_tr3.tr2", "test1.tr4", "test1.trc");
    for (const char* name : {"test1.phd", "test1.tr2", "test1_tr3.tr2", "test1.tr4", "test1.trc"}) {
        ASSERT_TRUE(w->open_path(shared + "/" + name)) << name;
        EXPECT_EQ(tree()->topLevelItem(0)->childCount(), 2);
        EXPECT_EQ(std::uint32_t(texture_list()->count()), level().num_object_textures);
    }
    EXPECT_EQ(action("None1")->text(), shared + "/test1.trc");
    EXPECT_EQ(action("None5")->text(), shared + "/test1.phd");
}

TEST_F(window_fixture, SelectingTreeNodesSetsTheSceneAndStatus) {
    SKIP_WITHOUT_REAL_LEVELS("test1.phd");
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

TEST_F(window_fixture, TheMouseOverTheViewShowsItsHint) {
    status(0)->clear();
    gl_viewport* view = w->viewport();
    QTest::mouseMove(view, QPoint(view->width() / 2, view->height() / 2));
    EXPECT_EQ(status(0)->text(), "CLICK: Apply,    ALT+CLICK: Rotate,    CTRL+CLICK: Get.");
}

TEST_F(window_fixture, PointsOnAWholeMoveableSayWhyTheyAreNotShown) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4");
    ASSERT_TRUE(w->open_path(shared + "/test1.tr4"));
    const QString why = "Points mode shows one mesh: select a mesh of the moveable to see its vertices.";
    tree()->setCurrentItem(movables()->child(0));
    find<QRadioButton>("RadioButton6")->click();                   // Points
    EXPECT_FALSE(find<QRadioButton>("RadioButton6")->isChecked()); // the face mode stays
    EXPECT_EQ(status(1)->text(), why);

    // Points chosen on one mesh, then the whole moveable selected: the mode falls back, with a word.
    tree()->setCurrentItem(movables()->child(0)->child(0));
    find<QRadioButton>("RadioButton6")->click();
    ASSERT_TRUE(find<QRadioButton>("RadioButton6")->isChecked());
    tree()->setCurrentItem(movables()->child(1));
    EXPECT_EQ(status(1)->text(), why);
}

TEST_F(window_fixture, ClickingTheFirstTexturesCornerOnThePageViewSelectsIt) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr2");
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
    SKIP_WITHOUT_REAL_LEVELS("test1_tr3.tr2");
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
    SKIP_WITHOUT_REAL_LEVELS("test1.tr2");
    ASSERT_TRUE(w->open_path(shared + "/test1.tr2"));
    const auto bad = dir.filePath("bad.tr2");
    {
        std::ifstream in((shared + "/test1.tr2").toStdString(), std::ios::binary);
        std::vector<char> head(300000);
        in.read(head.data(), std::streamsize(head.size()));
        std::ofstream(bad.toStdString(), std::ios::binary).write(head.data(), std::streamsize(head.size()));
    }
    // The message is not shown behind the loading window and its busy cursor.
    bool busy_while_told = true;
    prompts.on_message = [&] {
        busy_while_told = QApplication::overrideCursor() || find<QDialog>("TForm2")->isVisible();
    };
    EXPECT_FALSE(w->open_path(bad));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_FALSE(busy_while_told);
    EXPECT_EQ(tree()->topLevelItem(0)->text(0), "test1.tr2 (TR 2)");
    tree()->setCurrentItem(movables()->child(0));
    EXPECT_EQ(scene().sel_moveable, 0);
    EXPECT_EQ(w->windowTitle(), "Vellum v.2.2 Rev 0   \"" + shared + "/test1.tr2\"[*]");
}

TEST_F(window_fixture, UnsavedChangesAskBeforeAnotherLevelReplacesThem) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4", "test1.phd");
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
    SKIP_WITHOUT_REAL_LEVELS("test1.tr2");
    ASSERT_TRUE(w->open_path(shared + "/test1.tr2"));
    tree()->setCurrentItem(movables()->child(0));
    action("ApplyIntensityAlpha1")->trigger();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0],
              "Intensity Alpha (Semi-transparent Texture Attrib) is just available from TR3 to TRC.");
    EXPECT_FALSE(w->document().modified());
}

TEST_F(window_fixture, ExportingTheCurrentTextureAndImportingItBackKeepsThePages) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4");
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
    SKIP_WITHOUT_REAL_LEVELS("test1.phd");
    ASSERT_TRUE(w->open_path(shared + "/test1.phd"));
    ASSERT_GT(statics()->childCount(), 0);
    tree()->setCurrentItem(statics()->child(0));
    const int mesh = scene().sel_mesh;
    ASSERT_GE(mesh, 0);
    auto* view = w->viewport();
    ASSERT_NE(view, nullptr);
    // The centred mesh covers some point near the middle of the view.
    const QPoint middle = QRect(QPoint(), view->size()).center();
    QString status_text;
    for (int d = 0; d <= 40 && !status_text.startsWith("Mesh # "); d += 4) {
        for (const QPoint at : {middle + QPoint(d, 0), middle + QPoint(0, d), middle - QPoint(d, d)}) {
            QTest::mouseClick(view, Qt::LeftButton, Qt::ControlModifier, at);
            status_text = status(1)->text();
            if (status_text.startsWith("Mesh # ")) break;
        }
    }
    EXPECT_TRUE(status_text.startsWith(QString("Mesh # %1      ").arg(mesh))) << status_text.toStdString();
    EXPECT_FALSE(w->document().modified()); // CTRL+click only picks the texture up
}

// Where CTRL+click on the shown mesh finds a textured face: the point and the picked face.
struct face_spot {
    QPoint at;
    int mesh = -1, face = -1;
    bool triangle = false;
};
face_spot find_face(gl_viewport* view, QLabel* panel) {
    const QPoint middle = QRect(QPoint(), view->size()).center();
    for (int d = 0; d <= 60; d += 3)
        for (const QPoint at : {middle + QPoint(d, 0), middle + QPoint(0, d), middle - QPoint(d, d)}) {
            QTest::mouseClick(view, Qt::LeftButton, Qt::ControlModifier, at);
            const QStringList parts = panel->text().split("#");
            if (parts.size() == 3 && !panel->text().contains("Colored"))
                return {at, parts[1].trimmed().split(' ').first().toInt(),
                        parts[2].trimmed().split(' ').first().toInt(), panel->text().endsWith("Triangle")};
        }
    return {};
}

TEST_F(window_fixture, ClickFormsEditThePickedFaceAndUndoStepByStep) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4");
    ASSERT_TRUE(w->open_path(shared + "/test1.tr4"));
    tree()->setCurrentItem(movables()->child(0)->child(0)); // one mesh of Lara
    auto* view = w->viewport();
    const face_spot spot = find_face(view, status(1));
    ASSERT_GE(spot.mesh, 0) << status(1)->text().toStdString();
    const auto mesh = [&] { return w->document().meshes().meshes[std::size_t(spot.mesh)]; };
    const auto texture = [&] {
        return spot.triangle ? tri_texture(mesh().tex_tris[std::size_t(spot.face)])
                             : rect_texture(mesh().tex_rects[std::size_t(spot.face)]);
    };
    const tmesh start = mesh();
    EXPECT_EQ(texture_list()->currentRow(), texture() & 0x0FFF); // CTRL+click made it current

    // ALT+click turns the texture one corner; as many turns as corners give the face back.
    const int corners = spot.triangle ? 3 : 4;
    for (int i = 0; i < corners; ++i)
        QTest::mouseClick(view, Qt::LeftButton, Qt::AltModifier, spot.at);
    EXPECT_EQ(mesh(), start);
    EXPECT_EQ(action("Undo1")->text(), "Undo Rotate Texture");

    // A plain click applies the current texture; SHIFT+click likewise.
    texture_list()->setCurrentRow(5);
    QTest::mouseClick(view, Qt::LeftButton, {}, spot.at);
    EXPECT_EQ(texture(), 5);
    texture_list()->setCurrentRow(6);
    QTest::mouseClick(view, Qt::LeftButton, Qt::ShiftModifier, spot.at);
    EXPECT_EQ(texture(), 6);
    EXPECT_TRUE(w->document().modified());
    EXPECT_TRUE(w->isWindowModified()); // the title shows the platform's unsaved-changes mark

    // CTRL+SHIFT+click cuts the face onto vertex 0.
    QTest::mouseClick(view, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, spot.at);
    const auto& cut = spot.triangle ? mesh().tex_tris[std::size_t(spot.face)].data()
                                    : mesh().tex_rects[std::size_t(spot.face)].data();
    for (int k = 0; k < corners; ++k)
        EXPECT_EQ(get_u16(cut + 2 * k), 0) << k;

    // A menu command after the mouse edits; then each is undone in turn, newest first.
    texture_list()->setCurrentRow(9);
    action("Retexture1")->trigger();
    EXPECT_EQ(rect_texture(mesh().tex_rects[0]), 9);
    action("Undo1")->trigger();
    EXPECT_EQ(action("Undo1")->text(), "Undo Cut Face");
    action("Undo1")->trigger();
    EXPECT_EQ(texture(), 6);
    action("Undo1")->trigger();
    action("Undo1")->trigger();
    EXPECT_EQ(mesh().tex_rects, start.tex_rects);
    EXPECT_EQ(mesh().tex_tris, start.tex_tris);
    EXPECT_TRUE(action("Redo1")->isEnabled());
    while (action("Undo1")->isEnabled())
        action("Undo1")->trigger();
    EXPECT_EQ(mesh(), start);
    EXPECT_FALSE(w->document().modified()); // back at the state opened: no unsaved edits
    action("Redo1")->trigger();
    EXPECT_TRUE(w->document().modified());

    // Opening a level clears the history.
    prompts.answers = {answer::no};
    ASSERT_TRUE(w->open_path(shared + "/test1.tr4"));
    EXPECT_FALSE(action("Undo1")->isEnabled());
    EXPECT_FALSE(action("Redo1")->isEnabled());
}

TEST_F(window_fixture, LightsOnTickedCornersAndShineFromTheTabs) {
    SKIP_WITHOUT_REAL_LEVELS("test1.phd");
    ASSERT_TRUE(w->open_path(shared + "/test1.phd"));
    tree()->setCurrentItem(statics()->child(0));
    auto* view = w->viewport();
    const face_spot spot = find_face(view, status(1));
    ASSERT_GE(spot.mesh, 0);
    const tmesh before = w->document().meshes().meshes[std::size_t(spot.mesh)];
    ASSERT_LT(before.num_normals, 0); // this static mesh has vertex lights
    find<QCheckBox>("CheckBox4")->setChecked(true);
    find<QCheckBox>("CheckBox6")->setChecked(false);
    find<QCheckBox>("CheckBox8")->setChecked(false);
    QTest::mouseClick(view, Qt::LeftButton, {}, spot.at);
    const tmesh& after = w->document().meshes().meshes[std::size_t(spot.mesh)];
    const auto& face = spot.triangle ? before.tex_tris[std::size_t(spot.face)].data()
                                     : before.tex_rects[std::size_t(spot.face)].data();
    std::vector<std::int16_t> expected = before.lights;
    for (int k : {0, 2}) // "Vertex 1" and "Vertex 3"
        expected.at(get_u16(face + 2 * k)) = 16912;
    EXPECT_EQ(after.lights, expected);
    EXPECT_EQ(after.tex_rects, before.tex_rects); // lighting leaves the textures alone

    // Shine on a TR4 moveable's face, without the texture.
    ASSERT_TRUE(w->open_path(shared + "/test1.tr4"));
    tree()->setCurrentItem(movables()->child(0)->child(0));
    const face_spot shiny = find_face(view, status(1));
    ASSERT_GE(shiny.mesh, 0);
    find<QCheckBox>("CheckBox11")->setChecked(true);
    find<QCheckBox>("CheckBox10")->setChecked(false);
    for (const auto& [strength, transparent, word] :
         {std::tuple{0, true, 1}, {31, false, 126}, {16, false, 66}}) {
        find<QSlider>("TrackBar2")->setValue(strength);
        find<QCheckBox>("CheckBox9")->setChecked(transparent);
        EXPECT_EQ(find<QLabel>("Label5")->text(), QString::number(strength));
        QTest::mouseClick(view, Qt::LeftButton, {}, shiny.at);
        const tmesh& m = w->document().meshes().meshes[std::size_t(shiny.mesh)];
        EXPECT_EQ(shiny.triangle ? face_word(m.tex_tris[std::size_t(shiny.face)], 4)
                                 : face_word(m.tex_rects[std::size_t(shiny.face)], 5),
                  word);
    }
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
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4");
    ASSERT_TRUE(w->open_path(shared + "/test1.tr4"));
    EXPECT_EQ(movables()->child(0)->toolTip(0), movables()->child(0)->text(0));
    EXPECT_EQ(tree()->topLevelItem(0)->toolTip(0), "test1.tr4 (TR 4)");
}

TEST_F(window_fixture, NothingCoversTheViewAtAnySizeAndTheFirstWindowFitsTheScreen) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4");
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

// ---- choosers, commands and small windows as a first-time user meets them ----

TEST_F(window_fixture, EachSaveChooserSuggestsItsNameAndATypedNameGetsItsExtension) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4");
    ASSERT_TRUE(w->open_path(shared + "/test1.tr4"));
    struct chooser_case {
        const char* command;
        std::string suggested;
        const char* typed;
        const char* written;
    };
    w->select_moveable(0);
    const std::string moveable = tree()->currentItem()->text(0).toStdString();
    const chooser_case cases[] = {
        {"ExportBigBMP1", "test1.tr4 Textures", "pages", "pages.bmp"},
        {"ExportCurrent1", "Texture#0", "current", "current.bmp"},
        {"ExportAll1", export_all_suggestion(moveable), "pieces.BMP", "pieces.BMP"},
    };
    texture_list()->setCurrentRow(0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        prompts.save_choice = dir.filePath(c.typed).toStdString();
        action(c.command)->trigger();
        ASSERT_FALSE(prompts.save_suggestions.empty());
        EXPECT_EQ(prompts.save_suggestions.back(), c.suggested);
        EXPECT_TRUE(std::filesystem::exists(dir.filePath(c.written).toStdString()));
        EXPECT_TRUE(prompts.messages.empty()) << prompts.messages.front();
    }
    // Export to DXF proposes the selected mesh node's label.
    tree()->setCurrentItem(tree()->currentItem()->child(0));
    prompts.save_choice = dir.filePath("mesh.dxf").toStdString();
    action("ExporttoDXF1")->trigger();
    EXPECT_EQ(prompts.save_suggestions.back(), tree()->currentItem()->text(0).toStdString());

    // Save As: the level's own extension, and the group title and status bar follow the new name.
    prompts.save_choice = dir.filePath("copy").toStdString();
    action("SaveAs1")->trigger();
    const auto copy = dir.filePath("copy.tr4");
    EXPECT_TRUE(std::filesystem::exists(copy.toStdString()));
    EXPECT_EQ(w->document().current_path(), copy.toStdString());
    EXPECT_EQ(find<QGroupBox>("GroupBox1")->title(), "\"copy.tr4\" Textures");
    EXPECT_EQ(status(0)->text(), "Saved " + copy);
    EXPECT_EQ(w->windowTitle(), "Vellum v.2.2 Rev 0   \"" + copy + "\"[*]");
}

TEST_F(window_fixture, ImportAndReplaceRefusesAMeshWithoutTexturedFacesBeforeAskingForAFile) {
    SKIP_WITHOUT_REAL_LEVELS("test1.trc");
    ASSERT_TRUE(w->open_path(shared + "/test1.trc"));
    tree()->setCurrentItem(movables()->child(8)->child(0)); // a mesh without textured faces
    prompts.filters.clear();
    action("ImportAndReplace1")->trigger();
    EXPECT_TRUE(prompts.filters.empty()) << "no file chooser";
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0], "ERROR: This Mesh does not have any Textured Face!!");
}

TEST_F(window_fixture, CommandsNeedingALevelAreDisabledUntilOneIsOpen) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr2");
    const char* commands[] = {
        "Save1",      "SaveAs1",           "ExportBigBMP1",       "ImportBigBMP1",
        "ExportAll1", "ImportAndReplace1", "ImportTexturePages1", "ApplyIntensityAlpha1"};
    for (const char* c : commands)
        EXPECT_FALSE(action(c)->isEnabled()) << c;
    EXPECT_TRUE(action("OpenFile1")->isEnabled());
    ASSERT_TRUE(w->open_path(shared + "/test1.tr2"));
    for (const char* c : commands)
        EXPECT_TRUE(action(c)->isEnabled()) << c;
}

TEST_F(window_fixture, OpeningKeepsEveryLoadingLineInOneWindowAndTheTitleMarksEdits) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr2");
    ASSERT_TRUE(w->open_path(shared + "/test1.tr2"));
    auto* loading = find<QDialog>("TForm2");
    const QString lines = loading->findChild<QPlainTextEdit*>("lines_")->toPlainText();
    EXPECT_TRUE(lines.startsWith("Building Texture Table...")) << lines.toStdString();
    EXPECT_TRUE(lines.endsWith("Loading Textures in OpenGL Buffers...")) << lines.toStdString();
    EXPECT_FALSE(loading->isVisible());
    EXPECT_FALSE(w->isWindowModified());
    ASSERT_TRUE(w->document().set_texture_attribute(0, 2));
    EXPECT_TRUE(w->isWindowModified());
    w->document().history().undo();
    EXPECT_FALSE(w->isWindowModified());
}

TEST_F(window_fixture, ImportedPagesAreShownAndTheTextureFrameStaysOnItsOwnPage) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr2");
    ASSERT_TRUE(w->open_path(shared + "/test1.tr2"));
    const int pages = int(level().num_pages);
    ASSERT_FALSE(page_view()->texture_frame().isNull()) << "texture 0 is framed on its page";
    QImage two_pages(256, 512, QImage::Format_RGB888);
    two_pages.fill(Qt::darkGreen);
    const auto bmp = dir.filePath("new_pages.bmp");
    ASSERT_TRUE(two_pages.save(bmp, "BMP"));
    prompts.open_choice = bmp.toStdString();
    action("ImportTexturePages1")->trigger();
    ASSERT_EQ(int(level().num_pages), pages + 2);
    EXPECT_EQ(page_combo()->currentIndex(), pages);
    EXPECT_EQ(page_combo()->currentText(), QString("Page#%1").arg(pages + 1));
    EXPECT_TRUE(page_view()->texture_frame().isNull()) << "the current texture is on another page";
    // Undo takes the pages out of the selector again; redo brings them back.
    action("Undo1")->trigger();
    ASSERT_EQ(int(level().num_pages), pages);
    EXPECT_EQ(page_combo()->count(), pages);
    action("Redo1")->trigger();
    EXPECT_EQ(page_combo()->count(), pages + 2);
}

TEST_F(window_fixture, BitmapImportsShowThePleaseWaitWindow) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr2");
    ASSERT_TRUE(w->open_path(shared + "/test1.tr2"));
    action("AutomaticOpenGLBuffersUpdate1")->trigger(); // off: no "Working..." window afterwards
    const auto bmp = dir.filePath("all.bmp");
    prompts.save_choice = bmp.toStdString();
    action("ExportBigBMP1")->trigger();
    prompts.open_choice = bmp.toStdString();
    action("ImportBigBMP1")->trigger();
    auto* loading = find<QDialog>("TForm2");
    EXPECT_EQ(loading->windowTitle(), "Please Wait...");
    EXPECT_EQ(loading->findChild<QPlainTextEdit*>("lines_")->toPlainText(),
              "Reading Bitmap and Updating Texture_Table...");
    EXPECT_FALSE(loading->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the wait cursor is given back";
}

TEST_F(window_fixture, ButtonsAndTheRenderModeGroupShowTheirHints) {
    const std::pair<const char*, const char*> hints[] = {
        {"Button1", "Press to Center Camera..."},
        {"Button2", "Export Current texture to BMP file..."},
        {"Button3", "Import a BMP file and replaces the current texture..."},
        {"RadioButton1", "Select one of this modes to Work..."},
        {"Button4", "Click for Static Meshes Automatic Bound..."},
        {"Button5", "Change all light of the Current Static Mesh..."},
        {"SpinEdit3", "X_2 Coordinate..."},
    };
    auto* tabs = find<QTabWidget>("PageControl1");
    for (const auto& [name, text] : hints) {
        auto* widget = find<QWidget>(name);
        for (int i = 0; i < tabs->count(); ++i) // controls on the tabs: their tab is shown first
            if (tabs->widget(i)->isAncestorOf(widget)) tabs->setCurrentIndex(i);
        QTest::mouseMove(widget, widget->rect().center());
        for (int wait = 0; wait < 50 && status(0)->text() != text; ++wait)
            QTest::qWait(20);
        EXPECT_EQ(status(0)->text(), text) << name;
    }
}

TEST_F(window_fixture, BackgroundItemsShowWhichColourIsInUse) {
    QAction* white = action("White1");
    QAction* black = action("Black1");
    ASSERT_TRUE(white->isCheckable() && black->isCheckable());
    EXPECT_NE(white->isChecked(), black->isChecked());
    ASSERT_NE(white->actionGroup(), nullptr);
    EXPECT_EQ(white->actionGroup(), black->actionGroup());
    EXPECT_TRUE(white->actionGroup()->isExclusive());
}

TEST_F(window_fixture, ReadmeKeepsItsLinesAndAboutShowsWholeCreditLines) {
    auto* readme = w->findChild<QDialog*>("TReadme")->findChild<QPlainTextEdit*>("text_");
    EXPECT_EQ(readme->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_TRUE(QFontInfo(readme->font()).fixedPitch());
    auto* about = w->findChild<QDialog*>("TAbout");
    about->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(about));
    for (const char* name : {"Label2", "Label4"}) {
        auto* credit = about->findChild<QLabel*>(name);
        const QRect needed = credit->fontMetrics().boundingRect(
            credit->contentsRect(), Qt::TextWordWrap | Qt::AlignCenter, credit->text());
        EXPECT_TRUE(credit->contentsRect().contains(needed)) << name;
    }
    about->hide();
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests (test discovery at build time) needs no display.
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    const window_test_environment environment; // before the application connects to a display
    QSurfaceFormat::setDefaultFormat(gl_viewport::surface_format(24));
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
