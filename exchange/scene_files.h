// Model files of an exchange scene: glTF 2.0 (.glb with everything embedded, .gltf with its
// buffer embedded) written with tinygltf, Wavefront OBJ + MTL with PNG pages beside it, and any
// format Assimp reads (glTF, OBJ, FBX, DAE, ...) read back.
#pragma once

#include "exchange_scene.h"
#include "user_message.h"

#include <cstdint>
#include <string>
#include <vector>

// Files larger than this are refused before Assimp sees them.
inline constexpr std::uintmax_t model_file_size_limit = 256u << 20;

// Writes `scene` to `path`; the format follows the extension (.glb, .gltf, .obj). OBJ writes
// `stem`.mtl and `stem`_page_N.png beside it. Every file goes through a temporary file renamed
// over the target, so a failed write leaves existing files as they were. Returns an empty message
// on success, otherwise a message fit to show.
user_message write_scene_file(const exchange_scene& scene, const std::string& path);

// The .glb bytes of a scene (for benchmarks and tests that need no file).
std::vector<std::uint8_t> glb_bytes(const exchange_scene& scene);

struct read_scene {
    exchange_scene scene;
    user_message error; // when not empty: a message fit to show
};

// Reads a model file through Assimp: nodes with their names, parents and transforms, meshes as
// given (no triangulation, no vertex merging), material names, UVs (v from the top), vertex
// colours and normals. Missing, empty, oversized, unreadable or unrecognised files and scenes
// beyond the import limits are refused with a message.
read_scene read_scene_file(const std::string& path);

// The same for a model held in memory; `format` is the file extension Assimp should assume ("glb").
read_scene read_scene_bytes(const std::vector<std::uint8_t>& bytes, const std::string& format);

// PNG bytes of an RGBA image (libpng); empty on failure.
std::vector<std::uint8_t> png_bytes(const scene_image& image);
