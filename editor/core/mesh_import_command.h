// Model-file exchange commands of the editor (glTF, OBJ and whatever else Assimp reads): the texts
// of their choosers and messages, and the import into one mesh or a whole moveable as a single
// undoable edit.
#pragma once

#include "mesh_swap.h"
#include "tr_level.h"
#include "user_message.h"

#include <functional>
#include <string>

// The choosers' filters: names in the chosen language, patterns and format names as they are.
inline const user_message model_export_filter =
    joined({say(msg::model_glb_filter), " (*.glb);;glTF (*.gltf);;Wavefront OBJ (*.obj)"});
inline const user_message model_import_filter =
    joined({say(msg::model_files_filter), " (*.glb *.gltf *.obj *.fbx *.dae *.3ds *.ply);;",
            say(msg::all_files_filter), " (*)"});
inline user_message model_needs_selection_message() {
    return say(msg::model_needs_selection);
}

// Reads `path` and prepares the edit that replaces mesh `mesh` with what the file holds (vertex
// numbers, face order and effects kept where unchanged). The edit also appends the object
// textures the file's UVs need; `textures_changed` runs after such an append and after its undo,
// so that a holder of texture-derived state can refresh it. A refused file gives the message and
// no edit; nothing is changed until the edit is pushed.
prepared_edit prepare_mesh_import(tr_level& level, mesh_list& meshes, int mesh, const std::string& path,
                                  bool is_static, std::function<void()> textures_changed = {});

// The same for a whole moveable: every object of the file named after one of its meshes
// (mesh_0123) replaces that mesh, all in one step.
prepared_edit prepare_moveable_import(tr_level& level, mesh_list& meshes, int moveable,
                                      const std::string& path, std::function<void()> textures_changed = {});

// Writes the mesh, moveable or static mesh to `path` (.glb, .gltf or .obj); an empty string on
// success, otherwise a message fit to show.
enum class export_target { mesh, moveable, static_mesh };
user_message export_model(const tr_level& level, const mesh_list& meshes, export_target what, int index,
                          const std::string& path);
