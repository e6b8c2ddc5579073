// Camera centring, mouse navigation arithmetic, the paint sequence with its display list,
// choosing the picked hit, and texture upload parameters.
#include "camera.h"
#include "picking.h"
#include "recording_gl.h"
#include "scene.h"
#include "texture_upload.h"
#include "view_fixtures.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

using namespace view_test;

void fit(viewport_navigation& nav, std::array<double, 3> lo, std::array<double, 3> hi) {
    nav.fit_min = lo;
    nav.fit_max = hi;
}

TEST(CameraCentring, WideOrTallModelsShrinkToFitAndSmallOnesKeepScaleOne) {
    viewport_navigation nav;
    gl_camera cam;
    fit(nav, {-6, -1, -2}, {6, 1, 0.5}); // 12 wide, 2 high
    nav.centre_camera(cam, 2.0);
    EXPECT_DOUBLE_EQ(nav.scale[0], 0.5);
    EXPECT_FLOAT_EQ(cam.z, 4.5f); // fit_max.z + 4: on a view twice as wide as high that shows it all

    fit(nav, {0, 0, 0}, {3, 3, 1}); // 3 × 3
    nav.centre_camera(cam, 2.0);
    EXPECT_DOUBLE_EQ(nav.scale[1], 1.0);
    EXPECT_FLOAT_EQ(cam.x, 1.5f);
    EXPECT_FLOAT_EQ(cam.y, 1.5f);

    fit(nav, {2, 2, 0}, {10, 10, 0}); // 8 × 8: the height decides
    nav.centre_camera(cam, 2.0);
    EXPECT_DOUBLE_EQ(nav.scale[2], 0.5);
    EXPECT_FLOAT_EQ(cam.x, 3.0f); // centre 6 × 0.5
}

TEST(CameraCentring, CentringResetsRotationAndDragState) {
    viewport_navigation nav;
    gl_camera cam;
    nav.mouse_down({10, 10, true, false, false});
    nav.mouse_move({40, 30, true, false, false}, cam);
    ASSERT_TRUE(nav.rotating);
    fit(nav, {-1, -1, -1}, {1, 1, 1});
    nav.centre_camera(cam, 1.0);
    EXPECT_FALSE(nav.rotating);
    EXPECT_EQ(nav.rotation, (std::array<double, 3>{0, 0, 0}));
    EXPECT_EQ(nav.rotation_base, (std::array<double, 2>{0, 0}));
    EXPECT_EQ(nav.last_mouse, (std::array<int, 2>{0, 0}));
    EXPECT_EQ(nav.scale_base, nav.scale);
}

// Where a point of the model lands on the view: normalised device coordinates (inside the view
// within -1 .. 1) and its distance in front of the camera.
std::array<double, 3> on_view(const viewport_navigation& nav, const gl_camera& cam, double aspect,
                              std::array<double, 3> p) {
    const double f = 1.0 / std::tan(22.5 * 3.14159265358979323846 / 180.0);
    const double ex = nav.scale[0] * p[0] - cam.x, ey = nav.scale[1] * p[1] - cam.y,
                 ez = nav.scale[2] * p[2] - cam.z;
    return {f / aspect * ex / -ez, f * ey / -ez, -ez};
}

