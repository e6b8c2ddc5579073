// Writes tr_level back into a level file in the layout of its game version.
#pragma once

#include "tr_level.h"

#include <cstdint>
#include <string>
#include <vector>

// Result codes of write_level.
enum : std::uint8_t {
    write_ok = 0,
    write_not_loaded = 1, // no level loaded: no file is created or changed
};

// The game code a level gets when saved under `file_name`. The layout it was read with is kept
// (a TR1 file with its palette in the Gold position stays so) unless the name selects a different
// code than the level's own file name did: saving to ".tub" from ".phd" gives TR1 Gold, from ".tub"
// to ".phd" TR1, and likewise ".trg" for TR2 Gold. TR3, TR4 and TRC keep their code.
std::int32_t game_version_for_target(const tr_level& level, const std::string& file_name);

// Where a section of the written file starts; filled when write_options::sections is set.
struct section_mark {
    std::string name;
    std::uint64_t offset = 0;   // in the file, or in the inflated level data when in_level_data
    bool in_level_data = false; // TR4: the offset is inside the (inflated) level-data block
};

struct write_options {
    // Compress the independent blocks (three page blocks, TR4 level data) on worker threads. The
    // bytes are exactly those of sequential compression; false compresses one block after another.
    bool parallel_compression = true;
    // Receives the section starts of the written file, in file order (for naming differences).
    std::vector<section_mark>* sections = nullptr;
};

// Builds the complete file bytes for `target_name` (whose name decides the layout) without
// touching the disk. Throws level_error when the level is not loaded, when an array holds fewer
// records than its count, or on a zlib failure; the level is then unchanged. On success the
// fields the writer recomputes are updated (game_version, num_data_words, TRC trc_words3[3], the
// page-block sizes and packed sizes).
std::vector<std::uint8_t> write_level_memory(tr_level& level, const std::string& target_name,
                                             const write_options& options = {});

// Writes the level to `file_name` through a temporary file renamed over the target only on
// success; on failure the target is left as it was and level_error carries the reason (the level
// is then unchanged too). Returns write_not_loaded, touching no file, when no level is loaded.
std::uint8_t write_level(tr_level& level, const std::string& file_name, const write_options& options = {});

// Section name at a byte offset of a written file, from the marks of write_options::sections
// (the last section starting at or before the offset); "" when none.
std::string section_at(const std::vector<section_mark>& marks, std::uint64_t offset,
                       bool in_level_data = false);
