// Round-trip checks of the level writer: re-saving a level read from a file and comparing the
// result with the original (TR1-TR3 byte for byte, TR4 with every compressed block inflated, TRC
// by the re-read level and a second save). Shared by the tests and `vellum-cli check`.
#pragma once

#include "level_writer.h"
#include "mesh_list.h"
#include "tr_level.h"

#include <cstdint>
#include <string>
#include <vector>

enum class compare_outcome {
    identical,    // the same bytes
    same_content, // TR4: the same after inflating every block; TRC: the same level read back
    different,
};

struct compare_result {
    compare_outcome outcome = compare_outcome::identical;
    // "identical", "same content", or the first difference with its offset and section name.
    std::string message = "identical";
    bool equal() const { return outcome != compare_outcome::different; }
};

// Compares an original file with its re-saved bytes. TR1-TR3 (game < 6): byte for byte. TR4: the
// version word, page counts, every compressed block inflated, and the samples. `marks` are the
// sections of the re-saved file (write_options::sections) and name the section of a difference.
compare_result compare_level_files(const std::vector<std::uint8_t>& original,
                                   const std::vector<std::uint8_t>& resaved, std::int32_t game_version,
                                   const std::vector<section_mark>& marks);

// Compares two levels section by section; returns "" when they hold the same, otherwise a
// description of the first difference naming its section. With `trc_rooms` the rooms are compared
// as a TRC re-save keeps them: the merged geometry (vertex positions, rectangles and triangles with
// their flags), the other room arrays and fields, but not the layer form, the block offsets and
// sizes that the writer recomputes, or the separator at the end of the level data.
std::string compare_levels(const tr_level& a, const tr_level& b, bool trc_rooms = false);

// The save pipeline of the editor: builds the mesh list, rebuilds the mesh words and mesh pointers
// from it, and writes the level to memory in the layout game_version_for_target gives for
// `target_name`. Throws level_error.
std::vector<std::uint8_t> resave_level_memory(tr_level& level, const std::string& target_name,
                                              const write_options& options = {});

struct roundtrip_result {
    std::uint8_t read_code = 0; // the reader's result code (read_ok, read_missing_file, ...)
    std::string error;          // read or save failure message
    compare_result compare;     // meaningful when read_code is read_ok and error is empty
};

// Reads a level (from a file, or from bytes standing for a file of that name), builds its mesh
// list, rebuilds the mesh words, writes it to memory and compares: TR1-TR3 byte for byte with the
// file's (unwrapped) bytes, TR4 with every compressed block inflated, TRC by reading the re-saved
// bytes back (same merged room geometry, same other sections) and saving that again (identical
// bytes).
roundtrip_result check_roundtrip(const std::string& path);
roundtrip_result check_roundtrip_memory(std::vector<std::uint8_t> file, const std::string& name);
