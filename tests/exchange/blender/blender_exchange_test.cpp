// Meshes and moveables through real Blender: Vellum writes .glb files, one headless Blender run
// imports each, checks what it sees, makes a modeller's edits (a vertex moved, a face's UVs turned
// one step, a static mesh's vertex painted) and exports .glb and .obj; Vellum reads them back and
// must find exactly those edits. An untouched round trip of every moveable and static mesh of the
// shared levels must change nothing. Skipped where Blender or the shared levels are absent.
#include "../mesh_difference.h"
#include "exchange_scene.h"
#include "level_reader.h"
#include "level_records.h"
#include "level_writer.h"
#include "scene_files.h"
#include "scene_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const char* const shared_levels[] = {"test1.phd", "test1.tr2", "test1_tr3.tr2", "test1.tr4", "test1.trc"};

struct loaded {
    std::string file;
    tr_level level;
    mesh_list list;
};

void load(loaded& l, const std::string& file) {
    l.file = file;
    std::string error;
    ASSERT_EQ(read_level(l.level, std::string(VELLUM_SHARED_LEVELS) + "/" + file, &error), read_ok) << error;
    build_mesh_list(l.list, l.level);
}

std::string json_string(const std::string& s) {
    return "\"" + s + "\""; // paths and names here hold no quotes or backslashes
}

std::string json_position(const mesh_vec3& v) {
    std::ostringstream out;
    out.precision(9);
    out << "[" << v[0] / 1024.0 << ", " << -v[1] / 1024.0 << ", " << -v[2] / 1024.0 << "]";
    return out.str();
}

int static_tmesh(const loaded& l, int s) {
    const std::size_t pointer = read_static_mesh(l.level.static_meshes[std::size_t(s)]).mesh;
    return pointer < l.list.mesh_index.size() ? l.list.mesh_index[pointer] : -1;
}

// Whether a node of the scene carries a face.
bool has_faces(const exchange_scene& scene) {
    for (const auto& n : scene.nodes)
        for (int m : n.meshes)
            if (m >= 0 && std::size_t(m) < scene.meshes.size() && !scene.meshes[std::size_t(m)].faces.empty())
                return true;
    return false;
}

// Vertices whose position no other vertex of the mesh shares, used by a face.
std::set<int> lone_vertices(const tmesh& m) {
    std::map<mesh_vec3, int> count;
    for (const auto& v : m.vertices)
        ++count[v];
    std::set<int> used, out;
    auto mark = [&](const auto& list, int corners) {
        for (const auto& f : list)
            for (int k = 0; k < corners; ++k)
                used.insert(face_word(f, k));
    };
    mark(m.tex_rects, 4), mark(m.tex_tris, 3), mark(m.col_rects, 4), mark(m.col_tris, 3);
    for (int v : used)
        if (std::size_t(v) < m.vertices.size() && count[m.vertices[std::size_t(v)]] == 1) out.insert(v);
    return out;
}

bool distinct_corners(const tobject_texture& t, int n) {
    for (int a = 0; a < n; ++a)
        for (int b = a + 1; b < n; ++b)
            if (t.corners[std::size_t(a)] == t.corners[std::size_t(b)]) return false;
    return true;
}

// The edits planned for one level and what they must do.
struct plan {
    int moveable = -1, mesh = -1, vertex = -1, face = -1; // face: textured rectangle of `mesh`
    int static_mesh = -1, static_tmesh_index = -1, painted = -1;
    std::int16_t painted_light = 0;
    std::string jobs; // JSON objects for the Blender script
};

