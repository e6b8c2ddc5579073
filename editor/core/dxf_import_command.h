// DXF exchange commands of the editor: the texts of their questions and messages, and the import
// of a DXF file in place of one mesh as a single undoable edit.
#pragma once

#include "mesh_swap.h"

#include <string>

// The choosers' filters: the name in the chosen language, the pattern as it is.
inline user_message dxf_export_filter() {
    return joined({say(msg::dxf_save_filter), " (*.dxf)"});
}
inline user_message dxf_import_filter() {
    return joined({say(msg::dxf_open_filter), " (*.dxf)"});
}

// Reads `path` and prepares the edit that replaces mesh `index` with the mesh it describes
// (vertex lights zeroed for a static mesh, normals computed for a moveable one, bounds measured).
// A file whose layers name a texture the level lacks (`texture_count` object textures) is refused
// like any other bad file: the saved level would point faces at textures that do not exist.
// A refused file gives the message and no edit; the mesh is untouched either way until the edit
// is pushed.
prepared_edit prepare_dxf_import(mesh_list& meshes, int index, const std::string& path, bool is_static,
                                 std::size_t texture_count);
