// Scene drawing: meshes, lit meshes, points, moveables in rest position, and static-mesh boxes.
#include "scene.h"

#include <algorithm>

namespace {

// Number of faces of a list that can be read: the count, limited to the slots actually held.
template <class V> int face_count(std::int16_t count, const V& faces) {
    return std::clamp<int>(count, 0, int(faces.size()));
}

using colour3 = std::array<std::uint8_t, 3>;

void set_line_colour(gl_api& gl, const colour3& line) {
    gl.color3ub(line[0], line[1], line[2]);
}

void apply_mode_state(gl_api& gl, std::uint8_t render_mode, const colour3& line) {
    if (render_mode == mode_wireframe) {
        gl.polygon_mode(gl::front_and_back, gl::line);
        gl.disable(gl::texture_2d);
        gl.shade_model(gl::flat);
        set_line_colour(gl, line);
    } else {
        gl.polygon_mode(gl::front_and_back, gl::fill);
        gl.enable(gl::texture_2d);
        gl.shade_model(gl::flat);
        gl.color3ub(255, 255, 255);
    }
}

// One face into the batch: name, mode, then its corners (a triangle repeats its third corner).
template <std::size_t N>
void batch_face(draw_batch& batch, const mesh_list& list, const tr_level& level, const tmesh& m,
                const rec<N>& face, int corners, std::uint16_t texture_word, bool textured,
                std::uint32_t name, bool with_name, bool lit, bool smooth, float d,
                const std::array<double, 3>& shift) {
    if (!face_vertices_valid(m, face, corners)) return;
    if (textured && (list.render_mode == mode_solid || list.render_mode == mode_textured)) {
        batch.batch_texture(face_texture_name(list, level, texture_word));
        batch.batch_smooth(smooth);
    }
    if (with_name) batch.batch_name(std::int32_t(name));
    batch.batch_mode(int(gl::quads));
    const auto tc = textured ? face_tex_coords(level, texture_word) : std::array<std::array<float, 2>, 4>{};
    for (int k = 0; k < 4; ++k) {
        const int corner = std::min(k, corners - 1);
        const std::uint16_t v = face_word(face, corner);
        if (lit && textured) {
            const std::int16_t light = v < m.lights.size() ? m.lights[v] : 0;
            const int grey = vertex_grey(level.game_version, light);
            batch.batch_colour(grey, grey, grey);
        }
        if (textured) batch.batch_texcoord(tc[std::size_t(corner)][0], tc[std::size_t(corner)][1]);
        const auto p = view_position(m.vertices[v], d, shift[0], shift[1], shift[2]);
        batch.batch_vertex(p[0], p[1], p[2]);
    }
    batch.batch_end_face();
}

void draw_mesh_faces(draw_batch& batch, const mesh_list& list, const tr_level& level, int mesh, double sx,
                     double sy, double sz, std::uint16_t angle, float f, bool centred, bool smooth, bool lit,
                     bool with_names, const colour3& line) {
    if (mesh < 0 || std::size_t(mesh) >= list.meshes.size()) return;
    const tmesh& m = list.meshes[std::size_t(mesh)];
    gl_api& gl = batch.gl();
    const float d = 100.0f / f;
    std::array<double, 3> shift{};
    if (centred) {
        shift = m.bounds_shift;
    } else {
        gl.push_matrix();
        gl.translatef(float(sx), float(sy), float(sz));
        gl.rotatef(float(angle), 0, 1, 0);
    }

    batch.batch_reset();
    for (int i = 0; i < face_count(m.num_tex_rects, m.tex_rects); ++i) {
        const auto& face = m.tex_rects[std::size_t(i)];
        batch_face(batch, list, level, m, face, 4, rect_texture(face), true, selection_name(mesh, i),
                   with_names, lit, smooth, d, shift);
    }
    for (int i = 0; i < face_count(m.num_tex_tris, m.tex_tris); ++i) {
        const auto& face = m.tex_tris[std::size_t(i)];
        batch_face(batch, list, level, m, face, 3, tri_texture(face), true,
                   selection_name(mesh, code_tex_tri + i), with_names, lit, smooth, d, shift);
    }
    batch.batch_flush();

    if (mesh_has_coloured_faces(level.game_version)) {
        gl.polygon_mode(gl::front_and_back, gl::fill);
        gl.disable(gl::texture_2d);
        gl.shade_model(gl::flat);
        batch.batch_reset();
        batch.batch_colour(255, 0, 0);
        for (int i = 0; i < face_count(m.num_col_rects, m.col_rects); ++i)
            batch_face(batch, list, level, m, m.col_rects[std::size_t(i)], 4, 0, false,
                       selection_name(mesh, code_col_rect + i), with_names, lit, smooth, d, shift);
        for (int i = 0; i < face_count(m.num_col_tris, m.col_tris); ++i)
            batch_face(batch, list, level, m, m.col_tris[std::size_t(i)], 3, 0, false,
                       selection_name(mesh, code_col_tri + i), with_names, lit, smooth, d, shift);
        batch.batch_flush();
        apply_mode_state(gl, list.render_mode, line);
        if (lit) gl.shade_model(gl::smooth);
    }

    if (!centred) gl.pop_matrix();
}

void draw_points(draw_batch& batch, const mesh_list& list, int mesh, const colour3& line, double radius,
                 int marked = -1) {
    if (mesh < 0 || std::size_t(mesh) >= list.meshes.size()) return;
    const tmesh& m = list.meshes[std::size_t(mesh)];
    gl_api& gl = batch.gl();
    // The spheres are drawn untextured in the line colour so that they show on either background.
    gl.disable(gl::texture_2d);
    set_line_colour(gl, line);
    const int n = std::clamp<int>(m.num_vertices, 0, int(m.vertices.size()));
    for (int i = 0; i < n; ++i) {
        if (i == marked) set_line_colour(gl, marked_vertex_colour);
        gl.load_name(selection_name(mesh, i));
        gl.push_matrix();
        const auto p = view_position(m.vertices[std::size_t(i)], 100.0f, m.bounds_shift[0], m.bounds_shift[1],
                                     m.bounds_shift[2]);
        gl.translatef(p[0], p[1], p[2]);
        gl.sphere(i == marked ? 2 * radius : radius, 5, 5);
        gl.pop_matrix();
        if (i == marked) set_line_colour(gl, line);
    }
}

void draw_moveable_parts(draw_batch& batch, const mesh_list& list, const tr_level& level, int moveable,
                         double sx, double sy, double sz, std::uint16_t angle, float f, bool root_at_origin,
                         bool smooth, const colour3& line) {
    if (!level.loaded() || moveable < 0 || std::size_t(moveable) >= level.moveables.size()) return;
    const auto parts = moveable_layout(list, level, moveable, f, root_at_origin);
    gl_api& gl = batch.gl();
    gl.push_matrix();
    gl.translatef(float(sx), float(sy), float(sz));
    gl.rotatef(float(angle), 0, 1, 0);
    for (const auto& part : parts)
        if (part.mesh >= 0)
            draw_mesh_faces(batch, list, level, part.mesh, part.position[0], part.position[1],
                            part.position[2], 0, f, false, smooth, false, true, line);
    gl.pop_matrix();
}

} // namespace

