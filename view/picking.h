// Reading the selection buffer of a selection pass: which hit wins, and what the winning name
// designates.
#pragma once

#include "mesh_view.h"

#include <cstddef>
#include <cstdint>
#include <optional>

inline constexpr std::size_t select_buffer_size = 128;

// The name of the hit whose minimum depth has the smallest upper 16 bits (the earlier hit on
// equal values); 0 when there is none. A negative hit count (buffer overflow) counts as no hit;
// records are read only as far as the buffer holds them; hits with name 0 (box edges, which
// carry no element) are ignored.
std::uint32_t choose_hit(const std::uint32_t* buffer, std::size_t size, int hits);

// A picked element: the mesh and the face code (a vertex number in points mode).
struct picked_name {
    int mesh = -1;
    std::uint16_t code = 0;

    // The face the code designates (kind and index within its list).
    decoded_name face() const { return decode_name(selection_name(mesh, code)); }
    bool operator==(const picked_name&) const = default;

    // Nothing for name 0 (no hit).
    static std::optional<picked_name> from(std::uint32_t name) {
        if (name == 0) return std::nullopt;
        const auto d = decode_name(name);
        return picked_name{d.mesh, d.code};
    }
};
