// The object tree's content (root, "Movables", "Static Meshes", their children) and the
// selection a node stands for.
#pragma once

#include "catalogue.h"
#include "editor_selection.h"
#include "user_message.h"

#include <cstddef>
#include <string>
#include <vector>

class tr_level;
class mesh_list;

enum class node_kind { heading, moveable, static_mesh, moveable_mesh };

// What a tree item carries: its kind and the indices it stands for.
struct tree_ref {
    node_kind kind = node_kind::heading;
    int index = -1;        // moveable, static mesh, or mesh position within the moveable
    int parent_index = -1; // the moveable of a moveable_mesh
};

struct tree_node {
    user_message label; // named, so that the tree can be shown in any language
    tree_ref ref;
    std::vector<tree_node> children;
};

// The root node (label: file name with the game suffix) with "Movables" and "Static Meshes".
tree_node build_object_tree(const tr_level& level, const mesh_list& meshes, const catalogue_names& names,
                            const std::string& root_label);

// The selection a node stands for. Headings and indices outside the level select nothing.
editor_selection selection_for(const tree_ref& node, const tr_level& level, const mesh_list& meshes);

// The moveable the editor shows first: Lara (object 0), or else the one with the most meshes; -1
// when the level has none.
int lara_or_largest_moveable(const tr_level& level);

// Index of the tmesh a mesh pointer designates, or -1 when the pointer does not exist.
int mesh_for_pointer(const mesh_list& meshes, std::size_t pointer);