TEST(CameraCentring, EveryCornerOfTheBoxIsInsideTheViewAndItsDepthRange) {
    struct box_case {
        const char* what;
        std::array<double, 3> lo, hi;
        double aspect;
    };
    const std::vector<box_case> cases = {
        {"flat 10 x 10 static", {-5, -5, 0}, {5, 5, 0}, 4.0 / 3.0},
        {"20 x 32 static", {-10, -16, -3}, {10, 16, 3}, 4.0 / 3.0},
        {"wide box on a tall view", {-6, -1, -2}, {6, 1, 0.5}, 0.5},
        {"deep box", {-1, -1, -300}, {1, 1, 300}, 1.0},
        {"off-centre box", {40, 10, 20}, {44, 12, 30}, 1.6},
        {"10-unit cube", {-5, -5, -5}, {5, 5, 5}, 4.0 / 3.0},
    };
    for (const box_case& c : cases) {
        viewport_navigation nav;
        gl_camera cam;
        fit(nav, c.lo, c.hi);
        nav.centre_camera(cam, c.aspect);
        for (int k = 0; k < 8; ++k) {
            const std::array<double, 3> corner{k & 1 ? c.hi[0] : c.lo[0], k & 2 ? c.hi[1] : c.lo[1],
                                               k & 4 ? c.hi[2] : c.lo[2]};
            const auto v = on_view(nav, cam, c.aspect, corner);
            EXPECT_LE(std::abs(v[0]), 0.95) << c.what << " corner " << k;
            EXPECT_LE(std::abs(v[1]), 0.95) << c.what << " corner " << k;
            EXPECT_GT(v[2], 0.1) << c.what << " corner " << k;
            EXPECT_LT(v[2], 100) << c.what << " corner " << k;
        }
    }
}

TEST(CenterCameraCommand, AMoveableGetsScaleFourTenthsAndTheCameraAtNine) {
    tr_level level = make_level(game_tr4, 1);
    mesh_list list;
    tr_scene scene;
    scene.level = &level, scene.meshes = &list;
    viewport_navigation nav;
    gl_camera cam;
    scene.sel_kind = 0;
    scene.sel_moveable = 3;
    const auto status = centre_on_selection(scene, nav, cam, 4.0 / 3.0);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, "");
    EXPECT_DOUBLE_EQ(nav.scale[0], 0.4);
    EXPECT_FLOAT_EQ(cam.x, 0);
    EXPECT_FLOAT_EQ(cam.y, 0);
    EXPECT_FLOAT_EQ(cam.z, 9);

    scene.sel_moveable = -1;
    cam.z = 1;
    EXPECT_FALSE(centre_on_selection(scene, nav, cam, 4.0 / 3.0).has_value());
    EXPECT_FLOAT_EQ(cam.z, 1); // nothing changes
}

TEST(CenterCameraCommand, AMeshIsCentredOnItsShiftedBoundsWithItsSizeInTheStatus) {
    tr_level level = make_level(game_tr4, 1);
    mesh_list list;
    mesh_shape s = square(0, 0, 1250, 30, 0, 0); // 12.5 wide, 0.3 high
    s.vertices.push_back({0, 0, -10025});        // makes it 100.25 deep
    s.tex_tris = {tri(0, 1, 4, 0)};
    add_mesh(list, s);
    tr_scene scene;
    scene.level = &level, scene.meshes = &list;
    scene.sel_kind = 1;
    scene.sel_mesh = 0;
    viewport_navigation nav;
    gl_camera cam;
    const auto status = centre_on_selection(scene, nav, cam, 4.0 / 3.0);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, "Number of Vertex: 5;     Width: 12.5;     Height: 0.30;     Depth: 100.");
    // Centred: the fit box is symmetric about the origin.
    EXPECT_NEAR(nav.fit_min[0], -nav.fit_max[0], 1e-9);
    EXPECT_NEAR(cam.x, 0, 1e-6);
    EXPECT_DOUBLE_EQ(nav.scale[0], 6 / 12.5);
}

TEST(CenterCameraCommand, AMeshWithoutFacesIsCentredOnTheOriginWithSizeZero) {
    tr_level level = make_level(game_tr4, 1);
    mesh_list list;
    mesh_shape s;
    s.vertices = {{0, 0, 0}};
    add_mesh(list, s);
    tr_scene scene;
    scene.level = &level, scene.meshes = &list;
    scene.sel_kind = 1;
    scene.sel_mesh = 0;
    viewport_navigation nav;
    gl_camera cam;
    EXPECT_EQ(centre_on_selection(scene, nav, cam, 4.0 / 3.0).value(),
              "Number of Vertex: 1;     Width: 0;     Height: 0;     Depth: 0");
    EXPECT_DOUBLE_EQ(nav.scale[0], 1.0);
    EXPECT_FLOAT_EQ(cam.z, 4.0f);
    scene.sel_mesh = 5; // past the list
    EXPECT_FALSE(centre_on_selection(scene, nav, cam, 4.0 / 3.0).has_value());
}

