// libFuzzer target for the DXF reader: the bytes are a DXF file imported in place of a small mesh
// (the first byte's low bit picks a static or a moveable mesh). Besides sanitizer reports, an
// imported mesh that names a vertex it does not have, exceeds a capacity, or does not export and
// read back with as many faces aborts.
#include "dxf_export.h"
#include "dxf_import.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

[[noreturn]] void broken(const char* what) {
    std::fprintf(stderr, "dxf import invariant broken: %s\n", what);
    std::abort();
}

void check(bool ok, const char* what) {
    if (!ok) broken(what);
}

template <std::size_t N> void check_corners(const std::vector<rec<N>>& faces, int corners, int vertices) {
    for (const auto& f : faces)
        for (int k = 0; k < corners; ++k)
            check(face_word(f, k) < vertices, "a corner names no vertex");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > dxf_file_size_limit) return 0;
    const bool is_static = data[0] & 1;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    tmesh current;
    current.set_num_vertices(1);
    current.set_num_normals(1);

    const dxf_mesh out = mesh_from_dxf(parse_dxf(text), current, is_static);
    if (!out.error.empty()) return 0;
    const tmesh& m = out.mesh;
    check(m.num_vertices > 0 && m.num_vertices <= mesh_vertex_capacity, "vertex count");
    check(m.vertices.size() == std::size_t(m.num_vertices), "vertex array");
    check(m.num_tex_rects <= mesh_tex_rect_capacity && m.tex_rects.size() == std::size_t(m.num_tex_rects),
          "rectangles");
    check(m.num_tex_tris <= mesh_face_capacity && m.tex_tris.size() == std::size_t(m.num_tex_tris),
          "triangles");
    check(m.num_col_rects == 0 && m.num_col_tris == 0, "coloured faces");
    check(m.num_normals == (is_static ? -m.num_vertices : m.num_vertices), "normal count");
    check_corners(m.tex_rects, 4, m.num_vertices);
    check_corners(m.tex_tris, 3, m.num_vertices);

    const dxf_faces again = parse_dxf(dxf_text(m));
    check(again.error.empty(), "an exported mesh does not read back");
    check(again.rects.size() + again.tris.size() == std::size_t(m.num_tex_rects + m.num_tex_tris),
          "an exported mesh reads back with another face count");
    return 0;
}
