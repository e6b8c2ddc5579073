// The vellum-cli manual page, made from the text `vellum-cli help` prints so the two cannot drift.
#pragma once

#include <string>

// Turns the help text (usage line, "commands:" with two-space-indented commands and deeper-indented
// sub-commands, "exit status:" with one status per line) into a troff man(7) page. A section the
// converter does not know is kept as a paragraph under its own heading.
std::string man_page_from_help(const std::string& help, const std::string& version);
