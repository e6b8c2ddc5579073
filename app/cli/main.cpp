// vellum-cli: the command-line companion of the editor (level info, round trips, exports).
#include "cli.h"

#include "level_reader.h"
#include "man_page.h"
#include "mesh_list.h"
#include "tr_level.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <stdexcept>

std::vector<cli_command>& cli_commands() {
    static std::vector<cli_command> commands;
    return commands;
}

int load_level(tr_level& level, const std::string& path, mesh_list* meshes) {
    std::string error;
    if (const std::uint8_t rc = read_level(level, path, &error); rc != read_ok) {
        std::fprintf(stderr, "vellum-cli: %s\n",
                     error.empty() ? ("cannot read " + path).c_str() : error.c_str());
        return rc;
    }
    if (!meshes) return exit_ok;
    try {
        build_mesh_list(*meshes, level);
    } catch (const level_error& e) {
        std::fprintf(stderr, "vellum-cli: %s: %s\n", path.c_str(), e.what());
        return exit_corrupt;
    }
    return exit_ok;
}

static void usage(std::FILE* to) {
    std::fprintf(to, "usage: vellum-cli COMMAND [ARGS]\ncommands:\n");
    for (const auto& c : cli_commands())
        std::fprintf(to, "  %s %s\n", c.name, c.usage);
    std::fprintf(to, "exit status:\n"
                     "  0   done\n"
                     "  1   the level does not exist, is a folder or cannot be read\n"
                     "  2   the file is not a level of a supported game\n"
                     "  3   the level is corrupt or truncated (damaged mesh data included)\n"
                     "  4   check: the re-saved level differs from the file\n"
                     "  5   an output file could not be written (edit: a command cannot apply)\n"
                     "  64  bad arguments, or a number naming something the level does not have (edit: 5)\n"
                     "  65  an input is refused (a bitmap of the wrong size, a level without pages)\n"
                     "  69  render: no display and no xvfb-run\n"
                     "  70  internal error\n");
}

// Runs one command; whatever escapes it is reported here, so no input ends the program abnormally.
static int run_guarded(const cli_command& c, const std::vector<std::string>& args) {
    try {
        return c.run(args);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr,
                     "vellum-cli: the level needs more memory than is available: the file is corrupt.\n");
    } catch (const std::length_error&) {
        std::fprintf(stderr,
                     "vellum-cli: the level needs more memory than is available: the file is corrupt.\n");
    } catch (const level_error& e) {
        std::fprintf(stderr, "vellum-cli: %s\n", e.what());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vellum-cli: internal error: %s\n", e.what());
        return exit_internal;
    }
    return exit_corrupt;
}

// The manual page, from the same help text (`vellum-cli help --man`, used by the build).
static int print_man_page() {
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* help = open_memstream(&text, &size);
    if (!help) return exit_internal;
    usage(help);
    std::fclose(help);
    const std::string page = man_page_from_help(std::string(text, size), VELLUM_VERSION);
    std::free(text);
    std::fputs(page.c_str(), stdout);
    return exit_ok;
}

int main(int argc, char** argv) {
    if (argc == 3 && !std::strcmp(argv[1], "help") && !std::strcmp(argv[2], "--man")) return print_man_page();
    if (argc < 2 || !std::strcmp(argv[1], "help") || !std::strcmp(argv[1], "--help")) {
        usage(argc < 2 ? stderr : stdout);
        return argc < 2 ? exit_usage : exit_ok;
    }
    for (const auto& c : cli_commands()) {
        if (std::strcmp(c.name, argv[1]) == 0)
            return run_guarded(c, std::vector<std::string>(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "vellum-cli: unknown command '%s'\n", argv[1]);
    usage(stderr);
    return exit_usage;
}
