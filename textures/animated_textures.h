// Animated texture ranges: the ranges read from the level's animated_textures words, the list
// texts, and the frame stepping of the looping preview.
#pragma once

#include "texture_table.h"

#include <QImage>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

inline constexpr std::size_t anim_max_ranges = 100;
inline constexpr std::size_t anim_max_textures = 99;

// Up to 100 ranges of up to 99 object-texture indices each, in file order.
struct animated_ranges {
    std::vector<std::uint8_t> anim_counts;
    std::vector<std::vector<std::uint16_t>> anim_ids;
    std::size_t size() const { return anim_counts.size(); }
};

// Fill: word 0 is the number of ranges; each range is its count minus one and its indices.
// Ranges and entries beyond the capacity are not kept; words past the end of the data end the
// list (a range cut short keeps the indices that are there).
animated_ranges fill_animated_ranges(const std::vector<std::uint16_t>& words);

std::string range_item_text(int r);              // "Animated Texture #" and r (1-based)
std::string texture_item_text(std::uint16_t id); // "Texture ID:" and the index
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
// An index the table does not have gives a null image.
QImage animated_frame_bitmap(const Ttabla_textures& table, int t);
