// glTF and OBJ exchange of meshes and moveables: untouched round trips of the shared levels, the
// edits a modeller makes (a vertex moved, a face's UVs turned, a new UV rectangle, a vertex
// painted), material names, and refused files.
#include "exchange_scene.h"
#include "level_reader.h"
#include "level_records.h"
#include "mesh_difference.h"
#include "scene_files.h"
#include "scene_import.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const char* const shared_levels[] = {"test1.phd", "test1.tr2", "test1_tr3.tr2", "test1.tr4", "test1.trc"};

fs::path scratch_dir() {
    const fs::path dir = fs::temp_directory_path() / ("vellum_model_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    return dir;
}

struct loaded {
    tr_level level;
    mesh_list list;
};

bool load(loaded& l, const std::string& file) {
    std::string error;
    if (read_level(l.level, std::string(VELLUM_SHARED_LEVELS) + "/" + file, &error) != read_ok) return false;
    build_mesh_list(l.list, l.level);
    return true;
}

scene_import through_file(const exchange_scene& scene, const fs::path& path, const loaded& l, int moveable,
                          int mesh) {
    EXPECT_EQ(write_scene_file(scene, path.string()), "");
    read_scene read = read_scene_file(path.string());
    if (!read.error.empty()) return {{}, {}, read.error};
    return moveable >= 0 ? import_scene_into_moveable(read.scene, l.level, l.list, moveable)
                         : import_scene_into_mesh(read.scene, l.level, l.list, mesh,
                                                  l.list.meshes[std::size_t(mesh)].num_normals < 0);
}

// Every moveable and static mesh of the five shared levels, through .glb and .obj, comes back with
// every mesh word as it was and no new texture.
TEST(ModelRoundTrip, UntouchedMoveablesAndStaticsOfTheSharedLevelsComeBackUnchanged) {
    if (!fs::is_directory(VELLUM_SHARED_LEVELS))
        GTEST_SKIP() << "no shared levels at " << VELLUM_SHARED_LEVELS;
    const fs::path dir = scratch_dir();
    int checked = 0;
    for (const char* file : shared_levels) {
        loaded l;
        ASSERT_TRUE(load(l, file)) << file;
        for (const char* ext : {".glb", ".obj"}) {
            auto check = [&](const exchange_scene& scene, int moveable, int mesh, const std::string& what) {
                bool has_faces = false;
                for (const auto& m : scene.meshes)
                    has_faces = has_faces || !m.faces.empty();
                if (!has_faces) return;
                const scene_import back =
                    through_file(scene, dir / (std::string("m") + ext), l, moveable, mesh);
                ASSERT_EQ(back.error, "") << file << " " << what << ext;
                EXPECT_TRUE(back.new_textures.empty()) << file << " " << what << ext;
                for (const auto& [index, replacement] : back.meshes)
                    EXPECT_EQ(first_difference(replacement, l.list.meshes[std::size_t(index)]), "")
                        << file << " " << what << ext << " mesh " << index;
                ++checked;
            };
            for (int m = 0; m < int(l.level.moveables.size()); ++m)
                check(scene_of_moveable(l.level, l.list, m), m, -1, "moveable " + std::to_string(m));
            for (int s = 0; s < int(l.level.static_meshes.size()); ++s) {
                const std::size_t pointer = read_static_mesh(l.level.static_meshes[std::size_t(s)]).mesh;
                if (pointer >= l.list.mesh_index.size()) continue;
                check(scene_of_static(l.level, l.list, s), -1, l.list.mesh_index[pointer],
                      "static " + std::to_string(s));
            }
        }
    }
    EXPECT_GT(checked, 100);
    fs::remove_all(dir);
}

// A one-quad static mesh on texture 0 and a level with two textures, for the edit tests.
struct small_level {
    tr_level level;
    mesh_list list;
    small_level() {
        level.game_version = game_tr4;
        level.set_num_object_textures(2);
        for (std::uint8_t x : {0, 1}) {
            // Texture 1 lies beside texture 0, so that no corner of the two shares a UV.
            auto& t = level.object_textures[x];
            const std::uint8_t left = std::uint8_t(x * 128), right = std::uint8_t(left + 32);
            t.corners[0] = {0, left, 0, 0}, t.corners[1] = {0, right, 0, 0}, t.corners[2] = {0, right, 0, 32};
            t.corners[3] = {0, left, 0, 32};
        }
        tmesh m;
        m.set_num_vertices(5);
        m.vertices = {{0, 0, 0}, {1024, 0, 0}, {1024, 0, 1024}, {0, 0, 1024}, {0, -512, 0}};
        m.set_num_normals(-5);
        m.lights = {100, 200, 300, 400, 500};
        m.set_num_tex_rects(1);
        for (int k = 0; k < 4; ++k)
            set_face_word(m.tex_rects[0], k, std::uint16_t(k));
        set_face_word(m.tex_rects[0], 5, 7); // effects
        m.set_num_tex_tris(1);
        for (int k = 0; k < 3; ++k)
            set_face_word(m.tex_tris[0], k, std::uint16_t(k == 2 ? 4 : k));
        set_face_word(m.tex_tris[0], 3, 1);
        list.meshes.push_back(m);
        mesh_list one;
        one.meshes.push_back(m);
        measure_bounds(one, 0);
        list.meshes[0] = one.meshes[0];
    }
};

exchange_scene scene_of_static_mesh_for_test(const small_level& l) {
    return scene_of_mesh(l.level, l.list, 0);
}

// The file vertices of `scene` at the file position of level vertex `v`.
std::vector<std::size_t> file_vertices_at(const scene_mesh& m, const mesh_vec3& v) {
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < m.positions.size(); ++i)
        if (m.positions[i][0] == float(v[0] / 1024.0) && m.positions[i][1] == float(-v[1] / 1024.0) &&
            m.positions[i][2] == float(-v[2] / 1024.0))
            out.push_back(i);
    return out;
}

