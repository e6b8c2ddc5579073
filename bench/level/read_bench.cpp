// Reading the public test levels against a baseline measured in the same run: the file read into
// memory, plus (TR4, TRC) its compressed blocks inflated with zlib. The ratio counter is the figure to watch.
// The wall-time benchmarks show a second baseline beside it, the blocks inflated with libdeflate on one
// thread, so that the gain of the faster inflater and that of working side by side can be told apart.
#include "level_reader.h"

#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

namespace {

struct level_file {
    const char* tag;
    const char* file;
    bool compressed; // TR4, TRC
    double target;   // the ratio the reader should stay within
};

const level_file levels[] = {
    {"tr1", "test1.phd", false, 3.0}, {"tr2", "test1.tr2", false, 3.0}, {"tr3", "test1_tr3.tr2", false, 3.0},
    {"tr4", "test1.tr4", true, 1.3},  {"trc", "test1.trc", true, 1.3},
};

std::string path_of(const level_file& l) {
    return std::string(VELLUM_SHARED_LEVELS) + "/" + l.file;
}

std::vector<std::uint8_t> read_file(const std::string& path) {
    std::vector<std::uint8_t> data;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return data;
    std::fseek(f, 0, SEEK_END);
    data.resize(std::size_t(std::ftell(f)));
    std::fseek(f, 0, SEEK_SET);
    data.resize(std::fread(data.data(), 1, data.size(), f));
    std::fclose(f);
    return data;
}

std::uint32_t u32_at(const std::vector<std::uint8_t>& d, std::size_t at) {
    return std::uint32_t(d[at]) | std::uint32_t(d[at + 1]) << 8 | std::uint32_t(d[at + 2]) << 16 |
           std::uint32_t(d[at + 3]) << 24;
}

enum class inflater { zlib, libdeflate };

// The least any reader must do: get the bytes, and inflate the compressed blocks (three page blocks,
// and for TR4 the level data) at their stored sizes on one thread, with zlib's uncompress or
// libdeflate. Returns the bytes handled, or 0 on failure.
std::size_t baseline(const level_file& l, const std::string& path, inflater with = inflater::zlib) {
    const std::vector<std::uint8_t> data = read_file(path);
    std::size_t handled = data.size();
    if (!l.compressed || data.size() < 10) return handled;
    std::size_t at = 10; // version word and three page counts
    const int blocks = std::string(l.tag) == "tr4" ? 4 : 3;
    std::vector<std::uint8_t> out;
    libdeflate_decompressor* d = with == inflater::libdeflate ? libdeflate_alloc_decompressor() : nullptr;
    for (int b = 0; b < blocks; ++b) {
        if (at + 8 > data.size()) return 0;
        const std::uint32_t plain = u32_at(data, at), packed = u32_at(data, at + 4);
        at += 8;
        if (packed > data.size() - at) return 0;
        out.resize(plain);
        std::size_t out_size = plain;
        if (d) {
            if (libdeflate_zlib_decompress(d, data.data() + at, packed, out.data(), plain, &out_size) !=
                LIBDEFLATE_SUCCESS)
                out_size = 0;
        } else {
            uLongf n = plain;
            out_size = uncompress(out.data(), &n, data.data() + at, packed) == Z_OK ? n : 0;
        }
        if (out_size == 0 && plain != 0) {
            libdeflate_free_decompressor(d);
            return 0;
        }
        benchmark::DoNotOptimize(out.data());
        handled += out_size;
        at += packed;
    }
    libdeflate_free_decompressor(d);
    return handled;
}

void bm_baseline(benchmark::State& state, const level_file& l) {
    const std::string path = path_of(l);
    for (auto _ : state)
        if (baseline(l, path) == 0) return state.SkipWithError(("cannot read " + path).c_str());
}

void bm_read_level(benchmark::State& state, const level_file& l) {
    const std::string path = path_of(l);
    tr_level level; // refilled in place on every read, as the editor does
    for (auto _ : state) {
        std::string error;
        if (read_level(level, path, &error) != read_ok) return state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(level.num_rooms);
    }
}

// CPU time of this thread in milliseconds (system time included), so that other load on a shared
// machine does not skew the ratio.
double thread_ms() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// Both measured alternately in each iteration, so the ratio compares like with like. The reader runs
// on this thread alone here (its CPU time is what is measured); bm_parallel_ratio measures wall time.
void bm_ratio(benchmark::State& state, const level_file& l) {
    const std::string path = path_of(l);
    tr_level level;
    double base = 0, reader = 0;
    for (auto _ : state) {
        const double t0 = thread_ms();
        if (baseline(l, path) == 0) return state.SkipWithError(("cannot read " + path).c_str());
        const double t1 = thread_ms();
        std::string error;
        if (read_level(level, path, &error, read_options{false}) != read_ok)
            return state.SkipWithError(error.c_str());
        const double t2 = thread_ms();
        base += t1 - t0;
        reader += t2 - t1;
    }
    const double n = double(state.iterations());
    state.counters["baseline_ms"] = base / n;
    state.counters["reader_ms"] = reader / n;
    state.counters["ratio"] = reader / base;
    state.counters["target"] = l.target;
}

// CPU time of the whole process in milliseconds (every thread).
double process_ms() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

double wall_ms() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Wall time of the reader (blocks inflated side by side) against the one-thread read+inflate baseline
// (zlib), measured alternately in each iteration; the sequential reader and the baseline with
// libdeflate are shown beside them. With `busy`, a thread spins on another core for the whole run, as
// when the machine is under load.
void bm_parallel_ratio(benchmark::State& state, const level_file& l, bool busy) {
    const std::string path = path_of(l);
    std::atomic<bool> stop{false};
    std::thread load;
    if (busy)
        load = std::thread([&stop] {
            volatile unsigned spin = 0;
            while (!stop.load(std::memory_order_relaxed))
                spin = spin + 1;
        });
    tr_level level;
    double base = 0, fast_base = 0, parallel = 0, sequential = 0;
    // CPU time of the baseline, and of the parallel read on this thread and on the worker: on a
    // machine whose cores are taken by others, wall time cannot show the overlap, but the longer of
    // the two threads' CPU times is the wall time the read takes on two free cores.
    double base_cpu = 0, this_thread_cpu = 0, worker_cpu = 0;
    std::string error;
    for (auto _ : state) {
        const double t0 = wall_ms(), c0 = thread_ms();
        if (baseline(l, path) == 0) {
            error = "cannot read " + path;
            break;
        }
        const double t1 = wall_ms(), c1 = thread_ms(), p1 = busy ? 0 : process_ms();
        if (read_level(level, path, &error) != read_ok) break;
        const double t2 = wall_ms(), c2 = thread_ms(), p2 = busy ? 0 : process_ms();
        if (read_level(level, path, &error, read_options{false}) != read_ok) break;
        const double t3 = wall_ms();
        if (baseline(l, path, inflater::libdeflate) == 0) {
            error = "cannot inflate " + path + " with libdeflate";
            break;
        }
        const double t4 = wall_ms();
        base += t1 - t0;
        parallel += t2 - t1;
        sequential += t3 - t2;
        fast_base += t4 - t3;
        base_cpu += c1 - c0;
        this_thread_cpu += c2 - c1;
        worker_cpu += (p2 - p1) - (c2 - c1);
        error.clear();
    }
    stop = true;
    if (load.joinable()) load.join();
    if (!error.empty()) return state.SkipWithError(error.c_str());
    const double n = double(state.iterations());
    state.counters["baseline_ms"] = base / n;
    state.counters["reader_ms"] = parallel / n;
    state.counters["sequential_reader_ms"] = sequential / n;
    state.counters["ratio"] = parallel / base;
    state.counters["target"] = 0.6;
    state.counters["libdeflate_baseline_ms"] = fast_base / n;
    state.counters["libdeflate_ratio"] = parallel / fast_base;
    if (!busy) {
        state.counters["baseline_cpu_ms"] = base_cpu / n;
        state.counters["reader_thread_cpu_ms"] = this_thread_cpu / n;
        state.counters["worker_cpu_ms"] = worker_cpu / n;
        state.counters["two_core_ratio"] = std::max(this_thread_cpu, worker_cpu) / base_cpu;
    }
}

const bool registered = [] {
    for (const auto& l : levels) {
        benchmark::RegisterBenchmark((std::string("read_baseline/") + l.tag).c_str(), bm_baseline, l)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("read_level/") + l.tag).c_str(), bm_read_level, l)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("read_ratio/") + l.tag).c_str(), bm_ratio, l)
            ->Unit(benchmark::kMillisecond);
    }
    for (const auto& l : levels) {
        if (!l.compressed) continue;
        benchmark::RegisterBenchmark((std::string("read_parallel_ratio/") + l.tag).c_str(), bm_parallel_ratio,
                                     l, false)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(2.0);
        benchmark::RegisterBenchmark((std::string("read_parallel_ratio_loaded/") + l.tag).c_str(),
                                     bm_parallel_ratio, l, true)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(2.0);
    }
    return true;
}();

} // namespace
