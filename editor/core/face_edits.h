// Clicks on a face in the 3D view: which edit each click form makes on the clicked tmesh, the
// status-bar text it reports, and the history step it adds.
#pragma once

#include "mesh_commands.h"
#include "mesh_list.h"
#include "mesh_view.h"
#include "tr_level.h"

#include <QString>
#include <QUndoStack>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

// What a left click in the 3D view does, from the keys held (cut, vertex number or get, rotate,
// apply). In points mode the picked name is a vertex, so only the vertex number acts there.
enum class click_action { apply, rotate, get_texture, vertex_number, cut };

// The controls a click reads.
struct click_settings {
    target_kind target = target_kind::none;                    // kind of the tree selection
    int current_texture = -1;                                  // the texture list's selection; -1 none
    bool lights_enabled = false;                               // "Enable Lights"
    std::array<bool, 4> light_corners{true, true, true, true}; // "Vertex 1" … "Vertex 4"
    std::int16_t light_value = 0;
    bool shine_enabled = false;     // "Enable Shinny"
    bool shine_with_texture = true; // "Apply Current Texture Too"
    std::uint16_t shine_effects = 0;
};

// The lights and shine tabs as a click reads them: "Enable Lights", the light slider (0 … 31) and
// "Vertex 1" … "Vertex 4"; the shine slider (0 … 31), "TRansparent Shinny", "Apply Current
// Texture Too" and "Enable Shinny".
struct edit_controls {
    bool lights_enabled = false;
    int light_position = 16;
    std::array<bool, 4> light_corners{true, true, true, true};
    int shine_strength = 16;
    bool shine_transparent = false;
    bool shine_with_texture = true;
    bool shine_enabled = false;
};

// The settings of a click from the controls, the tree selection's kind, the current texture and
// the level's game (which decides the light value).
click_settings settings_for(const edit_controls& controls, target_kind target, int current_texture,
                            std::int32_t game_version);

struct face_click_outcome {
    std::optional<user_message> status; // new text of the status panel; unset leaves it as it was
    std::optional<int> picked_texture;  // CTRL+click: the object texture that becomes current
    std::optional<tmesh> edited;        // the clicked mesh after the edit; unset when nothing changed
    int mesh = -1;                      // the clicked mesh
    QString step_text;                  // the history step's name ("Rotate Texture")
    bool redraw = false;
};

// What a click on `hit` does, without changing anything. A name whose mesh or face does not exist
// does nothing; in points mode (the list's render mode) only the vertex number acts. A click that would
// change nothing (a coloured face, a texture already applied) leaves `edited` unset, so it adds no history
// step.
face_click_outcome face_click(const mesh_list& meshes, const tr_level& level, const decoded_name& hit,
                              click_action action, const click_settings& settings);

// Runs a click and, when it changed the mesh, puts the edited mesh in place as one history step.
// The returned outcome's `edited` is then empty (the mesh went into the history).
face_click_outcome click_face(QUndoStack& history, mesh_list& meshes, const tr_level& level,
                              const decoded_name& hit, click_action action, const click_settings& settings);

// The status-panel hint while the mouse moves over the 3D view.
inline constexpr const char* view_hint = "CLICK: Apply,    ALT+CLICK: Rotate,    CTRL+CLICK: Get.";
