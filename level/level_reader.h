// Reads a level file of any of the seven game versions into tr_level.
#pragma once

#include "tr_level.h"

#include <string>

// Result codes of read_level.
enum : std::uint8_t {
    read_ok = 0,
    read_missing_file = 1,
    read_not_a_level = 2,
    read_corrupt = 3, // a section runs past the data, or counts exceed what the file holds
};

// The most texture pages a TR4/TRC file can hold (room, object and bump pages together): its 32-bit
// page block stores its plain size in 32 bits, 262144 bytes a page. Builder-made levels hold a few
// hundred. What a file may make the reader allocate is bounded by what it holds, not by this: a page
// block must be large enough to inflate to its pages (deflate expands at most 1032 times) and must
// inflate to exactly them.
inline constexpr std::uint32_t max_texture_pages = 0xFFFFFFFFu / 262144; // 16383
// The most extra 32-bit pages (font and sky: two or three in real levels).
inline constexpr std::uint32_t max_extra_pages = 16;
// The most a deflate stream can expand: 258 bytes for two bits.
inline constexpr std::size_t max_deflate_ratio = 1032;

// Decides the game code from the first word and the file name (case-sensitive substrings);
// 0 when the word is not a version word.
std::int32_t game_version_for(std::uint32_t version_word, const std::string& file_name);

// Why `file_name` cannot be read as a level ("does not exist", "is a folder" ...), or "" for a
// regular file.
std::string unreadable_level_path(const std::string& file_name);

struct read_options {
    // TR4/TRC: inflate the independent compressed blocks side by side (the level read is the same).
    bool parallel_inflate = true;
};

// Reads `file_name` into `level`. The level is only replaced when the read succeeds; on any
// failure it is left as it was. `error` (optional) receives a message fit to show the user.
// zlib and file-system failures are reported as read_corrupt with their message too.
std::uint8_t read_level(tr_level& level, const std::string& file_name, std::string* error = nullptr,
                        const read_options& options = {});

// Starts reading `file_name` on a worker thread, so that the read runs beside other start-up work.
// The next read_level of the same name takes that result instead of reading again, provided the
// file's size and modification time are still those seen when the read began.
void prefetch_level(const std::string& file_name);
// Drops a prefetched read that was not taken (waiting for it to finish).
void discard_prefetched_level();

// The same from bytes already in memory (`file_name` still decides the version and the layout).
std::uint8_t read_level_memory(tr_level& level, std::vector<std::uint8_t> data, const std::string& file_name,
                               std::string* error = nullptr, const read_options& options = {});
