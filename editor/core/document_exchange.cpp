// The document's static-mesh box and flag edits, vertex remap and DXF exchange: each checks the
// selection, prepares its edit and pushes it on the history as one step.
#include "editor_document.h"

#include "dxf_export.h"
#include "dxf_import_command.h"
#include "mesh_commands.h"
#include "static_boxes.h"
#include "vertex_remap.h"

namespace {

command_result push_edit(QUndoStack& history, prepared_edit edit) {
    if (!edit.message.empty()) return command_result::failure(std::move(edit.message));
    if (edit.command) history.push(edit.command.release());
    return command_result::success();
}

} // namespace

command_result editor_document::set_box_field(int coordinate, long value) {
    if (!has_level() || selection_.kind != selection_kind::static_mesh) return command_result::success();
    return push_edit(history_,
                     prepare_box_field(level_, selection_.static_mesh, shown_box_, coordinate, value));
}

command_result editor_document::set_flags(long value) {
    if (!has_level() || selection_.kind != selection_kind::static_mesh) return command_result::success();
    return push_edit(history_, prepare_flags(level_, selection_.static_mesh, value));
}

command_result editor_document::automatic_bound() {
    if (!has_level() || selection_.kind != selection_kind::static_mesh) return command_result::success();
    return push_edit(history_, prepare_automatic_bound(level_, meshes_, selection_.static_mesh, shown_box_));
}

command_result editor_document::remap_vertices(int before, int after) {
    if (!has_level()) return command_result::success();
    if (!selection_.single_mesh() || selection_.mesh < 0)
        return command_result::failure(say(msg::remap_needs_mesh));
    return push_edit(history_, prepare_remap(meshes_, selection_.mesh, before, after));
}

int editor_document::selected_coloured_faces() const {
    if (!selection_.single_mesh() || selection_.mesh < 0 ||
        std::size_t(selection_.mesh) >= meshes_.meshes.size())
        return 0;
    const tmesh& m = meshes_.meshes[std::size_t(selection_.mesh)];
    return m.num_col_rects + m.num_col_tris;
}

command_result editor_document::convert_selected_coloured(int texture) {
    if (!has_level() || !selection_.single_mesh()) return command_result::success();
    const command_outcome out = convert_coloured(texture);
    return out.message.empty() ? command_result::success() : command_result::failure(out.message);
}

command_result editor_document::export_dxf(const std::string& path) const {
    if (!has_level()) return command_result::success();
    if (!selection_.single_mesh() || selection_.mesh < 0 ||
        std::size_t(selection_.mesh) >= meshes_.meshes.size())
        return command_result::failure(say(msg::dxf_needs_mesh));
    const user_message failed = write_dxf_file(meshes_.meshes[std::size_t(selection_.mesh)], path);
    return failed.empty() ? command_result::success() : command_result::failure(failed);
}

command_result editor_document::import_dxf(const std::string& path) {
    if (!has_level() || !selection_.single_mesh() || selection_.mesh < 0) return command_result::success();
    return push_edit(history_, prepare_dxf_import(meshes_, selection_.mesh, path,
                                                  selection_.kind == selection_kind::static_mesh,
                                                  level_.object_textures.size()));
}
