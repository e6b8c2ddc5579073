// DXF import as an undoable edit.
#include "dxf_import_command.h"

#include "dxf_import.h"
#include "history_step.h"

#include <algorithm>

prepared_edit prepare_dxf_import(mesh_list& meshes, int index, const std::string& path, bool is_static,
                                 std::size_t texture_count) {
    if (index < 0 || std::size_t(index) >= meshes.meshes.size()) return {nullptr, say(msg::dxf_needs_mesh)};
    dxf_mesh read = read_dxf_file(path, meshes.meshes[std::size_t(index)], is_static);
    if (!read.error.empty()) return {nullptr, std::move(read.error)};
    std::uint16_t highest = 0;
    for (const auto& r : read.mesh.tex_rects)
        highest = std::max(highest, rect_texture(r));
    for (const auto& t : read.mesh.tex_tris)
        highest = std::max(highest, tri_texture(t));
    if (highest >= texture_count)
        return {nullptr,
                say(msg::dxf_texture_beyond, {std::to_string(highest), std::to_string(texture_count)})};
    return {
        std::make_unique<swap_meshes>(meshes, index, std::move(read.mesh), step_text(msg::step_import_dxf)),
        {}};
}
