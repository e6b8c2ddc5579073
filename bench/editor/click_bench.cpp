// One click edit end to end on the largest moveable of the TR4 test level: the selection pass,
// the face edit, its history step and the redraw (display list rebuilt and painted), beside
// same-run baselines of the pick alone and the redraw alone. Needs an X display (xvfb-run).
#include "camera.h"
#include "face_edits.h"
#include "gl_textures.h"
#include "gl_viewport.h"
#include "gui_bench_main.h"
#include "largest_moveable_view.h"
#include "level_reader.h"
#include "mesh_list.h"
#include "scene.h"

#include <GL/gl.h>
#include <QUndoStack>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

struct click_view : largest_moveable_view {
    QUndoStack history;
    int x = 0, y = 0; // a pixel over a face
};

click_view* view = nullptr;

bool ready(benchmark::State& state) {
    if (view && view->vp) return true;
    state.SkipWithError("needs an X display and the TR4 test level (run under xvfb-run)");
    return false;
}

// The redraw after an edit: the display list rebuilt and the frame painted and finished.
void redraw_now() {
    gl_viewport& vp = *view->vp;
    vp.makeCurrent();
    vp.paint_current(true);
    glFinish();
    vp.doneCurrent();
}

void BM_click_rotate_end_to_end(benchmark::State& state) {
    if (!ready(state)) return;
    const click_settings settings{target_kind::moveable, 1};
    std::size_t edits = 0;
    for (auto _ : state) {
        const std::uint32_t name = view->vp->name_at(QPoint(view->x, view->y));
        const face_click_outcome out = click_face(view->history, view->list, view->level, decode_name(name),
                                                  click_action::rotate, settings);
        edits += out.redraw;
        redraw_now();
    }
    state.counters["edits"] = double(edits) / double(state.iterations());
    state.counters["faces"] = double(view->faces);
}

// Baselines: the selection pass alone, and the redraw alone.
void BM_baseline_pick(benchmark::State& state) {
    if (!ready(state)) return;
    for (auto _ : state)
        benchmark::DoNotOptimize(view->vp->name_at(QPoint(view->x, view->y)));
}

void BM_baseline_redraw(benchmark::State& state) {
    if (!ready(state)) return;
    for (auto _ : state)
        redraw_now();
}

BENCHMARK(BM_baseline_pick)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_baseline_redraw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_click_rotate_end_to_end)->Unit(benchmark::kMillisecond);

// Prints the click's cost as a ratio of pick + redraw measured in the same run.
class ratio_reporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            const std::string name = r.benchmark_name();
            const double t = r.GetAdjustedRealTime();
            if (name.find("baseline_pick") != std::string::npos) pick_ = t;
            if (name.find("baseline_redraw") != std::string::npos) redraw_ = t;
            if (name.find("click_rotate") != std::string::npos && pick_ > 0 && redraw_ > 0)
                GetOutputStream() << "click edit: " << t << " ms, " << t / (pick_ + redraw_)
                                  << " of pick + redraw (" << pick_ << " + " << redraw_
                                  << " ms); target 10 ms\n";
        }
    }

  private:
    double pick_ = 0, redraw_ = 0;
};

// The moveable in its viewport and a pixel over one of its textured faces, while the benchmarks run.
struct click_session final : gui_bench_session {
    click_view v;
    ratio_reporter ratios;
    explicit click_session(bool display) {
        if (!display || !v.open(VELLUM_SHARED_LEVELS "/test1.tr4")) return;
        // The first pixel from the centre outwards that shows a textured face.
        bool found = false;
        for (int r = 0; r < 200 && !found; r += 4)
            for (int dx : {0, r, -r})
                for (int dy : {0, r, -r}) {
                    if (found) break;
                    const decoded_name d = decode_name(v.vp->name_at(QPoint(320 + dx, 240 + dy)));
                    if (d.mesh >= 0 && !d.coloured()) v.x = 320 + dx, v.y = 240 + dy, found = true;
                }
        if (found) view = &v;
    }
    ~click_session() override { view = nullptr; }
    benchmark::BenchmarkReporter* reporter() override { return &ratios; }
};

} // namespace

std::unique_ptr<gui_bench_session> start_gui_bench_session(bool display) {
    return std::make_unique<click_session>(display);
}
