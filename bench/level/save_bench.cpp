// Saving the shared TR4 level with the independent blocks compressed in parallel against one after
// another (the baseline, measured in the same run), and building and rebuilding its mesh list.
#include "level_reader.h"
#include "level_writer.h"
#include "mesh_list.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <stdexcept>
#include <string>

namespace {

const tr_level& tr4_level() {
    static const tr_level level = [] {
        tr_level lv;
        std::string error;
        const std::string path = std::string(VELLUM_SHARED_LEVELS) + "/test1.tr4";
        if (read_level(lv, path, &error) != read_ok)
            throw std::runtime_error("cannot read " + path + ": " + error);
        return lv;
    }();
    return level;
}

double process_cpu_seconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Wall-clock seconds of one save; `cpu` accumulates the CPU time of all threads.
double save_seconds(tr_level& lv, bool parallel, double* cpu = nullptr) {
    write_options options;
    options.parallel_compression = parallel;
    const double cpu_start = process_cpu_seconds();
    const auto start = std::chrono::steady_clock::now();
    auto bytes = write_level_memory(lv, "test1.tr4", options);
    benchmark::DoNotOptimize(bytes.data());
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (cpu) *cpu += process_cpu_seconds() - cpu_start;
    return wall;
}

void save_tr4(benchmark::State& state, bool parallel) {
    tr_level lv = tr4_level();
    for (auto _ : state)
        save_seconds(lv, parallel);
}

// Both ways in each iteration; the counters give the wall-clock ratio parallel / sequential
// (target <= 0.6 on two idle cores). The CPU counters (all threads) show when the machine was busy:
// the same CPU time with no gain in wall-clock time means no second core was free.
void save_tr4_ratio(benchmark::State& state) {
    tr_level lv = tr4_level();
    double sequential = 0, parallel = 0, sequential_cpu = 0, parallel_cpu = 0;
    for (auto _ : state) {
        sequential += save_seconds(lv, false, &sequential_cpu);
        parallel += save_seconds(lv, true, &parallel_cpu);
    }
    const double n = double(state.iterations());
    state.counters["sequential_ms"] = 1000 * sequential / n;
    state.counters["parallel_ms"] = 1000 * parallel / n;
    state.counters["sequential_cpu_ms"] = 1000 * sequential_cpu / n;
    state.counters["parallel_cpu_ms"] = 1000 * parallel_cpu / n;
    state.counters["parallel/sequential"] = parallel / sequential;
}

void build_mesh_list_tr4(benchmark::State& state) {
    const tr_level& lv = tr4_level();
    mesh_list list;
    for (auto _ : state) {
        build_mesh_list(list, lv);
        benchmark::DoNotOptimize(list.meshes.data());
    }
    state.counters["meshes"] = double(list.count());
}

void rebuild_mesh_words_tr4(benchmark::State& state) {
    tr_level lv = tr4_level();
    mesh_list list;
    build_mesh_list(list, lv);
    for (auto _ : state) {
        rebuild_mesh_words(list, lv);
        benchmark::DoNotOptimize(lv.mesh_words.data());
    }
    state.counters["mesh_words"] = double(lv.num_mesh_words);
}

} // namespace

BENCHMARK_CAPTURE(save_tr4, sequential, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(save_tr4, parallel, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(save_tr4_ratio)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(build_mesh_list_tr4)->Unit(benchmark::kMicrosecond);
BENCHMARK(rebuild_mesh_words_tr4)->Unit(benchmark::kMicrosecond);