plan plan_edits(const loaded& l, const fs::path& dir, const std::string& tag) {
    plan p;
    for (int mv = 0; mv < int(l.level.moveables.size()) && p.face < 0; ++mv) {
        const auto parts = moveable_tree(l.level, l.list, mv);
        std::map<int, int> uses;
        for (const auto& part : parts)
            ++uses[part.mesh];
        for (const auto& part : parts) {
            if (part.mesh < 0 || uses[part.mesh] != 1) continue;
            const tmesh& m = l.list.meshes[std::size_t(part.mesh)];
            if (m.num_normals <= 0) continue;
            const std::set<int> lone = lone_vertices(m);
            for (int f = 0; f < m.num_tex_rects && p.face < 0; ++f) {
                const auto& r = m.tex_rects[std::size_t(f)];
                const std::size_t t = rect_texture(r) & 0x0FFF;
                if (t >= l.level.object_textures.size() || !distinct_corners(l.level.object_textures[t], 4))
                    continue;
                bool corners_lone = true;
                std::set<int> corner_set;
                for (int k = 0; k < 4; ++k)
                    corners_lone = corners_lone && lone.count(face_word(r, k)),
                    corner_set.insert(face_word(r, k));
                if (!corners_lone) continue;
                for (int v : lone) {
                    if (corner_set.count(v)) continue;
                    mesh_vec3 to = m.vertices[std::size_t(v)];
                    to[0] = std::int16_t(to[0] + 64);
                    if (std::find(m.vertices.begin(), m.vertices.end(), to) != m.vertices.end()) continue;
                    p.moveable = mv, p.mesh = part.mesh, p.vertex = v, p.face = f;
                    break;
                }
            }
            if (p.face >= 0) break;
        }
    }
    for (int s = 0; s < int(l.level.static_meshes.size()) && p.painted < 0; ++s) {
        const int sm = static_tmesh(l, s);
        if (sm < 0 || sm == p.mesh) continue;
        const tmesh& m = l.list.meshes[std::size_t(sm)];
        if (m.num_normals >= 0 || m.num_tex_rects + m.num_tex_tris == 0) continue;
        const std::set<int> lone = lone_vertices(m);
        if (lone.empty()) continue;
        p.static_mesh = s, p.static_tmesh_index = sm, p.painted = *lone.begin();
        p.painted_light = light_to_grey(m.lights[std::size_t(p.painted)]) > 0.5f ? 8191 : 0;
    }
    if (p.face < 0) {
        std::printf("%s: no moveable mesh fit for the Blender edits\n", l.file.c_str());
        return p;
    }

    const tmesh& m = l.list.meshes[std::size_t(p.mesh)];
    const auto& rect = m.tex_rects[std::size_t(p.face)];
    std::string corners;
    for (int k = 0; k < 4; ++k)
        corners += (k ? ", " : "") + json_position(m.vertices[face_word(rect, k)]);
    const std::string name = mesh_node_name(p.mesh);
    const std::string material =
        material_name({false, rect_texture(rect),
                       std::uint16_t(l.level.game_version >= game_tr4 ? face_word(rect, 5) : 0)});
    const fs::path mov = dir / (tag + "_moveable.glb"), sta = dir / (tag + "_static.glb");
    EXPECT_EQ(write_scene_file(scene_of_moveable(l.level, l.list, p.moveable), mov.string()), "");
    p.jobs = "{\"in\": " + json_string(mov.string()) +
             ", \"glb\": " + json_string(dir / (tag + "_moveable_out.glb")) +
             ", \"obj\": " + json_string(dir / (tag + "_moveable_out.obj")) + ", \"edits\": [" +
             "{\"kind\": \"move\", \"object\": " + json_string(name) +
             ", \"position\": " + json_position(m.vertices[std::size_t(p.vertex)]) +
             ", \"delta\": " + json_position({64, 0, 0}) +
             "}, {\"kind\": \"rotate\", \"object\": " + json_string(name) +
             ", \"material\": " + json_string(material) + ", \"corners\": [" + corners + "]}]}";
    // Only TR1's shared level has static meshes.
    if (p.painted < 0) return p;
    EXPECT_EQ(write_scene_file(scene_of_static(l.level, l.list, p.static_mesh), sta.string()), "");
    const float c = p.painted_light == 0 ? 1.0f : 0.0f;
    p.jobs +=
        ",\n{\"in\": " + json_string(sta.string()) +
        ", \"glb\": " + json_string(dir / (tag + "_static_out.glb")) +
        ", \"obj\": " + json_string(dir / (tag + "_static_out.obj")) + ", \"edits\": [" +
        "{\"kind\": \"paint\", \"object\": " + json_string(mesh_node_name(p.static_tmesh_index)) +
        ", \"position\": " +
        json_position(l.list.meshes[std::size_t(p.static_tmesh_index)].vertices[std::size_t(p.painted)]) +
        ", \"colour\": [" + std::to_string(c) + ", " + std::to_string(c) + ", " + std::to_string(c) +
        ", 1.0]}]}";
    return p;
}