void tglfigure::Paint(draw_batch& batch) {
    if (paint_callback) paint_callback(batch);
}

void tglfigure::Draw(draw_batch& batch) {
    gl_api& gl = batch.gl();
    gl.push_matrix();
    gl.translatef(float(position[0]), float(position[1]), float(position[2]));
    gl.scalef(float(scale[0]), float(scale[1]), float(scale[2]));
    gl.rotatef(float(rotation[0]), 1, 0, 0);
    gl.rotatef(float(rotation[1]), 0, 1, 0);
    gl.rotatef(float(rotation[2]), 0, 0, 1);
    Paint(batch);
    gl.pop_matrix();
}

void apply_render_mode_state(gl_api& gl, const mesh_list& list) {
    apply_mode_state(gl, list.render_mode, list.line_colour);
}

void tr_scene::Paint(draw_batch& batch) {
    if (!level || !meshes) return;
    gl_api& gl = batch.gl();
    apply_mode_state(gl, meshes->render_mode, line_colour);
    const bool smooth = smooth_textures != 0;

    if (sel_kind == 0 && sel_moveable >= 0)
        draw_moveable_parts(batch, *meshes, *level, sel_moveable, 0, 0, 0, 0, 1.0f, true, smooth,
                            line_colour);

    if (sel_kind == 1 && sel_mesh >= 0 && std::size_t(sel_mesh) < meshes->meshes.size()) {
        const tmesh& m = meshes->meshes[std::size_t(sel_mesh)];
        if (meshes->lights_enabled == 0 || m.num_normals >= 0) {
            if (meshes->render_mode == mode_points)
                draw_points(batch, *meshes, sel_mesh, line_colour, point_radius, marked_vertex);
            else
                draw_mesh_faces(batch, *meshes, *level, sel_mesh, 0, 0, 0, 0, 1.0f, true, smooth, false, true,
                                line_colour);
        } else {
            gl.shade_model(gl::smooth);
            // Points mode binds no texture for faces: show the lit faces in plain greys rather
            // than with whatever texture was bound last.
            if (meshes->render_mode == mode_points) gl.disable(gl::texture_2d);
            draw_mesh_faces(batch, *meshes, *level, sel_mesh, 0, 0, 0, 0, 1.0f, true, smooth, true, true,
                            line_colour);
        }
        gl.shade_model(gl::flat);
        draw_box(batch, *this, m.bounds_shift[0], m.bounds_shift[1], m.bounds_shift[2]);
    }
}

