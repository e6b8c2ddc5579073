// The edit objects pushed on the document's history. Each holds the state before and after its
// change; undo and redo put one or the other back, so they are exact inverses.
#pragma once

#include "texture_table.h"
#include "tr_level.h"

#include <QUndoCommand>
#include <cstdint>
#include <vector>

// The object textures and the texture table (attribute, flips, a new texture).
struct object_texture_state {
    std::vector<tobject_texture> textures;
    std::uint32_t count = 0;
    texture_table table;

    static object_texture_state capture(const tr_level& level, const texture_table& table);
    void restore(tr_level& level, texture_table& table) const;
};

// Everything a bitmap import can change: the pages in every form, the page counts, the object
// textures and the display copy.
struct texture_pixel_state {
    std::vector<std::uint8_t> pages8, pages16, pages32;
    std::uint32_t num_pages = 0, pages8_size = 0;
    std::uint16_t num_room_pages = 0, num_object_pages = 0;
    std::vector<rec<16>> sprite_textures; // their pages move with added pages
    object_texture_state textures;

    static texture_pixel_state capture(const tr_level& level, const texture_table& table);
    void restore(tr_level& level, texture_table& table) const;
};

// An edit whose change has already been made when it is pushed: the first redo does nothing,
// later ones put the after-state back.
template <class State> class state_edit final : public QUndoCommand {
  public:
    state_edit(tr_level& level, texture_table& table, State before, State after, const QString& text)
        : QUndoCommand(text), level_(level), table_(table), before_(std::move(before)),
          after_(std::move(after)) {}
    void redo() override {
        if (done_once_) after_.restore(level_, table_);
        done_once_ = true;
    }
    void undo() override { before_.restore(level_, table_); }

  private:
    tr_level& level_;
    texture_table& table_;
    State before_, after_;
    bool done_once_ = false;
};

using object_texture_edit = state_edit<object_texture_state>;
using texture_pixel_edit = state_edit<texture_pixel_state>;
