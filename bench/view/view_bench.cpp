// 3D view benchmarks on the TR4 test level: building the display list of the largest moveable,
// replaying it, one pick, and uploading every object texture; each beside a baseline from the
// same run (plain immediate drawing, the batch alone, the one-by-one upload and preparation).
#include "gl_textures.h"
#include "gl_viewport.h"
#include "gui_bench_main.h"
#include "largest_moveable_view.h"
#include "level_reader.h"
#include "mesh_list.h"
#include "scene.h"
#include "texture_table.h"
#include "upload_batch.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>

namespace {

using bench_view = largest_moveable_view;

bench_view* view = nullptr;

// A gl_api that does nothing: what the batch and scene cost on their own.
class null_gl : public gl_api {
  public:
    void begin(unsigned) override {}
    void end() override {}
    void vertex3f(float, float, float) override {}
    void tex_coord2f(float, float) override {}
    void color3ub(std::uint8_t, std::uint8_t, std::uint8_t) override {}
    void color3f(float, float, float) override {}
    void sphere(double, int, int) override {}
    void init_names() override {}
    void push_name(std::uint32_t) override {}
    void load_name(std::uint32_t) override {}
    void enable(unsigned) override {}
    void disable(unsigned) override {}
    void polygon_mode(unsigned, unsigned) override {}
    void shade_model(unsigned) override {}
    void cull_face(unsigned) override {}
    void front_face(unsigned) override {}
    void clear_color(float, float, float, float) override {}
    void clear(unsigned) override {}
    void flush() override {}
    void viewport(int, int, int, int) override {}
    void matrix_mode(unsigned) override {}
    void load_identity() override {}
    void push_matrix() override {}
    void pop_matrix() override {}
    void translatef(float, float, float) override {}
    void rotatef(float, float, float, float) override {}
    void scalef(float, float, float) override {}
    void perspective(double, double, double, double) override {}
    void new_list(std::uint32_t, unsigned) override {}
    void end_list() override {}
    void call_list(std::uint32_t) override {}
    void bind_texture(unsigned, std::uint32_t) override {}
    void tex_parameteri(unsigned, unsigned, int) override {}
    void tex_envi(unsigned, unsigned, int) override {}
    void tex_genf(unsigned, unsigned, float) override {}
    void pixel_storei(unsigned, int) override {}
    void tex_image_2d(unsigned, int, int, int, int, int, unsigned, unsigned, const void*) override {}
};

bool ready(benchmark::State& state) {
    if (view && view->vp) return true;
    state.SkipWithError("needs an X display and the TR4 test level (run under xvfb-run)");
    return false;
}

void paint(bool rebuild) {
    view->vp->paint_current(rebuild);
    glFinish();
}

void BM_display_list_build(benchmark::State& state) {
    if (!ready(state)) return;
    view->vp->makeCurrent();
    for (auto _ : state)
        paint(true);
    view->vp->doneCurrent();
    state.counters["faces"] = double(view->faces);
}

void BM_display_list_replay(benchmark::State& state) {
    if (!ready(state)) return;
    view->vp->makeCurrent();
    paint(true);
    for (auto _ : state)
        paint(false);
    view->vp->doneCurrent();
}

// Baseline: the same faces in the same frame, drawn straight (one glBegin/glEnd and texture
// bind per face, no batch, no display list).
void BM_baseline_immediate_faces(benchmark::State& state) {
    if (!ready(state)) return;
    gl_viewport& vp = *view->vp;
    vp.makeCurrent();
    const auto parts = moveable_layout(view->list, view->level, view->moveable, 1.0f, true);
    const auto draw = [&](gl_api& gl) {
        apply_render_mode_state(gl, view->list);
        for (const auto& part : parts) {
            if (part.mesh < 0) continue;
            const tmesh& m = view->list.meshes[std::size_t(part.mesh)];
            const auto face = [&](const auto& f, int corners, std::uint16_t word) {
                gl.bind_texture(gl::texture_2d,
                                std::uint32_t(face_texture_name(view->list, view->level, word)));
                gl.begin(gl::quads);
                const auto tc = face_tex_coords(view->level, word);
                for (int k = 0; k < 4; ++k) {
                    const int c = k < corners ? k : corners - 1;
                    const auto p = view_position(m.vertices[face_word(f, c) % m.vertices.size()], 100.0f,
                                                 part.position[0], part.position[1], part.position[2]);
                    gl.tex_coord2f(tc[std::size_t(c)][0], tc[std::size_t(c)][1]);
                    gl.vertex3f(p[0], p[1], p[2]);
                }
                gl.end();
            };
            for (const auto& r : m.tex_rects)
                face(r, 4, rect_texture(r));
            for (const auto& t : m.tex_tris)
                face(t, 3, tri_texture(t));
        }
    };
    display_list_state immediate;
    immediate.use_list = false;
    for (auto _ : state) {
        paint_frame(vp.gl(), vp.navigation(), vp.camera(), 0, immediate, draw);
        glFinish();
    }
    vp.doneCurrent();
}

// Baseline: the scene through the batch into a GL that does nothing.
void BM_baseline_batch_only(benchmark::State& state) {
    if (!ready(state)) return;
    null_gl gl;
    for (auto _ : state) {
        draw_batch batch(gl);
        view->scene.Draw(batch);
        benchmark::ClobberMemory();
    }
}

void BM_pick(benchmark::State& state) {
    if (!ready(state)) return;
    view->vp->grab_frame(); // list built
    std::uint32_t hits = 0;
    for (auto _ : state)
        hits += view->vp->name_at(QPoint(view->vp->width() / 2, view->vp->height() / 2)) != 0;
    state.counters["hit"] = double(hits) / double(state.iterations());
}

// The whole upload as the editor runs it (pixels prepared at once, then handed to GL), alternated
// with the one-by-one upload it replaced (a piece image per texture through prepare_upload) in the
// same run; wall times, since the preparation uses two threads.
void BM_upload_object_textures(benchmark::State& state) {
    if (!ready(state)) return;
    gl_viewport* contexts[] = {view->vp.get()};
    const auto wall_ms = [] {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
    double base = 0, work = 0;
    for (auto _ : state) {
        const double t0 = wall_ms();
        {
            const QImage pages = build_pages_bitmap(view->level);
            view->vp->makeCurrent();
            for (std::size_t i = 0; i < view->level.object_textures.size(); ++i) {
                const auto pixels = std::make_shared<const upload_pixels>(
                    prepare_upload(gl_texture_piece(pages, view->level, int(i), 0x0FFF), 24));
                view->vp->upload_current(std::uint32_t(i + 1), pixels);
            }
            glFinish();
            view->vp->doneCurrent();
        }
        const double t1 = wall_ms();
        load_gl_textures(view->level, contexts, 24);
        view->vp->makeCurrent();
        glFinish();
        view->vp->doneCurrent();
        const double t2 = wall_ms();
        base += t1 - t0;
        work += t2 - t1;
    }
    const double n = double(state.iterations());
    state.counters["one_by_one_ms"] = base / n;
    state.counters["upload_ms"] = work / n;
    state.counters["ratio"] = work / base;
    state.counters["textures"] = double(view->level.object_textures.size());
}

// The pixel work of the upload alone: all object textures prepared at once (two threads), beside
// the one-by-one preparation (pages bitmap, a piece image per texture, 24-bit layout).
void BM_prepare_textures(benchmark::State& state) {
    if (!ready(state)) return;
    for (auto _ : state)
        benchmark::DoNotOptimize(prepare_object_textures(view->level, 24)->block_size);
}

void BM_baseline_prepare_textures(benchmark::State& state) {
    if (!ready(state)) return;
    for (auto _ : state) {
        const QImage pages = build_pages_bitmap(view->level);
        std::size_t bytes = 0;
        for (std::size_t i = 0; i < view->level.object_textures.size(); ++i)
            bytes += prepare_upload(gl_texture_piece(pages, view->level, int(i), 0x0FFF), 24).data.size();
        benchmark::DoNotOptimize(bytes);
    }
}

BENCHMARK(BM_display_list_build)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_baseline_immediate_faces)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_baseline_batch_only)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_display_list_replay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_pick)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_upload_object_textures)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_prepare_textures)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_baseline_prepare_textures)->Unit(benchmark::kMillisecond)->UseRealTime();

// The largest moveable of the TR4 test level in its viewport while the benchmarks run.
struct view_session final : gui_bench_session {
    bench_view v;
    explicit view_session(bool display) {
        if (display && v.open(VELLUM_SHARED_LEVELS "/test1.tr4")) view = &v;
    }
    ~view_session() override { view = nullptr; }
};

} // namespace

std::unique_ptr<gui_bench_session> start_gui_bench_session(bool display) {
    return std::make_unique<view_session>(display);
}
