// Test-only snapshot of a whole tr_level as bytes, so tests can check that an operation left a level
// exactly as it was (or that two levels hold the same data).
#pragma once

#include "tr_level.h"

#include <cstdint>
#include <vector>

namespace test_levels {

// Every field of the level and of its rooms, in declaration order; `progress` is left out.
std::vector<std::uint8_t> level_snapshot(const tr_level& level);

} // namespace test_levels