TEST(StatusNumber, FifteenDigitsCutToFourCharacters) {
    EXPECT_EQ(status_number(1.234567), "1.23");
    EXPECT_EQ(status_number(12.5), "12.5");
    EXPECT_EQ(status_number(100.25), "100.");
    EXPECT_EQ(status_number(double(0.3f)), "0.30");
    EXPECT_EQ(status_number(2), "2");
}

TEST(MouseNavigation, ZoomFollowsVerticalDragFromTheFirstMoveAFewPercentAtATimeAndNeverReachesZero) {
    viewport_navigation nav;
    gl_camera cam;
    nav.scale = {0.4, 0.4, 0.4};
    nav.mouse_down({100, 100, true, false, true});
    nav.mouse_move({100, 100, true, false, true}, cam); // first move: zoom starts here
    nav.mouse_move({100, 108, true, false, true}, cam);
    EXPECT_NEAR(nav.scale[0], 0.4 * std::exp2(0.08), 1e-9); // 8 pixels: under 6% larger
    nav.mouse_move({100, 200, true, false, true}, cam);
    EXPECT_NEAR(nav.scale[0], 0.8, 1e-9); // 100 pixels down: twice the size
    nav.mouse_up(cam);

    nav.scale = {0.4, 0.4, 0.4};
    nav.mouse_move({100, 100, true, false, true}, cam);
    nav.mouse_move({100, -900, true, false, true}, cam);
    EXPECT_GT(nav.scale[1], 0.0);
    EXPECT_NEAR(nav.scale[1], 0.4 / 1024, 1e-9);
    // Releasing CTRL ends the zoom; the next CTRL move starts again from the current scale.
    nav.mouse_move({100, 40, true, false, false}, cam);
    EXPECT_FALSE(nav.zooming);
}

TEST(MouseNavigation, WheelAndDragZoomKeepWhatIsAtTheViewCentreThere) {
    struct zoom_case {
        const char* what;
        std::function<void(viewport_navigation&, gl_camera&)> act;
        double factor;
    };
    const std::vector<zoom_case> cases = {
        {"wheel notch forward",
         [](auto& nav, auto& cam) { nav.zoom_about_centre(wheel_zoom_factor(120), cam); }, 1.25},
        {"two notches back",
         [](auto& nav, auto& cam) { nav.zoom_about_centre(wheel_zoom_factor(-240), cam); }, 1 / 1.5625},
        {"CTRL+right drag 50 px down",
         [](auto& nav, auto& cam) {
             nav.mouse_down({0, 0, true, false, true});
             nav.mouse_move({0, 0, true, false, true}, cam);
             nav.mouse_move({0, 50, true, false, true}, cam);
         },
         std::sqrt(2.0)},
    };
    for (const zoom_case& c : cases) {
        viewport_navigation nav;
        gl_camera cam;
        nav.scale = {0.5, 0.5, 0.5};
        cam.x = 1.0f, cam.y = -2.0f; // the model point (2, -4) is at the view centre
        c.act(nav, cam);
        EXPECT_NEAR(nav.scale[0], 0.5 * c.factor, 1e-6) << c.what;
        EXPECT_NEAR(cam.x / nav.scale[0], 2.0, 1e-5) << c.what;
        EXPECT_NEAR(cam.y / nav.scale[1], -4.0, 1e-5) << c.what;
    }
}

TEST(MouseNavigation, RotationIsOneDegreePerPixelAndContinuesAfterRelease) {
    viewport_navigation nav;
    gl_camera cam;
    nav.mouse_down({10, 10, true, false, false});
    nav.mouse_move({40, 10, true, false, false}, cam);
    EXPECT_DOUBLE_EQ(nav.rotation[1], 30);
    EXPECT_DOUBLE_EQ(nav.rotation[0], 0);
    nav.mouse_up(cam);
    nav.mouse_down({0, 0, true, false, false});
    nav.mouse_move({10, -5, true, false, false}, cam);
    EXPECT_DOUBLE_EQ(nav.rotation[1], 40);
    EXPECT_DOUBLE_EQ(nav.rotation[0], -5);
    nav.mouse_up(cam);
    // A move without a drag only records the position.
    nav.mouse_move({77, 88, false, false, false}, cam);
    EXPECT_DOUBLE_EQ(nav.rotation[1], 40);
    EXPECT_EQ(nav.last_mouse, (std::array<int, 2>{77, 88}));
}

