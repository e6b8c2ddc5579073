// Writes Ttrlevel back into a level file in the layout of its game version.
#pragma once

#include "trlevel.h"

#include <string>
#include <vector>

// Result codes of write_level.
enum : std::uint8_t {
    write_ok = 0,
    write_not_loaded = 1, // no level loaded: no file is created or changed
};

// The game code a level gets when saved under `file_name` (Gold layouts follow the name).
std::int32_t game_version_for_target(const Ttrlevel& level, const std::string& file_name);

// Builds the complete file bytes for `target_name` (whose name decides the layout) without
// touching the disk. Throws level_error on a zlib failure. The level must be loaded.
std::vector<std::uint8_t> write_level_memory(Ttrlevel& level, const std::string& target_name);

// Writes the level to `file_name` through a temporary file renamed over the target only on
// success; on failure the target is left as it was and level_error carries the reason.
std::uint8_t write_level(Ttrlevel& level, const std::string& file_name);
