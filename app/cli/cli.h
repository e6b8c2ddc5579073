// Subcommand registry of vellum-cli: each command file registers one or more commands.
#pragma once

#include <string>
#include <vector>

struct cli_command {
    const char* name;
    const char* usage; // shown by `vellum-cli help`
    // args excludes the program and command names. Returns the process exit status.
    int (*run)(const std::vector<std::string>& args);
};

std::vector<cli_command>& cli_commands();

struct cli_register {
    explicit cli_register(cli_command c) { cli_commands().push_back(c); }
};
