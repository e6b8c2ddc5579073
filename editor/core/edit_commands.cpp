// Capturing and restoring the state the edit objects swap.
#include "edit_commands.h"

#include <algorithm>

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

shared_pieces::shared_pieces(const std::uint8_t* data, std::size_t size, const shared_pieces* like)
    : size_(size) {
    pieces_.reserve((size + piece_size - 1) / piece_size);
    for (std::size_t at = 0, i = 0; at < size; at += piece_size, ++i) {
        const std::size_t n = std::min(piece_size, size - at);
        if (like && i < like->pieces_.size()) {
            const auto& theirs = like->pieces_[i];
            if (theirs->size() == n && std::equal(theirs->begin(), theirs->end(), data + at)) {
                pieces_.push_back(theirs);
                continue;
            }
        }
        pieces_.push_back(std::make_shared<const std::vector<std::uint8_t>>(data + at, data + at + n));
    }
}

void shared_pieces::copy_to(std::uint8_t* out) const {
    for (const auto& piece : pieces_)
        out = std::copy(piece->begin(), piece->end(), out);
}

std::vector<std::uint8_t> shared_pieces::bytes() const {
    std::vector<std::uint8_t> out(size_);
    copy_to(out.data());
    return out;
}

std::size_t shared_pieces::bytes_apart_from(const shared_pieces& other) const {
    std::size_t n = 0;
    for (std::size_t i = 0; i < pieces_.size(); ++i)
        if (i >= other.pieces_.size() || pieces_[i] != other.pieces_[i]) n += pieces_[i]->size();
    return n;
}

texture_pixel_state texture_pixel_state::capture(const tr_level& level, const texture_table& table,
                                                 const texture_pixel_state* like) {
    const auto pieces = [&](const std::vector<std::uint8_t>& bytes,
                            const shared_pieces texture_pixel_state::*which) {
        return shared_pieces(bytes.data(), bytes.size(), like ? &(like->*which) : nullptr);
    };
    texture_pixel_state s;
    s.pages8 = pieces(level.pages8, &texture_pixel_state::pages8);
    s.pages16 = pieces(level.pages16, &texture_pixel_state::pages16);
    s.pages32 = pieces(level.pages32, &texture_pixel_state::pages32);
    s.num_pages = level.num_pages;
    s.pages8_size = level.pages8_size;
    s.num_room_pages = level.num_room_pages;
    s.num_object_pages = level.num_object_pages;
    s.sprite_textures = level.sprite_textures;
    s.textures = level.object_textures;
    s.num_object_textures = level.num_object_textures;
    const QImage& shown = table.pages_bitmap;
    if (!shown.isNull()) {
        s.display = shared_pieces(shown.constBits(), std::size_t(shown.sizeInBytes()),
                                  like ? &like->display : nullptr);
        s.display_width = shown.width();
        s.display_height = shown.height();
        s.display_format = shown.format();
    }
    s.valid_mark = table.valid_mark;
    s.texture_count = table.texture_count;
    return s;
}

void texture_pixel_state::restore(tr_level& level, texture_table& table) const {
    level.pages8 = pages8.bytes();
    level.pages16 = pages16.bytes();
    level.pages32 = pages32.bytes();
    level.num_pages = num_pages;
    level.pages8_size = pages8_size;
    level.num_room_pages = num_room_pages;
    level.num_object_pages = num_object_pages;
    level.sprite_textures = sprite_textures;
    level.object_textures = textures;
    level.num_object_textures = num_object_textures;
    // The same size and format lay the picture out as it was captured, line padding included.
    QImage shown;
    if (display_format != QImage::Format_Invalid) {
        shown = QImage(display_width, display_height, display_format);
        if (std::size_t(shown.sizeInBytes()) == display.size()) display.copy_to(shown.bits());
    }
    table.pages_bitmap = shown;
    table.piece_bitmap = QImage(0, 0, QImage::Format_RGB16);
    table.piece_index = -1; // the cached piece may show a texture as it was
    table.valid_mark = valid_mark;
    table.texture_count = texture_count; // the table stays bound to the document's level
}

std::size_t texture_pixel_state::bytes_apart_from(const texture_pixel_state& other) const {
    return pages8.bytes_apart_from(other.pages8) + pages16.bytes_apart_from(other.pages16) +
           pages32.bytes_apart_from(other.pages32) + display.bytes_apart_from(other.display);
}