TEST(MouseNavigation, PanMovesTheCameraFiftyPixelsPerUnitSoTheModelFollows) {
    viewport_navigation nav;
    gl_camera cam;
    cam.x = 1, cam.y = 2;
    nav.mouse_up(cam); // camera_base = (1, 2)
    nav.mouse_down({0, 0, true, true, false});
    EXPECT_FALSE(nav.rotating);
    nav.mouse_move({100, 25, true, true, false}, cam);
    EXPECT_FLOAT_EQ(cam.x, -1.0f);
    EXPECT_FLOAT_EQ(cam.y, 2.5f);
    EXPECT_DOUBLE_EQ(nav.rotation[1], 0);
}

TEST(PaintFrame, TheFirstPaintBuildsTheListLaterPaintsReplayIt) {
    recording_gl rec;
    viewport_navigation nav;
    gl_camera cam;
    display_list_state list;
    list.list_id = 7;
    int draws = 0;
    const auto draw = [&](gl_api& gl) {
        ++draws;
        gl.load_name(5);
        gl.begin(gl::quads);
        gl.vertex3f(0, 0, 0);
        gl.end();
    };
    paint_frame(rec, nav, cam, 0xFFFFFF, list, draw);
    EXPECT_EQ(draws, 1);
    EXPECT_TRUE(list.list_valid);
    ASSERT_EQ(rec.count(gl_op::new_list), 1);
    EXPECT_EQ(rec.of(gl_op::new_list)[0].a[0], 7);
    EXPECT_EQ(rec.of(gl_op::new_list)[0].a[1], gl::compile_and_execute);
    EXPECT_EQ(rec.of(gl_op::clear_color)[0].a[0], 255); // bytes passed unscaled
    EXPECT_EQ(rec.of(gl_op::clear_color)[0].a[2], 255);
    // The list begins with the name stack: init, push 0.
    ASSERT_EQ(rec.lists[7].size(), 6u);
    EXPECT_EQ(rec.lists[7][0].op, gl_op::init_names);
    EXPECT_EQ(rec.lists[7][1].op, gl_op::push_name);

    // Mouse navigation repaints from the list without drawing the scene again.
    nav.mouse_down({0, 0, true, false, false});
    nav.mouse_move({20, 0, true, false, false}, cam);
    paint_frame(rec, nav, cam, 0, list, draw);
    EXPECT_EQ(draws, 1);
    EXPECT_EQ(rec.count(gl_op::call_list), 1);
    EXPECT_EQ(rec.primitives.size(), 2u);
    EXPECT_EQ(rec.primitives[1].name, 5u);
    // The replayed vertex is turned by the model rotation: (0,0,0) stays, so check the matrix
    // stacks are balanced instead.
    EXPECT_EQ(rec.count(gl_op::push_matrix), rec.count(gl_op::pop_matrix));

    list.list_valid = false; // redraw
    paint_frame(rec, nav, cam, 0, list, draw);
    EXPECT_EQ(draws, 2);
}

TEST(PaintFrame, ScaleThenRotationAboutXThenY) {
    recording_gl rec;
    viewport_navigation nav;
    nav.scale = {2, 2, 2};
    nav.rotation = {90, 90, 0};
    gl_camera cam;
    display_list_state list;
    paint_frame(rec, nav, cam, 0, list, [](gl_api& gl) {
        gl.begin(gl::quads);
        gl.vertex3f(1, 0, 0);
        gl.end();
    });
    // (1,0,0) about Y by 90 → (0,0,-1); about X by 90 → (0,1,0); scaled → (0,2,0).
    const auto& v = rec.primitives.at(0).vertices.at(0).placed;
    EXPECT_NEAR(v[0], 0, 1e-9);
    EXPECT_NEAR(v[1], 2, 1e-9);
    EXPECT_NEAR(v[2], 0, 1e-9);
}

