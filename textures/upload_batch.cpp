// Upload pixels of all object textures at once: one block, no per-texture images, two threads.
#include "upload_batch.h"

#include "texture_table.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <future>
#include <system_error>

namespace {

struct piece_source {
    texture_rect rect;
    std::size_t first_row = 0; // row of the all-pages display bitmap holding the piece's top
    bool stretch = false;
};

// Blue, green, red, 255 of a display pixel, in memory order.
std::uint32_t upload_word(std::uint16_t v) {
    const rgb8 c = display_to_rgb(v);
    const std::uint8_t bytes[4] = {c.b, c.g, c.r, 255};
    std::uint32_t word;
    std::memcpy(&word, bytes, 4);
    return word;
}

// Writes one texture: display pixels to blue, green, red (and 255), stretched where needed. Each
// source row is converted once; a row that repeats the one above is copied. Three-byte pixels are
// stored four bytes at a time except the last of a row, so nothing is written past the texture.
void fill_piece(const std::uint16_t* pages, std::size_t rows, const piece_source& src,
                const upload_pixels& out, std::uint8_t* dst) {
    const int w = src.rect.width(), h = src.rect.height(), bpp = out.bytes_per_pixel;
    const std::size_t row_bytes = std::size_t(out.width) * std::size_t(bpp);
    std::array<std::uint8_t, 256> column{}; // within the piece
    for (int x = 0; x < out.width; ++x)
        column[std::size_t(x)] = std::uint8_t(src.stretch ? stretch_source(x, w) : x);
    std::array<std::uint32_t, 256> converted;
    std::size_t previous = ~std::size_t(0);
    for (int y = 0; y < out.height; ++y, dst += row_bytes) {
        const std::size_t row = src.first_row + std::size_t(src.stretch ? stretch_source(y, h) : y);
        if (row == previous) {
            std::memcpy(dst, dst - row_bytes, row_bytes);
            continue;
        }
        previous = row;
        if (row < rows) {
            const std::uint16_t* line = pages + row * std::size_t(page_size) + src.rect.left;
            for (int x = 0; x < w; ++x)
                converted[std::size_t(x)] = upload_word(line[x]);
        } else { // a page the level does not have: black
            converted.fill(upload_word(0));
        }
        std::uint8_t* p = dst;
        for (int x = 0; x + 1 < out.width; ++x, p += bpp)
            std::memcpy(p, &converted[column[std::size_t(x)]], 4);
        std::memcpy(p, &converted[column[std::size_t(out.width - 1)]], std::size_t(bpp)); // the row's end
    }
}

// Pages as build_pages_bitmap draws them (16-bit, 256 wide), which prepare_from reads row by row.
bool drawn_pages(const QImage& pages) {
    return pages.format() == QImage::Format_RGB16 && pages.width() == 256;
}

std::shared_ptr<const object_texture_uploads>
prepare_from(const std::vector<tobject_texture>& textures, const QImage& pages, int bits, unsigned workers) {
    auto batch = std::make_shared<object_texture_uploads>();
    const std::size_t count = textures.size();
    if (count == 0) return batch;
    const int bpp = bits == 32 ? 4 : 3;

    // Sizes and places first, so that the one block can be allocated before any pixel is written.
    std::vector<piece_source> sources(count);
    std::vector<std::size_t> offsets(count + 1, 0);
    batch->entries.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const tobject_texture& t = textures[i];
        piece_source& s = sources[i];
        s.rect = texture_bounds(t);
        s.first_row = std::size_t(t.page & 0x0FFF) * page_size + std::size_t(s.rect.top);
        s.stretch = !is_upload_side(s.rect.width()) || !is_upload_side(s.rect.height());
        upload_pixels& e = batch->entries[i];
        e.width = s.stretch ? 64 : s.rect.width();
        e.height = s.stretch ? 64 : s.rect.height();
        e.bytes_per_pixel = bpp;
        offsets[i + 1] = offsets[i] + std::size_t(e.width) * std::size_t(e.height) * std::size_t(bpp);
    }
    batch->block_size = offsets[count];
    batch->block = std::make_unique_for_overwrite<std::uint8_t[]>(batch->block_size);
    for (std::size_t i = 0; i < count; ++i)
        batch->entries[i].shared = batch->block.get() + offsets[i];

    // 256 wide: rows are packed
    const auto* display = reinterpret_cast<const std::uint16_t*>(pages.constBits());
    const std::size_t rows = std::size_t(pages.height());
    const auto fill_range = [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i)
            fill_piece(display, rows, sources[i], batch->entries[i], batch->block.get() + offsets[i]);
    };

    // Ranges of about equal byte counts; the calling thread takes the first.
    workers = std::clamp(workers, 1u, 8u);
    std::vector<std::size_t> bounds{0};
    for (unsigned k = 1; k < workers; ++k) {
        const std::size_t target = batch->block_size / workers * k;
        bounds.push_back(
            std::size_t(std::lower_bound(offsets.begin(), offsets.end() - 1, target) - offsets.begin()));
    }
    bounds.push_back(count);
    std::vector<std::future<void>> running;
    for (std::size_t k = 1; k + 1 < bounds.size(); ++k) {
        const std::size_t begin = bounds[k], end = bounds[k + 1];
        try {
            running.push_back(std::async(std::launch::async, fill_range, begin, end));
        } catch (const std::system_error&) { // no thread to be had: this thread does it later
            running.push_back(std::async(std::launch::deferred, fill_range, begin, end));
        }
    }
    fill_range(bounds[0], bounds[1]);
    for (auto& r : running)
        r.get();
    return batch;
}

} // namespace

std::shared_ptr<const object_texture_uploads> prepare_object_textures(const tr_level& level, int bits,
                                                                      unsigned workers) {
    if (level.object_textures.empty()) return std::make_shared<object_texture_uploads>();
    return prepare_from(level.object_textures, build_pages_bitmap(level), bits, workers);
}

std::shared_ptr<const object_texture_uploads>
prepare_object_textures(const tr_level& level, const QImage& pages, int bits, unsigned workers) {
    if (!drawn_pages(pages))
        return prepare_object_textures(level, bits, workers);
    return prepare_from(level.object_textures, pages, bits, workers);
}

std::function<std::shared_ptr<const object_texture_uploads>()>
object_textures_preparation(const tr_level& level, const QImage& pages, int bits) {
    if (!drawn_pages(pages)) {
        auto ready = prepare_object_textures(level, bits);
        return [ready] { return ready; };
    }
    // Copies: the level may change while the preparation runs elsewhere (pages are shared until
    // either side writes to them).
    return [textures = level.object_textures, pages, bits] { return prepare_from(textures, pages, bits, 2); };
}
