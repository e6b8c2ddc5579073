// vellum-cli: the command-line companion of the editor (level info, round trips, exports).
#include "cli.h"

#include <cstdio>
#include <cstring>

std::vector<cli_command>& cli_commands() {
    static std::vector<cli_command> commands;
    return commands;
}

static void usage() {
    std::fprintf(stderr, "usage: vellum-cli COMMAND [ARGS]\ncommands:\n");
    for (const auto& c : cli_commands())
        std::fprintf(stderr, "  %s %s\n", c.name, c.usage);
}

int main(int argc, char** argv) {
    if (argc < 2 || !std::strcmp(argv[1], "help") || !std::strcmp(argv[1], "--help")) {
        usage();
        return argc < 2 ? 64 : 0;
    }
    for (const auto& c : cli_commands()) {
        if (std::strcmp(c.name, argv[1]) == 0) {
            std::vector<std::string> args(argv + 2, argv + argc);
            return c.run(args);
        }
    }
    std::fprintf(stderr, "vellum-cli: unknown command '%s'\n", argv[1]);
    usage();
    return 64;
}
