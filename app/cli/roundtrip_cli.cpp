// `vellum-cli resave IN OUT` and `vellum-cli check FILE`: the save path of the editor (parse the
// meshes, rebuild the mesh words, write) run from the command line, and the round-trip check.
#include "cli.h"

#include "level_compare.h"
#include "level_reader.h"
#include "level_writer.h"
#include "mesh_list.h"

#include <cstdio>
#include <string>

namespace {

int run_resave(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: vellum-cli resave IN OUT\n");
        return exit_usage;
    }
    tr_level level;
    mesh_list list;
    if (const int rc = load_level(level, args[0], &list); rc != exit_ok) return rc;
    try {
        rebuild_mesh_words(list, level);
        write_level(level, args[1]);
    } catch (const level_error& e) {
        std::fprintf(stderr, "vellum-cli: %s\n", e.what());
        return exit_write_failed;
    }
    std::printf("saved %s%s\n", args[1].c_str(), game_name(level.game_version));
    return exit_ok;
}

int run_check(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: vellum-cli check FILE\n");
        return exit_usage;
    }
    const roundtrip_result r = check_roundtrip(args[0]);
    if (r.read_code != read_ok) {
        std::fprintf(stderr, "vellum-cli: %s\n", r.error.c_str());
        return r.read_code;
    }
    if (!r.error.empty()) {
        std::fprintf(stderr, "vellum-cli: %s\n", r.error.c_str());
        return exit_write_failed;
    }
    std::printf("%s\n", r.compare.message.c_str());
    return r.compare.equal() ? exit_ok : exit_different;
}

cli_register reg_resave{
    {"resave",
     "IN OUT   read, parse meshes, rebuild mesh words and save (the layout read is kept unless "
     "OUT's name selects another game: .phd/.tub, .trg)",
     &run_resave}};
cli_register reg_check{
    {"check", "FILE   re-save into memory and compare with the file (exit 0 equal, 4 not)", &run_check}};

} // namespace