void draw_mesh(draw_batch& batch, const mesh_list& list, const tr_level& level, int mesh, double sx,
               double sy, double sz, std::uint16_t angle, float f, bool centred, bool smooth) {
    draw_mesh_faces(batch, list, level, mesh, sx, sy, sz, angle, f, centred, smooth, false, true,
                    list.line_colour);
}

void draw_mesh_lit(draw_batch& batch, bool with_names, const mesh_list& list, const tr_level& level, int mesh,
                   double sx, double sy, double sz, std::uint16_t angle, float f, bool centred, bool smooth) {
    draw_mesh_faces(batch, list, level, mesh, sx, sy, sz, angle, f, centred, smooth, true, with_names,
                    list.line_colour);
}

void draw_mesh_points(draw_batch& batch, const mesh_list& list, const tr_level& /*level*/, int mesh,
                      double radius) {
    draw_points(batch, list, mesh, list.line_colour, radius);
}

std::vector<moveable_part> moveable_layout(const mesh_list& list, const tr_level& level, int moveable,
                                           float f, bool root_at_origin) {
    std::vector<moveable_part> parts;
    if (!level.loaded() || moveable < 0 || std::size_t(moveable) >= level.moveables.size() ||
        std::uint32_t(moveable) + 1 > level.num_moveables)
        return parts;
    const moveable_fields mv = read_moveable(level.moveables[std::size_t(moveable)]);
    const double d = 100.0f / f;
    std::array<double, 3> p{};
    // Slot 0 holds the root's position: a node that pops before anything was pushed returns
    // to the root instead of reading outside the saved positions.
    std::array<std::array<double, 3>, 6> slots{};
    int counter = 0;
    parts.reserve(mv.num_meshes);
    for (std::size_t k = 1; k <= mv.num_meshes; ++k) {
        if (k == 1) {
            const std::size_t base = mv.frame_offset / 2;
            if (!root_at_origin && base + 8 < level.frames.size())
                p = {level.frames[base + 6] / d, -level.frames[base + 7] / d, -level.frames[base + 8] / d};
            slots[0] = p;
        } else {
            // A node past the end of mesh_trees leaves the mesh at its parent's position.
            const std::size_t node = std::size_t(mv.mesh_tree) + 4 * (k - 2);
            std::int32_t flags = 0, dx = 0, dy = 0, dz = 0;
            if (node + 3 < level.mesh_trees.size()) {
                flags = level.mesh_trees[node];
                dx = level.mesh_trees[node + 1], dy = level.mesh_trees[node + 2],
                dz = level.mesh_trees[node + 3];
            }
            if (flags & 1) {
                if (counter == 0) {
                    p = slots[0];
                } else {
                    p = slots[std::size_t(counter)];
                    if (--counter == 0) counter = 1;
                }
            }
            if (flags & 2) {
                counter = std::min(counter + 1, 5);
                slots[std::size_t(counter)] = p;
            }
            p = {p[0] + dx / d, p[1] - dy / d, p[2] - dz / d};
        }
        const std::size_t index = std::size_t(mv.first_mesh) + k - 1;
        int mesh = -1;
        if (index < list.mesh_index.size()) mesh = list.mesh_index[index];
        if (mesh < 0 || std::size_t(mesh) >= list.meshes.size()) mesh = -1;
        parts.push_back({mesh, p});
    }
    return parts;
}

