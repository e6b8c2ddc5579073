// `vellum-cli edit`: the editor's commands run in order on one level in memory, saved once.
// Adding a command takes one function of type edit_step and one entry in the table of
// edit_cli.cpp.
#pragma once

#include "mesh_list.h"
#include "tr_level.h"
#include "user_message.h"

#include <QUndoStack>
#include <stdexcept>
#include <string>
#include <vector>

// Exit statuses of `edit`.
inline constexpr int edit_exit_cannot_apply = 5; // a command cannot apply; nothing is written
inline constexpr int edit_exit_usage = 64;

// What a command works on. Commands push their changes on `history` like the editor does.
struct edit_session {
    tr_level& level;
    mesh_list& meshes;
    QUndoStack& history;
};

// Raised by a command to stop the whole edit with `status` and the message.
class edit_failure : public std::runtime_error {
  public:
    edit_failure(int status, const std::string& message) : std::runtime_error(message), status(status) {}
    int status;
};
[[noreturn]] void bad_arguments(const std::string& message);
[[noreturn]] void cannot_apply(const std::string& message);
[[noreturn]] void cannot_apply(const user_message& message); // in English (US)

// One command: applies itself to the session and returns a line saying what it did; raises
// edit_failure when it cannot apply. `args` are its own arguments, already counted.
using edit_step = std::string (*)(edit_session& session, const std::vector<std::string>& args);

struct edit_command {
    const char* name;
    const char* arguments; // shown by `vellum-cli help`
    std::size_t min_args, max_args;
    edit_step run;
    const char* summary;
};

// Argument readers for commands. A decimal number from `low` to `high`; other text is a usage
// error naming `what`.
long number_arg(const std::string& text, const char* what, long low, long high);
// A mesh number of the level ("Mesh # m" of the status bar); a mesh the level lacks cannot apply.
int mesh_arg(const edit_session& session, const std::string& text);
// An object texture the level has.
int texture_arg(const edit_session& session, const std::string& text);
