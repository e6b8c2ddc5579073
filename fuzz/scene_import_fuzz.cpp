// libFuzzer target for the conversion of an imported model scene into a mesh: the bytes build a
// random scene (node tree, counts, NaN and huge coordinates, missing or wild UVs, colours and
// normals, unknown or out-of-range materials) that is imported into a small mesh of a small
// level. Besides sanitizer reports, a result that names a vertex it does not have, exceeds a
// capacity, or points a face at a texture that neither the level nor the import has aborts.
#include "scene_import.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "scene import invariant broken: %s\n", what);
        std::abort();
    }
}

float any_float(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange<int>(0, 7)) {
    case 0:
        return std::numeric_limits<float>::quiet_NaN();
    case 1:
        return std::numeric_limits<float>::infinity();
    case 2:
        return in.ConsumeFloatingPoint<float>();
    default:
        // Mostly whole level units and page pixels, so that matches happen.
        return float(in.ConsumeIntegralInRange<int>(-64, 64)) / 64.0f;
    }
}

const char* const material_names[] = {"TEXTUR_0000", "TEXTUR_0001_FX3", "TEXTUR_0002_H8", "COLOUR_00005",
                                      "TEXTUR_0999", "TEXTUR_0001.001", "Material",       ""};

template <std::size_t N>
void check_corners(const std::vector<rec<N>>& faces, int corners, std::size_t vertices) {
    for (const auto& f : faces)
        for (int k = 0; k < corners; ++k)
            check(face_word(f, k) < vertices, "a corner names no vertex");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    tr_level level;
    level.game_version = in.ConsumeBool() ? game_tr4 : game_tr2;
    level.set_num_object_textures(3);
    for (std::size_t t = 0; t < 3; ++t) {
        auto& c = level.object_textures[t].corners;
        c[0] = {0, 0, 0, 0}, c[1] = {0, 32, 0, 0}, c[2] = {0, 32, 0, 32}, c[3] = {0, 0, 0, 32};
    }
    mesh_list list;
    tmesh mesh;
    mesh.set_num_vertices(4);
    mesh.vertices = {{0, 0, 0}, {64, 0, 0}, {64, 0, 64}, {0, 0, 64}};
    const bool is_static = in.ConsumeBool();
    mesh.set_num_normals(is_static ? -4 : 4);
    mesh.set_num_tex_rects(1);
    for (int k = 0; k < 4; ++k)
        set_face_word(mesh.tex_rects[0], k, std::uint16_t(k));
    list.meshes.push_back(mesh);

    exchange_scene scene;
    const int materials = in.ConsumeIntegralInRange<int>(0, 8);
    for (int i = 0; i < materials; ++i)
        scene.materials.push_back({material_names[in.ConsumeIntegralInRange<int>(0, 7)], -1, {1, 1, 1, 1}});
    const int nodes = in.ConsumeIntegralInRange<int>(1, 6);
    for (int n = 0; n < nodes; ++n) {
        scene_node node;
        node.name = in.ConsumeBool() ? "mesh_0000" : in.ConsumeRandomLengthString(12);
        node.parent = in.ConsumeIntegralInRange<int>(-2, nodes);
        if (in.ConsumeBool())
            for (double& v : node.transform)
                v = any_float(in);
        if (in.ConsumeBool()) node.meshes.push_back(in.ConsumeIntegralInRange<int>(-1, 3));
        scene.nodes.push_back(node);
    }
    const int meshes = in.ConsumeIntegralInRange<int>(0, 3);
    for (int i = 0; i < meshes; ++i) {
        scene_mesh m;
        const int vertices = in.ConsumeIntegralInRange<int>(0, 700);
        const bool uvs = in.ConsumeBool(), colours = in.ConsumeBool(), normals = in.ConsumeBool();
        for (int v = 0; v < vertices && in.remaining_bytes() > 0; ++v) {
            m.positions.push_back({any_float(in), any_float(in), any_float(in)});
            if (uvs) m.uvs.push_back({any_float(in), any_float(in)});
            if (colours) m.colours.push_back({any_float(in), any_float(in), any_float(in), 1});
            if (normals) m.normals.push_back({any_float(in), any_float(in), any_float(in)});
        }
        const int faces = in.ConsumeIntegralInRange<int>(0, 1200);
        for (int f = 0; f < faces && in.remaining_bytes() > 0; ++f) {
            scene_face face;
            face.corners = in.ConsumeIntegralInRange<int>(1, 6);
            for (auto& v : face.vertex)
                v = in.ConsumeIntegralInRange<std::uint32_t>(0, std::uint32_t(m.positions.size() + 1));
            face.material = in.ConsumeIntegralInRange<std::uint32_t>(0, std::uint32_t(materials));
            m.faces.push_back(face);
        }
        scene.meshes.push_back(std::move(m));
    }

    const scene_import out = import_scene_into_mesh(scene, level, list, 0, is_static);
    if (!out.error.empty()) {
        check(out.meshes.empty() && out.new_textures.empty(), "a refused import still carries changes");
        return 0;
    }
    check(out.meshes.size() == 1 && out.meshes[0].first == 0, "the wrong mesh replaced");
    const tmesh& m = out.meshes[0].second;
    const std::size_t nv = m.vertices.size();
    check(nv == std::size_t(m.num_vertices) && nv <= std::size_t(mesh_vertex_capacity), "vertex count");
    check(m.num_tex_rects <= mesh_tex_rect_capacity && m.tex_rects.size() == std::size_t(m.num_tex_rects),
          "rectangles");
    check(m.num_tex_tris <= mesh_face_capacity && m.tex_tris.size() == std::size_t(m.num_tex_tris),
          "triangles");
    check(std::size_t(std::abs(int(m.num_normals))) == nv, "normal or light count");
    check((m.num_normals < 0) == is_static, "lights and normals swapped");
    check_corners(m.tex_rects, 4, nv);
    check_corners(m.tex_tris, 3, nv);
    check_corners(m.col_rects, 4, nv);
    check_corners(m.col_tris, 3, nv);
    const std::size_t textures = level.object_textures.size() + out.new_textures.size();
    for (const auto& r : m.tex_rects)
        check((rect_texture(r) & 0x0FFF) < textures, "a face names a texture nobody has");
    for (const auto& t : m.tex_tris)
        check((tri_texture(t) & 0x0FFF) < textures, "a face names a texture nobody has");
    return 0;
}
