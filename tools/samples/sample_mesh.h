// Meshes of the sample levels: a small builder of boxes, quads and triangles with textures or
// colours, and the encoder that writes a mesh into the level's mesh words.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

struct vec3 {
    int x = 0, y = 0, z = 0;
    bool operator==(const vec3&) const = default;
};
inline vec3 operator+(vec3 a, vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline vec3 operator-(vec3 a, vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

struct mesh_face {
    std::array<std::uint16_t, 4> v{}; // vertex indices; triangles use the first three
    std::uint16_t texture = 0;        // object texture index, or the colour word of a coloured face
    std::uint16_t effects = 0;        // TR4, TRC
};

// How a face is surfaced: an object texture (with an effects word for TR4/TRC), or, for TR1 to
// TR3, a palette colour; later versions have no coloured faces and use `texture` instead.
struct surface {
    std::uint16_t texture = 0;
    std::uint16_t effects = 0;
    int colour = -1; // palette colour word for TR1 to TR3, or -1
};

struct sample_mesh {
    std::vector<vec3> vertices;
    std::vector<vec3> normals;        // one per vertex, or empty when `lights` are used
    std::vector<std::int16_t> lights; // one per vertex: the mesh carries vertex lights instead of normals
    std::vector<mesh_face> tex_rects, tex_tris, col_rects, col_tris;
    bool coloured_faces = true; // false for TR4 and TRC

    std::uint16_t vertex(vec3 p); // index of p, added when new
    // A quadrilateral given by its corners top-left, top-right, bottom-right, bottom-left as seen
    // from its visible side (clockwise there); the texture's corner 1 lands on the top-left.
    void quad(vec3 tl, vec3 tr, vec3 br, vec3 bl, surface s);
    void tri(vec3 a, vec3 b, vec3 c, surface s);
    // An axis-aligned box from `lo` to `hi` (y grows downwards) seen from outside; surfaces in
    // the order front (-z), back (+z), left (-x), right (+x), top (-y), bottom (+y).
    void box(vec3 lo, vec3 hi, const std::array<surface, 6>& s);

    // Per-vertex normals of length 16384, averaged from the faces around each vertex.
    void make_normals();
    // Per-vertex lights from a brightness in 0..1 computed for each vertex position, scaled so
    // that the editor shows full brightness as white: 32767 for TR1 and TR2, 8191 from TR3 on.
    template <class F> void make_lights(std::int32_t game_version, F brightness) {
        lights.clear();
        normals.clear();
        const double top = game_version >= 5 ? 8191.0 : 32767.0;
        for (const auto& p : vertices)
            lights.push_back(std::int16_t(top * brightness(p)));
    }
};

// Appends the mesh to `words` in the mesh layout of `game_version`, with its 2-byte filler when
// needed; returns the byte offset of its first field (the mesh pointer).
std::uint32_t encode_mesh(const sample_mesh& mesh, std::int32_t game_version,
                          std::vector<std::uint16_t>& words);

// Bounding box of the mesh's vertices.
void mesh_bounds(const sample_mesh& mesh, vec3& lo, vec3& hi);