TEST(ModelImport, AModellersEditsComeBackAsThoseEditsOnly) {
    struct edit_case {
        const char* what;
        std::function<void(exchange_scene&)> edit;
        std::function<void(tmesh&, tr_level&)> expect; // applied to the original
        std::size_t new_textures;
    };
    const edit_case cases[] = {
        {"vertex 1 moved 64 units along x",
         [](exchange_scene& s) {
             for (std::size_t i : file_vertices_at(s.meshes[0], {1024, 0, 0}))
                 s.meshes[0].positions[i][0] += 64.0f / 1024.0f;
         },
         [](tmesh& m, tr_level&) { m.vertices[1][0] = 1088; }, 0},
        {"the rectangle's UVs turned one step",
         [](exchange_scene& s) {
             // Each corner takes the UV of the next level corner: the texture turns one step.
             const scene_mesh& before = s.meshes[0];
             std::map<std::size_t, std::array<float, 2>> uv;
             const scene_face& f = before.faces[0]; // the rectangle, corners written in reverse
             for (int k = 0; k < 4; ++k)
                 uv[f.vertex[std::size_t(3 - k)]] = before.uvs[f.vertex[std::size_t(3 - (k + 1) % 4)]];
             for (const auto& [v, value] : uv)
                 s.meshes[0].uvs[v] = value;
         },
         [](tmesh& m, tr_level&) {
             const auto was = m.tex_rects[0];
             for (int j = 0; j < 4; ++j)
                 set_face_word(m.tex_rects[0], j, face_word(was, (j + 3) % 4));
         },
         0},
        {"the triangle's UVs on a rectangle of the page no texture has",
         [](exchange_scene& s) {
             const scene_face& f = s.meshes[0].faces[1];
             for (int k = 0; k < 3; ++k)
                 s.meshes[0].uvs[f.vertex[std::size_t(k)]][0] += 64.0f / 256.0f;
         },
         [](tmesh& m, tr_level& level) {
             set_face_word(m.tex_tris[0], 3, std::uint16_t(level.object_textures.size()));
         },
         1},
        {"vertex 2 painted black",
         [](exchange_scene& s) {
             for (std::size_t i : file_vertices_at(s.meshes[0], {1024, 0, 1024}))
                 s.meshes[0].colours[i] = {0, 0, 0, 1};
         },
         [](tmesh& m, tr_level&) { m.lights[2] = 8191; }, 0},
    };
    for (const edit_case& c : cases) {
        small_level l;
        exchange_scene scene = scene_of_static_mesh_for_test(l);
        c.edit(scene);
        const scene_import back = import_scene_into_mesh(scene, l.level, l.list, 0, true);
        ASSERT_EQ(back.error, "") << c.what;
        ASSERT_EQ(back.meshes.size(), 1u) << c.what;
        EXPECT_EQ(back.new_textures.size(), c.new_textures) << c.what;
        tmesh expected = l.list.meshes[0];
        c.expect(expected, l.level);
        mesh_list one;
        one.meshes.push_back(expected);
        measure_bounds(one, 0);
        EXPECT_EQ(first_difference(back.meshes[0].second, one.meshes[0]), "") << c.what;
    }
}