// Appends `model` to `all` under a new root node named `name`. A mesh already in `all` (from an
// earlier model, or earlier in this one) keeps its node but not its geometry, so that each mesh
// travels once and the file stays small enough for one quick Blender run.
void add_model(exchange_scene& all, const exchange_scene& model, const std::string& name,
               std::set<int>& seen) {
    const int root = int(all.nodes.size());
    all.nodes.push_back({name, -1, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0}, {}});
    const int node_base = int(all.nodes.size()), mesh_base = int(all.meshes.size());
    std::vector<int> material_of(model.materials.size());
    for (std::size_t i = 0; i < model.materials.size(); ++i) {
        std::size_t at = 0;
        while (at < all.materials.size() && all.materials[at].name != model.materials[i].name)
            ++at;
        if (at == all.materials.size()) {
            scene_material m = model.materials[i];
            if (m.image >= 0) {
                const int page = model.images[std::size_t(m.image)].page;
                std::size_t img = 0;
                while (img < all.images.size() && all.images[img].page != page)
                    ++img;
                if (img == all.images.size()) all.images.push_back(model.images[std::size_t(m.image)]);
                m.image = int(img);
            }
            all.materials.push_back(m);
        }
        material_of[i] = int(at);
    }
    for (scene_mesh m : model.meshes) {
        for (auto& f : m.faces)
            f.material = std::uint32_t(material_of[f.material]);
        all.meshes.push_back(std::move(m));
    }
    for (scene_node n : model.nodes) {
        const auto mesh = mesh_of_node_name(n.name);
        if (mesh && !seen.insert(*mesh).second) n.meshes.clear();
        n.parent = n.parent < 0 ? root : n.parent + node_base;
        for (int& m : n.meshes)
            m += mesh_base;
        all.nodes.push_back(std::move(n));
    }
}

// The part of a read scene under the node named `name`, that node included.
exchange_scene model_of(const exchange_scene& all, const std::string& name) {
    exchange_scene out;
    out.meshes = all.meshes;
    out.materials = all.materials;
    std::vector<int> index(all.nodes.size(), -1);
    for (std::size_t n = 0; n < all.nodes.size(); ++n) {
        const scene_node& node = all.nodes[n];
        const bool root = node.name == name;
        if (!root && (node.parent < 0 || index[std::size_t(node.parent)] < 0)) continue;
        scene_node copy = node;
        copy.parent = root ? -1 : index[std::size_t(node.parent)];
        index[n] = int(out.nodes.size());
        out.nodes.push_back(std::move(copy));
    }
    return out;
}

class BlenderExchange : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (std::system("command -v blender >/dev/null 2>&1") != 0) {
            skip_ = "Blender is not installed (Debian package blender): the Blender round trip is skipped";
            return;
        }
        if (!fs::is_directory(VELLUM_SHARED_LEVELS)) {
            skip_ = std::string("no shared levels at ") + VELLUM_SHARED_LEVELS;
            return;
        }
        dir_ = fs::temp_directory_path() / ("vellum_blender_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        std::string jobs = "[\n";
        for (const char* file : shared_levels) {
            auto l = std::make_unique<loaded>();
            load(*l, file);
            std::string tag = file;
            std::replace(tag.begin(), tag.end(), '.', '_');
            plans_.push_back(plan_edits(*l, dir_, tag));
            if (!plans_.back().jobs.empty()) jobs += plans_.back().jobs + ",\n";
            // The untouched round trip: every moveable and static mesh with faces, in one file per
            // level under a root node per model, so that one Blender import and export carries them all.
            exchange_scene all;
            std::set<int> seen;
            auto add = [&](const exchange_scene& scene, const std::string& name) {
                if (has_faces(scene)) add_model(all, scene, name, seen);
            };
            for (int m = 0; m < int(l->level.moveables.size()); ++m)
                add(scene_of_moveable(l->level, l->list, m), "model_m" + std::to_string(m));
            for (int s = 0; s < int(l->level.static_meshes.size()); ++s)
                add(scene_of_static(l->level, l->list, s), "model_s" + std::to_string(s));
            const fs::path in = dir_ / (tag + "_all.glb");
            EXPECT_EQ(write_scene_file(all, in.string()), "");
            jobs += "{\"in\": " + json_string(in.string()) +
                    ", \"glb\": " + json_string(dir_ / (tag + "_all_out.glb")) + "},\n";
            levels_.push_back(std::move(l));
        }
        jobs.resize(jobs.size() - 2);
        jobs += "\n]\n";
        std::ofstream(dir_ / "jobs.json") << jobs;
        if (std::getenv("VELLUM_BLENDER_PLAN_ONLY")) {
            skip_ = "planned only";
            return;
        }
        const auto started = std::chrono::steady_clock::now();
        const std::string command =
            "blender -b --factory-startup --python " + std::string(VELLUM_SOURCE_DIR) +
            "/tests/exchange/blender_round_trip.py -- " + (dir_ / "jobs.json").string() + " " +
            (dir_ / "report.json").string() + " > " + (dir_ / "blender.log").string() + " 2>&1";
        blender_status_ = std::system(command.c_str());
        seconds_ = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::ifstream report(dir_ / "report.json");
        report_ = std::string(std::istreambuf_iterator<char>(report), {});
        std::printf("Blender run: %.1f s\n", seconds_);
    }
    static void TearDownTestSuite() {
        if (!dir_.empty() && !std::getenv("VELLUM_KEEP_BLENDER_FILES")) fs::remove_all(dir_);
    }
    void SetUp() override {
        if (!skip_.empty()) GTEST_SKIP() << skip_;
        ASSERT_EQ(blender_status_, 0) << "Blender failed; see " << (dir_ / "blender.log");
    }

    static inline std::string skip_;
    static inline fs::path dir_;
    static inline std::vector<std::unique_ptr<loaded>> levels_;
    static inline std::vector<plan> plans_;
    static inline int blender_status_ = 0;
    static inline double seconds_ = 0;
    static inline std::string report_;
};

