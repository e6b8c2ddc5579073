// Subcommand registry of vellum-cli, the exit statuses every command shares, and the level loading
// the commands have in common.
#pragma once

#include <string>
#include <vector>

class tr_level;
class mesh_list;

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

// Exit statuses (listed by `vellum-cli help` and the README). 1 to 3 are the reader's result codes.
enum cli_exit : int {
    exit_ok = 0,
    exit_missing_file = 1, // the level does not exist, is a folder or cannot be read
    exit_not_a_level = 2,  // the first word is not a known version word
    exit_corrupt = 3,   // corrupt or truncated level (also damaged mesh data, or more memory than there is)
    exit_different = 4, // check: the re-saved level differs from the file
    exit_write_failed = 5, // an output file could not be written (the system's reason is shown);
                           // edit also gives 5 when a command cannot apply (no such mesh ...)
    exit_usage = 64,       // bad arguments, or a number naming something the level does not have
    exit_bad_input = 65,   // an input is refused (a bitmap of the wrong size, a level without pages)
    exit_no_display = 69,  // render: no display and no xvfb-run
    exit_internal = 70,    // an unexpected internal error
};

// Reads a level for a command. On failure prints "vellum-cli: " and the reader's message and returns
// its exit status (1 to 3); returns exit_ok on success. With `meshes` the mesh data is also parsed, as
// the editor does on opening, so a level the editor cannot open is reported as corrupt.
int load_level(tr_level& level, const std::string& path, mesh_list* meshes = nullptr);
