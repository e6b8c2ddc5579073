// The Boxes tab, the Remap Vertices dialog and File > Export to DXF / Import DXF driven as a user
// would on the TR1 shared level (the one with static meshes).
#include "editor_window_fixture.h"
#include "level_records.h"
#include "main_window.h"
#include "real_levels.h"
#include "scripted_prompts.h"

#include <QAction>
#include <QDialog>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

struct boxes_dxf_window : editor_window_fixture {
    void SetUp() override {
        editor_window_fixture::SetUp();
        if (HasFatalFailure()) return;
        SKIP_WITHOUT_REAL_LEVELS("test1.phd");
        ASSERT_TRUE(w->open_path(VELLUM_SHARED_LEVELS "/test1.phd"));
    }
    template <class T> T* find(const char* name) {
        auto* widget = w->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QTreeWidgetItem* node(int heading, int child) {
        return find<QTreeWidget>("TreeView1")->topLevelItem(0)->child(heading)->child(child);
    }
    void select(QTreeWidgetItem* item) { find<QTreeWidget>("TreeView1")->setCurrentItem(item); }
    static_box box(box_kind kind) {
        return read_static_mesh(w->document().level().static_meshes[0]).box(kind);
    }
};

TEST_F(boxes_dxf_window, TheBoxesTabShowsAndEditsTheChosenBox) {
    select(node(1, 0));
    find<QRadioButton>("RadioButton4")->click();
    EXPECT_EQ(find<QGroupBox>("GroupBox3")->title(), "Visibility");
    EXPECT_EQ(find<QSpinBox>("SpinEdit2")->value(), box(box_kind::visibility)[0]);
    const static_box collision = box(box_kind::collision);

    auto* z1 = find<QSpinBox>("SpinEdit6");
    z1->setValue(40000);
    EXPECT_EQ(box(box_kind::visibility)[4], -25536);
    EXPECT_EQ(z1->value(), -25536);
    EXPECT_EQ(box(box_kind::collision), collision);

    find<QRadioButton>("RadioButton5")->click();
    EXPECT_EQ(find<QGroupBox>("GroupBox3")->title(), "Colision");
    EXPECT_EQ(z1->value(), collision[4]);

    find<QPushButton>("Button4")->click(); // Automatic Bound on the collision box
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messages[0];
    const static_box fitted = box(box_kind::collision);
    EXPECT_LE(fitted[0], fitted[1]);
    EXPECT_EQ(find<QSpinBox>("SpinEdit3")->value(), fitted[1]);

    // Each edit is one step; undoing them all brings the boxes and the fields back.
    EXPECT_EQ(w->document().history().count(), 2);
    w->document().history().undo();
    EXPECT_EQ(box(box_kind::collision), collision);
    EXPECT_EQ(find<QSpinBox>("SpinEdit3")->value(), collision[1]);
}

TEST_F(boxes_dxf_window, ExportAndImportDxfOfAMesh) {
    select(node(0, 0));
    find<QAction>("ExporttoDXF1")->trigger();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0], "You have to select a Mesh!");

    select(node(0, 0)->child(0));
    const std::string path = dir.filePath("mesh.dxf").toStdString();
    prompts.save_choice = dir.filePath("mesh").toStdString(); // the chooser's default extension is dxf
    prompts.messages.clear();
    find<QAction>("ExporttoDXF1")->trigger();
    ASSERT_TRUE(std::filesystem::exists(path)) << (prompts.messages.empty() ? "" : prompts.messages[0]);

    // Import it in place of static mesh 0's mesh: one undoable step.
    select(node(1, 0));
    const tmesh before = w->document().meshes().meshes[std::size_t(w->document().selection().mesh)];
    prompts.open_choice = path;
    prompts.messages.clear();
    find<QAction>("ImportDXF1")->trigger();
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messages[0];
    const tmesh& after = w->document().meshes().meshes[std::size_t(w->document().selection().mesh)];
    EXPECT_LT(after.num_normals, 0); // a static mesh keeps vertex lights
    EXPECT_EQ(w->document().history().count(), 1);
    w->document().history().undo();
    EXPECT_EQ(w->document().meshes().meshes[std::size_t(w->document().selection().mesh)], before);
}

TEST_F(boxes_dxf_window, ExportAndImportMeshOfAWholeMoveable) {
    select(node(0, 0));
    const std::string path = dir.filePath("moveable.glb").toStdString();
    prompts.save_choice = dir.filePath("moveable").toStdString(); // .glb is added
    find<QAction>("ExportMesh1")->trigger();
    ASSERT_TRUE(std::filesystem::exists(path)) << (prompts.messages.empty() ? "" : prompts.messages[0]);

    // Read back unchanged into the whole moveable: one undoable step that changes no mesh.
    const std::vector<tmesh> before = w->document().meshes().meshes;
    prompts.open_choice = path;
    prompts.messages.clear();
    find<QAction>("ImportMesh1")->trigger();
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messages[0];
    EXPECT_EQ(w->document().history().count(), 1);
    EXPECT_EQ(w->document().meshes().meshes, before);

    // Not a model: a message, and no step.
    const std::string text = dir.filePath("not_a_model.glb").toStdString();
    std::ofstream(text) << "not a model";
    prompts.open_choice = text;
    find<QAction>("ImportMesh1")->trigger();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].find("could not be read as a model"), std::string::npos)
        << prompts.messages[0];
    EXPECT_EQ(w->document().history().count(), 1);
}

TEST_F(boxes_dxf_window, RemapVerticesRefusesANumberPastTheVertexCount) {
    select(node(1, 0));
    const int vertices =
        w->document().meshes().meshes[std::size_t(w->document().selection().mesh)].num_vertices;
    QTimer::singleShot(0, [&] {
        auto* dialog = w->findChild<QDialog*>("TRemap");
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QSpinBox*>("SpinEdit1")->setValue(0);
        dialog->findChild<QSpinBox*>("SpinEdit2")->setValue(vertices);
        dialog->findChild<QPushButton*>("Button1")->click(); // refused: stays open
        dialog->findChild<QSpinBox*>("SpinEdit2")->setValue(1);
        dialog->findChild<QPushButton*>("Button1")->click(); // done: closes
    });
    find<QAction>("RemapVertices1")->trigger();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].find("has " + std::to_string(vertices) + " vertices"), std::string::npos)
        << prompts.messages[0];
    EXPECT_EQ(w->document().history().count(), 1);
}

} // namespace
