// Scene drawing: the selected mesh or moveable in the current render mode, with static-mesh
// vertex lighting and the static mesh's box, through the draw batch.
#pragma once

#include "draw_batch.h"
#include "level_records.h"
#include "mesh_list.h"
#include "mesh_view.h"
#include "tr_level.h"

#include <array>
#include <cstdint>
#include <functional>

// A drawable figure with a placement. Draw applies the placement around Paint.
class tglfigure {
  public:
    virtual ~tglfigure() = default;
    std::array<double, 3> position{};
    std::array<double, 3> rotation{};
    std::array<double, 3> scale{1.0, 1.0, 1.0};
    std::function<void(draw_batch&)> paint_callback;

    virtual void Paint(draw_batch& batch);
    void Draw(draw_batch& batch);
};

class tr_scene : public tglfigure {
  public:
    const tr_level* level = nullptr; // read only: drawing never changes the level
    const mesh_list* meshes = nullptr;
    std::uint8_t sel_kind = 0; // 0 a moveable is shown, 1 a single mesh
    std::int32_t sel_mesh = 0;
    std::int32_t sel_moveable = 0;
    std::uint16_t solid_texture = SOLID_TEXTURE_NAME;
    std::uint8_t smooth_textures = 0;
    std::array<std::uint8_t, 3> line_colour{255, 255, 255};
    std::uint8_t show_box = 1;
    std::uint8_t box_kind = 1; // box_kind: 0 visibility, 1 collision
    std::int32_t box_static = -1;
    // Radius of the points-mode vertex markers in view units; the window sizes it to a few screen
    // pixels at the current zoom (see point_marker_radius).
    double point_radius = 0.01;
    // Points mode: the vertex of the shown mesh picked last (-1: none), drawn twice as large in the
    // highlight colour.
    std::int32_t marked_vertex = -1;

    // Draws with the scene's own line colour; the mesh list is only read.
    void Paint(draw_batch& batch) override;
};

// Colour of the marked vertex in points mode: shows on the black and the white background.
inline constexpr std::array<std::uint8_t, 3> marked_vertex_colour{255, 48, 48};

// Sets polygon mode, texturing, shading and current colour for the list's render mode.
void apply_render_mode_state(gl_api& gl, const mesh_list& list);

void draw_mesh(draw_batch& batch, const mesh_list& list, const tr_level& level, int mesh, double sx,
               double sy, double sz, std::uint16_t angle, float f, bool centred, bool smooth);
void draw_mesh_lit(draw_batch& batch, bool with_names, const mesh_list& list, const tr_level& level, int mesh,
                   double sx, double sy, double sz, std::uint16_t angle, float f, bool centred, bool smooth);
void draw_mesh_points(draw_batch& batch, const mesh_list& list, const tr_level& level, int mesh,
                      double radius = 0.01);
void draw_moveable(draw_batch& batch, const mesh_list& list, const tr_level& level, int moveable, double sx,
                   double sy, double sz, std::uint16_t angle, float f, bool root_at_origin, bool smooth);
void draw_box(draw_batch& batch, const tr_scene& scene, double sx, double sy, double sz);

// Where each mesh of a moveable is placed (rest position, view units) and which tmesh it draws
// (-1 when the moveable's mesh index runs past mesh_index or names no mesh).
struct moveable_part {
    int mesh = -1;
    std::array<double, 3> position{};
};
std::vector<moveable_part> moveable_layout(const mesh_list& list, const tr_level& level, int moveable,
                                           float f, bool root_at_origin);
