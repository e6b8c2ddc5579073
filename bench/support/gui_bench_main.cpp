// The shared main of the GL benchmarks.
#include "gui_bench_main.h"

#include "gl_viewport.h"

#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const bool display = std::getenv("DISPLAY") != nullptr;
    if (!display) qputenv("QT_QPA_PLATFORM", "offscreen");
    QSurfaceFormat::setDefaultFormat(gl_viewport::surface_format(24));
    QApplication app(argc, argv);
    {
        const std::unique_ptr<gui_bench_session> session = start_gui_bench_session(display);
        if (benchmark::BenchmarkReporter* reporter = session->reporter())
            benchmark::RunSpecifiedBenchmarks(reporter);
        else
            benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    }
    return 0;
}