TEST_F(BlenderExchange, BlenderSeesTheObjectsMaterialsAndPagesOfEachFile) {
    // One report entry per job; every textured material has its page image.
    for (std::size_t i = 0; i < levels_.size(); ++i) {
        const plan& p = plans_[i];
        ASSERT_GE(p.face, 0) << levels_[i]->file << ": no moveable mesh fit for the edits";
        const exchange_scene scene = scene_of_moveable(levels_[i]->level, levels_[i]->list, p.moveable);
        std::size_t triangles = 0;
        for (const auto& m : scene.meshes)
            for (const auto& f : m.faces)
                triangles += std::size_t(f.corners - 2);
        std::string tag = levels_[i]->file;
        std::replace(tag.begin(), tag.end(), '.', '_');
        const std::string in = (dir_ / (tag + "_moveable.glb")).string();
        const std::size_t at = report_.find("\"in\": \"" + in + "\"");
        ASSERT_NE(at, std::string::npos) << in;
        const std::string entry = report_.substr(at, report_.find('}', at) - at);
        EXPECT_NE(entry.find("\"objects\": " + std::to_string(scene.nodes.size()) + ","), std::string::npos)
            << entry;
        EXPECT_NE(entry.find("\"faces\": " + std::to_string(triangles) + ","), std::string::npos) << entry;
        EXPECT_NE(entry.find("\"images\": " + std::to_string(scene.images.size()) + ","), std::string::npos)
            << entry;
        for (const auto& m : scene.materials)
            EXPECT_NE(entry.find("\"" + m.name + "\""), std::string::npos) << m.name;
        EXPECT_NE(entry.find("\"textured_without_image\": []"), std::string::npos) << entry;
    }
}

