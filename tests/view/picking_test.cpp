// Picking through the real viewport: nearest face, ties, empty space, and display-list picks
// against immediate drawing in every render mode.
#include "gl_view_fixture.h"
#include "level_reader.h"
#include "mesh_list.h"
#include "real_levels.h"
#include "view_fixtures.h"

#include <QMouseEvent>
#include <QSignalSpy>
#include <QWheelEvent>
#include <cmath>

namespace {

using namespace view_test;

// Two squares at different depths covering the view's centre, and one off to the side.
gl_view& two_squares(std::unique_ptr<gl_view>& holder, bool near_first) {
    tr_level level = make_level(game_tr4, 2);
    holder = std::make_unique<gl_view>(std::move(level));
    mesh_shape s;
    const mesh_shape far_sq = square(-100, -100, 100, 100, 0, 0);
    const mesh_shape near_sq = square(-50, -50, 50, 50, -100, 1); // z -100 is 1 unit nearer
    const mesh_shape& first = near_first ? near_sq : far_sq;
    const mesh_shape& second = near_first ? far_sq : near_sq;
    s.vertices = first.vertices;
    s.vertices.insert(s.vertices.end(), second.vertices.begin(), second.vertices.end());
    s.tex_rects = {rect(0, 1, 2, 3, 0), rect(4, 5, 6, 7, 1)};
    gl_view& v = *holder;
    add_mesh(v.list, s);
    v.scene.sel_kind = 1;
    v.scene.sel_mesh = 0;
    v.scene.box_static = -1;
    v.centre();
    v.frame();
    return v;
}

TEST(Picking, TheFaceNearerTheViewerWinsWhicheverIsDrawnFirst) {
    REQUIRE_DISPLAY();
    for (bool near_first : {false, true}) {
        std::unique_ptr<gl_view> holder;
        gl_view& v = two_squares(holder, near_first);
        const int near_face = near_first ? 0 : 1;
        for (std::uint8_t mode : {mode_solid, mode_textured}) {
            v.list.render_mode = mode;
            v.vp->redraw();
            const auto d = decode_name(v.vp->name_at(QPoint(100, 100)));
            EXPECT_EQ(d.mesh, 0) << int(mode);
            EXPECT_EQ(d.face, near_face) << "mode " << int(mode) << " near first " << near_first;
        }
    }
}

TEST(Picking, OfTwoFacesAtTheSameDepthTheEarlierDrawnWins) {
    REQUIRE_DISPLAY();
    gl_view v(make_level(game_tr4, 2));
    mesh_shape s = square(-100, -100, 100, 100, 0, 0);
    s.tex_rects.push_back(rect(0, 1, 2, 3, 1)); // the same square again
    s.tex_tris = {tri(0, 1, 2, 0)};             // and a triangle over half of it
    add_mesh(v.list, s);
    v.scene.sel_kind = 1;
    v.scene.sel_mesh = 0;
    v.centre();
    v.frame();
    EXPECT_EQ(v.vp->name_at(QPoint(100, 100)), selection_name(0, 0));
    EXPECT_EQ(v.vp->name_at(QPoint(130, 70)), selection_name(0, 0));
}

TEST(Picking, EmptySpaceAndAnEmptySceneGiveNothing) {
    REQUIRE_DISPLAY();
    std::unique_ptr<gl_view> holder;
    gl_view& v = two_squares(holder, false);
    EXPECT_EQ(v.vp->name_at(QPoint(3, 3)), 0u);
    EXPECT_EQ(v.vp->name_at(QPoint(196, 100)), 0u);
    EXPECT_NE(v.vp->name_at(QPoint(100, 100)), 0u);
    v.scene.sel_mesh = -1;
    v.vp->redraw();
    EXPECT_EQ(v.vp->name_at(QPoint(100, 100)), 0u);
    // A click of the left button reports its point, where the listener's pick finds the face.
    v.scene.sel_mesh = 0;
    v.vp->redraw();
    QSignalSpy clicks(v.vp.get(), &gl_viewport::clicked);
    QTest::mouseClick(v.vp.get(), Qt::LeftButton, {}, QPoint(100, 100));
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_NE(v.vp->name_at(clicks[0][0].toPoint()), 0u);
}

TEST(Picking, AClickReportsWhereAndHowAndThePickThereIsDecoded) {
    REQUIRE_DISPLAY();
    std::unique_ptr<gl_view> holder;
    gl_view& v = two_squares(holder, false);
    QSignalSpy clicks(v.vp.get(), &gl_viewport::clicked);
    QTest::mouseClick(v.vp.get(), Qt::LeftButton, Qt::ControlModifier | Qt::AltModifier, QPoint(100, 100));
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks[0][0].toPoint(), QPoint(100, 100));
    EXPECT_EQ(clicks[0][1].value<Qt::MouseButton>(), Qt::LeftButton);
    EXPECT_EQ(clicks[0][2].value<Qt::KeyboardModifiers>(), Qt::ControlModifier | Qt::AltModifier);

