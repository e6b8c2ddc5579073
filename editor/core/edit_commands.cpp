// Capturing and restoring the state the edit objects swap.
#include "edit_commands.h"

object_texture_state object_texture_state::capture(const tr_level& level, const texture_table& table) {
    return {level.object_textures, level.num_object_textures, table};
}

void object_texture_state::restore(tr_level& level, texture_table& table) const {
    level.object_textures = textures;
    level.num_object_textures = count;
    tr_level* const owner = table.level;
    table = this->table;
    table.level = owner;    // the table stays bound to the document's level
    table.piece_index = -1; // the cached piece may show a texture as it was
}

texture_pixel_state texture_pixel_state::capture(const tr_level& level, const texture_table& table) {
    return {level.pages8,           level.pages16,         level.pages32,
            level.num_pages,        level.pages8_size,     level.num_room_pages,
            level.num_object_pages, level.sprite_textures, object_texture_state::capture(level, table)};
}

void texture_pixel_state::restore(tr_level& level, texture_table& table) const {
    level.pages8 = pages8;
    level.pages16 = pages16;
    level.pages32 = pages32;
    level.num_pages = num_pages;
    level.pages8_size = pages8_size;
    level.num_room_pages = num_room_pages;
    level.num_object_pages = num_object_pages;
    level.sprite_textures = sprite_textures;
    textures.restore(level, table);
}
