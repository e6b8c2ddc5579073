// DXF import as an edit: the mesh is replaced in one undoable step, a refused file changes nothing.
#include "dxf_export.h"
#include "dxf_import_command.h"

#include <QUndoStack>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

TEST(DxfImportCommand, ReplacesTheMeshAndUndoPutsItBack) {
    tmesh original;
    original.set_num_vertices(4);
    original.vertices = {{0, 0, 0}, {100, 0, 0}, {100, 0, 100}, {0, 0, 100}};
    original.set_num_normals(4);
    original.set_num_tex_rects(1);
    for (int k = 0; k < 4; ++k)
        set_face_word(original.tex_rects[0], k, std::uint16_t(k));
    mesh_list list;
    list.meshes = {original, original};
    measure_bounds(list, 1);

    // The file describes a triangle on texture 3.
    tmesh triangle;
    triangle.set_num_vertices(3);
    triangle.vertices = {{0, 0, 0}, {300, 0, 0}, {0, -300, 0}};
    triangle.set_num_tex_tris(1);
    for (int k = 0; k < 3; ++k)
        set_face_word(triangle.tex_tris[0], k, std::uint16_t(k));
    set_face_word(triangle.tex_tris[0], 3, 3);
    const fs::path path =
        fs::temp_directory_path() / ("vellum_import_" + std::to_string(::getpid()) + ".dxf");
    ASSERT_EQ(write_dxf_file(triangle, path.string()), "");

    const tmesh before = list.meshes[1];
    QUndoStack history;
    // A level with only textures 0 to 2 refuses it and keeps the mesh.
    const prepared_edit missing_texture = prepare_dxf_import(list, 1, path.string(), true, 3);
    EXPECT_FALSE(missing_texture);
    EXPECT_NE(missing_texture.message.english.find("texture 3,"), std::string::npos)
        << missing_texture.message;
    EXPECT_EQ(list.meshes[1], before);

    prepared_edit edit = prepare_dxf_import(list, 1, path.string(), /*is_static=*/true, 4);
    ASSERT_TRUE(edit) << edit.message;
    history.push(edit.command.release());
    EXPECT_EQ(list.meshes[1].num_tex_rects, 0);
    EXPECT_EQ(list.meshes[1].num_tex_tris, 1);
    // Vertex 0 keeps its number (its place is in the file); the other corners follow the mesh's
    // own vertices.
    EXPECT_EQ(list.meshes[1].num_normals, -6);
    EXPECT_EQ(list.meshes[1].vertices,
              (std::vector<mesh_vec3>{
                  {0, 0, 0}, {100, 0, 0}, {100, 0, 100}, {0, 0, 100}, {300, 0, 0}, {0, -300, 0}}));
    EXPECT_DOUBLE_EQ(list.meshes[1].bounds_max[0], 3.0);
    history.undo();
    EXPECT_EQ(list.meshes[1], before);
    history.redo();
    EXPECT_EQ(list.meshes[1].num_tex_tris, 1);

    // A refused file leaves the mesh as it is and gives no edit.
    std::ofstream(path, std::ios::binary) << "0\nSECTION\n2\nENTITIES\n0\n3DFACE\n10\nabc\n";
    const tmesh current = list.meshes[1];
    const prepared_edit refused = prepare_dxf_import(list, 1, path.string(), true, 4);
    EXPECT_FALSE(refused);
    EXPECT_NE(refused.message.english.find("Line 8"), std::string::npos) << refused.message;
    EXPECT_EQ(list.meshes[1], current);
    fs::remove(path);
}

} // namespace
