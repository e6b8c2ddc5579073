// Animated texture ranges and their preview stepping.
#include "animated_textures.h"

#include <algorithm>
#include <cstdlib>

animated_ranges fill_animated_ranges(const std::vector<std::uint16_t>& words) {
    animated_ranges out;
    if (words.empty()) return out;
    const std::size_t n = words[0];
    std::size_t position = 1;
    for (std::size_t r = 0; r < n && position < words.size(); ++r) {
        const std::size_t count = std::size_t(words[position]) + 1;
        const std::size_t first = position + 1;
        const std::size_t end = std::min(first + count, words.size());
        std::vector<std::uint16_t> ids(words.begin() + std::ptrdiff_t(first),
                                       words.begin() + std::ptrdiff_t(end));
        out.anim_counts.push_back(std::uint32_t(ids.size()));
        out.anim_ids.push_back(std::move(ids));
        position += count + 1;
    }
    return out;
}

std::string range_item_text(int r) {
    return "Animated Texture #" + std::to_string(r);
}

std::string texture_item_text(std::uint16_t id) {
    return "Texture ID:" + std::to_string(id);
}

std::string missing_texture_item_text(std::uint16_t id) {
    return texture_item_text(id) + " (not in this level)";
}

std::vector<std::string> texture_list_items(const animated_ranges& ranges, int r, int texture_count) {
    std::vector<std::string> items;
    if (r < 1 || std::size_t(r) > ranges.size()) return items;
    for (const std::uint16_t id : ranges.anim_ids[std::size_t(r - 1)])
        items.push_back(int(id) < texture_count ? texture_item_text(id) : missing_texture_item_text(id));
    return items;
}

std::optional<int> texture_id_from_item(const std::string& text) {
    const auto colon = text.find(':');
    if (colon == std::string::npos) return std::nullopt;
    const std::string digits = text.substr(colon + 1);
    if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::atoi(digits.c_str());
}

void animated_preview::select_range(int r) {
    range_ = r;
    anim_frame = 1;
}

std::optional<std::uint16_t> animated_preview::tick() {
    if (range_ < 1 || std::size_t(range_) > ranges_->size()) return std::nullopt;
    const auto& ids = ranges_->anim_ids[std::size_t(range_ - 1)];
    if (ids.empty()) return std::nullopt;
    if (anim_frame < 1 || std::size_t(anim_frame) > ids.size()) anim_frame = 1;
    const std::uint16_t t = ids[std::size_t(anim_frame - 1)];
    if (++anim_frame > int(ranges_->anim_counts[std::size_t(range_ - 1)])) anim_frame = 1;
    return t;
}

QImage animated_frame_bitmap(const texture_table& table, int t) {
    if (!table.level || t < 0 || t >= table.texture_count ||
        std::size_t(t) >= table.level->object_textures.size()) {
        QImage solid(4, 4, QImage::Format_RGB16);
        solid.fill(Qt::white);
        return solid;
    }
    const tobject_texture& texture = table.level->object_textures[std::size_t(t)];
    return copy_page_rect(table.pages_bitmap, texture_page(texture), hit_rect(texture));
}
