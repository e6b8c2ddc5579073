// Selection buffer reading.
#include "picking.h"

std::uint32_t choose_hit(const std::uint32_t* buffer, std::size_t size, int hits) {
    std::uint32_t best_name = 0;
    std::uint32_t best_depth = 0;
    bool found = false;
    std::size_t at = 0;
    for (int h = 0; h < hits; ++h) {
        if (at + 3 > size) break;
        const std::uint32_t names = buffer[at];
        const std::uint32_t zmin = buffer[at + 1];
        if (names > size || at + 3 + names > size) break;
        if (names > 0) {
            const std::uint32_t name = buffer[at + 3 + names - 1]; // top of the name stack
            const std::uint32_t depth = zmin >> 16;
            if (name != 0 && (!found || depth < best_depth)) {
                best_name = name;
                best_depth = depth;
                found = true;
            }
        }
        at += 3 + names;
    }
    return best_name;
}