void draw_moveable(draw_batch& batch, const mesh_list& list, const tr_level& level, int moveable, double sx,
                   double sy, double sz, std::uint16_t angle, float f, bool root_at_origin, bool smooth) {
    draw_moveable_parts(batch, list, level, moveable, sx, sy, sz, angle, f, root_at_origin, smooth,
                        list.line_colour);
}

void draw_box(draw_batch& batch, const tr_scene& scene, double sx, double sy, double sz) {
    if (!scene.show_box || !scene.level) return;
    const tr_level& level = *scene.level;
    if (scene.box_static < 0 || std::uint32_t(scene.box_static) >= level.num_static_meshes ||
        std::size_t(scene.box_static) >= level.static_meshes.size())
        return;
    const auto box = read_static_mesh(level.static_meshes[std::size_t(scene.box_static)])
                         .box(scene.box_kind == 0 ? box_kind::visibility : box_kind::collision);
    std::array<float, 6> v{}; // min x, max x, min y, max y, min z, max z
    for (std::size_t i = 0; i < 6; ++i)
        v[i] = float(box[i]) / 100.0f;
    const float a = float(v[1] + sx), b = float(v[0] + sx);
    const float yl = float(-v[2] + sy), yh = float(-v[3] + sy);
    const float zf = float(-v[5] + sz), zn = float(-v[4] + sz);

    gl_api& gl = batch.gl();
    // The box has no element of its own: its edges carry name 0, which picking ignores.
    gl.load_name(0);
    gl.polygon_mode(gl::front_and_back, gl::line);
    gl.disable(gl::texture_2d);
    gl.shade_model(gl::flat);
    gl.disable(gl::cull_face);
    gl.color3f(scene.line_colour[0], scene.line_colour[1], scene.line_colour[2]);
    const float q[16][3] = {{a, yl, zf}, {b, yl, zf}, {b, yh, zf}, {a, yh, zf}, {b, yl, zn}, {a, yl, zn},
                            {a, yh, zn}, {b, yh, zn}, {a, yl, zn}, {a, yl, zf}, {a, yh, zf}, {a, yh, zn},
                            {b, yl, zf}, {b, yl, zn}, {b, yh, zn}, {b, yh, zf}};
    gl.begin(gl::quads);
    for (const auto& c : q)
        gl.vertex3f(c[0], c[1], c[2]);
    gl.end();
    gl.enable(gl::cull_face);
}