TEST(ModelNames, MaterialAndNodeNamesReadBackAsTheyWereWritten) {
    const std::pair<material_key, const char*> materials[] = {{{false, 7, 0}, "TEXTUR_0007"},
                                                              {{false, 0x8007, 0}, "TEXTUR_0007_H8"},
                                                              {{false, 12, 3}, "TEXTUR_0012_FX3"},
                                                              {{true, 300, 0}, "COLOUR_00300"}};
    for (const auto& [key, name] : materials) {
        EXPECT_EQ(material_name(key), name);
        EXPECT_EQ(material_of_name(name), key) << name;
        EXPECT_EQ(material_of_name(std::string(name) + ".001"), key) << "a modeller's copy of " << name;
    }
    for (const char* other : {"Material", "TEXTUR_", "TEXTUR_12ab", "TEXTUR_0007_FX", "COLOUR_x"})
        EXPECT_FALSE(material_of_name(other)) << other;
    EXPECT_EQ(mesh_node_name(123), "mesh_0123");
    EXPECT_EQ(mesh_of_node_name("mesh_0123.004"), 123);
    EXPECT_FALSE(mesh_of_node_name("Cube"));
}

// Bad files are refused with a message, quickly and without a huge allocation.
TEST(ModelImport, BadFilesAreRefusedWithAMessageInBoundedTimeAndMemory) {
    const fs::path dir = scratch_dir();
    small_level l;
    const std::vector<std::uint8_t> good = glb_bytes(scene_of_static_mesh_for_test(l));
    auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return (dir / name).string();
    };
    std::string many = R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[)";
    for (int i = 0; i < 100000; ++i)
        many += (i ? "," : "") + std::to_string(i);
    many += "]}],\"nodes\":[";
    for (int i = 0; i < 100000; ++i)
        many += std::string(i ? "," : "") + "{\"name\":\"mesh_0000\"}";
    many += "]}";
    const std::string huge_buffer =
        R"({"asset":{"version":"2.0"},"buffers":[{"byteLength":2147483648,"uri":"data:application/octet-stream;base64,AAAA"}],)"
        R"("bufferViews":[{"buffer":0,"byteLength":2147483648}],"accessors":[{"bufferView":0,"componentType":5126,"count":178956970,"type":"VEC3"}],)"
        R"("meshes":[{"primitives":[{"attributes":{"POSITION":0}}]}],"nodes":[{"mesh":0}],"scenes":[{"nodes":[0]}],"scene":0})";
    std::string huge_chunk(good.begin(), good.begin() + 20);
    huge_chunk[12] = huge_chunk[13] = huge_chunk[14] = char(0xFF), huge_chunk[15] = 0x7F;
    const std::pair<std::string, std::string> cases[] = {
        {write("empty.glb", ""), "is empty"},
        {write("truncated.glb", std::string(good.begin(), good.begin() + std::ptrdiff_t(good.size() / 2))),
         "could not"},
        {write("text.glb", "this is not a model\n"), "could not"},
        {write("huge_chunk.glb", huge_chunk), "could not"},
        {write("huge_buffer.gltf", huge_buffer), "could not"},
        {write("many_nodes.gltf", many), "nodes"},
        {(dir / "missing.obj").string(), "Cannot read"}};
    for (const auto& [path, message] : cases) {
        const auto started = std::chrono::steady_clock::now();
        const read_scene r = read_scene_file(path);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        EXPECT_NE(r.error.english.find(message), std::string::npos) << path << ": " << r.error;
        EXPECT_LT(seconds, 20.0) << path;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    EXPECT_LT(usage.ru_maxrss, 1024L * 1024L) << "peak memory in kB";
    fs::remove_all(dir);
}

} // namespace
