// What the editor works on: nothing, a whole moveable, one mesh of a moveable or a static mesh.
// The document holds the one selection; the view, the panels and the commands read it.
#pragma once

#include <vector>

class tr_level;
class mesh_list;

enum class selection_kind { none, moveable, moveable_mesh, static_mesh };

struct editor_selection {
    selection_kind kind = selection_kind::none;
    int moveable = -1;    // moveable and moveable_mesh
    int mesh_slot = -1;   // moveable_mesh: position among the moveable's meshes
    int static_mesh = -1; // static_mesh
    int mesh = -1;        // the tmesh shown for a single mesh; -1 when its pointer names none

    bool whole_moveable() const { return kind == selection_kind::moveable; }
    bool single_mesh() const {
        return kind == selection_kind::moveable_mesh || kind == selection_kind::static_mesh;
    }
    bool operator==(const editor_selection&) const = default;
};

// The tmesh indices the selection covers: every mesh of a whole moveable (-1 for a pointer that
// names none), or the single mesh.
std::vector<int> selected_meshes(const editor_selection& s, const tr_level& level, const mesh_list& meshes);
