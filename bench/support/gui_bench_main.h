// The main of the benchmarks that need a Qt application with OpenGL: it reads the benchmark
// options, makes the application (offscreen when there is no X display, where the GL benchmarks
// skip themselves: run them under xvfb-run), starts the benchmark's session, runs the benchmarks
// and ends the session before the application.
#pragma once

#include <benchmark/benchmark.h>
#include <memory>

// What a benchmark sets up once the application exists and takes down after the run.
class gui_bench_session {
  public:
    virtual ~gui_bench_session() = default;
    // The reporter to run with; null for the console one.
    virtual benchmark::BenchmarkReporter* reporter() { return nullptr; }
};

// Defined by each benchmark program. `display` is false when there is no X display.
std::unique_ptr<gui_bench_session> start_gui_bench_session(bool display);
