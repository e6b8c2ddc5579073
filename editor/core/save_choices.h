// What the save choosers offer: the file name each command suggests, the bitmap filter, and the
// extension a typed name gets when it has none.
#pragma once

#include "user_message.h"

#include <cstdint>
#include <string>

inline user_message bitmap_file_filter() {
    return joined({say(msg::bitmap_filter), " (*.bmp)"});
}

// Export BigBMP: the tree root's text up to its first blank, then " Textures" ("level1.phd (TR 1)"
// gives "level1.phd Textures"); a text without a blank gives just "Textures".
std::string big_bmp_suggestion(const std::string& root_text);
// Export All: the selected tree item's text cut before its first "/" or, when it has none, before
// its first "?", without trailing blanks.
std::string export_all_suggestion(const std::string& item_text);
// `path` with `extension` (".bmp", ".tr4") appended when its file name has no extension (text after
// the last dot that holds a blank is part of the name); "" stays "" (a cancelled chooser).
std::string with_extension_if_none(const std::string& path, const std::string& extension);
// The extension of a level's file name (".tr4"; ".tr2" for "x.trg.tr2"), "" when it has none.
std::string extension_of(const std::string& path);
// Save As under a level extension of another game (".phd" for a TR4 level) would write data that
// game cannot load: `path` with the level's own extension instead (that of `level_path` when it
// fits `game_version`), or "" when `path` already fits (its game's extension, no level extension
// at all, or ".phd" and ".tub", which both hold TR1 and TR1 Gold).
std::string own_extension_instead(const std::string& path, const std::string& level_path,
                                  std::int32_t game_version);
