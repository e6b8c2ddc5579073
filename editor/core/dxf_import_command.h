// DXF exchange commands of the editor: the texts of their questions and messages, and the import
// of a DXF file in place of one mesh as a single undoable edit.
#pragma once

#include "mesh_swap.h"

#include <string>

inline constexpr const char* dxf_export_filter = "DFX file (*.dxf)";
inline constexpr const char* dxf_import_filter = "DFX files (*.dxf)";
inline constexpr const char* dxf_needs_mesh_message = "You have to select a Mesh!";
inline constexpr const char* dxf_coloured_faces_question =
    "This Mesh has Colored Faces. Do you want to convert Colored to Textured faces before exporting? ";
inline constexpr const char* dxf_coloured_faces_warning =
    "WARNING: The DXF file will not be exported correctly.";
inline constexpr const char* dxf_import_command_text = "Import DXF";

// Reads `path` and prepares the edit that replaces mesh `index` with the mesh it describes
// (vertex lights zeroed for a static mesh, normals computed for a moveable one, bounds measured).
// A file whose layers name a texture the level lacks (`texture_count` object textures) is refused
// like any other bad file: the saved level would point faces at textures that do not exist.
// A refused file gives the message and no edit; the mesh is untouched either way until the edit
// is pushed.
prepared_edit prepare_dxf_import(mesh_list& meshes, int index, const std::string& path, bool is_static,
                                 std::size_t texture_count);
