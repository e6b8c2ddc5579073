// The object textures that meshes use, read from the parsed mesh list (so unsaved face edits
// count) or straight from the level's raw mesh data: the input of the per-mesh texture exchange
// (Export All, Import And Replace).
#pragma once

#include "mesh_list.h"
#include "tr_level.h"

#include <cstdint>
#include <optional>
#include <vector>

// Object-texture index of every textured face of one mesh: four-sided faces first, then
// three-sided ones, each in file order (low 12 bits of the face's texture word).
using face_textures = std::vector<std::uint16_t>;

// The faces of the mesh designated by mesh pointer `pointer_index`; nothing when the pointer
// does not exist or the mesh runs past the mesh data.
std::optional<face_textures> mesh_face_textures(const tr_level& level, std::size_t pointer_index);
// All meshes of moveable n, in order; nothing when n or one of its meshes is invalid.
std::optional<std::vector<face_textures>> moveable_face_textures(const tr_level& level, std::size_t n);
// The one mesh of static mesh n.
std::optional<std::vector<face_textures>> static_face_textures(const tr_level& level, std::size_t n);

// The same from the parsed meshes, which hold the edits not yet saved. A mesh pointer that
// designates no mesh of the list makes the result empty.
face_textures mesh_face_textures(const tmesh& mesh);
std::optional<std::vector<face_textures>> moveable_face_textures(const tr_level& level,
                                                                 const mesh_list& meshes, std::size_t n);
std::optional<std::vector<face_textures>> static_face_textures(const tr_level& level,
                                                               const mesh_list& meshes, std::size_t n);
