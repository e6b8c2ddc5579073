// The edit objects pushed on the document's history. Each holds the state before and after its
// change; undo and redo put one or the other back, so they are exact inverses.
#pragma once

#include "texture_table.h"
#include "tr_level.h"

#include <QImage>
#include <QUndoCommand>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The object textures and the texture table (attribute, flips, a new texture).
struct object_texture_state {
    std::vector<tobject_texture> textures;
    std::uint32_t count = 0;
    texture_table table;

    static object_texture_state capture(const tr_level& level, const texture_table& table);
    void restore(tr_level& level, texture_table& table) const;
};

// Bytes kept as 64 KiB pieces that history steps share. A step whose import changed one texture
// page holds copies of that page's pieces only; the rest are the pieces of the state before it, so
// a long history of imports on a level of many pages does not hold a copy of every page per step.
class shared_pieces {
  public:
    shared_pieces() = default;
    // Pieces of `like` whose bytes are the same are shared instead of copied.
    shared_pieces(const std::uint8_t* data, std::size_t size, const shared_pieces* like);

    std::size_t size() const { return size_; }
    void copy_to(std::uint8_t* out) const;
    std::vector<std::uint8_t> bytes() const;
    // The bytes held in pieces that `other` does not share.
    std::size_t bytes_apart_from(const shared_pieces& other) const;

  private:
    static constexpr std::size_t piece_size = 65536;
    std::vector<std::shared_ptr<const std::vector<std::uint8_t>>> pieces_;
    std::size_t size_ = 0;
};

// Everything a bitmap import can change: the pages in every form, the page counts, the object
// textures and the display copy.
struct texture_pixel_state {
    shared_pieces pages8, pages16, pages32;
    std::uint32_t num_pages = 0, pages8_size = 0;
    std::uint16_t num_room_pages = 0, num_object_pages = 0;
    std::vector<rec<16>> sprite_textures; // their pages move with added pages
    std::vector<tobject_texture> textures;
    std::uint32_t num_object_textures = 0;
    // The table: its display copy of the pages, and what else it keeps.
    shared_pieces display;
    int display_width = 0, display_height = 0;
    QImage::Format display_format = QImage::Format_Invalid;
    std::string valid_mark;
    std::int32_t texture_count = 0;

    // `like`: an earlier capture (of this level) whose unchanged pages are shared.
    static texture_pixel_state capture(const tr_level& level, const texture_table& table,
                                       const texture_pixel_state* like = nullptr);
    void restore(tr_level& level, texture_table& table) const;
    // The page bytes held here and not shared with `other`.
    std::size_t bytes_apart_from(const texture_pixel_state& other) const;
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
    const State& before() const { return before_; }
    const State& after() const { return after_; }

  private:
    tr_level& level_;
    texture_table& table_;
    State before_, after_;
    bool done_once_ = false;
};

using object_texture_edit = state_edit<object_texture_state>;
using texture_pixel_edit = state_edit<texture_pixel_state>;
