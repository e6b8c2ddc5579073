// Large levels made from real ones: builder-made TR4 levels hold hundreds of texture pages.
#pragma once

#include "tr_level.h"

#include <cstdint>
#include <vector>

// Grows a TR4/TRC level to `total` texture pages by repeating its pages in order (page n of the
// grown level shows page n mod the old count), as Import Texture Pages would add them: before the
// bump-map pages, counted with the object pages (room pages when there are none).
void repeat_pages(tr_level& level, std::uint32_t total);

// The same on the bytes of a TR4 file without bump-map pages, without the level writer: the page
// blocks are inflated, repeated and deflated again at zlib's fastest level, the rest is copied.
// Returns the grown file; empty when the file is not such a level.
std::vector<std::uint8_t> repeat_pages_in_file(const std::vector<std::uint8_t>& tr4_file,
                                               std::uint32_t total);