TEST(ChooseHit, NearestMinimumDepthWinsAndTheEarlierOnATie) {
    // Records: names, zmin, zmax, name.
    std::uint32_t buf[select_buffer_size] = {1, 0x80000000u, 0x90000000u, 11, 1, 0x40001234u, 0x50000000u, 12,
                                             1, 0x4000FFFFu, 0x40000000u, 13};
    EXPECT_EQ(choose_hit(buf, select_buffer_size, 3), 12u); // 13 ties on the upper 16 bits
    EXPECT_EQ(choose_hit(buf, select_buffer_size, 1), 11u);
    EXPECT_EQ(choose_hit(buf, select_buffer_size, 0), 0u);
    EXPECT_EQ(choose_hit(buf, select_buffer_size, -1), 0u); // overflow
}

TEST(ChooseHit, BoxEdgesAndMalformedRecordsPickNothing) {
    std::uint32_t buf[select_buffer_size] = {1, 0x10000000u, 0x10000000u, 0, // a box edge, nearest
                                             1, 0x20000000u, 0x20000000u, 77};
    EXPECT_EQ(choose_hit(buf, select_buffer_size, 2), 77u);
    std::uint32_t bad[8] = {1000, 0, 0, 5, 1, 0, 0, 6}; // a name count past the buffer
    EXPECT_EQ(choose_hit(bad, 8, 2), 0u);
    EXPECT_EQ(choose_hit(bad, 8, 1000), 0u);
}

TEST(TextureUpload, ParametersAndPixelLayoutOfOneTexture) {
    recording_gl rec;
    QImage odd(40, 24, QImage::Format_RGB888);
    odd.fill(QColor(10, 20, 30));
    upload_texture_pixels(rec, 7, prepare_upload(odd, 24));
    ASSERT_EQ(rec.count(gl_op::tex_image), 1);
    const gl_call img = rec.of(gl_op::tex_image)[0];
    EXPECT_EQ(img.a[2], 3); // internal format
    EXPECT_EQ(img.a[3], 64);
    EXPECT_EQ(img.a[4], 64); // 40 × 24 is resampled to 64 × 64
    EXPECT_EQ(img.a[6], gl::bgr);
    ASSERT_EQ(img.pixels.size(), 64u * 64u * 3u);
    EXPECT_EQ(img.pixels[0], 30); // blue first
    EXPECT_EQ(img.pixels[2], 10);
    EXPECT_EQ(rec.of(gl_op::bind_texture)[0].a[1], 7);
    EXPECT_EQ(rec.filters[7], (std::array<int, 2>{int(gl::nearest), int(gl::nearest)}));
    EXPECT_EQ(rec.of(gl_op::tex_env)[0].a[2], gl::modulate);
    bool aligned = false;
    for (const auto& c : rec.of(gl_op::pixel_store))
        aligned = aligned || (c.a[0] == gl::unpack_alignment && c.a[1] == 1);
    EXPECT_TRUE(aligned);

    rec.reset();
    QImage square(32, 128, QImage::Format_RGB888);
    square.fill(Qt::white);
    upload_texture_pixels(rec, 8, prepare_upload(square, 32));
    const gl_call img32 = rec.of(gl_op::tex_image)[0];
    EXPECT_EQ(img32.a[2], 4);
    EXPECT_EQ(img32.a[3], 32);
    EXPECT_EQ(img32.a[4], 128);
    EXPECT_EQ(img32.a[6], gl::bgra);
}

TEST(TextureUpload, TheSolidTextureFallsBackToTheBuiltInPicture) {
    bool found = true;
    const QImage image = solid_bitmap(QStringLiteral("/nonexistent-directory"), &found);
    EXPECT_FALSE(found);
    EXPECT_EQ(image.size(), QSize(64, 64));
}

} // namespace
