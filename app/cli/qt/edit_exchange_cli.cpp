// `vellum-cli edit` commands for static-mesh boxes and flags, vertex remap and DXF import: each
// runs the editor's own edit and pushes it on the session's history.
#include "edit_exchange_cli.h"

#include "dxf_import_command.h"
#include "mesh_import_command.h"
#include "static_boxes.h"
#include "vertex_remap.h"

#include <charconv>

namespace {

// A static-mesh record number the level has.
int static_arg(const edit_session& s, const std::string& text) {
    const long index = number_arg(text, "STATIC", 0, 999999999);
    if (!is_static_mesh(s.level, int(index)))
        cannot_apply("the level has no static mesh " + text + " (it has " +
                     std::to_string(s.level.static_meshes.size()) + ")");
    return int(index);
}

// A box coordinate: a whole number from -32768 to 65535, stored as its low 16 bits as the box
// fields of the editor store it.
long coordinate_arg(const std::string& text) {
    long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < -32768 ||
        value > 65535)
        bad_arguments("a box coordinate must be a whole number from -32768 to 65535, not '" + text + "'");
    return value;
}

box_kind kind_arg(const std::string& text) {
    if (text == "visibility") return box_kind::visibility;
    if (text == "collision") return box_kind::collision;
    bad_arguments("box takes STATIC visibility|collision, not '" + text + "'");
}

std::string box_line(const static_box& b) {
    std::string s;
    for (const std::int16_t v : b)
        s += " " + std::to_string(v);
    return s;
}

void push(edit_session& s, prepared_edit& edit) {
    if (!edit.message.empty()) cannot_apply(edit.message);
    if (edit.command) s.history.push(edit.command.release());
}

} // namespace

std::string run_import_dxf(edit_session& s, const std::vector<std::string>& args) {
    const int mesh = mesh_arg(s, args[0]);
    // The mesh of a static mesh keeps vertex lights; any other gets normals.
    bool is_static = false;
    for (int i = 0; i < int(s.level.static_meshes.size()); ++i)
        is_static = is_static || static_mesh_tmesh(s.level, s.meshes, i) == mesh;
    prepared_edit edit =
        prepare_dxf_import(s.meshes, mesh, args[1], is_static, s.level.object_textures.size());
    push(s, edit);
    const tmesh& m = s.meshes.meshes[std::size_t(mesh)];
    return "Mesh # " + std::to_string(mesh) + " := " + args[1] + ": " + std::to_string(m.num_vertices) +
           " vertices, " + std::to_string(m.num_tex_rects) + " textured rectangles, " +
           std::to_string(m.num_tex_tris) + " textured triangles, " +
           (is_static ? "vertex lights 0" : "normals");
}

std::string run_import_mesh(edit_session& s, const std::vector<std::string>& args) {
    const int mesh = mesh_arg(s, args[0]);
    bool is_static = false;
    for (int i = 0; i < int(s.level.static_meshes.size()); ++i)
        is_static = is_static || static_mesh_tmesh(s.level, s.meshes, i) == mesh;
    const std::size_t textures = s.level.object_textures.size();
    prepared_edit edit = prepare_mesh_import(s.level, s.meshes, mesh, args[1], is_static);
    push(s, edit);
    const tmesh& m = s.meshes.meshes[std::size_t(mesh)];
    return "Mesh # " + std::to_string(mesh) + " := " + args[1] + ": " + std::to_string(m.num_vertices) +
           " vertices, " + std::to_string(m.num_tex_rects) + " textured rectangles, " +
           std::to_string(m.num_tex_tris) + " textured triangles, " +
           std::to_string(s.level.object_textures.size() - textures) + " new textures";
}

std::string run_import_moveable(edit_session& s, const std::vector<std::string>& args) {
    const long moveable = number_arg(args[0], "N", 0, 999999999);
    if (std::size_t(moveable) >= s.level.moveables.size())
        cannot_apply("the level has no moveable " + args[0] + " (it has " +
                     std::to_string(s.level.moveables.size()) + ")");
    const std::size_t textures = s.level.object_textures.size();
    prepared_edit edit = prepare_moveable_import(s.level, s.meshes, int(moveable), args[1]);
    push(s, edit);
    return "Moveable " + args[0] + " := " + args[1] + ": " +
           std::to_string(s.level.object_textures.size() - textures) + " new textures";
}

std::string run_remap(edit_session& s, const std::vector<std::string>& args) {
    const int mesh = mesh_arg(s, args[0]);
    const int before = int(number_arg(args[1], "B", 0, 9998));
    const int after = int(number_arg(args[2], "A", 0, 9998));
    prepared_edit edit = prepare_remap(s.meshes, mesh, before, after);
    push(s, edit);
    return "Mesh # " + std::to_string(mesh) + ": vertices " + args[1] + " and " + args[2] + " exchanged";
}

std::string run_box(edit_session& s, const std::vector<std::string>& args) {
    const int index = static_arg(s, args[0]);
    const box_kind kind = kind_arg(args[1]);
    prepared_edit edit;
    if (args.size() == 3 && args[2] == "auto") {
        edit = prepare_automatic_bound(s.level, s.meshes, index, kind);
    } else if (args.size() == 8) {
        static_box box{};
        for (std::size_t i = 0; i < 6; ++i)
            box[i] = box_field_value(coordinate_arg(args[2 + i]));
        edit = prepare_box(s.level, index, kind, box);
    } else {
        bad_arguments(
            "box takes STATIC visibility|collision X1 X2 Y1 Y2 Z1 Z2, or STATIC visibility|collision auto");
    }
    push(s, edit);
    return "Static Mesh# " + args[0] + ": " + args[1] + " box" +
           box_line(static_mesh_box(s.level, index, kind));
}

std::string run_flags(edit_session& s, const std::vector<std::string>& args) {
    const int index = static_arg(s, args[0]);
    const long flags = number_arg(args[1], "N", 0, 65535);
    prepared_edit edit = prepare_flags(s.level, index, flags);
    push(s, edit);
    return "Static Mesh# " + args[0] + ": flags " + std::to_string(static_mesh_flags(s.level, index));
}
