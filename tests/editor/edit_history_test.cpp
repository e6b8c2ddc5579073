// Edits through the document: each is one step of the history, undo and redo restore exactly,
// "modified" follows the history, a failed edit changes nothing; the selection and the click
// entry point.
#include "edit_commands.h"
#include "editor_document.h"
#include "real_levels.h"
#include "scene.h"
#include "scripted_prompts.h"

#include <QTemporaryDir>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace {

const std::string shared = real_levels::folder();
const std::string catalogue = std::string(VELLUM_SOURCE_DIR) + "/data/trcatalog.xml";

struct opened_level {
    editor_document doc;
    scripted_prompts prompts;
    null_progress progress;
    explicit opened_level(const std::string& file) {
        EXPECT_TRUE(doc.open(shared + "/" + file, catalogue, progress, prompts));
    }
};

page_selection marked(int x1, int y1, int x2, int y2) {
    page_selection s;
    s.press(x1, y1);
    s.move(x2, y2);
    s.release();
    return s;
}

TEST(EditHistory, EachTextureEditIsOneStepThatUndoAndRedoRestoreExactly) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4");
    const std::vector<std::pair<const char*, std::function<command_result(editor_document&)>>> edits = {
        {"attribute", [](editor_document& d) { return d.set_texture_attribute(3, 2); }},
        {"flip horizontal", [](editor_document& d) { return d.flip_texture(3, flip_axis::horizontal); }},
        {"flip vertical", [](editor_document& d) { return d.flip_texture(3, flip_axis::vertical); }},
        {"define", [](editor_document& d) { return d.define_texture(0, marked(10, 20, 74, 84)); }},
    };
    for (const auto& [name, edit] : edits) {
        opened_level o("test1.tr4");
        const auto before = o.doc.level().object_textures;
        // No step keeps a copy of the pages' display pixels, which these edits do not change.
        const qint64 shown = o.doc.table().pages_bitmap.cacheKey();
        EXPECT_FALSE(o.doc.modified()) << name;
        ASSERT_TRUE(edit(o.doc)) << name;
        EXPECT_EQ(o.doc.table().pages_bitmap.cacheKey(), shown) << name;
        const auto after = o.doc.level().object_textures;
        EXPECT_NE(after, before) << name;
        EXPECT_TRUE(o.doc.modified()) << name;
        EXPECT_EQ(o.doc.history().count(), 1) << name;

        o.doc.history().undo();
        EXPECT_EQ(o.doc.level().object_textures, before) << name;
        EXPECT_EQ(o.doc.level().num_object_textures, before.size()) << name;
        EXPECT_FALSE(o.doc.modified()) << name;
        o.doc.history().redo();
        EXPECT_EQ(o.doc.level().object_textures, after) << name;
        EXPECT_TRUE(o.doc.modified()) << name;
    }
}

TEST(EditHistory, ExportingTheCurrentTextureFollowsItsFlipsAndTheirUndo) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4");
    opened_level o("test1.tr4");
    const QImage shown = o.doc.export_current(6);
    ASSERT_NE(shown, shown.mirrored(true, false)); // a picture that shows its mirroring
    ASSERT_TRUE(o.doc.flip_texture(6, flip_axis::horizontal));
    EXPECT_EQ(o.doc.export_current(6), shown.mirrored(true, false));
    o.doc.history().undo();
    EXPECT_EQ(o.doc.export_current(6), shown);
}

TEST(EditHistory, IntensityAlphaThatChangesNoTextureIsNoStep) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4");
    opened_level o("test1.tr4");
    ASSERT_TRUE(o.doc.apply_intensity_alpha()); // nothing selected
    EXPECT_EQ(o.doc.history().count(), 0);
    EXPECT_FALSE(o.doc.modified());
}

TEST(EditHistory, SavingMakesTheCurrentStateTheUnmodifiedOne) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr2", "test1.phd");
    QTemporaryDir dir;
    const auto path = dir.filePath("level.tr2").toStdString();
    std::filesystem::copy_file(shared + "/test1.tr2", path);
    editor_document doc;
    scripted_prompts prompts;
    null_progress progress;
    ASSERT_TRUE(doc.open(path, catalogue, progress, prompts));
    ASSERT_TRUE(doc.flip_texture(0, flip_axis::horizontal));
    ASSERT_TRUE(doc.save(progress, prompts));
    EXPECT_FALSE(doc.modified());
    doc.history().undo(); // back before the save: differs from the file again
    EXPECT_TRUE(doc.modified());
    // Opening another level starts a new history.
    ASSERT_TRUE(doc.open(shared + "/test1.phd", catalogue, progress, prompts));
    EXPECT_FALSE(doc.modified());
    EXPECT_EQ(doc.history().count(), 0);
}

