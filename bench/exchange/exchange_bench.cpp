// DXF export and import of the largest moveable mesh of the TR4 test level, each beside a baseline
// measured alternately in the same run: export against formatting the same coordinates with
// printf, import against only splitting the same text into lines. The ratio counters are the
// figures to watch. Then .glb export and import of the largest moveable of the level against the
// DXF export and import of the same meshes, in the same run.
#include "dxf_export.h"
#include "dxf_import.h"
#include "level_reader.h"
#include "scene_files.h"
#include "scene_import.h"

#include <set>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <string>

namespace {

tmesh largest;
bool loaded = false;
tr_level level;
mesh_list list;
int largest_moveable = -1;

double thread_ms() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// The mesh with the most textured faces among the meshes of every moveable.
bool load_largest_moveable_mesh() {
    std::string error;
    if (read_level(level, VELLUM_SHARED_LEVELS "/test1.tr4", &error) != read_ok) return false;
    build_mesh_list(list, level);
    // The moveable with the most textured faces, each of its meshes counted once.
    int most = -1;
    for (int mv = 0; mv < int(level.moveables.size()); ++mv) {
        std::set<int> meshes;
        for (const auto& part : moveable_tree(level, list, mv))
            if (part.mesh >= 0) meshes.insert(part.mesh);
        int faces = 0;
        for (int m : meshes)
            faces += list.meshes[std::size_t(m)].num_tex_rects + list.meshes[std::size_t(m)].num_tex_tris;
        if (faces > most) most = faces, largest_moveable = mv;
    }
    int best = -1, best_faces = -1;
    for (const auto& m : level.moveables) {
        const std::size_t count = get_u16(&m[4]), first = get_u16(&m[6]);
        for (std::size_t p = first; p < first + count && p < list.mesh_index.size(); ++p) {
            const tmesh& mesh = list.meshes.at(std::size_t(list.mesh_index[p]));
            if (mesh.num_tex_rects + mesh.num_tex_tris > best_faces)
                best = list.mesh_index[p], best_faces = mesh.num_tex_rects + mesh.num_tex_tris;
        }
    }
    if (best < 0) return false;
    largest = list.meshes[std::size_t(best)];
    return true;
}

// Baseline of the export: the face coordinates printed with snprintf, one per line.
std::string printf_coordinates(const tmesh& m) {
    std::string out;
    char buf[64];
    auto corners = [&](const auto& faces, int n) {
        for (const auto& f : faces)
            for (int k = 0; k < 4; ++k) {
                const mesh_vec3& v = m.vertices[face_word(f, std::min(k, n - 1))];
                for (const double c : {v[0] / 100.0, -v[2] / 100.0, -v[1] / 100.0}) {
                    const int len = std::snprintf(buf, sizeof buf, "%f\r\n", c);
                    out.append(buf, std::size_t(len));
                }
            }
    };
    corners(m.tex_rects, 4);
    corners(m.tex_tris, 3);
    return out;
}

// Baseline of the import: the text cut into lines, nothing interpreted.
std::size_t count_lines(const std::string& text) {
    std::size_t lines = 0;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        ++lines;
    return lines;
}

void set_counters(benchmark::State& state, double base, double ours, const char* name) {
    const double n = double(state.iterations());
    state.counters["baseline_us"] = base / n * 1e3;
    state.counters[name] = ours / n * 1e3;
    state.counters["ratio"] = base > 0 ? ours / base : 0;
    state.counters["faces"] = double(largest.num_tex_rects + largest.num_tex_tris);
}

void BM_export_dxf(benchmark::State& state) {
    if (!loaded) return state.SkipWithError("no TR4 test level");
    double base = 0, ours = 0;
    for (auto _ : state) {
        const double t0 = thread_ms();
        benchmark::DoNotOptimize(printf_coordinates(largest));
        const double t1 = thread_ms();
        benchmark::DoNotOptimize(dxf_text(largest));
        const double t2 = thread_ms();
        base += t1 - t0;
        ours += t2 - t1;
    }
    set_counters(state, base, ours, "export_us");
}

void BM_import_dxf(benchmark::State& state) {
    if (!loaded) return state.SkipWithError("no TR4 test level");
    const std::string text = dxf_text(largest);
    double base = 0, ours = 0;
    for (auto _ : state) {
        const double t0 = thread_ms();
        benchmark::DoNotOptimize(count_lines(text));
        const double t1 = thread_ms();
        dxf_mesh m = mesh_from_dxf(parse_dxf(text), largest, false);
        benchmark::DoNotOptimize(m);
        const double t2 = thread_ms();
        base += t1 - t0;
        ours += t2 - t1;
    }
    set_counters(state, base, ours, "import_us");
}

// The largest moveable as .glb (export: scene, PNG pages, file bytes; import: Assimp, conversion,
// vertex matching) against the DXF text of each of its meshes written and read back.
void BM_glb_against_dxf(benchmark::State& state) {
    if (!loaded || largest_moveable < 0) return state.SkipWithError("no TR4 test level");
    std::set<int> meshes;
    for (const auto& part : moveable_tree(level, list, largest_moveable))
        if (part.mesh >= 0) meshes.insert(part.mesh);
    double dxf_out = 0, dxf_in = 0, glb_out = 0, glb_in = 0;
    for (auto _ : state) {
        const double t0 = thread_ms();
        std::vector<std::string> texts;
        for (int m : meshes)
            texts.push_back(dxf_text(list.meshes[std::size_t(m)]));
        const double t1 = thread_ms();
        std::size_t i = 0;
        for (int m : meshes) {
            dxf_mesh back = mesh_from_dxf(parse_dxf(texts[i++]), list.meshes[std::size_t(m)], false);
            benchmark::DoNotOptimize(back);
        }
        const double t2 = thread_ms();
        const std::vector<std::uint8_t> glb = glb_bytes(scene_of_moveable(level, list, largest_moveable));
        const double t3 = thread_ms();
        const read_scene read = read_scene_bytes(glb, "glb");
        scene_import back = import_scene_into_moveable(read.scene, level, list, largest_moveable);
        benchmark::DoNotOptimize(back);
        const double t4 = thread_ms();
        if (!back.error.empty()) return state.SkipWithError(back.error.english.c_str());
        dxf_out += t1 - t0, dxf_in += t2 - t1, glb_out += t3 - t2, glb_in += t4 - t3;
    }
    const double n = double(state.iterations());
    state.counters["dxf_export_us"] = dxf_out / n * 1e3;
    state.counters["dxf_import_us"] = dxf_in / n * 1e3;
    state.counters["glb_export_us"] = glb_out / n * 1e3;
    state.counters["glb_import_us"] = glb_in / n * 1e3;
    state.counters["ratio"] = dxf_out + dxf_in > 0 ? (glb_out + glb_in) / (dxf_out + dxf_in) : 0;
    state.counters["meshes"] = double(meshes.size());
}

BENCHMARK(BM_export_dxf);
BENCHMARK(BM_import_dxf);
BENCHMARK(BM_glb_against_dxf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    loaded = load_largest_moveable_mesh();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
