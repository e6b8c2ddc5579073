// Large levels made from real ones by repeating their pages.
#include "big_level.h"

#include "level_stream.h"

#include <algorithm>
#include <cstring>
#include <zlib.h>

void repeat_pages(tr_level& level, std::uint32_t total) {
    const std::uint32_t old = level.new_page_index(); // pages before the bump-map pages
    if (total <= level.num_pages || old == 0) return;
    level.add_texture_pages(total - level.num_pages);
    const std::uint32_t end = level.new_page_index();
    for (std::uint32_t p = old; p < end; ++p) {
        const std::uint32_t from = p % old;
        std::memcpy(&level.pages16[std::size_t(p) * 131072], &level.pages16[std::size_t(from) * 131072],
                    131072);
        std::memcpy(&level.pages32[std::size_t(p) * 262144], &level.pages32[std::size_t(from) * 262144],
                    262144);
    }
}

namespace {

std::vector<std::uint8_t> repeated(const std::vector<std::uint8_t>& pages, std::size_t page_bytes,
                                   std::uint32_t total) {
    std::vector<std::uint8_t> out(std::size_t(total) * page_bytes);
    for (std::size_t at = 0; at < out.size(); at += pages.size())
        std::memcpy(&out[at], pages.data(), std::min(pages.size(), out.size() - at));
    return out;
}

void put_block(std::vector<std::uint8_t>& file, const std::vector<std::uint8_t>& plain) {
    uLongf packed = compressBound(uLong(plain.size()));
    std::vector<std::uint8_t> block(packed);
    compress2(block.data(), &packed, plain.data(), uLong(plain.size()), 1);
    std::uint8_t sizes[8];
    put_u32(sizes, std::uint32_t(plain.size()));
    put_u32(sizes + 4, std::uint32_t(packed));
    file.insert(file.end(), sizes, sizes + 8);
    file.insert(file.end(), block.begin(), block.begin() + std::ptrdiff_t(packed));
}

} // namespace

std::vector<std::uint8_t> repeat_pages_in_file(const std::vector<std::uint8_t>& in, std::uint32_t total) {
    if (in.size() < 18) return {};
    const std::uint32_t room = get_u16(&in[4]), object = get_u16(&in[6]), bump = get_u16(&in[8]);
    if (bump != 0 || room + object == 0 || total <= room + object) return {};
    std::size_t at = 10;
    std::vector<std::uint8_t> plain[2];
    for (auto& block : plain) {
        if (in.size() - at < 8 || in.size() - at - 8 < get_u32(&in[at + 4])) return {};
        block = inflate_block(&in[at + 8], get_u32(&in[at + 4]), get_u32(&in[at]));
        at += 8 + get_u32(&in[at + 4]);
    }
    std::vector<std::uint8_t> out(in.begin(), in.begin() + 10);
    put_u16(&out[object ? 6 : 4], std::uint16_t(total - (object ? room : 0)));
    put_block(out, repeated(plain[0], 262144, total));
    put_block(out, repeated(plain[1], 131072, total));
    out.insert(out.end(), in.begin() + std::ptrdiff_t(at), in.end());
    return out;
}