TEST(EditHistory, AFailedEditSaysWhyAndLeavesLevelAndHistoryAlone) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr2");
    opened_level o("test1.tr2");
    const auto before = o.doc.level().object_textures;
    const std::vector<std::pair<const char*, std::function<command_result(editor_document&)>>> failing = {
        {"nothing marked", [](editor_document& d) { return d.define_texture(0, page_selection{}); }},
        {"no such page", [](editor_document& d) { return d.define_texture(999, marked(0, 0, 8, 8)); }},
        {"no such texture", [](editor_document& d) { return d.flip_texture(100000, flip_axis::vertical); }},
        {"TR2 has no alpha", [](editor_document& d) { return d.apply_intensity_alpha(); }},
        {"bitmap of the wrong size",
         [](editor_document& d) { return d.import_big_bmp(QImage(10, 10, QImage::Format_RGB888)); }},
    };
    for (const auto& [name, edit] : failing) {
        const command_result r = edit(o.doc);
        EXPECT_FALSE(r.ok) << name;
        EXPECT_FALSE(r.message.empty()) << name;
        EXPECT_EQ(o.doc.level().object_textures, before) << name;
        EXPECT_EQ(o.doc.history().count(), 0) << name;
        EXPECT_FALSE(o.doc.modified()) << name;
    }
    // Without a level nothing is edited.
    editor_document empty;
    EXPECT_FALSE(empty.set_texture_attribute(0, 1));
    EXPECT_EQ(empty.history().count(), 0);
}

TEST(EditHistory, UndoingABitmapImportPutsThePagesBack) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4");
    opened_level o("test1.tr4");
    const auto pages16 = o.doc.level().pages16;
    const auto pages32 = o.doc.level().pages32;
    QImage bitmap = o.doc.export_big_bmp();
    bitmap.fill(Qt::red);
    ASSERT_TRUE(o.doc.import_big_bmp(bitmap));
    EXPECT_NE(o.doc.level().pages32, pages32);
    o.doc.history().undo();
    EXPECT_EQ(o.doc.level().pages16, pages16);
    EXPECT_EQ(o.doc.level().pages32, pages32);
    EXPECT_EQ(o.doc.table().pages_bitmap, o.doc.export_big_bmp().convertToFormat(QImage::Format_RGB16));
}

TEST(EditHistory, ImportsThatChangeOnePageEachKeepACopyOfThatPageOnly) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4");
    opened_level o("test1.tr4");
    const tr_level& level = o.doc.level();
    const auto pages16 = level.pages16, pages32 = level.pages32;
    const QImage shown = o.doc.table().pages_bitmap;
    const int textures = int(level.object_textures.size());
    // One page in every form the level keeps it, and in the display copy.
    const std::size_t one_page = 256 * 256 * (4 + 2 + 2);
    for (int step = 0; step < 6; ++step) {
        QImage bitmap(8, 8, QImage::Format_RGB888);
        bitmap.fill(QColor(40 * step, 255 - 40 * step, 7));
        ASSERT_TRUE(o.doc.import_replace_current(step * textures / 6, bitmap, nullptr)) << step;
    }
    const auto final16 = level.pages16, final32 = level.pages32;
    ASSERT_EQ(o.doc.history().count(), 6);
    for (int step = 0; step < 6; ++step) {
        const auto& edit = dynamic_cast<const texture_pixel_edit&>(*o.doc.history().command(step));
        EXPECT_GT(edit.after().bytes_apart_from(edit.before()), 0u) << step;
        EXPECT_LE(edit.after().bytes_apart_from(edit.before()), one_page) << step;
        if (step > 0) {
            const auto& last = dynamic_cast<const texture_pixel_edit&>(*o.doc.history().command(step - 1));
            EXPECT_EQ(edit.before().bytes_apart_from(last.after()), 0u) << step;
        }
    }
    o.doc.history().setIndex(0);
    EXPECT_EQ(level.pages16, pages16);
    EXPECT_EQ(level.pages32, pages32);
    EXPECT_EQ(o.doc.table().pages_bitmap, shown);
    o.doc.history().setIndex(6);
    EXPECT_EQ(level.pages16, final16);
    EXPECT_EQ(level.pages32, final32);
}

TEST(Selection, TreeNodesOutsideTheLevelSelectNothing) {
    SKIP_WITHOUT_REAL_LEVELS("test1.phd");
    opened_level o("test1.phd");
    const int moveables = int(o.doc.level().moveables.size());
    const int statics = int(o.doc.level().static_meshes.size());
    const tree_ref refs[] = {
        {node_kind::heading, -1, -1},      {node_kind::moveable, moveables, -1},
        {node_kind::moveable, -1, -1},     {node_kind::static_mesh, statics, -1},
        {node_kind::moveable_mesh, 0, -1}, {node_kind::moveable_mesh, 0, moveables},
        {node_kind::moveable_mesh, -1, 0},
    };
    for (const auto& ref : refs) {
        o.doc.select({node_kind::moveable, 0, -1});
        o.doc.select(ref);
        EXPECT_EQ(o.doc.selection(), editor_selection{}) << int(ref.kind) << " " << ref.index;
        EXPECT_TRUE(selected_meshes(o.doc.selection(), o.doc.level(), o.doc.meshes()).empty());
    }
}

