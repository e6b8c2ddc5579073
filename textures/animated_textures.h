// Animated texture ranges: the ranges read from the level's animated_textures words, the list
// texts, and the frame stepping of the looping preview.
#pragma once

#include "texture_table.h"

#include <QImage>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The ranges of object-texture indices, in file order. Every range and every index the words hold
// is kept: the lists grow past the game's 100 ranges of 99 textures rather than drop anything.
struct animated_ranges {
    std::vector<std::uint32_t> anim_counts;
    std::vector<std::vector<std::uint16_t>> anim_ids;
    std::size_t size() const { return anim_counts.size(); }
};

// Fill: word 0 is the number of ranges; each range is its count minus one and its indices.
// Words past the end of the data end the list (a range cut short keeps the indices that are there).
animated_ranges fill_animated_ranges(const std::vector<std::uint16_t>& words);

std::string range_item_text(int r);              // "Animated Texture #" and r (1-based)
std::string texture_item_text(std::uint16_t id); // "Texture ID:" and the index
// The item of an index the level has no object texture for: marked, and not selectable (the
// number is not the whole text after the ":").
std::string missing_texture_item_text(std::uint16_t id); // "Texture ID:700 (not in this level)"
// Range list click: the texture list of range r (1-based), one item per index in file order;
// indices at or past `texture_count` are listed with the missing mark.
std::vector<std::string> texture_list_items(const animated_ranges& ranges, int r, int texture_count);
// The object-texture index of a texture list item: the number after its first ":".
std::optional<int> texture_id_from_item(const std::string& text);

// Frame stepping of the preview: anim_frame is the 1-based position shown next.
class animated_preview {
  public:
    explicit animated_preview(const animated_ranges& ranges) : ranges_(&ranges) {}
    // Range list click: r is 1-based; the preview restarts at the range's first texture.
    void select_range(int r);
    int selected_range() const { return range_; }
    // Timer tick: the texture to show now, then the frame advances and wraps to 1. Nothing when
    // no range is selected or the range is empty.
    std::optional<std::uint16_t> tick();

    int anim_frame = 1;

  private:
    const animated_ranges* ranges_;
    int range_ = 0;
};

// The preview picture of object texture t: its hit rectangle cut from pages_bitmap, unmirrored.
// An index the table does not have gives the 4 x 4 solid bitmap of missing textures.
QImage animated_frame_bitmap(const texture_table& table, int t);
