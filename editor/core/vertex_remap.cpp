// Vertex remap of one mesh.
#include "vertex_remap.h"

#include "history_step.h"

#include <algorithm>

namespace {

template <std::size_t N> void swap_corners(std::vector<rec<N>>& faces, int count, int corners, int b, int a) {
    const std::size_t n = std::min(std::size_t(std::max(count, 0)), faces.size());
    for (std::size_t i = 0; i < n; ++i)
        for (int k = 0; k < corners; ++k) {
            const int c = face_word(faces[i], k);
            // One pass with both tests gives what three passes through a spare number would,
            // without a spare number that a corrupt corner could already hold.
            if (c == b)
                set_face_word(faces[i], k, std::uint16_t(a));
            else if (c == a)
                set_face_word(faces[i], k, std::uint16_t(b));
        }
}

} // namespace

user_message remap_vertices(tmesh& mesh, int b, int a) {
    const int count = int(std::min(std::size_t(std::max<int>(mesh.num_vertices, 0)), mesh.vertices.size()));
    for (const int v : {b, a})
        if (v < 0 || v >= count)
            return say(msg::no_such_vertex,
                       {std::to_string(count), std::to_string(count - 1), std::to_string(v)});
    if (b == a) return {};
    std::swap(mesh.vertices[std::size_t(b)], mesh.vertices[std::size_t(a)]);
    // A vertex's normal or light belongs to its position: it moves with it, or the two vertices
    // would be shaded as each other.
    const auto ub = std::size_t(b), ua = std::size_t(a);
    if (mesh.num_normals > 0 && std::max(ub, ua) < mesh.normals.size())
        std::swap(mesh.normals[ub], mesh.normals[ua]);
    else if (mesh.num_normals < 0 && std::max(ub, ua) < mesh.lights.size())
        std::swap(mesh.lights[ub], mesh.lights[ua]);
    swap_corners(mesh.tex_rects, mesh.num_tex_rects, 4, b, a);
    swap_corners(mesh.tex_tris, mesh.num_tex_tris, 3, b, a);
    swap_corners(mesh.col_rects, mesh.num_col_rects, 4, b, a);
    swap_corners(mesh.col_tris, mesh.num_col_tris, 3, b, a);
    return {};
}

prepared_edit prepare_remap(mesh_list& meshes, int index, int b, int a) {
    if (index < 0 || std::size_t(index) >= meshes.meshes.size()) return {nullptr, say(msg::remap_needs_mesh)};
    tmesh changed = meshes.meshes[std::size_t(index)];
    user_message message = remap_vertices(changed, b, a);
    if (!message.empty()) return {nullptr, std::move(message)};
    // Before = After changes nothing: no step, and the level stays unmodified.
    if (b == a) return {nullptr, {}};
    return {
        std::make_unique<swap_meshes>(meshes, index, std::move(changed), step_text(msg::step_remap_vertices)),
        {}};
}
