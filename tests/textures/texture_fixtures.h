// Levels and object textures made in code for the texture tests.
#pragma once

#include "pixels.h"
#include "tr_level.h"

#include <random>

namespace texture_fixtures {

// A loaded level of `version` with `pages` pages of random pixels in every buffer it has, and a
// random palette8 (channels 0..63).
inline tr_level make_level(int version, int pages, unsigned seed = 1) {
    tr_level level;
    level.signature = loaded_signature;
    level.game_version = version;
    for (int p = 0; p < pages; ++p)
        level.add_texture_page();
    std::mt19937 random(seed);
    for (auto& b : level.pages8)
        b = std::uint8_t(random());
    for (auto& b : level.pages16)
        b = std::uint8_t(random());
    for (auto& b : level.pages32)
        b = std::uint8_t(random());
    for (auto& b : level.palette8)
        b = std::uint8_t(random() % 64);
    return level;
}

// A four-corner texture covering (left, top)-(right, bottom) of `page`, unmirrored.
inline tobject_texture make_texture(int page, int left, int top, int right, int bottom) {
    tobject_texture t;
    t.page = std::uint16_t(page);
    auto c = [](int xf, int x, int yf, int y) {
        return tobject_texture::corner{std::uint8_t(xf), std::uint8_t(x), std::uint8_t(yf), std::uint8_t(y)};
    };
    t.corners = {c(1, left, 1, top), c(255, right, 1, top), c(255, right, 255, bottom),
                 c(1, left, 255, bottom)};
    return t;
}

inline std::uint16_t page16_at(const tr_level& level, std::size_t page, int x, int y) {
    return get_u16(&level.pages16[page * page16_bytes + 2 * (std::size_t(y) * 256 + std::size_t(x))]);
}

} // namespace texture_fixtures
