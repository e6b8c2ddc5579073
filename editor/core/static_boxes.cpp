// Static mesh boxes, flags and Automatic Bound.
#include "static_boxes.h"

#include "history_step.h"

#include "mesh_list.h"

#include <algorithm>
#include <limits>

namespace {

void write_box(tr_level& level, int static_index, box_kind kind, const static_box& box) {
    rec<32>& r = level.static_meshes.at(std::size_t(static_index));
    for (int i = 0; i < 6; ++i)
        set_static_box_coordinate(r, kind, i, box[std::size_t(i)]);
}

QString box_text(box_kind kind) {
    return kind == box_kind::visibility ? step_text(msg::step_visibility_box)
                                        : step_text(msg::step_collision_box);
}

// Widens `box` (X1 X2 Y1 Y2 Z1 Z2) to the corners of every face of `faces` that still covers
// something: a cut face, collapsed onto one vertex, no longer belongs to the mesh's shape.
template <std::size_t N>
void widen_to_faces(static_box& box, const tmesh& mesh, const std::vector<rec<N>>& faces, int count,
                    int corners) {
    const std::size_t n = std::min(std::size_t(std::max(count, 0)), faces.size());
    for (std::size_t i = 0; i < n; ++i) {
        bool collapsed = true;
        for (int k = 1; k < corners; ++k)
            collapsed = collapsed && face_word(faces[i], k) == face_word(faces[i], 0);
        if (collapsed) continue;
        for (int k = 0; k < corners; ++k) {
            const std::size_t v = face_word(faces[i], k);
            if (v >= mesh.vertices.size()) continue;
            for (std::size_t a = 0; a < 3; ++a) {
                box[2 * a] = std::min(box[2 * a], mesh.vertices[v][a]);
                box[2 * a + 1] = std::max(box[2 * a + 1], mesh.vertices[v][a]);
            }
        }
    }
}

} // namespace

bool is_static_mesh(const tr_level& level, int static_index) {
    return static_index >= 0 && std::size_t(static_index) < level.static_meshes.size();
}

static_box static_mesh_box(const tr_level& level, int static_index, box_kind kind) {
    if (!is_static_mesh(level, static_index)) return {};
    return read_static_mesh(level.static_meshes[std::size_t(static_index)]).box(kind);
}

std::uint16_t static_mesh_flags(const tr_level& level, int static_index) {
    if (!is_static_mesh(level, static_index)) return 0;
    return read_static_mesh(level.static_meshes[std::size_t(static_index)]).flags;
}

int static_mesh_tmesh(const tr_level& level, const mesh_list& meshes, int static_index) {
    if (!is_static_mesh(level, static_index)) return -1;
    const std::size_t pointer = read_static_mesh(level.static_meshes[std::size_t(static_index)]).mesh;
    if (pointer >= meshes.mesh_index.size()) return -1;
    const int mesh = meshes.mesh_index[pointer];
    return mesh >= 0 && std::size_t(mesh) < meshes.meshes.size() ? mesh : -1;
}

std::optional<static_box> fitted_box(const tmesh& mesh) {
    // Measured from the faces as they are now: the view's bounds are measured once, when the mesh
    // is read, and would still hold faces cut away since.
    constexpr std::int16_t lo = std::numeric_limits<std::int16_t>::min();
    constexpr std::int16_t hi = std::numeric_limits<std::int16_t>::max();
    static_box box{hi, lo, hi, lo, hi, lo};
    widen_to_faces(box, mesh, mesh.tex_rects, mesh.num_tex_rects, 4);
    widen_to_faces(box, mesh, mesh.tex_tris, mesh.num_tex_tris, 3);
    widen_to_faces(box, mesh, mesh.col_rects, mesh.num_col_rects, 4);
    widen_to_faces(box, mesh, mesh.col_tris, mesh.num_col_tris, 3);
    if (box[0] > box[1]) return std::nullopt; // no face left
    return box;
}

static_box_edit::static_box_edit(tr_level& level, int static_index, box_kind kind, static_box box,
                                 int coordinate, const QString& text)
    : QUndoCommand(text), level_(level), static_index_(static_index), kind_(kind),
      before_(static_mesh_box(level, static_index, kind)), after_(box), coordinate_(coordinate) {}

void static_box_edit::redo() {
    write_box(level_, static_index_, kind_, after_);
}
void static_box_edit::undo() {
    write_box(level_, static_index_, kind_, before_);
}

bool static_box_edit::mergeWith(const QUndoCommand* other) {
    const auto* next = dynamic_cast<const static_box_edit*>(other);
    if (!next || coordinate_ < 0 || next->coordinate_ != coordinate_ ||
        next->static_index_ != static_index_ || next->kind_ != kind_)
        return false;
    after_ = next->after_;
    return true;
}

static_flags_edit::static_flags_edit(tr_level& level, int static_index, std::uint16_t flags)
    : QUndoCommand(step_text(msg::step_static_flags)), level_(level), static_index_(static_index),
      before_(static_mesh_flags(level, static_index)), after_(flags) {}

void static_flags_edit::redo() {
    ::set_static_flags(level_.static_meshes.at(std::size_t(static_index_)), after_);
}
void static_flags_edit::undo() {
    ::set_static_flags(level_.static_meshes.at(std::size_t(static_index_)), before_);
}

bool static_flags_edit::mergeWith(const QUndoCommand* other) {
    const auto* next = dynamic_cast<const static_flags_edit*>(other);
    if (!next || next->static_index_ != static_index_) return false;
    after_ = next->after_;
    return true;
}

prepared_edit prepare_box_field(tr_level& level, int static_index, box_kind kind, int coordinate,
                                long value) {
    if (!is_static_mesh(level, static_index) || coordinate < 0 || coordinate > 5) return {};
    static_box box = static_mesh_box(level, static_index, kind);
    const std::int16_t stored = box_field_value(value);
    if (box[std::size_t(coordinate)] == stored) return {};
    box[std::size_t(coordinate)] = stored;
    return {std::make_unique<static_box_edit>(level, static_index, kind, box, coordinate, box_text(kind)),
            {}};
}

prepared_edit prepare_box(tr_level& level, int static_index, box_kind kind, const static_box& box) {
    if (!is_static_mesh(level, static_index)) return {};
    return {std::make_unique<static_box_edit>(level, static_index, kind, box, -1, box_text(kind)), {}};
}

prepared_edit prepare_automatic_bound(tr_level& level, const mesh_list& meshes, int static_index,
                                      box_kind kind) {
    const int mesh = static_mesh_tmesh(level, meshes, static_index);
    if (mesh < 0) return {nullptr, no_faces_to_bound_message()};
    const std::optional<static_box> box = fitted_box(meshes.meshes[std::size_t(mesh)]);
    if (!box) return {nullptr, no_faces_to_bound_message()};
    return {std::make_unique<static_box_edit>(level, static_index, kind, *box, -1,
                                              step_text(msg::step_automatic_bound)),
            {}};
}

prepared_edit prepare_flags(tr_level& level, int static_index, long value) {
    if (!is_static_mesh(level, static_index)) return {};
    const std::uint16_t flags = std::uint16_t(std::uint64_t(value) & 0xFFFF);
    if (flags == static_mesh_flags(level, static_index)) return {};
    return {std::make_unique<static_flags_edit>(level, static_index, flags), {}};
}
