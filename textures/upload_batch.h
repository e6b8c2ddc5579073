// The upload pixels of every object texture of a level, prepared together in one block, on two
// threads, straight from the level's pages: what load_gl_textures hands to OpenGL.
#pragma once

#include "pixels.h"
#include "tr_level.h"

#include <QImage>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// Pixels of object texture i: its unmirrored bounding-box piece of page (page & 0x0FFF), in the
// layout prepare_upload gives (24- or 32-bit, stretched to 64 x 64 unless both sides are 8 to
// 256 and a power of two); rows of a page the level does not have are black. The pixels are
// exactly those of prepare_upload(gl_texture_piece(...)).
struct object_texture_uploads {
    std::unique_ptr<std::uint8_t[]> block; // every texture's pixels back to back
    std::size_t block_size = 0;
    std::vector<upload_pixels> entries; // one per object texture, pointing into `block`

    // Texture i as the viewport keeps it: shares ownership of this whole batch, allocates nothing.
    static std::shared_ptr<const upload_pixels>
    share(const std::shared_ptr<const object_texture_uploads>& batch, std::size_t i) {
        return {batch, &batch->entries[i]};
    }
};

// Prepares all object textures for the colour bits (16, 24, 32; others count as 16). `workers`
// threads share the work (1: the calling thread alone); the result does not depend on it.
std::shared_ptr<const object_texture_uploads> prepare_object_textures(const tr_level& level, int bits,
                                                                      unsigned workers = 2);
// The same from the level's pages already drawn by build_pages_bitmap (the texture table keeps
// them), which saves drawing them again.
std::shared_ptr<const object_texture_uploads>
prepare_object_textures(const tr_level& level, const QImage& pages, int bits, unsigned workers = 2);
// The same preparation as a task that holds its own copy of what it reads, so that it can run on
// another thread while the level is used (or changed) here.
std::function<std::shared_ptr<const object_texture_uploads>()>
object_textures_preparation(const tr_level& level, const QImage& pages, int bits);

// Source pixel that output pixel `i` of a `size`-pixel side stretched to 64 samples: the one
// under the output pixel's centre, the lower one where the centre falls on a boundary.
constexpr int stretch_source(int i, int size) {
    return ((2 * i + 1) * size - 1) / 128;
}
