// Reads the texture words of the textured faces of a mesh from the mesh list, or from mesh_words
// bounds-checked.
#include "mesh_textures.h"

#include "level_records.h"

namespace {

// Little-endian cursor over the bytes of mesh_words.
struct mesh_cursor {
    const std::vector<std::uint16_t>& words;
    std::size_t pos; // bytes
    std::size_t end() const { return words.size() * 2; }
    bool has(std::size_t n) const { return pos <= end() && end() - pos >= n; }
    std::uint16_t u16_at(std::size_t byte) const {
        const std::uint16_t w = words[byte / 2];
        return byte % 2 == 0 ? w : std::uint16_t((w >> 8) | (words[byte / 2 + 1] << 8));
    }
    bool read_count(int& n) {
        if (!has(2)) return false;
        n = std::int16_t(u16_at(pos));
        pos += 2;
        return true;
    }
};

} // namespace

std::optional<face_textures> mesh_face_textures(const tr_level& level, std::size_t pointer_index) {
    if (pointer_index >= level.mesh_pointers.size()) return std::nullopt;
    mesh_cursor c{level.mesh_words, level.mesh_pointers[pointer_index]};
    const bool wide = level.game_version >= game_tr4;
    int n = 0;
    if (!c.has(10)) return std::nullopt;
    c.pos += 10; // centre, collision radius
    if (!c.read_count(n) || n < 0 || !c.has(std::size_t(n) * 6)) return std::nullopt;
    c.pos += std::size_t(n) * 6;
    if (!c.read_count(n)) return std::nullopt;
    const std::size_t normals = n >= 0 ? std::size_t(n) * 6 : std::size_t(-n) * 2;
    if (!c.has(normals)) return std::nullopt;
    c.pos += normals;

    face_textures out;
    // Textured rectangles (four indices), then textured triangles (three), each followed by the
    // texture word and, for TR4 and TRC, an effects word.
    for (const std::size_t corners : {4u, 3u}) {
        const std::size_t face_size = corners * 2 + (wide ? 4 : 2);
        if (!c.read_count(n) || n < 0 || !c.has(std::size_t(n) * face_size)) return std::nullopt;
        for (int f = 0; f < n; ++f) {
            out.push_back(std::uint16_t(c.u16_at(c.pos + corners * 2) & 0x0FFF));
            c.pos += face_size;
        }
    }
    return out;
}

std::optional<std::vector<face_textures>> moveable_face_textures(const tr_level& level, std::size_t n) {
    if (n >= level.moveables.size()) return std::nullopt;
    const auto m = read_moveable(level.moveables[n]);
    const std::size_t count = m.num_meshes, first = m.first_mesh;
    std::vector<face_textures> out;
    for (std::size_t k = 0; k < count; ++k) {
        auto faces = mesh_face_textures(level, first + k);
        if (!faces) return std::nullopt;
        out.push_back(std::move(*faces));
    }
    return out;
}

std::optional<std::vector<face_textures>> static_face_textures(const tr_level& level, std::size_t n) {
    if (n >= level.static_meshes.size()) return std::nullopt;
    auto faces = mesh_face_textures(level, read_static_mesh(level.static_meshes[n]).mesh);
    if (!faces) return std::nullopt;
    return std::vector<face_textures>{std::move(*faces)};
}

face_textures mesh_face_textures(const tmesh& mesh) {
    face_textures out;
    out.reserve(mesh.tex_rects.size() + mesh.tex_tris.size());
    for (const auto& r : mesh.tex_rects)
        out.push_back(std::uint16_t(rect_texture(r) & 0x0FFF));
    for (const auto& t : mesh.tex_tris)
        out.push_back(std::uint16_t(tri_texture(t) & 0x0FFF));
    return out;
}

namespace {

std::optional<face_textures> listed_mesh_textures(const mesh_list& meshes, std::size_t pointer) {
    if (pointer >= meshes.mesh_index.size()) return std::nullopt;
    const std::int32_t m = meshes.mesh_index[pointer];
    if (m < 0 || std::size_t(m) >= meshes.meshes.size()) return std::nullopt;
    return mesh_face_textures(meshes.meshes[std::size_t(m)]);
}

} // namespace

std::optional<std::vector<face_textures>> moveable_face_textures(const tr_level& level,
                                                                 const mesh_list& meshes, std::size_t n) {
    if (n >= level.moveables.size()) return std::nullopt;
    const auto& m = level.moveables[n];
    const std::size_t count = get_u16(&m[4]), first = get_u16(&m[6]);
    std::vector<face_textures> out;
    for (std::size_t k = 0; k < count; ++k) {
        auto faces = listed_mesh_textures(meshes, first + k);
        if (!faces) return std::nullopt;
        out.push_back(std::move(*faces));
    }
    return out;
}

std::optional<std::vector<face_textures>> static_face_textures(const tr_level& level,
                                                               const mesh_list& meshes, std::size_t n) {
    if (n >= level.static_meshes.size()) return std::nullopt;
    auto faces = listed_mesh_textures(meshes, get_u16(&level.static_meshes[n][4]));
    if (!faces) return std::nullopt;
    return std::vector<face_textures>{std::move(*faces)};
}
