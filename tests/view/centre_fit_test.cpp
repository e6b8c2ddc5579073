// Center Camera on real levels: every static mesh and every moveable shows whole in the view.
#include "gl_view_fixture.h"
#include "level_reader.h"
#include "level_records.h"
#include "mesh_list.h"
#include "real_levels.h"

#include <string>

namespace {

// Pixels drawn (not background) on the frame's outermost rows and columns, and inside it.
struct coverage {
    int edge = 0, inside = 0;
};
coverage covered(const QImage& frame) {
    coverage c;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const bool drawn = qGray(frame.pixel(x, y)) > 16;
            const bool edge = x == 0 || y == 0 || x == frame.width() - 1 || y == frame.height() - 1;
            (edge ? c.edge : c.inside) += drawn;
        }
    return c;
}

bool has_faces(const mesh_list& list, int mesh) {
    return mesh >= 0 &&
           list.meshes[std::size_t(mesh)].bounds_min[0] <= list.meshes[std::size_t(mesh)].bounds_max[0];
}

TEST(CentreCamera, EveryStaticAndMoveableOfTheSharedLevelsShowsWhole) {
    REQUIRE_DISPLAY();
    const std::vector<std::string> files = {"test1.phd", "test1.tr2", "test1_tr3.tr2", "test1.tr4",
                                            "test1.trc"};
    for (const std::string& file : files) {
        if (!real_levels::missing({file}).empty()) GTEST_SKIP() << real_levels::missing({file});
        tr_level level;
        std::string error;
        ASSERT_EQ(read_level(level, real_levels::path(file), &error), read_ok) << error;
        gl_view v(std::move(level), 160, 120);
        build_mesh_list(v.list, v.level);
        v.list.render_mode = mode_solid;
        v.vp->set_background(0);
        v.scene.box_static = -1;
        // Objects with faces, and those of them that cover a pixel: a flat or thin one seen edge-on
        // from the front may cover none.
        int with_faces = 0, seen = 0;
        const auto check = [&](const std::string& what, bool drawn) {
            v.centre();
            const coverage c = covered(v.frame());
            EXPECT_EQ(c.edge, 0) << file << " " << what << " reaches the edge of the view";
            with_faces += drawn;
            seen += drawn && c.inside > 0;
        };
        v.scene.sel_kind = 1;
        for (std::size_t s = 0; s < v.level.static_meshes.size(); ++s) {
            const std::size_t pointer = read_static_mesh(v.level.static_meshes[s]).mesh;
            if (pointer >= v.list.mesh_index.size()) continue;
            v.scene.sel_mesh = v.list.mesh_index[pointer];
            check("static " + std::to_string(s), has_faces(v.list, v.scene.sel_mesh));
        }
        v.scene.sel_kind = 0;
        for (std::size_t m = 0; m < v.level.moveables.size(); ++m) {
            v.scene.sel_moveable = int(m);
            bool drawn = false;
            for (const auto& part : moveable_layout(v.list, v.level, int(m), 1.0f, true))
                drawn = drawn || has_faces(v.list, part.mesh);
            check("moveable " + std::to_string(m), drawn);
        }
        EXPECT_GT(with_faces, 10) << file;
        EXPECT_GE(seen, with_faces * 9 / 10) << file;
    }
}

} // namespace
