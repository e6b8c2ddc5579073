// Time of the editor's Open for each shared level without the OpenGL uploads (they are measured
// with the 3D view), split into its steps.
#include "big_level.h"
#include "editor_document.h"
#include "level_reader.h"
#include "level_stream.h"

#include <cstdio>
#include <unistd.h>

#include <benchmark/benchmark.h>

namespace {

const char* levels[] = {"test1.phd", "test1.tr2", "test1_tr3.tr2", "test1.tr4", "test1.trc"};

std::string level_path(int i) {
    return std::string(VELLUM_SHARED_LEVELS) + "/" + levels[i];
}

// Prompts that answer nothing: a benchmark has nobody to ask.
struct quiet_prompts : editor_prompts {
    void message(const user_message&) override {}
    answer ask(const user_message&, bool) override { return answer::no; }
    std::string choose_open_file(const user_message&) override { return {}; }
    std::string choose_save_file(const user_message&) override { return {}; }
};

// Opens `path` in a new document once per iteration, as File > Open does.
void open_each_iteration(benchmark::State& state, const std::string& path) {
    const std::string catalogue = std::string(VELLUM_SOURCE_DIR) + "/data/trcatalog.xml";
    null_progress progress;
    quiet_prompts prompts;
    for (auto _ : state) {
        editor_document doc;
        if (!doc.open(path, catalogue, progress, prompts)) state.SkipWithError("open failed");
        benchmark::DoNotOptimize(doc.tree());
    }
}

void BM_open_document(benchmark::State& state) {
    open_each_iteration(state, level_path(int(state.range(0))));
    state.SetLabel(levels[state.range(0)]);
}
BENCHMARK(BM_open_document)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

// A builder-sized level: test1.tr4 grown to 329 pages by repeating its pages, against test1.tr4.
void BM_open_329_pages(benchmark::State& state) {
    std::vector<std::uint8_t> big;
    try {
        big = repeat_pages_in_file(read_whole_file(level_path(3)), 329);
    } catch (const level_error& e) {
        return state.SkipWithError(e.what());
    }
    if (big.empty()) return state.SkipWithError("test1.tr4 cannot be grown");
    char path[] = "/tmp/vellum-big-XXXXXX.tr4";
    const int fd = mkstemps(path, 4);
    if (fd < 0) return state.SkipWithError("no temporary file");
    close(fd);
    write_file_atomic(path, big.data(), big.size());
    open_each_iteration(state, path);
    std::remove(path);
    state.SetLabel("test1.tr4 grown to 329 pages");
}
BENCHMARK(BM_open_329_pages)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_open_steps(benchmark::State& state) {
    const auto path = level_path(int(state.range(0)));
    const int step = int(state.range(1));
    tr_level level;
    read_level(level, path);
    for (auto _ : state) {
        if (step == 0) {
            tr_level l;
            read_level(l, path);
            benchmark::DoNotOptimize(l.num_rooms);
        } else if (step == 1) {
            auto t = build_texture_table(level);
            benchmark::DoNotOptimize(t.pages_bitmap);
        } else {
            mesh_list list;
            build_mesh_list(list, level);
            benchmark::DoNotOptimize(list.meshes);
        }
    }
    static const char* names[] = {"read", "texture table", "mesh list"};
    state.SetLabel(std::string(levels[state.range(0)]) + " " + names[step]);
}
BENCHMARK(BM_open_steps)->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1, 2}})->Unit(benchmark::kMillisecond);

} // namespace
