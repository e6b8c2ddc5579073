// The document's model-file exchange (glTF, OBJ, ...): export of the selection, import into the
// selected mesh or moveable.
#include "editor_document.h"
#include "mesh_import_command.h"

command_result editor_document::export_model(const std::string& path) const {
    if (!has_level()) return command_result::success();
    user_message failed;
    switch (selection_.kind) {
    case selection_kind::moveable:
        failed = ::export_model(level_, meshes_, export_target::moveable, selection_.moveable, path);
        break;
    case selection_kind::static_mesh:
        failed = ::export_model(level_, meshes_, export_target::static_mesh, selection_.static_mesh, path);
        break;
    case selection_kind::moveable_mesh:
        failed = ::export_model(level_, meshes_, export_target::mesh, selection_.mesh, path);
        break;
    default:
        failed = model_needs_selection_message();
    }
    return failed.empty() ? command_result::success() : command_result::failure(failed);
}

command_result editor_document::import_model(const std::string& path) {
    if (!has_level()) return command_result::success();
    const auto rebuild_table = [this] { textures_counted_again(); };
    prepared_edit edit;
    if (selection_.whole_moveable())
        edit = prepare_moveable_import(level_, meshes_, selection_.moveable, path, rebuild_table);
    else if (selection_.single_mesh() && selection_.mesh >= 0)
        edit = prepare_mesh_import(level_, meshes_, selection_.mesh, path,
                                   selection_.kind == selection_kind::static_mesh, rebuild_table);
    else
        return command_result::failure(model_needs_selection_message());
    if (!edit.message.empty()) return command_result::failure(edit.message);
    history_.push(edit.command.release());
    return command_result::success();
}
