// Reading the selection buffer of a selection pass: which hit wins.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr std::size_t select_buffer_size = 128;

// The name of the hit whose minimum depth has the smallest upper 16 bits (the earlier hit on
// equal values); 0 when there is none. A negative hit count (buffer overflow) counts as no hit;
// records are read only as far as the buffer holds them; hits with name 0 (box edges, which
// carry no element) are ignored.
std::uint32_t choose_hit(const std::uint32_t* buffer, std::size_t size, int hits);
