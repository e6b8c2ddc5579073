// Builds the object tree from the level and maps a node to the selection it stands for.
#include "object_tree.h"

#include "level_records.h"
#include "mesh_list.h"
#include "tr_level.h"

int lara_or_largest_moveable(const tr_level& level) {
    int chosen = -1, most_meshes = -1;
    for (std::size_t i = 0; i < level.moveables.size(); ++i) {
        const moveable_fields m = read_moveable(level.moveables[i]);
        if (m.object_id == 0) return int(i);
        if (int(m.num_meshes) > most_meshes) {
            most_meshes = int(m.num_meshes);
            chosen = int(i);
        }
    }
    return chosen;
}

int mesh_for_pointer(const mesh_list& meshes, std::size_t pointer) {
    if (pointer >= meshes.mesh_index.size()) return -1;
    const int m = meshes.mesh_index[pointer];
    return m >= 0 && std::size_t(m) < meshes.meshes.size() ? m : -1;
}

tree_node build_object_tree(const tr_level& level, const mesh_list& meshes, const catalogue_names& names,
                            const std::string& root_label) {
    tree_node root{root_label, {}, {}};
    tree_node movables{say(msg::movables), {}, {}};
    for (std::size_t i = 0; i < level.moveables.size(); ++i) {
        const auto m = read_moveable(level.moveables[i]);
        // The catalogue's "Unknown" is the editor's own word for a moveable it has no name for.
        const std::string& name = moveable_name(names, m.object_id);
        tree_node node{name == definition_of(msg::unknown_moveable).english ? say(msg::unknown_moveable)
                                                                            : user_message(name),
                       {node_kind::moveable, int(i), -1},
                       {}};
        for (unsigned j = 0; j < m.num_meshes; ++j) {
            const std::size_t pointer = std::size_t(m.first_mesh) + j;
            const int mesh = pointer < meshes.mesh_index.size() ? meshes.mesh_index[pointer] : -1;
            node.children.push_back({say(msg::mesh_number, {std::to_string(mesh)}),
                                     {node_kind::moveable_mesh, int(j), int(i)},
                                     {}});
        }
        movables.children.push_back(std::move(node));
    }
    tree_node statics{say(msg::static_meshes), {}, {}};
    for (std::size_t i = 0; i < level.static_meshes.size(); ++i)
        statics.children.push_back(
            {say(msg::static_mesh_number, {std::to_string(i)}), {node_kind::static_mesh, int(i), -1}, {}});
    root.children.push_back(std::move(movables));
    root.children.push_back(std::move(statics));
    return root;
}

editor_selection selection_for(const tree_ref& node, const tr_level& level, const mesh_list& meshes) {
    editor_selection s;
    switch (node.kind) {
    case node_kind::heading:
        break;
    case node_kind::moveable:
        if (node.index >= 0 && std::size_t(node.index) < level.moveables.size()) {
            s.kind = selection_kind::moveable;
            s.moveable = node.index;
        }
        break;
    case node_kind::static_mesh:
        if (node.index >= 0 && std::size_t(node.index) < level.static_meshes.size()) {
            s.kind = selection_kind::static_mesh;
            s.static_mesh = node.index;
            s.mesh =
                mesh_for_pointer(meshes, read_static_mesh(level.static_meshes[std::size_t(node.index)]).mesh);
        }
        break;
    case node_kind::moveable_mesh:
        if (node.parent_index >= 0 && std::size_t(node.parent_index) < level.moveables.size() &&
            node.index >= 0) {
            const auto m = read_moveable(level.moveables[std::size_t(node.parent_index)]);
            s.kind = selection_kind::moveable_mesh;
            s.moveable = node.parent_index;
            s.mesh_slot = node.index;
            s.mesh = mesh_for_pointer(meshes, std::size_t(m.first_mesh) + std::size_t(node.index));
        }
        break;
    }
    return s;
}

std::vector<int> selected_meshes(const editor_selection& s, const tr_level& level, const mesh_list& meshes) {
    std::vector<int> out;
    if (s.whole_moveable() && s.moveable >= 0 && std::size_t(s.moveable) < level.moveables.size()) {
        const auto m = read_moveable(level.moveables[std::size_t(s.moveable)]);
        for (unsigned j = 0; j < m.num_meshes; ++j)
            out.push_back(mesh_for_pointer(meshes, std::size_t(m.first_mesh) + j));
    } else if (s.single_mesh() && s.mesh >= 0) {
        out.push_back(s.mesh);
    }
    return out;
}
