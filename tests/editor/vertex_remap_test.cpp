// Vertex remap: two vertex numbers exchanged, the shape and shading kept, bad numbers refused, undo.
#include "vertex_remap.h"

#include <QUndoStack>
#include <gtest/gtest.h>

namespace {

// Ten vertices at distinct positions; face 0 has corners 2, 5, 7, 9.
mesh_list mesh_with_face_2_5_7_9() {
    tmesh m;
    m.set_num_vertices(10);
    for (std::int16_t i = 0; i < 10; ++i)
        m.vertices[std::size_t(i)] = {std::int16_t(i * 10), std::int16_t(-i), std::int16_t(i * 3)};
    m.set_num_tex_rects(1);
    const std::uint16_t corners[] = {2, 5, 7, 9};
    for (int k = 0; k < 4; ++k)
        set_face_word(m.tex_rects[0], k, corners[k]);
    set_face_word(m.tex_rects[0], 4, 0x0123);
    m.set_num_col_tris(1);
    set_face_word(m.col_tris[0], 0, 9);
    set_face_word(m.col_tris[0], 1, 1);
    set_face_word(m.col_tris[0], 2, 5);
    mesh_list list;
    list.meshes.push_back(m);
    return list;
}

mesh_vec3 corner(const tmesh& m, int k) {
    return m.vertices[face_word(m.tex_rects[0], k)];
}

TEST(VertexRemap, ExchangesTwoNumbersAndKeepsTheShape) {
    mesh_list list = mesh_with_face_2_5_7_9();
    const tmesh before = list.meshes[0];
    QUndoStack history;
    prepared_edit edit = prepare_remap(list, 0, 5, 9);
    ASSERT_TRUE(edit) << edit.message;
    history.push(edit.command.release());
    const tmesh& after = list.meshes[0];
    EXPECT_EQ(face_word(after.tex_rects[0], 0), 2);
    EXPECT_EQ(face_word(after.tex_rects[0], 1), 9);
    EXPECT_EQ(face_word(after.tex_rects[0], 2), 7);
    EXPECT_EQ(face_word(after.tex_rects[0], 3), 5);
    EXPECT_EQ(face_word(after.col_tris[0], 0), 5);
    EXPECT_EQ(face_word(after.col_tris[0], 2), 9);
    EXPECT_EQ(after.vertices[5], before.vertices[9]);
    EXPECT_EQ(after.vertices[9], before.vertices[5]);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(corner(after, k), corner(before, k)) << "corner " << k;
    EXPECT_EQ(rect_texture(after.tex_rects[0]), 0x0123);
    history.undo();
    EXPECT_EQ(list.meshes[0], before);
}

TEST(VertexRemap, NormalsAndVertexLightsMoveWithTheirPositions) {
    for (const bool lit : {false, true}) {
        mesh_list list = mesh_with_face_2_5_7_9();
        tmesh& m = list.meshes[0];
        m.set_num_normals(lit ? -10 : 10);
        for (std::int16_t i = 0; i < 10; ++i) {
            if (lit)
                m.lights[std::size_t(i)] = std::int16_t(100 + i);
            else
                m.normals[std::size_t(i)] = {i, std::int16_t(2 * i), 7};
        }
        const tmesh before = m;
        ASSERT_EQ(remap_vertices(m, 5, 9), "");
        if (lit) {
            EXPECT_EQ(m.lights[5], before.lights[9]);
            EXPECT_EQ(m.lights[9], before.lights[5]);
        } else {
            EXPECT_EQ(m.normals[5], before.normals[9]);
            EXPECT_EQ(m.normals[9], before.normals[5]);
        }
    }
}

TEST(VertexRemap, TheSameNumberTwiceLeavesTheMeshUnchangedAndMakesNoUndoStep) {
    mesh_list list = mesh_with_face_2_5_7_9();
    const tmesh before = list.meshes[0];
    EXPECT_EQ(remap_vertices(list.meshes[0], 5, 5), "");
    EXPECT_EQ(list.meshes[0], before);
    const prepared_edit edit = prepare_remap(list, 0, 5, 5);
    EXPECT_EQ(edit.command, nullptr);
    EXPECT_EQ(edit.message, "");
}

TEST(VertexRemap, ANumberAtOrPastTheVertexCountIsRefusedNamingTheCount) {
    for (const auto& [b, a] : {std::pair{10, 2}, std::pair{2, 10}, std::pair{9998, 0}, std::pair{-1, 0}}) {
        mesh_list list = mesh_with_face_2_5_7_9();
        const tmesh before = list.meshes[0];
        const prepared_edit edit = prepare_remap(list, 0, b, a);
        EXPECT_FALSE(edit);
        EXPECT_NE(edit.message.english.find("has 10 vertices"), std::string::npos) << edit.message;
        EXPECT_EQ(list.meshes[0], before);
    }
}

} // namespace
