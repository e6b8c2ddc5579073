// Clicks on a face in the 3D view: which edit each click form makes on the clicked tmesh, the
// status-bar text it reports, and the history step it adds.
#pragma once

#include "mesh_commands.h"
#include "mesh_list.h"
#include "mesh_view.h"
#include "trlevel.h"

#include <QString>
#include <QUndoStack>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

enum class click_action { none, apply, rotate, get, show_vertex, cut };

// The click form for the modifier keys held, tested in this order: SHIFT+CTRL cut, CTRL get, ALT
// rotate, otherwise apply (SHIFT alone applies). In points mode the picked name is a vertex, so
// only the CTRL forms act (showing the vertex number); the others do nothing.
click_action click_action_for(bool shift, bool ctrl, bool alt, std::uint8_t render_mode);

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

struct click_outcome {
    std::optional<std::string> status; // new text of the status panel; unset leaves it as it was
    std::optional<int> picked_texture; // CTRL+click: the object texture that becomes current
    std::optional<tmesh> edited;       // the clicked mesh after the edit; unset when nothing changed
    int mesh = -1;                     // the clicked mesh
    QString step_text;                 // the history step's name ("Rotate Texture")
    bool redraw = false;
};

// What a click on `hit` does, without changing anything. A name whose mesh or face does not exist
// does nothing. A click that would change nothing (a coloured face, a texture already applied)
// leaves `edited` unset, so it adds no history step.
click_outcome face_click(const Tmesh_list& meshes, const Ttrlevel& level, const decoded_name& hit,
                         click_action action, const click_settings& settings);

// Runs a click and, when it changed the mesh, puts the edited mesh in place as one history step.
// The returned outcome's `edited` is then empty (the mesh went into the history).
click_outcome click_face(QUndoStack& history, Tmesh_list& meshes, const Ttrlevel& level,
                         const decoded_name& hit, click_action action, const click_settings& settings);

// The status-panel hint while the mouse moves over the 3D view.
inline constexpr const char* view_hint = "CLICK: Apply,    ALT+CLICK: Rotate,    CTRL+CLICK: Get.";
