// Turning an exchange scene read from a model file back into meshes of the level: positions to
// level units, materials to texture words, UVs to corner order, triangle pairs back into the
// rectangles they were, vertex colours and normals; then rebuild_mesh keeps the numbering.
#pragma once

#include "exchange_scene.h"
#include "mesh_rebuild.h"
#include "user_message.h"

#include <string>
#include <utility>
#include <vector>

// Bounds on what a scene may hold before it is converted; larger scenes are refused.
inline constexpr std::size_t scene_node_limit = 4096;
inline constexpr std::size_t scene_vertex_limit = 1u << 20; // all meshes together
inline constexpr std::size_t scene_face_limit = 1u << 20;

// `why` with the note that the level was left as it was: how every model import refuses.
user_message level_refusal(user_message why);

struct scene_import {
    std::vector<std::pair<int, tmesh>> meshes; // mesh number and its replacement
    // Object textures the import needs that the level lacks (UVs matching no corners of their
    // texture), to be appended to the level's object textures in this order.
    std::vector<tobject_texture> new_textures;
    user_message error; // when not empty: a message fit to show, and nothing to apply
};

// Mesh `mesh` := the faces of the file's node named after it (mesh_0123), or of its only node
// with geometry. Positions are taken in the file's world space.
scene_import import_scene_into_mesh(const exchange_scene& scene, const tr_level& level, const mesh_list& list,
                                    int mesh, bool is_static);

// Every node named after a mesh of the moveable replaces that mesh; its world positions are taken
// relative to the mesh's rest place in the moveable, so a file whose nodes sit where export put
// them (glTF) and one with everything in world space (OBJ) both come back in place. Meshes the
// file does not name are kept.
scene_import import_scene_into_moveable(const exchange_scene& scene, const tr_level& level,
                                        const mesh_list& list, int moveable);

// The faces of one node (already placed in level units by `shift`, subtracted), for tests and the
// fuzzer: texture and corner order from materials and UVs, rectangles rejoined. New object
// textures are appended to `new_textures` (indices follow the level's).
struct node_faces {
    std::vector<imported_face> faces;
    user_message error;
};
node_faces faces_of_node(const exchange_scene& scene, int node, const tr_level& level,
                         const std::array<int, 3>& shift, std::vector<tobject_texture>& new_textures);
