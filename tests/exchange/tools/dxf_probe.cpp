// Test tool: imports a DXF file as a moveable mesh and prints what it became, one face a line, so
// scripts can compare files written by other programs with the mesh they describe.
#include "dxf_import.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: dxf_probe FILE.dxf\n");
        return 64;
    }
    const dxf_mesh read = read_dxf_file(argv[1], tmesh{}, false);
    if (!read.error.empty()) {
        std::fprintf(stderr, "%s\n", read.error.english.c_str());
        return 1;
    }
    const tmesh& m = read.mesh;
    std::printf("vertices %d rectangles %d triangles %d\n", m.num_vertices, m.num_tex_rects, m.num_tex_tris);
    auto face = [&](const char* kind, const auto& f, int corners, std::uint16_t texture) {
        std::printf("%s %u", kind, unsigned(texture));
        for (int k = 0; k < corners; ++k) {
            const mesh_vec3& v = m.vertices.at(face_word(f, k));
            std::printf(" %d,%d,%d", v[0], v[1], v[2]);
        }
        std::printf("\n");
    };
    for (const auto& r : m.tex_rects)
        face("rectangle", r, 4, rect_texture(r));
    for (const auto& t : m.tex_tris)
        face("triangle", t, 3, tri_texture(t));
    return 0;
}
