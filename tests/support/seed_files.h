// Writing made-up files into a folder, for the programs that make test inputs at build or fuzz time
// (the fuzz seed corpus, the damaged levels of the command-line tests).
#pragma once

#include "level_builder.h"

#include <filesystem>
#include <optional>
#include <string>

namespace test_levels {

// The output folder named by the only argument, created when missing; nothing (with the usage or
// the reason printed) when it is not given or cannot be created.
std::optional<std::filesystem::path> output_folder(int argc, char** argv);
// Writes `prefix` and then `data` to dir/name; false when the file could not be written.
bool write_file(const std::filesystem::path& dir, const std::string& name, const bytes& data,
                const std::string& prefix = {});
// A TR4 level whose compressed blocks all claim 4 GiB of plain data; their streams are sound.
bytes with_lying_plain_sizes(const built_level& tr4);

} // namespace test_levels
