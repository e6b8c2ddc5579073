// Static mesh boxes and flags: Automatic Bound, 16-bit box fields, and undo of each edit.
#include "static_boxes.h"

#include <QUndoStack>
#include <gtest/gtest.h>

namespace {

// One static mesh (mesh pointer 0 → tmesh 0) whose faces span x -512..512, y -1024..0, z -256..256,
// with recognisable boxes.
struct StaticBoxes : ::testing::Test {
    tr_level level;
    mesh_list meshes;
    QUndoStack history;
    const static_box visibility{1, 2, 3, 4, 5, 6};
    const static_box collision{-7, 7, -8, 8, -9, 9};

    void SetUp() override {
        level.set_num_static_meshes(1);
        history.push(prepare_box(level, 0, box_kind::visibility, visibility).command.release());
        history.push(prepare_box(level, 0, box_kind::collision, collision).command.release());
        history.clear();
        tmesh m;
        m.set_num_vertices(3);
        m.vertices = {{-512, -1024, -256}, {512, 0, 256}, {0, -500, 0}};
        m.set_num_tex_tris(1);
        for (int k = 0; k < 3; ++k)
            set_face_word(m.tex_tris[0], k, std::uint16_t(k));
        meshes.meshes.push_back(m);
        meshes.mesh_index = {0};
        measure_bounds(meshes, 0);
    }
};

TEST_F(StaticBoxes, AutomaticBoundFitsTheChosenBoxAndLeavesTheOther) {
    for (const box_kind kind : {box_kind::visibility, box_kind::collision}) {
        prepared_edit edit = prepare_automatic_bound(level, meshes, 0, kind);
        ASSERT_TRUE(edit) << edit.message;
        history.push(edit.command.release());
        EXPECT_EQ(static_mesh_box(level, 0, kind), (static_box{-512, 512, -1024, 0, -256, 256}));
        const box_kind other = kind == box_kind::visibility ? box_kind::collision : box_kind::visibility;
        EXPECT_EQ(static_mesh_box(level, 0, other), other == box_kind::visibility ? visibility : collision);
        history.undo();
        EXPECT_EQ(static_mesh_box(level, 0, kind), kind == box_kind::visibility ? visibility : collision);
    }
}

TEST_F(StaticBoxes, AutomaticBoundLeavesOutAFaceCutAwayAfterTheMeshWasRead) {
    tmesh& m = meshes.meshes[0];
    m.set_num_vertices(5);
    m.vertices[3] = {3000, -3000, 3000};
    m.vertices[4] = {-3000, 0, 0};
    m.set_num_tex_rects(1);
    for (int k = 0; k < 4; ++k)
        set_face_word(m.tex_rects[0], k, std::uint16_t(k + 1));
    measure_bounds(meshes, 0);
    // Cut as a CTRL+SHIFT+click cuts it: all corners onto vertex 0, the view's bounds as they were.
    for (int k = 0; k < 4; ++k)
        set_face_word(m.tex_rects[0], k, 0);
    prepared_edit edit = prepare_automatic_bound(level, meshes, 0, box_kind::collision);
    ASSERT_TRUE(edit) << edit.message;
    history.push(edit.command.release());
    EXPECT_EQ(static_mesh_box(level, 0, box_kind::collision), (static_box{-512, 512, -1024, 0, -256, 256}));
}

TEST_F(StaticBoxes, AutomaticBoundOnAMeshWithoutFacesSaysSoAndChangesNothing) {
    meshes.meshes[0].set_num_tex_tris(0);
    measure_bounds(meshes, 0);
    const prepared_edit edit = prepare_automatic_bound(level, meshes, 0, box_kind::collision);
    EXPECT_FALSE(edit);
    EXPECT_EQ(edit.message, no_faces_to_bound_message().english);
    EXPECT_EQ(static_mesh_box(level, 0, box_kind::collision), collision);
}

TEST_F(StaticBoxes, ABoxFieldStoresTheLow16BitsOfWhatWasTyped) {
    const std::pair<long, std::int16_t> cases[] = {
        {40000, -25536}, {-1, -1}, {65535, -1}, {32767, 32767}, {0, 0}};
    for (const auto& [typed, stored] : cases) {
        prepared_edit edit = prepare_box_field(level, 0, box_kind::visibility, 3, typed);
        if (edit) history.push(edit.command.release());
        EXPECT_EQ(static_mesh_box(level, 0, box_kind::visibility)[3], stored) << typed;
    }
}

TEST_F(StaticBoxes, TypingIntoOneFieldIsOneUndoStep) {
    for (const long typed : {4, 40, 400})
        history.push(prepare_box_field(level, 0, box_kind::collision, 0, typed).command.release());
    history.push(prepare_box_field(level, 0, box_kind::collision, 1, 99).command.release());
    EXPECT_EQ(history.count(), 2);
    history.undo();
    history.undo();
    EXPECT_EQ(static_mesh_box(level, 0, box_kind::collision), collision);
    history.redo();
    EXPECT_EQ(static_mesh_box(level, 0, box_kind::collision)[0], 400);
}

TEST_F(StaticBoxes, FlagsAreSetAndUndone) {
    history.push(prepare_flags(level, 0, 0x8003).command.release());
    EXPECT_EQ(static_mesh_flags(level, 0), 0x8003);
    history.undo();
    EXPECT_EQ(static_mesh_flags(level, 0), 0);
}

TEST_F(StaticBoxes, EditsOfAStaticMeshThatDoesNotExistChangeNothing) {
    EXPECT_FALSE(prepare_box_field(level, 1, box_kind::collision, 0, 5));
    EXPECT_FALSE(prepare_flags(level, -1, 5));
    EXPECT_FALSE(prepare_automatic_bound(level, meshes, 3, box_kind::collision));
}

} // namespace
