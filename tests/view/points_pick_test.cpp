// Points mode through the real viewport: the vertex markers show at any zoom and a click at a
// vertex's projected position picks that vertex (or one whose marker covers the same spot).
#include "gl_view_fixture.h"
#include "level_reader.h"
#include "mesh_list.h"
#include "real_levels.h"
#include "view_fixtures.h"

#include <cmath>

namespace {

// Window position (logical pixels, y down) of a vertex of the single centred mesh, by the
// transform the viewport applies: perspective 45°, camera translation, model scale, no rotation.
std::array<double, 2> projected(const gl_view& v, const tmesh& m, std::size_t vertex) {
    const auto p =
        view_position(m.vertices[vertex], 100.0f, m.bounds_shift[0], m.bounds_shift[1], m.bounds_shift[2]);
    const auto& s = v.vp->navigation().scale;
    const gl_camera& cam = v.vp->camera();
    const double ex = s[0] * p[0] - cam.x, ey = s[1] * p[1] - cam.y, ez = s[2] * p[2] - cam.z;
    const double f = 1.0 / std::tan(22.5 * 3.14159265358979323846 / 180.0);
    const double w = v.vp->width(), h = v.vp->height();
    const double nx = f * (h / w) * ex / -ez, ny = f * ey / -ez;
    return {(nx + 1) / 2 * w, h - (ny + 1) / 2 * h};
}

// Shows mesh `mesh` of `level` in points mode at w × h with markers of `pixels`.
void show_points(gl_view& v, int mesh, double pixels) {
    v.scene.sel_kind = 1;
    v.scene.sel_mesh = mesh;
    v.scene.box_static = -1;
    v.list.render_mode = mode_points;
    v.centre();
    v.scene.point_radius = v.vp->marker_radius(pixels);
    v.vp->redraw();
    v.frame();
}

TEST(PointsMode, EveryVertexIsPickedAtItsProjectedPosition) {
    SKIP_WITHOUT_REAL_LEVELS("test1.phd", "test1.tr4");
    REQUIRE_DISPLAY();
    // The TR4 mesh nearest to 98 vertices, and the static meshes of the TR1 level (whose corners,
    // a 10-unit flat square, lie outside the centred view: none of them may count).
    struct sample {
        std::string file;
        bool statics;
    };
    for (const sample& s : {sample{"test1.phd", true}, sample{"test1.tr4", false}}) {
        tr_level level;
        std::string error;
        ASSERT_EQ(read_level(level, VELLUM_SHARED_LEVELS "/" + s.file, &error), read_ok) << error;
        std::vector<int> meshes;
        mesh_list list;
        build_mesh_list(list, level);
        if (s.statics) {
            for (const auto& st : level.static_meshes)
                meshes.push_back(list.mesh_index.at(get_u16(&st[4])));
        } else {
            int best = 0;
            for (std::size_t i = 0; i < list.meshes.size(); ++i)
                if (std::abs(list.meshes[i].num_vertices - 98) <
                    std::abs(list.meshes[std::size_t(best)].num_vertices - 98))
                    best = int(i);
            meshes.push_back(best);
        }
        gl_view v(std::move(level), 320, 240);
        v.list = std::move(list);
        int checked = 0;
        for (int mesh : meshes) {
            show_points(v, mesh, 3.0);
            const tmesh& m = v.list.meshes[std::size_t(mesh)];
            for (std::size_t i = 0; i < m.vertices.size(); ++i) {
                const auto at = projected(v, m, i);
                if (at[0] < 0 || at[1] < 0 || at[0] >= 320 || at[1] >= 240) continue;
                const decoded_name d = decode_name(
                    v.vp->name_at(QPoint(int(std::lround(at[0] - 0.5)), int(std::lround(at[1] - 0.5)))));
                ASSERT_EQ(d.mesh, mesh) << s.file << " vertex " << i;
                ++checked;
                const auto hit = projected(v, m, d.code);
                EXPECT_LE(std::hypot(hit[0] - at[0], hit[1] - at[1]), 7.0)
                    << s.file << " mesh " << mesh << " vertex " << i << " picked " << d.code;
            }
        }
        if (!s.statics) {
            EXPECT_GT(checked, 50) << s.file << ": too few vertices in view";
        }
    }
}

TEST(PointsMode, MarkersCoverPixelsAtSmallAndLargeViews) {
    SKIP_WITHOUT_REAL_LEVELS("test1.phd", "test1.tr4");
    REQUIRE_DISPLAY();
    // A TR4 mesh of about 98 vertices: with one-unit spheres it showed no pixel at 320 × 240.
    tr_level level;
    std::string error;
    ASSERT_EQ(read_level(level, VELLUM_SHARED_LEVELS "/test1.tr4", &error), read_ok) << error;
    mesh_list list;
    build_mesh_list(list, level);
    int mesh = 0;
    for (std::size_t i = 0; i < list.meshes.size(); ++i)
        if (std::abs(list.meshes[i].num_vertices - 98) <
            std::abs(list.meshes[std::size_t(mesh)].num_vertices - 98))
            mesh = int(i);
    for (const auto& [w, h] : {std::pair{320, 240}, std::pair{1024, 768}}) {
        gl_view v(level, w, h);
        v.list = list;
        v.vp->set_background(0);
        v.scene.line_colour = {255, 255, 255};
        show_points(v, mesh, 3.0);
        const QImage frame = v.frame();
        int lit = 0;
        for (int y = 0; y < frame.height(); ++y)
            for (int x = 0; x < frame.width(); ++x)
                lit += qGray(frame.pixel(x, y)) > 64;
        EXPECT_GE(lit, 2 * int(list.meshes[std::size_t(mesh)].vertices.size())) << w << "x" << h;
    }
}

} // namespace
