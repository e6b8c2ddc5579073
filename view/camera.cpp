// Camera, navigation arithmetic, camera centring and the paint sequence.
#include "camera.h"

#include "scene.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>

void viewport_navigation::mouse_down(const mouse_state& m) {
    if (m.right && !m.shift && !m.ctrl) {
        rotate_start = {m.x, m.y};
        rotating = true;
    }
    if (m.right && m.shift) pan_start = {m.x, m.y};
}

void viewport_navigation::mouse_move(const mouse_state& m, gl_camera& camera) {
    last_mouse = {m.x, m.y};
    if (rotating && !m.shift) {
        rotation[1] = double(m.x - rotate_start[0]) + rotation_base[1];
        rotation[0] = double(m.y - rotate_start[1]) + rotation_base[0];
    }
    if (m.right && m.shift) {
        camera.set_x(-(float(m.x - pan_start[0]) / 50.0f) + float(camera_base[0]));
        camera.set_y(float(m.y - pan_start[1]) / 50.0f + float(camera_base[1]));
    }
    if (m.right && m.ctrl) {
        if (!zooming) {
            zooming = true;
            scale_base = scale;
            zoom_start = {m.x, m.y};
        }
        // Exponential in the drag: each pixel changes the size by the same small fraction (0.7%),
        // whatever the scale, so the zoom stays controllable and never reaches zero.
        const double wanted = scale_base[0] * std::exp2(double(m.y - zoom_start[1]) / 100.0);
        if (scale[0] > 0) zoom_about_centre(wanted / scale[0], camera);
    }
    if (!m.ctrl) zooming = false;
}

void viewport_navigation::mouse_up(const gl_camera& camera) {
    rotating = false;
    zooming = false;
    rotation_base = {rotation[0], rotation[1]};
    camera_base = {camera.x, camera.y};
}

void viewport_navigation::zoom_about_centre(double factor, gl_camera& camera) {
    if (!(factor > 0) || !std::isfinite(factor)) return;
    // The model is scaled about its origin: the point under the view centre moves by the same
    // factor, and the camera follows it.
    for (double& s : scale)
        s *= factor;
    camera.set_x(float(camera.x * factor));
    camera.set_y(float(camera.y * factor));
    camera_base = {camera_base[0] * factor, camera_base[1] * factor};
}

double wheel_zoom_factor(int angle_delta) {
    return std::pow(1.25, double(angle_delta) / 120.0);
}

namespace {
constexpr double view_far = 100.0;      // the projection's far plane
constexpr double fit_margin = 1.1;      // the box's corners stay within 1 / 1.1 of the half view
constexpr double fit_depth_room = 95.0; // camera to the box's far side, short of the far plane
const double half_view_slope = std::tan(22.5 * 3.14159265358979323846 / 180.0);
} // namespace

void viewport_navigation::centre_camera(gl_camera& camera, double aspect) {
    const double cx = (fit_max[0] - fit_min[0]) / 2 + fit_min[0];
    const double cy = (fit_max[1] - fit_min[1]) / 2 + fit_min[1];
    const double w = std::fabs(fit_max[0] - fit_min[0]), h = std::fabs(fit_max[1] - fit_min[1]);
    const double fx = w > 6 ? 6 / w : 1, fy = h > 4 ? 4 / h : 1;
    double f = std::min(fx, fy);
    // At scale f the box's front face is f * fit_max.z from the origin; its corners show when the
    // camera is at least f * reach in front of that face, and the far side is f * depth away then.
    if (!(aspect > 0) || !std::isfinite(aspect)) aspect = 1;
    const double reach = fit_margin * std::max(w / 2 / (half_view_slope * aspect), h / 2 / half_view_slope);
    const double depth = std::fabs(fit_max[2] - fit_min[2]) + reach;
    if (f * depth > fit_depth_room) f = fit_depth_room / depth;
    const double nearest = f * fit_max[2] + std::max(f * reach, 0.2);
    const double farthest = f * std::min(fit_min[2], fit_max[2]) + fit_depth_room;
    const double z = std::clamp(fit_max[2] + 4, nearest, std::max(nearest, farthest));
    static_assert(fit_depth_room < view_far);
    camera.set_x(float(cx * f));
    camera.set_y(float(cy * f));
    camera.set_z(float(z));
    scale = {f, f, f};
    rotation = {0, 0, 0};
    rotating = zooming = false;
    rotate_start = pan_start = zoom_start = {0, 0};
    rotation_base = {0, 0};
    camera_base = {camera.x, camera.y};
    scale_base = scale;
    last_mouse = {0, 0};
}

std::string status_number(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    return std::string(buf).substr(0, 4);
}

