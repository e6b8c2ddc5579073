// The object tree's content (root, "Movables", "Static Meshes", their children) and what
// selecting a node does to the scene selection.
#pragma once

#include "catalogue.h"

#include <string>
#include <vector>

class Ttrlevel;
class Tmesh_list;

enum class node_kind { heading, moveable, static_mesh, moveable_mesh };

struct tree_node {
    std::string label;
    node_kind kind = node_kind::heading;
    int index = -1;        // moveable, static mesh, or mesh position within the moveable
    int parent_index = -1; // the moveable of a moveable_mesh
    std::vector<tree_node> children;
};

// The root node (label: file name with the game suffix) with "Movables" and "Static Meshes".
tree_node build_object_tree(const Ttrlevel& level, const Tmesh_list& meshes, const catalogue_names& names,
                            const std::string& root_label);

// Scene selection and the box panel state that a tree selection sets.
struct scene_selection {
    int sel_moveable = -1;
    int sel_mesh = -1;
    int sel_kind = 0; // 0 whole moveable, 1 single mesh
    bool show_box = false;
    int box_static = -1;
    int current_static = -1;
    bool fill_boxes_from_static = false; // static mesh: fill the box fields from its record
    int flags = 0;                       // the Flag field
    bool leave_points_mode = false;      // a moveable cannot be shown as points
};

// `show_box_checked`: state of "Show Box". Indices outside the level give an empty selection.
scene_selection select_node(const tree_node* node, const Ttrlevel& level, const Tmesh_list& meshes,
                            bool show_box_checked);

// Index of the tmesh a mesh pointer designates, or -1 when the pointer does not exist.
int mesh_for_pointer(const Tmesh_list& meshes, std::size_t pointer);
