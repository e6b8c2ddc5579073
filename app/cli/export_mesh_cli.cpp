// `vellum-cli export-mesh LEVEL (--mesh N | --moveable N | --static N) OUT.{glb,gltf,obj}`: a mesh,
// a whole moveable or a static mesh written as a model file for modellers, the same file the
// editor's File > Export Mesh writes.
#include "cli.h"

#include "exchange_scene.h"
#include "mesh_list.h"
#include "scene_files.h"
#include "tr_level.h"

#include <charconv>
#include <cstdio>

namespace {

constexpr const char* export_mesh_usage =
    "usage: vellum-cli export-mesh LEVEL (--mesh N | --moveable N | --static N) OUT.{glb,gltf,obj}\n";

int run_export_mesh(const std::vector<std::string>& args) {
    if (args.size() != 4) {
        std::fprintf(stderr, "%s", export_mesh_usage);
        return exit_usage;
    }
    const std::string& kind = args[1];
    if (kind != "--mesh" && kind != "--moveable" && kind != "--static") {
        std::fprintf(stderr, "%s", export_mesh_usage);
        return exit_usage;
    }
    long number = -1;
    const std::string& text = args[2];
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (ec != std::errc() || end != text.data() + text.size() || number < 0 || number > 1000000) {
        std::fprintf(stderr, "vellum-cli export-mesh: N must be a number from 0, not '%s'\n", text.c_str());
        return exit_usage;
    }
    tr_level level;
    mesh_list list;
    if (const int rc = load_level(level, args[0], &list); rc != exit_ok) return rc;
    exchange_scene scene;
    std::size_t available = 0;
    if (kind == "--mesh") {
        available = list.meshes.size();
        if (std::size_t(number) < available) scene = scene_of_mesh(level, list, int(number));
    } else if (kind == "--moveable") {
        available = level.moveables.size();
        if (std::size_t(number) < available) scene = scene_of_moveable(level, list, int(number));
    } else {
        available = level.static_meshes.size();
        if (std::size_t(number) < available) scene = scene_of_static(level, list, int(number));
    }
    if (std::size_t(number) >= available) {
        std::fprintf(stderr, "vellum-cli export-mesh: the level has no %s %ld (it has %zu)\n",
                     kind.c_str() + 2, number, available);
        return exit_usage;
    }
    const user_message failed = write_scene_file(scene, args[3]);
    if (!failed.empty()) {
        std::fprintf(stderr, "vellum-cli: %s\n", failed.english.c_str());
        return failed.key == definition_of(msg::model_name_extension).key ? exit_usage : exit_write_failed;
    }
    std::size_t faces = 0;
    for (const scene_mesh& m : scene.meshes)
        faces += m.faces.size();
    std::printf("%s: %zu objects, %zu faces, %zu materials, %zu page images\n", args[3].c_str(),
                scene.nodes.size(), faces, scene.materials.size(), scene.images.size());
    return exit_ok;
}

cli_register reg_export_mesh{
    {"export-mesh",
     "LEVEL (--mesh N | --moveable N | --static N) OUT.{glb,gltf,obj}   a mesh, whole "
     "moveable or static mesh as a glTF or OBJ model with its texture pages",
     &run_export_mesh}};

} // namespace
