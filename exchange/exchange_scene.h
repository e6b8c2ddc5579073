// What a model file (glTF, OBJ, ...) holds, independent of its format: named nodes with meshes,
// materials named after object textures, and texture-page images. Export builds one from the
// level; import reads one through Assimp and turns it back into meshes.
//
// Axes and scale: file X = level x, file Y = -level y, file Z = -level z (Y up, right-handed),
// 1024 level units = 1 metre. Import rounds to the nearest unit, so every whole level
// coordinate comes back as the same integer.
#pragma once

#include "mesh_list.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr double level_units_per_metre = 1024.0;

struct scene_image {
    int page = 0;
    int width = 256, height = 256;
    std::vector<std::uint8_t> rgba; // width * height * 4, rows from the top
};

struct scene_material {
    std::string name;
    int image = -1;                          // textured: the page image
    std::array<float, 4> colour{1, 1, 1, 1}; // coloured faces: their colour
};

struct scene_face {
    int corners = 3; // as read: any count; as written: 3 or 4
    std::array<std::uint32_t, 4> vertex{};
    std::uint32_t material = 0;
};

struct scene_mesh {
    std::vector<std::array<float, 3>> positions; // metres, file axes
    std::vector<std::array<float, 3>> normals;   // empty, or one per position
    std::vector<std::array<float, 4>> colours;   // empty, or one per position (linear RGBA)
    std::vector<std::array<float, 2>> uvs;       // empty, or one per position; v grows downwards
    std::vector<scene_face> faces;
};

struct scene_node {
    std::string name;
    int parent = -1;
    // Row-major 3 x 4 affine transform relative to the parent (translation in metres at 3, 7, 11).
    std::array<double, 12> transform{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
    std::vector<int> meshes;
};

struct exchange_scene {
    std::vector<scene_node> nodes;
    std::vector<scene_mesh> meshes;
    std::vector<scene_material> materials;
    std::vector<scene_image> images;
};

// ---- names ----

// "mesh_0123": the node name of mesh 123 (index in the mesh list).
std::string mesh_node_name(int mesh);
// The mesh number of a node name ("mesh_0123", also with a ".001" suffix a modeller adds to
// duplicates); empty for other names.
std::optional<int> mesh_of_node_name(std::string_view name);

// Material names: "TEXTUR_0007" for a texture word 7 (as DXF layers), "_H8" added for high bits
// 0x8000 of the word, "_FX3" for TR4/TRC effects word 3; "COLOUR_00042" for a coloured face of
// colour word 42.
struct material_key {
    bool coloured = false;
    std::uint16_t word = 0;    // texture word (all bits) or colour word
    std::uint16_t effects = 0; // textured faces
    bool operator==(const material_key&) const = default;
};
std::string material_name(const material_key& key);
std::optional<material_key> material_of_name(std::string_view name);

// ---- export ----

// One node per mesh; a moveable's nodes follow its mesh tree (push/pop), each placed at its rest
// offset from its parent. Textured faces get UVs from their object texture's corners and a
// material per texture (and effects); the pages they use become images (transparent where the
// level's pixels are). Static-mesh vertex lights become vertex colours, normals become normals.
// Face corners are written in reverse order, so that faces point outwards for modellers.
exchange_scene scene_of_mesh(const tr_level& level, const mesh_list& list, int mesh);
exchange_scene scene_of_moveable(const tr_level& level, const mesh_list& list, int moveable);
exchange_scene scene_of_static(const tr_level& level, const mesh_list& list, int static_mesh);

// The page as RGBA (TR1 palette, TR2+ 16-bit pages), alpha 0 where the level's pixel is transparent.
scene_image page_image(const tr_level& level, int page);

// One mesh of a moveable's tree: its mesh number, parent part (-1 for the root) and rest offset
// from the parent in level units.
struct tree_part {
    int mesh = -1;
    int parent = -1;
    std::array<int, 3> offset{};
};
std::vector<tree_part> moveable_tree(const tr_level& level, const mesh_list& list, int moveable);