    const auto hit = v.vp->pick_at(QPoint(100, 100));
    ASSERT_TRUE(hit.has_value());
    EXPECT_EQ(*hit, (picked_name{0, 1})); // the nearer square, face 1 of mesh 0
    EXPECT_EQ(hit->face().kind, element_kind::tex_rect);
    EXPECT_EQ(hit->face().face, 1);
    EXPECT_FALSE(v.vp->pick_at(QPoint(3, 3)).has_value());
}

TEST(Picking, TheBoxEdgesDoNotHideTheFaceBehindThem) {
    REQUIRE_DISPLAY();
    gl_view v(make_level(game_tr4, 1));
    add_mesh(v.list, square(-100, -100, 100, 100, 0, 0));
    // A box whose front edge runs across the centre of the view, nearer than the face.
    add_static(v.level, 0, {-100, 100, 0, 0, -200, 0}, {-100, 100, 0, 0, -200, 0});
    v.scene.sel_kind = 1;
    v.scene.sel_mesh = 0;
    v.scene.box_static = 0;
    v.scene.box_kind = 0;
    v.centre();
    v.frame();
    EXPECT_EQ(v.vp->name_at(QPoint(100, 100)), selection_name(0, 0));
}

TEST(Picking, MouseNavigationRepaintsFromTheDisplayList) {
    REQUIRE_DISPLAY();
    std::unique_ptr<gl_view> holder;
    gl_view& v = two_squares(holder, false);
    const int drawn = v.draws;
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(50, 50), QPointF(50, 50), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(v.vp.get(), &press);
    QMouseEvent move(QEvent::MouseMove, QPointF(80, 50), QPointF(80, 50), Qt::NoButton, Qt::RightButton,
                     Qt::NoModifier);
    QApplication::sendEvent(v.vp.get(), &move);
    const QImage turned = v.frame();
    EXPECT_DOUBLE_EQ(v.vp->navigation().rotation[1], 30);
    EXPECT_EQ(v.draws, drawn);
    v.vp->redraw();
    v.frame();
    EXPECT_EQ(v.draws, drawn + 1);
}

