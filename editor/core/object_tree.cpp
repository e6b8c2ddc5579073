// Builds the object tree from the level and maps a selected node to the scene selection.
#include "object_tree.h"

#include "mesh_list.h"
#include "trlevel.h"

int mesh_for_pointer(const Tmesh_list& meshes, std::size_t pointer) {
    if (pointer >= meshes.mesh_index.size()) return -1;
    const int m = meshes.mesh_index[pointer];
    return m >= 0 && std::size_t(m) < meshes.meshes.size() ? m : -1;
}

tree_node build_object_tree(const Ttrlevel& level, const Tmesh_list& meshes, const catalogue_names& names,
                            const std::string& root_label) {
    tree_node root{root_label, node_kind::heading, -1, -1, {}};
    tree_node movables{"Movables", node_kind::heading, -1, -1, {}};
    for (std::size_t i = 0; i < level.moveables.size(); ++i) {
        const auto& m = level.moveables[i];
        tree_node node{moveable_name(names, get_u32(&m[0])), node_kind::moveable, int(i), -1, {}};
        const unsigned count = get_u16(&m[4]);
        const unsigned first = get_u16(&m[6]);
        for (unsigned j = 0; j < count; ++j) {
            const std::size_t pointer = first + j;
            const int mesh = pointer < meshes.mesh_index.size() ? meshes.mesh_index[pointer] : -1;
            node.children.push_back(
                {"Mesh # " + std::to_string(mesh), node_kind::moveable_mesh, int(j), int(i), {}});
        }
        movables.children.push_back(std::move(node));
    }
    tree_node statics{"Static Meshes", node_kind::heading, -1, -1, {}};
    for (std::size_t i = 0; i < level.static_meshes.size(); ++i)
        statics.children.push_back(
            {"Static Mesh# " + std::to_string(i), node_kind::static_mesh, int(i), -1, {}});
    root.children.push_back(std::move(movables));
    root.children.push_back(std::move(statics));
    return root;
}

scene_selection select_node(const tree_node* node, const Ttrlevel& level, const Tmesh_list& meshes,
                            bool show_box_checked) {
    scene_selection s;
    if (!node) return s;
    switch (node->kind) {
    case node_kind::heading:
        break;
    case node_kind::moveable:
        if (node->index >= 0 && std::size_t(node->index) < level.moveables.size()) {
            s.sel_moveable = node->index;
            s.sel_kind = 0;
            s.leave_points_mode = true;
        }
        break;
    case node_kind::static_mesh:
        if (node->index >= 0 && std::size_t(node->index) < level.static_meshes.size()) {
            const auto& st = level.static_meshes[std::size_t(node->index)];
            s.current_static = s.box_static = node->index;
            s.flags = get_u16(&st[30]);
            s.sel_mesh = mesh_for_pointer(meshes, get_u16(&st[4]));
            s.sel_kind = 1;
            s.show_box = show_box_checked;
            s.fill_boxes_from_static = true;
        }
        break;
    case node_kind::moveable_mesh:
        if (node->parent_index >= 0 && std::size_t(node->parent_index) < level.moveables.size()) {
            const auto& m = level.moveables[std::size_t(node->parent_index)];
            s.sel_moveable = node->parent_index;
            s.sel_mesh = mesh_for_pointer(meshes, std::size_t(get_u16(&m[6])) + std::size_t(node->index));
            s.sel_kind = 1;
        }
        break;
    }
    return s;
}
