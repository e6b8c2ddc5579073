// The moveable-name catalogue (trcatalog.xml): names by object id for one game, matched line by
// line in the catalogue's fixed line forms.
#pragma once

#include "user_message.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr std::size_t catalogue_size = 465; // ids 0 to 464, the largest any game defines (TR4)
using catalogue_names = std::array<std::string, catalogue_size>;

// Names for `game_version`; every id without an entry (and every id when the file is missing or
// lacks the game's section) reads "Unknown". `found` tells whether the file could be read.
catalogue_names read_catalogue(const std::string& path, std::int32_t game_version, bool* found = nullptr);

// The largest moveable id of the TRC list; files made by builders that write TR4 objects into the
// TRC layout use TR4's ids above it.
inline constexpr std::uint32_t last_trc_moveable_id = 459;

// The game whose list names a level's moveables: its own, except that a TRC file with a moveable
// id above the TRC list's last is named from the TR4 list.
std::int32_t catalogue_game(std::int32_t game_version, const std::vector<std::uint32_t>& object_ids);

// The hint-panel text that says a level is named from another game's list (empty when it is not).
user_message catalogue_list_note(std::int32_t game_version, std::int32_t list_game);

// The tree label of a moveable: its catalogue name, or "Unknown" for ids outside the table.
const std::string& moveable_name(const catalogue_names& names, std::uint32_t object_id);