TEST(Selection, AWholeMoveableCoversItsMeshesAndHasNoPointsMode) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4");
    opened_level o("test1.tr4");
    ASSERT_EQ(o.doc.set_render_mode(render_mode::points), render_mode::points);
    o.doc.select({node_kind::moveable, 0, -1});
    EXPECT_EQ(o.doc.current_render_mode(), render_mode::textured);
    EXPECT_EQ(o.doc.set_render_mode(render_mode::points), render_mode::textured);
    const auto m = read_moveable(o.doc.level().moveables[0]);
    const auto meshes = selected_meshes(o.doc.selection(), o.doc.level(), o.doc.meshes());
    ASSERT_EQ(meshes.size(), m.num_meshes);
    EXPECT_EQ(meshes[1], o.doc.meshes().mesh_index[m.first_mesh + 1u]);
    o.doc.select({node_kind::moveable_mesh, 1, 0});
    EXPECT_EQ(o.doc.set_render_mode(render_mode::points), render_mode::points);
    EXPECT_EQ(selected_meshes(o.doc.selection(), o.doc.level(), o.doc.meshes()), std::vector<int>{meshes[1]});
}

TEST(ClickPath, ACtrlClickedVertexInPointsModeIsMarkedUntilAnotherSelection) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4");
    opened_level o("test1.tr4");
    o.doc.select({node_kind::moveable_mesh, 0, 0});
    ASSERT_EQ(o.doc.set_render_mode(render_mode::points), render_mode::points);
    const int mesh = o.doc.selection().mesh;
    tr_scene scene;
    o.doc.show_in(scene);
    EXPECT_EQ(scene.marked_vertex, -1);
    const auto out = o.doc.click_face({mesh, 3}, click_action::vertex_number);
    EXPECT_EQ(out.status_text, "Mesh # " + std::to_string(mesh) + "      Vertex # 3");
    EXPECT_TRUE(out.redraw);
    o.doc.show_in(scene);
    EXPECT_EQ(scene.marked_vertex, 3);
    o.doc.select({node_kind::moveable_mesh, 0, 1});
    o.doc.show_in(scene);
    EXPECT_EQ(scene.marked_vertex, -1);
}

TEST(ClickPath, KeysChooseTheClickActionInTheirOrder) {
    struct row {
        bool shift, ctrl, alt;
        render_mode mode;
        click_action expected;
    };
    const row rows[] = {
        {false, false, false, render_mode::textured, click_action::apply},
        {true, false, false, render_mode::textured, click_action::apply}, // SHIFT alone counts as none
        {false, false, true, render_mode::textured, click_action::rotate},
        {false, true, false, render_mode::textured, click_action::get_texture},
        {false, true, false, render_mode::points, click_action::vertex_number},
        {false, true, true, render_mode::textured, click_action::get_texture},
        {true, true, false, render_mode::textured, click_action::cut},
        {true, true, true, render_mode::points, click_action::cut},
    };
    for (const auto& r : rows)
        EXPECT_EQ(click_action_for(r.shift, r.ctrl, r.alt, r.mode), r.expected)
            << r.shift << r.ctrl << r.alt << int(r.mode);
}

TEST(ClickPath, AClickedFaceIsReportedInTheSelectionStatus) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4");
    opened_level o("test1.tr4");
    // The first mesh with six rectangles and three triangles.
    int m = 0;
    while (std::size_t(m) < o.doc.meshes().meshes.size() &&
           (o.doc.meshes().meshes[std::size_t(m)].num_tex_rects < 6 ||
            o.doc.meshes().meshes[std::size_t(m)].num_tex_tris < 3))
        ++m;
    ASSERT_LT(std::size_t(m), o.doc.meshes().meshes.size());
    const std::string mesh = "Mesh # " + std::to_string(m);
    struct row {
        picked_name picked;
        std::string status;
    };
    const row rows[] = {
        {{m, 5}, mesh + "      Polygon # 5      Polygon type: Quad"},
        {{m, 1002}, mesh + "      Polygon # 2      Polygon type: Triangle"},
        {{m, 2001}, ""},                              // TR4 meshes have no coloured faces
        {{int(o.doc.meshes().meshes.size()), 0}, ""}, // a mesh the level does not have
    };
    for (const auto& r : rows) {
        const auto before = o.doc.meshes().meshes;
        const auto out = o.doc.click_face(r.picked, click_action::get_texture);
        EXPECT_EQ(out.status_text, r.status);
        EXPECT_EQ(o.doc.meshes().meshes, before); // getting a texture changes nothing
        EXPECT_FALSE(o.doc.modified());
    }
}

} // namespace