TEST_F(BlenderExchange, EditsMadeInBlenderComeBackExactlyAndNothingElseChanges) {
    for (std::size_t i = 0; i < levels_.size(); ++i) {
        const loaded& l = *levels_[i];
        const plan& p = plans_[i];
        ASSERT_GE(p.face, 0) << l.file;
        std::string tag = l.file;
        std::replace(tag.begin(), tag.end(), '.', '_');
        for (const char* ext : {".glb", ".obj"}) {
            SCOPED_TRACE(l.file + " through " + ext);
            mesh_list expected = l.list;
            tmesh& m = expected.meshes[std::size_t(p.mesh)];
            m.vertices[std::size_t(p.vertex)][0] = std::int16_t(m.vertices[std::size_t(p.vertex)][0] + 64);
            auto& rect = m.tex_rects[std::size_t(p.face)];
            const auto was = rect;
            for (int j = 0; j < 4; ++j)
                set_face_word(rect, j, face_word(was, (j + 3) % 4));
            measure_bounds(expected, p.mesh);

            const read_scene mov = read_scene_file((dir_ / (tag + "_moveable_out" + ext)).string());
            ASSERT_EQ(mov.error, "");
            const scene_import a = import_scene_into_moveable(mov.scene, l.level, l.list, p.moveable);
            ASSERT_EQ(a.error, "");
            EXPECT_TRUE(a.new_textures.empty());
            scene_import b;
            if (p.painted >= 0) {
                const read_scene sta = read_scene_file((dir_ / (tag + "_static_out" + ext)).string());
                ASSERT_EQ(sta.error, "");
                b = import_scene_into_mesh(sta.scene, l.level, l.list, p.static_tmesh_index, true);
                ASSERT_EQ(b.error, "");
            }
            mesh_list actual = l.list;
            for (const auto& [index, mesh] : a.meshes)
                actual.meshes[std::size_t(index)] = mesh;
            for (const auto& [index, mesh] : b.meshes)
                actual.meshes[std::size_t(index)] = mesh;
            // The moved vertex's normal is Blender's; every other word is checked.
            expected.meshes[std::size_t(p.mesh)].normals[std::size_t(p.vertex)] =
                actual.meshes[std::size_t(p.mesh)].normals[std::size_t(p.vertex)];
            // Blender 3.4 writes no vertex colours to OBJ: the light changes through .glb only.
            const bool colours = std::string(ext) == ".glb";
            if (colours && p.painted >= 0)
                expected.meshes[std::size_t(p.static_tmesh_index)].lights[std::size_t(p.painted)] =
                    p.painted_light;
            for (std::size_t k = 0; k < expected.meshes.size(); ++k)
                EXPECT_EQ(first_difference(actual.meshes[k], expected.meshes[k]), "") << "mesh " << k;
            if (l.level.game_version < game_tr4) {
                tr_level want = l.level, got = l.level;
                rebuild_mesh_words(expected, want);
                rebuild_mesh_words(actual, got);
                EXPECT_TRUE(write_level_memory(want, l.file) == write_level_memory(got, l.file))
                    << "the level files differ beyond the edits";
            }
        }
    }
}

TEST_F(BlenderExchange, AnUntouchedRoundTripOfEveryMoveableAndStaticChangesNothing) {
    int checked = 0;
    for (const auto& lp : levels_) {
        const loaded& l = *lp;
        std::string tag = l.file;
        std::replace(tag.begin(), tag.end(), '.', '_');
        const fs::path out = dir_ / (tag + "_all_out.glb");
        const read_scene r = read_scene_file(out.string());
        ASSERT_EQ(r.error, "") << out;
        for (int mv = 0; mv < int(l.level.moveables.size()); ++mv) {
            if (!has_faces(scene_of_moveable(l.level, l.list, mv))) continue;
            const exchange_scene model = model_of(r.scene, "model_m" + std::to_string(mv));
            if (!has_faces(model)) continue; // its meshes travelled with an earlier model
            const scene_import back = import_scene_into_moveable(model, l.level, l.list, mv);
            ASSERT_EQ(back.error, "") << l.file << " moveable " << mv;
            EXPECT_TRUE(back.new_textures.empty()) << l.file << " moveable " << mv;
            for (const auto& [index, mesh] : back.meshes)
                EXPECT_EQ(first_difference(mesh, l.list.meshes[std::size_t(index)]), "")
                    << l.file << " moveable " << mv << " mesh " << index;
            ++checked;
        }
        for (int s = 0; s < int(l.level.static_meshes.size()); ++s) {
            if (!has_faces(scene_of_static(l.level, l.list, s))) continue;
            const int sm = static_tmesh(l, s);
            const exchange_scene model = model_of(r.scene, "model_s" + std::to_string(s));
            if (!has_faces(model)) continue; // its mesh travelled with an earlier model
            const scene_import back = import_scene_into_mesh(model, l.level, l.list, sm,
                                                             l.list.meshes[std::size_t(sm)].num_normals < 0);
            ASSERT_EQ(back.error, "") << l.file << " static " << s;
            EXPECT_TRUE(back.new_textures.empty()) << l.file << " static " << s;
            for (const auto& [index, mesh] : back.meshes)
                EXPECT_EQ(first_difference(mesh, l.list.meshes[std::size_t(index)]), "")
                    << l.file << " static " << s;
            ++checked;
        }
    }
    EXPECT_GT(checked, 100);
    std::printf("%d moveables and statics through Blender unchanged; Blender run %.1f s\n", checked,
                seconds_);
}

} // namespace
