// Time to switch the language of the whole editor: the main window and every small window get
// their texts from the newly read language file. The baseline, measured alternately in the same
// run, is reading that file into a catalogue; the ratio says what applying adds to reading.
#include "gui_bench_main.h"
#include "language_window.h"
#include "languages.h"
#include "main_window.h"

#include <QApplication>
#include <QComboBox>
#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

main_window* window = nullptr;

double now_ms() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void BM_switch_whole_application(benchmark::State& state) {
    if (!window) {
        state.SkipWithError("needs an X display (run under xvfb-run)");
        return;
    }
    // Deutsch and Korean in turn, so every switch really changes every text.
    const std::size_t pair[] = {3, 8};
    QComboBox* combo = window->languages().language_combo;
    double read = 0, switched = 0;
    std::size_t k = 0;
    for (auto _ : state) {
        const std::size_t language = pair[k++ % 2];
        const double t0 = now_ms();
        lng_catalogue c;
        load_language_file(
            std::string(VELLUM_APP_DIR) + "/vellum_" + std::string(languages[language].code) + ".lng", c);
        benchmark::DoNotOptimize(c.forms.size());
        const double t1 = now_ms();
        combo->setCurrentIndex(int(language));
        QApplication::processEvents(); // the relayout the switch causes
        const double t2 = now_ms();
        read += t1 - t0;
        switched += t2 - t1;
    }
    const double n = double(state.iterations());
    state.counters["read_file_ms"] = read / n;
    state.counters["switch_ms"] = switched / n;
    state.counters["ratio"] = switched / read;
}
BENCHMARK(BM_switch_whole_application)->Unit(benchmark::kMillisecond)->Iterations(40);

// The editor's main window, shown, while the benchmarks run.
struct language_session final : gui_bench_session {
    QTemporaryDir dir;
    QSettings store{dir.filePath("store.ini"), QSettings::IniFormat};
    std::unique_ptr<main_window> w;
    explicit language_session(bool display) {
        if (!display) return;
        w = std::make_unique<main_window>(VELLUM_APP_DIR, &store);
        w->show();
        QApplication::processEvents();
        window = w.get();
    }
    ~language_session() override { window = nullptr; }
};

} // namespace

std::unique_ptr<gui_bench_session> start_gui_bench_session(bool display) {
    return std::make_unique<language_session>(display);
}
