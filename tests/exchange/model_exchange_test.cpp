// glTF and OBJ exchange of meshes and moveables: untouched round trips of the shared levels, the
// edits a modeller makes (a vertex moved, a face's UVs turned, a new UV rectangle, a vertex
// painted), material names, and refused files.
#include "exchange_scene.h"
#include "level_reader.h"
#include "level_records.h"
#include "scene_files.h"
#include "scene_import.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const char* const shared_levels[] = {"test1.phd", "test1.tr2", "test1_tr3.tr2", "test1.tr4", "test1.trc"};

fs::path scratch_dir() {
    const fs::path dir = fs::temp_directory_path() / ("vellum_model_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    return dir;
}

// The first difference between two meshes, or "" when they are equal.
std::string first_difference(const tmesh& a, const tmesh& b) {
    auto words = [](const auto& x, const auto& y, const char* what) -> std::string {
        if (x.size() != y.size())
            return std::string(what) + " count " + std::to_string(x.size()) +
                   " != " + std::to_string(y.size());
        for (std::size_t i = 0; i < x.size(); ++i)
            if (!(x[i] == y[i])) return std::string(what) + " " + std::to_string(i) + " differs";
        return "";
    };
    for (const std::string d :
         {words(a.vertices, b.vertices, "vertex"), words(a.normals, b.normals, "normal"),
          words(a.lights, b.lights, "light"), words(a.tex_rects, b.tex_rects, "textured rectangle"),
          words(a.tex_tris, b.tex_tris, "textured triangle"),
          words(a.col_rects, b.col_rects, "coloured rectangle"),
          words(a.col_tris, b.col_tris, "coloured triangle")})
        if (!d.empty()) return d;
    return a == b ? "" : "other fields";
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

} // namespace
