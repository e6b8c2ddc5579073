// The moveable-name catalogue (trcatalog.xml): names by object id for one game, matched line by
// line in the catalogue's fixed line forms.
#pragma once

#include <array>
#include <cstdint>
#include <string>

inline constexpr std::size_t catalogue_size = 463;
using catalogue_names = std::array<std::string, catalogue_size>;

// Names for `game_version`; every id without an entry (and every id when the file is missing or
// lacks the game's section) reads "Unknown". `found` tells whether the file could be read.
catalogue_names read_catalogue(const std::string& path, std::int32_t game_version, bool* found = nullptr);

// The tree label of a moveable: its catalogue name, or "Unknown" for ids outside the table.
const std::string& moveable_name(const catalogue_names& names, std::uint32_t object_id);