TEST(Picking, TheWheelZoomsAboutTheViewCentre) {
    REQUIRE_DISPLAY();
    std::unique_ptr<gl_view> holder;
    gl_view& v = two_squares(holder, false);
    const double before = v.vp->navigation().scale[0];
    const std::uint32_t centre = v.vp->name_at(QPoint(100, 100));
    ASSERT_NE(centre, 0u);
    ASSERT_NE(v.vp->name_at(QPoint(140, 100)), 0u); // inside the far square
    for (int notch : {120, 120, 120, 240}) {
        QWheelEvent wheel(QPointF(30, 30), QPointF(30, 30), QPoint(), QPoint(0, notch), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(v.vp.get(), &wheel);
    }
    EXPECT_NEAR(v.vp->navigation().scale[0], before * std::pow(1.25, 5), 1e-9);
    // Whatever was at the centre stays there; the square now reaches past the view's edges.
    EXPECT_EQ(v.vp->name_at(QPoint(100, 100)), centre);
    v.frame();
    EXPECT_NE(v.vp->name_at(QPoint(197, 100)), 0u);
}

// Picks over a grid with the display list, then drawing immediately; they must agree.
void compare_grid(gl_view& v, const std::string& what, bool expect_hits = true) {
    int hits = 0;
    for (int y = 4; y < 200; y += 16)
        for (int x = 4; x < 200; x += 16) {
            v.vp->set_display_list(true);
            const std::uint32_t listed = v.vp->name_at(QPoint(x, y));
            v.vp->set_display_list(false);
            const std::uint32_t direct = v.vp->name_at(QPoint(x, y));
            EXPECT_EQ(listed, direct) << what << " at " << x << "," << y;
            hits += direct != 0;
        }
    v.vp->set_display_list(true);
    if (expect_hits) {
        EXPECT_GT(hits, 0) << what;
    }
}

TEST(Picking, DisplayListPicksEqualImmediatePicksInEveryMode) {
    REQUIRE_DISPLAY();
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4", "test1.phd");
    for (const char* file : {"test1.tr4", "test1.phd"}) {
        tr_level level;
        std::string error;
        ASSERT_EQ(read_level(level, real_levels::path(file), &error), read_ok) << error;
        gl_view v(std::move(level));
        build_mesh_list(v.list, v.level);
        v.upload_textures();

        // The moveable with the most faces, and a static mesh with a box.
        int best = -1;
        std::size_t best_faces = 0;
        for (std::size_t m = 0; m < v.level.moveables.size(); ++m) {
            std::size_t faces = 0;
            for (const auto& part : moveable_layout(v.list, v.level, int(m), 1.0f, true))
                if (part.mesh >= 0) {
                    const tmesh& t = v.list.meshes[std::size_t(part.mesh)];
                    faces += t.tex_rects.size() + t.tex_tris.size() + t.col_rects.size() + t.col_tris.size();
                }
            if (faces > best_faces) best = int(m), best_faces = faces;
        }
        ASSERT_GE(best, 0);
        v.scene.sel_kind = 0;
        v.scene.sel_moveable = best;
        v.centre();
        for (std::uint8_t mode : {mode_wireframe, mode_solid, mode_textured}) {
            v.list.render_mode = mode;
            v.vp->redraw();
            v.frame();
            // Wireframe hits need the cursor on a line; only coloured faces are filled there.
            compare_grid(v, std::string(file) + " moveable, mode " + std::to_string(mode),
                         mode != mode_wireframe);
        }

        // The mesh with the most vertices alone, and a static mesh with its box when the level
        // has one, in every mode with and without vertex lighting.
        int biggest = 0;
        for (std::size_t m = 0; m < v.list.meshes.size(); ++m)
            if (v.list.meshes[m].vertices.size() > v.list.meshes[std::size_t(biggest)].vertices.size())
                biggest = int(m);
        std::vector<std::pair<int, int>> singles = {{biggest, -1}};
        if (!v.level.static_meshes.empty()) {
            const auto pointer = read_static_mesh(v.level.static_meshes[0]).mesh;
            singles.push_back({v.list.mesh_index.at(pointer), 0});
        }
        for (const auto& [mesh, box] : singles) {
            v.scene.sel_kind = 1;
            v.scene.sel_mesh = mesh;
            v.scene.box_static = box;
            v.scene.show_box = 1;
            for (std::uint8_t mode : {mode_wireframe, mode_solid, mode_textured, mode_points}) {
                for (std::uint8_t lights : {0, 1}) {
                    v.centre();
                    v.list.render_mode = mode;
                    v.list.lights_enabled = lights;
                    // Points are tiny spheres: enlarge the model so the grid meets some of them.
                    if (mode == mode_points) v.vp->zoom(8 / v.vp->navigation().scale[0]);
                    v.frame();
                    const bool lit = lights && v.list.meshes[std::size_t(mesh)].num_normals < 0;
                    compare_grid(v,
                                 std::string(file) + " mesh " + std::to_string(mesh) + ", mode " +
                                     std::to_string(mode) + " lights " + std::to_string(lights),
                                 mode == mode_solid || mode == mode_textured || (lit && mode == mode_points));
                }
            }
        }
    }
}

} // namespace
