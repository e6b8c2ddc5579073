// Whole-mesh commands (Convert Colored to Textured Faces, Retexture, Apply to All Faces, Change
// All), the shiny effects word and the light value. Their history step is swap_meshes.
#pragma once

#include "mesh_list.h"
#include "mesh_swap.h"
#include "tr_level.h"
#include "user_message.h"

#include <QUndoStack>
#include <cstdint>
#include <string>
#include <vector>

// What the object tree has selected, as the commands see it.
enum class target_kind { none, moveable, moveable_mesh, static_mesh };

struct mesh_target {
    target_kind kind = target_kind::none;
    int moveable = -1; // the moveable (kind moveable)
    int mesh = -1;     // the tmesh shown (kinds moveable_mesh and static_mesh)
};

// The meshes a command works on: every distinct mesh of a moveable in its mesh order, the one mesh
// of a mesh or static-mesh selection, nothing for a heading. Meshes outside the list are left out.
std::vector<int> target_meshes(const tr_level& level, const mesh_list& meshes, const mesh_target& target);

// The target of static-mesh record `index` (its mesh through the mesh pointer); kind none when the
// record or its mesh does not exist.
mesh_target static_mesh_target(const tr_level& level, const mesh_list& meshes, int index);

// Light written by the light slider at `position` (0 … 31): position × 32767 / 31 up to TR2 Gold,
// position × 8191 / 31 from TR3 on, rounded to the nearest integer.
std::int16_t light_value(std::int32_t game_version, int position);

// Shiny effects word: bit 0 transparency, bit 1 set whenever the strength is not 0, bits 2-6 the
// strength (0 … 31).
std::uint16_t shiny_word(int strength, bool transparent);

// "" when `texture` can be stored in a face's texture word for this level, otherwise why not.
user_message texture_problem(const tr_level& level, int texture);

// Effects word of a TR4/TRC face (word 5 of a rectangle, word 4 of a triangle).
inline std::uint16_t rect_effects(const rec<12>& r) {
    return face_word(r, 5);
}
inline std::uint16_t tri_effects(const rec<10>& t) {
    return face_word(t, 4);
}

// The edits on one mesh, also used by the command line.
// Every textured face's texture word := texture (the whole word); nothing else changes.
void retexture_mesh(tmesh& mesh, std::uint16_t texture);
// The coloured faces appended to the textured lists, in order, each with texture word `texture`.
// Refuses (returns the message, mesh untouched) when a textured list would exceed its capacity
// (501 rectangles, 301 triangles); `mesh_number` names the mesh in it. "" on success.
user_message convert_coloured_mesh(tmesh& mesh, std::uint16_t texture, int mesh_number);
// Every textured face's effects word := `effects`.
void shine_mesh(tmesh& mesh, std::uint16_t effects);
// Every vertex light := value; false (mesh untouched) when the mesh has normals instead.
bool set_all_lights(tmesh& mesh, std::int16_t value);

// What a command did: a message to show (empty for none), whether the view must be redrawn, and
// whether a step was added to the history.
struct command_outcome {
    user_message message;
    bool redraw = false;
    bool changed = false;
};

// Special > "Convert Colored to Textured Faces": for a moveable or one of its meshes (a static mesh
// or a heading is left alone). All or nothing: one mesh over capacity refuses the whole command.
command_outcome convert_coloured(QUndoStack& history, mesh_list& meshes, const tr_level& level,
                                 const mesh_target& target, int texture);
// Special > "Retexture": every textured face of the target's meshes gets `texture`.
command_outcome retexture(QUndoStack& history, mesh_list& meshes, const tr_level& level,
                          const mesh_target& target, int texture);
// "Apply to All Faces": the effects word on every textured face of the target's meshes, and the
// current texture too when `with_texture`. TR4 and TRC only; not for static meshes.
command_outcome apply_shiny_to_all(QUndoStack& history, mesh_list& meshes, const tr_level& level,
                                   const mesh_target& target, std::uint16_t effects, bool with_texture,
                                   int texture);
// "Change All": every vertex light of the selected static mesh := value, when lights are enabled
// and the mesh has vertex lights; otherwise silently nothing.
command_outcome change_all_lights(QUndoStack& history, mesh_list& meshes, const mesh_target& target,
                                  bool lights_enabled, std::int16_t value);
