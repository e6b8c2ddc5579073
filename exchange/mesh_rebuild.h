// Rebuilding a mesh from the faces an exchange file (DXF, glTF, OBJ, ...) holds: vertices keep
// their numbers where their position or their faces identify them, unchanged faces keep their
// place and effects, and a mesh's capacities are enforced. Every mesh import goes through here.
#pragma once

#include "mesh_list.h"
#include "user_message.h"

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

enum class face_kind : std::uint8_t { textured, coloured };

// One face as a file gives it, its corners already in the mesh's corner order.
struct imported_face {
    face_kind kind = face_kind::textured;
    int corners = 3;                      // 3 or 4
    std::array<mesh_vec3, 4> positions{}; // level units
    std::uint16_t word = 0;               // texture word or colour word
    // False when the file only carries the texture number (low 12 bits), as DXF layer names do:
    // an unchanged face then keeps its whole word.
    bool word_complete = true;
    // The effects word (TR4/TRC) when the file carries it; otherwise an unchanged face keeps its own.
    std::optional<std::uint16_t> effects;
    // Per corner, when the file carries them: grey level 0..1 of the vertex colour, and the normal
    // in level axes.
    bool has_grey = false;
    std::array<float, 4> grey{};
    bool has_normal = false;
    std::array<std::array<float, 3>, 4> normal{};
};

struct rebuild_options {
    bool is_static = false; // vertex lights instead of normals
    std::int32_t game_version = game_tr4;
    std::size_t texture_count = std::numeric_limits<std::size_t>::max(); // object textures available
};

// `why` with the note that the mesh was left as it was: how every mesh import refuses.
user_message mesh_refusal(user_message why);

struct rebuilt_mesh {
    tmesh mesh;         // the replacement, when error is empty
    user_message error; // otherwise a message fit to show; nothing was changed
};

// Builds the replacement of `original` from `faces`:
// - vertices: every vertex of the original keeps its number and position; a face that matches an
//   original face in all corners but one moves that face's vertex to the odd position (when every
//   face using the vertex agrees); other positions reuse the first vertex there, else are appended;
// - faces: a face whose corner positions match an original face of the same kind takes that
//   face's vertex numbers and list place (original order first, new faces after, in file order);
// - effects and a word the file does not carry come from the matched face when its texture is
//   unchanged, else 0;
// - static meshes: vertex lights kept unless the file's vertex colour differs from the light's
//   grey by more than an 8-bit sRGB step; new vertices take the colour's light (0 without);
// - moveable meshes: normals kept for unmoved vertices; moved and new ones take the file's
//   normal, or the normal computed as the DXF import computes it.
// Refused with a message: no faces, more vertices or faces than a mesh holds, a texture the level
// lacks, coloured faces in a TR4/TRC level, corners outside 3..4.
rebuilt_mesh rebuild_mesh(const tmesh& original, const std::vector<imported_face>& faces,
                          const rebuild_options& options);

// Static-mesh vertex light <-> grey level of a vertex colour: 0 is full light (grey 1), 8191 dark.
float light_to_grey(std::int16_t light);
std::int16_t grey_to_light(float grey);
