// The sample-level maker: small, valid levels of all seven game versions built from code, with
// rooms, moveables, static meshes, drawn texture pages and animated textures.
#pragma once

#include "tr_level.h"

#include <cstdint>
#include <string>
#include <vector>

// Game codes 1 to 7, in order.
std::vector<std::int32_t> sample_game_versions();

// File name of the sample of a game code: sample_tr1.phd, sample_tr1gold.tub, sample_tr2.tr2,
// sample_tr2gold.trg.tr2, sample_tr3.tr2, sample_tr4.tr4, sample_trc.trc.
std::string sample_file_name(std::int32_t game_version);

// Builds the sample level of a game code (1..7) in memory, loaded and ready to be written.
tr_level make_sample_level(std::int32_t game_version);

// Writes every sample level into `directory` (which must exist); returns the paths written.
// Throws level_error when a file cannot be written.
std::vector<std::string> write_sample_levels(const std::string& directory);
