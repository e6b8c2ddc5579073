// Boxes, flags, remap and DXF import through the document: each is one step of the history that
// undo restores exactly; the selection decides what they act on.
#include "editor_document.h"
#include "real_levels.h"
#include "scripted_prompts.h"
#include "static_boxes.h"

#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

const std::string shared = VELLUM_SHARED_LEVELS;
const std::string catalogue = std::string(VELLUM_SOURCE_DIR) + "/data/trcatalog.xml";

struct opened_tr1 {
    editor_document doc;
    scripted_prompts prompts;
    null_progress progress;
    opened_tr1() { EXPECT_TRUE(doc.open(shared + "/test1.phd", catalogue, progress, prompts)); }
};

TEST(DocumentExchange, EachCommandIsOneHistoryStepThatUndoRestores) {
    SKIP_WITHOUT_REAL_LEVELS("test1.phd");
    QTemporaryDir dir;
    const std::string dxf = (dir.path() + "/mesh.dxf").toStdString();
    const std::string glb = (dir.path() + "/mesh.glb").toStdString();
    const std::vector<std::pair<const char*, std::function<command_result(editor_document&)>>> edits = {
        {"box field", [](editor_document& d) { return d.set_box_field(4, 40000); }},
        {"flags", [](editor_document& d) { return d.set_flags(9); }},
        {"automatic bound", [](editor_document& d) { return d.automatic_bound(); }},
        {"remap", [](editor_document& d) { return d.remap_vertices(0, 1); }},
        {"import dxf", [&dxf](editor_document& d) { return d.import_dxf(dxf); }},
        {"import model", [&glb](editor_document& d) { return d.import_model(glb); }},
    };
    for (const auto& [what, edit] : edits) {
        opened_tr1 o;
        o.doc.select({node_kind::static_mesh, 0, -1});
        ASSERT_EQ(o.doc.selection().kind, selection_kind::static_mesh);
        // The file to import: the first moveable mesh with faces, so the static mesh really changes.
        o.doc.select({node_kind::moveable_mesh, 0, 0});
        ASSERT_TRUE(o.doc.export_dxf(dxf).ok);
        ASSERT_TRUE(o.doc.export_model(glb).ok);
        o.doc.select({node_kind::static_mesh, 0, -1});
        const std::vector<rec<32>> statics = o.doc.level().static_meshes;
        const std::vector<tmesh> meshes = o.doc.meshes().meshes;
        const command_result r = edit(o.doc);
        ASSERT_TRUE(r.ok) << what << ": " << r.message;
        EXPECT_EQ(o.doc.history().count(), 1) << what;
        EXPECT_TRUE(o.doc.modified()) << what;
        EXPECT_TRUE(o.doc.level().static_meshes != statics || o.doc.meshes().meshes != meshes) << what;
        o.doc.history().undo();
        EXPECT_EQ(o.doc.level().static_meshes, statics) << what;
        EXPECT_EQ(o.doc.meshes().meshes, meshes) << what;
        EXPECT_FALSE(o.doc.modified()) << what;
    }
}

TEST(DocumentExchange, TheShownBoxIsTheOneEditedAndAMoveableChangesNothing) {
    SKIP_WITHOUT_REAL_LEVELS("test1.phd");
    opened_tr1 o;
    o.doc.select({node_kind::static_mesh, 0, -1});
    o.doc.set_shown_box(box_kind::visibility);
    ASSERT_TRUE(o.doc.set_box_field(0, -7).ok);
    EXPECT_EQ(o.doc.selected_box()[0], -7);
    EXPECT_EQ(static_mesh_box(o.doc.level(), 0, box_kind::visibility)[0], -7);

    o.doc.select({node_kind::moveable, 0, -1});
    const std::vector<rec<32>> statics = o.doc.level().static_meshes;
    EXPECT_TRUE(o.doc.set_box_field(0, 5).ok);
    EXPECT_TRUE(o.doc.set_flags(5).ok);
    EXPECT_EQ(o.doc.level().static_meshes, statics);
    EXPECT_EQ(o.doc.remap_vertices(0, 1).message, "WARNING: To remap vertices you must select a MESH!!");
    EXPECT_EQ(o.doc.export_dxf("/nonexistent/x.dxf").message, "You have to select a Mesh!");
    EXPECT_EQ(o.doc.history().count(), 1);
}

} // namespace
