// DXF import as an undoable edit.
#include "dxf_import_command.h"

#include "dxf_import.h"

prepared_edit prepare_dxf_import(Tmesh_list& meshes, int index, const std::string& path, bool is_static) {
    if (index < 0 || std::size_t(index) >= meshes.meshes.size()) return {nullptr, dxf_needs_mesh_message};
    dxf_mesh read = read_dxf_file(path, meshes.meshes[std::size_t(index)], is_static);
    if (!read.error.empty()) return {nullptr, std::move(read.error)};
    return {std::make_unique<swap_meshes>(meshes, index, std::move(read.mesh), dxf_import_command_text), {}};
}