std::optional<user_message> centre_on_selection(const tr_scene& scene, viewport_navigation& nav,
                                                gl_camera& camera, double aspect) {
    if (scene.sel_kind == 0) {
        if (scene.sel_moveable < 0) return std::nullopt;
        nav.fit_min = {-5, -5, -5};
        nav.fit_max = {5, 5, 5};
        // Parts that reach past the 10-unit box widen it, so a large moveable shows whole.
        if (scene.level && scene.meshes)
            for (const moveable_part& part :
                 moveable_layout(*scene.meshes, *scene.level, scene.sel_moveable, 1.0f, true)) {
                if (part.mesh < 0) continue;
                const tmesh& m = scene.meshes->meshes[std::size_t(part.mesh)];
                if (!(m.bounds_min[0] <= m.bounds_max[0])) continue; // no faces, no bounds
                for (std::size_t i = 0; i < 3; ++i) {
                    nav.fit_min[i] = std::min(nav.fit_min[i], m.bounds_min[i] + part.position[i]);
                    nav.fit_max[i] = std::max(nav.fit_max[i], m.bounds_max[i] + part.position[i]);
                }
            }
        nav.centre_camera(camera, aspect);
        return user_message();
    }
    if (scene.sel_mesh < 0 || !scene.meshes || std::size_t(scene.sel_mesh) >= scene.meshes->meshes.size())
        return std::nullopt;
    const tmesh& m = scene.meshes->meshes[std::size_t(scene.sel_mesh)];
    std::array<double, 3> size{};
    // A mesh without faces has no bounds: centre on the origin instead of on the unmeasured
    // start values, and show its size as 0.
    const bool measured = m.bounds_min[0] <= m.bounds_max[0];
    for (std::size_t i = 0; i < 3; ++i) {
        if (measured) {
            nav.fit_min[i] = m.bounds_min[i] + m.bounds_shift[i];
            nav.fit_max[i] = m.bounds_max[i] + m.bounds_shift[i];
            size[i] = m.bounds_max[i] - m.bounds_min[i];
        } else {
            nav.fit_min[i] = nav.fit_max[i] = 0;
        }
    }
    user_message status = say(msg::number_of_vertex, {std::to_string(m.num_vertices), status_number(size[0]),
                                                      status_number(size[1]), status_number(size[2])});
    nav.centre_camera(camera, aspect);
    return status;
}

void apply_initial_state(gl_api& gl) {
    gl.enable(gl::depth_test);
    gl.enable(gl::cull_face);
    gl.cull_face(gl::back);
    gl.front_face(gl::cw);
    gl.polygon_mode(gl::front_and_back, gl::line);
}

void apply_perspective(gl_api& gl, int width, int height) {
    gl.perspective(45.0, double(width) / double(height > 0 ? height : 1), 0.1, 100.0);
}

double point_marker_radius(const viewport_navigation& nav, const gl_camera& camera, int height,
                           double pixels) {
    // The view is 2 × depth × tan(45° / 2) units high at that depth; the model is scaled into it.
    const double depth = std::max(double(camera.z), 0.1);
    const double scale = std::max({nav.scale[0], nav.scale[1], nav.scale[2], 1e-6});
    const double units_per_pixel =
        2.0 * depth * std::tan(22.5 * 3.14159265358979323846 / 180.0) / std::max(height, 1);
    return pixels * units_per_pixel / scale;
}

void apply_projection(gl_api& gl, int width, int height) {
    gl.matrix_mode(gl::projection);
    gl.load_identity();
    apply_perspective(gl, width, height);
    gl.viewport(0, 0, width, height);
    gl.matrix_mode(gl::modelview);
}

void paint_frame(gl_api& gl, const viewport_navigation& nav, const gl_camera& camera,
                 std::uint32_t background, display_list_state& list, const std::function<void(gl_api&)>& draw,
                 bool clear) {
    if (clear) {
        gl.clear_color(float(background & 0xFF), float((background >> 8) & 0xFF),
                       float((background >> 16) & 0xFF), 1.0f);
        gl.clear(gl::colour_buffer_bit | gl::depth_buffer_bit);
    }
    gl.matrix_mode(gl::projection);
    gl.push_matrix();
    gl.translatef(-camera.x, -camera.y, -camera.z);
    gl.matrix_mode(gl::modelview);
    gl.push_matrix();
    gl.scalef(float(nav.scale[0]), float(nav.scale[1]), float(nav.scale[2]));
    gl.rotatef(float(nav.rotation[0]), 1, 0, 0);
    gl.rotatef(float(nav.rotation[1]), 0, 1, 0);
    gl.rotatef(float(nav.rotation[2]), 0, 0, 1);
    if (!list.use_list) {
        gl.init_names();
        gl.push_name(0);
        if (draw) draw(gl);
    } else if (!list.list_valid) {
        gl.new_list(list.list_id, gl::compile_and_execute);
        gl.init_names();
        gl.push_name(0);
        if (draw) draw(gl);
        gl.end_list();
        list.list_valid = true;
    } else {
        gl.call_list(list.list_id);
    }
    gl.pop_matrix();
    gl.matrix_mode(gl::projection);
    gl.pop_matrix();
    gl.matrix_mode(gl::modelview);
    gl.flush();
}

std::uint32_t next_list_id() {
    static std::atomic<std::uint32_t> counter{1};
    return counter++;
}
