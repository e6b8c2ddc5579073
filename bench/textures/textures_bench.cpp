// Building the texture table and converting every page of a level to display pixels and back,
// against a plain copy of the same bytes measured alternately in the same run. The ratio counter
// is the figure to watch (target: within 4x of the copy). Also the upload preparation of every
// object texture at once, against the one-by-one preparation in the same run (target for TR4:
// 20 ms or less).
#include "level_reader.h"
#include "pixels.h"
#include "texture_table.h"
#include "upload_batch.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

struct level_file {
    const char* tag;
    const char* file;
};

const level_file levels[] = {
    {"tr1", "test1.phd"}, {"tr2", "test1.tr2"}, {"tr4", "test1.tr4"}, {"trc", "test1.trc"}};

bool load(tr_level& level, const level_file& l, benchmark::State& state) {
    std::string error;
    if (read_level(level, std::string(VELLUM_SHARED_LEVELS) + "/" + l.file, &error) == read_ok) return true;
    state.SkipWithError(error.c_str());
    return false;
}

// The page bytes the display copy comes from: pages16, or pages8 for TR1.
const std::vector<std::uint8_t>& source_pages(const tr_level& level) {
    return level.game_version >= game_tr2 ? level.pages16 : level.pages8;
}

// Plain copy of the page bytes into a fresh buffer and of the display-sized bytes back.
std::size_t copy_baseline(const tr_level& level) {
    const auto& src = source_pages(level);
    std::vector<std::uint8_t> there(std::size_t(level.num_pages) * page16_bytes);
    std::memcpy(there.data(), src.data(), std::min(src.size(), there.size()));
    std::vector<std::uint8_t> back(there.size());
    std::memcpy(back.data(), there.data(), there.size());
    benchmark::DoNotOptimize(back.data());
    return back.size();
}

// The table with its display copy of every page, then every page converted back to pages16.
std::size_t table_and_back(tr_level& level) {
    const texture_table table = build_texture_table(level);
    const std::size_t count = std::size_t(level.num_pages) * page_pixels;
    std::vector<std::uint16_t> back(count);
    std::memcpy(back.data(), table.pages_bitmap.constBits(), count * 2);
    display_to_page16(back.data(), count, false);
    benchmark::DoNotOptimize(back.data());
    return count;
}

double thread_ms() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

void bm_copy(benchmark::State& state, const level_file& l) {
    tr_level level;
    if (!load(level, l, state)) return;
    for (auto _ : state)
        benchmark::DoNotOptimize(copy_baseline(level));
}

void bm_build_texture_table(benchmark::State& state, const level_file& l) {
    tr_level level;
    if (!load(level, l, state)) return;
    for (auto _ : state) {
        texture_table table = build_texture_table(level);
        benchmark::DoNotOptimize(table.pages_bitmap.constBits());
    }
}

void bm_write_pages_unedited(benchmark::State& state, const level_file& l) {
    tr_level level;
    if (!load(level, l, state)) return;
    const texture_table table = build_texture_table(level);
    for (auto _ : state)
        benchmark::DoNotOptimize(write_pages(level, table.pages_bitmap).ok);
}

// Both measured alternately in each iteration, so the ratio compares like with like.
void bm_ratio(benchmark::State& state, const level_file& l) {
    tr_level level;
    if (!load(level, l, state)) return;
    double base = 0, work = 0;
    for (auto _ : state) {
        const double t0 = thread_ms();
        benchmark::DoNotOptimize(copy_baseline(level));
        const double t1 = thread_ms();
        benchmark::DoNotOptimize(table_and_back(level));
        const double t2 = thread_ms();
        base += t1 - t0;
        work += t2 - t1;
    }
    const double n = double(state.iterations());
    state.counters["copy_ms"] = base / n;
    state.counters["table_ms"] = work / n;
    state.counters["ratio"] = work / base;
    state.counters["target"] = 4.0;
}

// One-by-one preparation: a piece image per texture, converted and stretched by the image scaler.
std::size_t prepare_one_by_one(const tr_level& level) {
    const QImage pages = build_pages_bitmap(level);
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < level.object_textures.size(); ++i)
        bytes += prepare_upload(gl_texture_piece(pages, level, int(i)), 24).data.size();
    return bytes;
}

double wall_ms() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Wall time (the batch uses two threads), the three measured alternately in each iteration.
void bm_prepare_ratio(benchmark::State& state, const level_file& l) {
    tr_level level;
    if (!load(level, l, state)) return;
    double base = 0, batch = 0, single = 0, base_cpu = 0, single_cpu = 0;
    for (auto _ : state) {
        const double t0 = wall_ms(), c0 = thread_ms();
        benchmark::DoNotOptimize(prepare_one_by_one(level));
        const double t1 = wall_ms(), c1 = thread_ms();
        benchmark::DoNotOptimize(prepare_object_textures(level, 24, 2)->block_size);
        const double t2 = wall_ms(), c2 = thread_ms();
        benchmark::DoNotOptimize(prepare_object_textures(level, 24, 1)->block_size);
        const double t3 = wall_ms(), c3 = thread_ms();
        base += t1 - t0, batch += t2 - t1, single += t3 - t2;
        base_cpu += c1 - c0, single_cpu += c3 - c2;
    }
    // Thread CPU times tell the work apart from waiting when other processes share the cores.
    const double n = double(state.iterations());
    state.counters["one_by_one_ms"] = base / n;
    state.counters["batch_ms"] = batch / n;
    state.counters["batch_1thread_ms"] = single / n;
    state.counters["one_by_one_cpu_ms"] = base_cpu / n;
    state.counters["batch_1thread_cpu_ms"] = single_cpu / n;
    state.counters["ratio"] = batch / base;
    state.counters["textures"] = double(level.object_textures.size());
}

const bool registered = [] {
    for (const auto& l : levels) {
        const std::string tag = l.tag;
        benchmark::RegisterBenchmark(("pages_copy/" + tag).c_str(), bm_copy, l)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("build_texture_table/" + tag).c_str(), bm_build_texture_table, l)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("write_pages_unedited/" + tag).c_str(), bm_write_pages_unedited, l)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("table_ratio/" + tag).c_str(), bm_ratio, l)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("prepare_ratio/" + tag).c_str(), bm_prepare_ratio, l)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    return true;
}();

} // namespace
