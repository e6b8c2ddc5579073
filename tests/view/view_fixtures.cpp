// In-memory levels and meshes for the view tests.
#include "view_fixtures.h"

namespace view_test {

rec<12> rect(std::uint16_t v0, std::uint16_t v1, std::uint16_t v2, std::uint16_t v3, std::uint16_t word) {
    rec<12> r{};
    put_u16(&r[0], v0), put_u16(&r[2], v1), put_u16(&r[4], v2), put_u16(&r[6], v3), put_u16(&r[8], word);
    return r;
}

rec<10> tri(std::uint16_t v0, std::uint16_t v1, std::uint16_t v2, std::uint16_t word) {
    rec<10> r{};
    put_u16(&r[0], v0), put_u16(&r[2], v1), put_u16(&r[4], v2), put_u16(&r[6], word);
    return r;
}

tmesh make_mesh(const mesh_shape& shape) {
    tmesh m;
    m.set_num_vertices(std::int16_t(shape.vertices.size()));
    m.vertices = shape.vertices;
    if (shape.lights.empty()) {
        m.set_num_normals(std::int16_t(shape.vertices.size()));
    } else {
        m.set_num_normals(std::int16_t(-std::int16_t(shape.lights.size())));
        m.lights = shape.lights;
    }
    m.set_num_tex_rects(std::int16_t(shape.tex_rects.size()));
    m.tex_rects = shape.tex_rects;
    m.set_num_tex_tris(std::int16_t(shape.tex_tris.size()));
    m.tex_tris = shape.tex_tris;
    m.set_num_col_rects(std::int16_t(shape.col_rects.size()));
    m.col_rects = shape.col_rects;
    m.set_num_col_tris(std::int16_t(shape.col_tris.size()));
    m.col_tris = shape.col_tris;
    return m;
}

tr_level make_level(std::int32_t game_version, int textures) {
    tr_level level;
    level.signature = loaded_signature;
    level.game_version = game_version;
    level.set_num_object_textures(std::uint32_t(textures));
    for (auto& t : level.object_textures) {
        t.corners[0] = {1, 0, 1, 0};
        t.corners[1] = {255, 63, 1, 0};
        t.corners[2] = {255, 63, 255, 63};
        t.corners[3] = {1, 0, 255, 63};
    }
    return level;
}

int add_mesh(mesh_list& list, const mesh_shape& shape) {
    list.meshes.push_back(make_mesh(shape));
    const int index = int(list.meshes.size()) - 1;
    measure_bounds(list, index);
    list.mesh_index.push_back(index);
    return index;
}

void add_moveable(tr_level& level, std::uint16_t num_meshes, std::uint16_t first_mesh,
                  std::uint32_t tree_index, std::uint32_t frame_offset) {
    level.set_num_moveables(level.num_moveables + 1);
    auto& r = level.moveables.back();
    put_u32(&r[0], level.num_moveables - 1);
    put_u16(&r[4], num_meshes);
    put_u16(&r[6], first_mesh);
    put_u32(&r[8], tree_index);
    put_u32(&r[12], frame_offset);
}

void add_static(tr_level& level, std::uint16_t mesh_index, const std::array<std::int16_t, 6>& visibility,
                const std::array<std::int16_t, 6>& collision) {
    level.set_num_static_meshes(level.num_static_meshes + 1);
    auto& r = level.static_meshes.back();
    put_u16(&r[4], mesh_index);
    for (std::size_t i = 0; i < 6; ++i) {
        put_u16(&r[6 + 2 * i], std::uint16_t(visibility[i]));
        put_u16(&r[18 + 2 * i], std::uint16_t(collision[i]));
    }
}

mesh_shape square(int x0, int y0, int x1, int y1, int z, std::uint16_t word) {
    mesh_shape s;
    // View y is -y and view z is -z; seen from the viewer (looking down -z in view space) the
    // corners top-left, top-right, bottom-right, bottom-left run clockwise.
    s.vertices = {{std::int16_t(x0), std::int16_t(y0), std::int16_t(z)},
                  {std::int16_t(x1), std::int16_t(y0), std::int16_t(z)},
                  {std::int16_t(x1), std::int16_t(y1), std::int16_t(z)},
                  {std::int16_t(x0), std::int16_t(y1), std::int16_t(z)}};
    s.tex_rects = {rect(0, 1, 2, 3, word)};
    return s;
}

} // namespace view_test
