// The camera, the viewport's navigation state (model rotation, scale, drags, fit box) with the
// mouse and centring arithmetic, and the frame sequence a viewport paint issues.
#pragma once

#include "gl_api.h"
#include "user_message.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class tr_scene;

class gl_camera {
  public:
    float get_x() const { return x; }
    float get_y() const { return y; }
    void set_x(float v) { x = v; }
    void set_y(float v) { y = v; }
    void set_z(float v) { z = v; }
    float x = 0, y = 0, z = 5.0f;
};

inline constexpr double fit_start = 922337203685477.6;

// Mouse buttons and modifiers of one event.
struct mouse_state {
    int x = 0, y = 0;
    bool right = false, shift = false, ctrl = false;
};

struct viewport_navigation {
    std::array<double, 3> rotation{};
    std::array<double, 3> scale{1.0, 1.0, 1.0};
    bool rotating = false, zooming = false;
    std::array<int, 2> rotate_start{}, pan_start{}, zoom_start{};
    std::array<double, 2> rotation_base{};
    std::array<double, 2> camera_base{};
    std::array<double, 3> scale_base{};
    std::array<int, 2> last_mouse{};
    std::array<double, 3> fit_min{fit_start, fit_start, fit_start};
    std::array<double, 3> fit_max{-fit_start, -fit_start, -fit_start};

    // Right button alone starts a rotation; right with SHIFT starts a pan.
    void mouse_down(const mouse_state& m);
    // Rotation (1 degree per pixel), pan (50 pixels per unit) and CTRL zoom (the scale doubles
    // per 100 pixels down, halves per 100 up, about the view centre) for the buttons held; always
    // records last_mouse.
    void mouse_move(const mouse_state& m, gl_camera& camera);
    void mouse_up(const gl_camera& camera);
    // Multiplies the scale by `factor` (> 0) so that the point at the view centre stays there.
    void zoom_about_centre(double factor, gl_camera& camera);
    // Places camera and scale so that the fit box fits a 6 x 4 unit window, never enlarging, with
    // the camera 4 units in front of the box; then moves the camera back (or, for a box deeper
    // than the view's range, shrinks it further) as far as needed for the whole box to show,
    // with a margin, on a view of `aspect` width / height.
    void centre_camera(gl_camera& camera, double aspect);
};

// The scale factor of one wheel step: 120 eighths of a degree (a notch) zoom in or out by 1.25.
double wheel_zoom_factor(int angle_delta);

// The "Center Camera" command's preparation: fills the fit box for what the scene shows (a
// moveable: at least 10 units on every side, more when its parts reach further) and centres for
// a view of `aspect` width / height. Returns nothing when nothing is shown (then nothing
// changes); otherwise the status text (empty for a moveable). The caller redraws.
std::optional<user_message> centre_on_selection(const tr_scene& scene, viewport_navigation& nav,
                                                gl_camera& camera, double aspect);

// A size as the status bar shows it: general format, up to 15 significant digits, cut to four
// characters.
std::string status_number(double v);

// Initial GL state of a new context: depth test, back faces culled, clockwise front, lines.
void apply_initial_state(gl_api& gl);
// Projection: 45 degrees, width / height, 0.1 to 100; the viewport covers the surface. A height
// of 0 is taken as 1.
void apply_projection(gl_api& gl, int width, int height);
// The perspective part alone, for the selection pass after its pick matrix.
void apply_perspective(gl_api& gl, int width, int height);

// Radius, in model units, of a point marker that spans about `pixels` device pixels on a view
// `height` device pixels high, at the depth of the model's origin with the current scale (the
// points-mode markers: a fixed radius would cover no pixel on a small static mesh).
double point_marker_radius(const viewport_navigation& nav, const gl_camera& camera, int height,
                           double pixels);

// Display-list state of a viewport.
struct display_list_state {
    std::uint32_t list_id = 1;
    bool list_valid = false;
    bool use_list = true; // false draws immediately every frame (used to compare picks)
};

// The frame: clear (unless `clear` is false), camera on the projection, scale and rotation on
// the model view, then build (name stack initialised with one name 0, `draw` called) or replay
// the display list, pop both matrices and flush.
void paint_frame(gl_api& gl, const viewport_navigation& nav, const gl_camera& camera,
                 std::uint32_t background, display_list_state& list, const std::function<void(gl_api&)>& draw,
                 bool clear = true);

// Next value of the process-wide display-list counter (starts at 1).
std::uint32_t next_list_id();
