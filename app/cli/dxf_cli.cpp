// `vellum-cli export-dxf LEVEL MESH OUT.dxf`: one mesh of a level written as a DXF file, the same
// file the editor's File > Export to DXF writes.
#include "cli.h"

#include "dxf_export.h"
#include "level_reader.h"
#include "mesh_list.h"

#include <charconv>
#include <cstdio>

namespace {

constexpr int exit_write_failed = 5;
constexpr int exit_usage = 64;

int run_export_dxf(const std::vector<std::string>& args) {
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: vellum-cli export-dxf LEVEL MESH OUT.dxf\n");
        return exit_usage;
    }
    long mesh = -1;
    const std::string& number = args[1];
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), mesh);
    if (ec != std::errc() || end != number.data() + number.size() || mesh < 0) {
        std::fprintf(stderr, "vellum-cli export-dxf: MESH must be a mesh number from 0, not '%s'\n",
                     number.c_str());
        return exit_usage;
    }
    tr_level level;
    std::string error;
    const std::uint8_t code = read_level(level, args[0], &error);
    if (code != read_ok) {
        std::fprintf(stderr, "vellum-cli: %s\n", error.c_str());
        return code;
    }
    mesh_list list;
    try {
        build_mesh_list(list, level);
    } catch (const level_error& e) {
        std::fprintf(stderr, "vellum-cli: %s\n", e.what());
        return read_corrupt;
    }
    if (std::size_t(mesh) >= list.meshes.size()) {
        std::fprintf(stderr, "vellum-cli export-dxf: mesh %ld does not exist (the level has %zu)\n", mesh,
                     list.meshes.size());
        return exit_usage;
    }
    const tmesh& m = list.meshes[std::size_t(mesh)];
    if (m.num_col_rects + m.num_col_tris > 0)
        std::fprintf(stderr, "vellum-cli export-dxf: mesh %ld has %d coloured faces; they are not written\n",
                     mesh, m.num_col_rects + m.num_col_tris);
    const user_message failed = write_dxf_file(m, args[2]);
    if (!failed.empty()) {
        std::fprintf(stderr, "vellum-cli: %s\n", failed.english.c_str());
        return exit_write_failed;
    }
    std::printf("%s: mesh %ld, %d vertices, %d rectangles, %d triangles\n", args[2].c_str(), mesh,
                m.num_vertices, m.num_tex_rects, m.num_tex_tris);
    return 0;
}

cli_register reg_export_dxf{
    {"export-dxf", "LEVEL MESH OUT.dxf   one mesh's textured faces as 3DFACE entities, a layer per texture",
     &run_export_dxf}};

} // namespace
