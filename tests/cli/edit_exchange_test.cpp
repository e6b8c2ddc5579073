// `vellum-cli edit` box, flags, remap, import-dxf and model import commands on the TR1 shared level (the one
// with static meshes): what they change is read back from the saved file, and a refused command writes
// nothing.
#include "level_reader.h"
#include "mesh_list.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

int run_cli(const std::string& args) {
    const std::string command = std::string("'") + VELLUM_CLI + "' " + args + " >/dev/null 2>&1";
    const int rc = std::system(command.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

struct loaded {
    tr_level level;
    mesh_list meshes;
    explicit loaded(const std::string& path) {
        std::string error;
        EXPECT_EQ(read_level(level, path, &error), read_ok) << error;
        build_mesh_list(meshes, level);
    }
    std::int16_t box(int static_index, int kind, int i) const {
        return get_i16(
            &level.static_meshes.at(std::size_t(static_index))[std::size_t(6 + 12 * kind + 2 * i)]);
    }
    const tmesh& of_static(int static_index) const {
        return meshes.meshes.at(std::size_t(
            meshes.mesh_index.at(get_u16(&level.static_meshes.at(std::size_t(static_index))[4]))));
    }
};

struct EditExchange : ::testing::Test {
    fs::path dir = fs::temp_directory_path() / ("vellum_edit_exchange_" + std::to_string(::getpid()));
    std::string in = std::string(VELLUM_SHARED_LEVELS) + "/test1.phd";
    std::string out = (dir / "out.phd").string();
    void SetUp() override {
        if (!fs::is_regular_file(in)) GTEST_SKIP() << "no shared level " << in;
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string edit(const std::string& commands) const {
        return "edit '" + in + "' '" + out + "' " + commands;
    }
};

TEST_F(EditExchange, BoxFlagsRemapAndImportAreSaved) {
    const loaded before(in);
    ASSERT_GE(before.level.static_meshes.size(), 2u);
    const std::string dxf = (dir / "mesh5.dxf").string();
    ASSERT_EQ(run_cli("export-dxf '" + in + "' 5 '" + dxf + "'"), 0);
    ASSERT_EQ(
        run_cli(edit("box 0 collision 1 2 3 4 40000 -5, flags 0 7, box 1 visibility auto, remap 10 0 1, "
                     "import-dxf 12 '" +
                     dxf + "'")),
        0);
    const loaded after(out);
    const std::int16_t collision[] = {1, 2, 3, 4, -25536, -5};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(after.box(0, 1, i), collision[i]) << i;
        EXPECT_EQ(after.box(0, 0, i), before.box(0, 0, i)) << "visibility box unchanged " << i;
    }
    EXPECT_EQ(get_u16(&after.level.static_meshes[0][30]), 7);
    // Automatic Bound: the mesh's extent in level units.
    const tmesh& m = after.of_static(1);
    std::int16_t low[3] = {32767, 32767, 32767}, high[3] = {-32768, -32768, -32768};
    for (const auto& r : m.tex_rects)
        for (int k = 0; k < 4; ++k)
            for (int a = 0; a < 3; ++a) {
                low[a] = std::min(low[a], m.vertices.at(face_word(r, k))[std::size_t(a)]);
                high[a] = std::max(high[a], m.vertices.at(face_word(r, k))[std::size_t(a)]);
            }
    for (const auto& t : m.tex_tris)
        for (int k = 0; k < 3; ++k)
            for (int a = 0; a < 3; ++a) {
                low[a] = std::min(low[a], m.vertices.at(face_word(t, k))[std::size_t(a)]);
                high[a] = std::max(high[a], m.vertices.at(face_word(t, k))[std::size_t(a)]);
            }
    for (int a = 0; a < 3; ++a) {
        EXPECT_EQ(after.box(1, 0, 2 * a), low[a]) << "axis " << a;
        EXPECT_EQ(after.box(1, 0, 2 * a + 1), high[a]) << "axis " << a;
    }
    // Remap: positions 0 and 1 traded.
    EXPECT_EQ(after.meshes.meshes[10].vertices[0], before.meshes.meshes[10].vertices[1]);
    EXPECT_EQ(after.meshes.meshes[10].vertices[1], before.meshes.meshes[10].vertices[0]);
    // Import: mesh 12 now has mesh 5's faces.
    EXPECT_EQ(after.meshes.meshes[12].num_tex_rects, before.meshes.meshes[5].num_tex_rects);
    EXPECT_EQ(after.meshes.meshes[12].num_tex_tris, before.meshes.meshes[5].num_tex_tris);
}

TEST_F(EditExchange, AMoveableExportedAsAModelImportsBackUnchanged) {
    const loaded before(in);
    for (const char* ext : {".glb", ".gltf", ".obj"}) {
        const std::string model = (dir / (std::string("moveable") + ext)).string();
        ASSERT_EQ(run_cli("export-mesh '" + in + "' --moveable 1 '" + model + "'"), 0) << ext;
        ASSERT_EQ(run_cli(edit("import-moveable 1 '" + model + "'")), 0) << ext;
        EXPECT_EQ(loaded(out).meshes.meshes, before.meshes.meshes) << ext;
    }
    EXPECT_EQ(run_cli("export-mesh '" + in + "' --moveable 9999 '" + (dir / "x.glb").string() + "'"), 64);
    EXPECT_EQ(run_cli("export-mesh '" + in + "' --static 0 '" + (dir / "x.fbx").string() + "'"), 64);
}

TEST_F(EditExchange, RefusedCommandsWriteNothing) {
    const std::string bad = (dir / "bad.dxf").string();
    std::FILE* f = std::fopen(bad.c_str(), "wb");
    std::fputs("0\nSECTION\n2\nENTITIES\n0\n3DFACE\n10\nabc\n", f);
    std::fclose(f);
    const std::pair<std::string, int> cases[] = {{"remap 10 0 9998", 5},
                                                 {"import-dxf 12 '" + bad + "'", 5},
                                                 {"import-moveable 1 '" + bad + "'", 5},
                                                 {"import-mesh 12 '" + bad + "'", 5},
                                                 {"box 99999 collision auto", 5},
                                                 {"box 0 sideways auto", 64},
                                                 {"box 0 collision 1 2 3", 64},
                                                 {"flags 0 65536", 64},
                                                 {"box 0 collision 1 2 3 4 5 70000", 64}};
    for (const auto& [commands, status] : cases) {
        EXPECT_EQ(run_cli(edit("flags 0 3, " + commands)), status) << commands;
        EXPECT_FALSE(fs::exists(out)) << commands;
    }
}

} // namespace
