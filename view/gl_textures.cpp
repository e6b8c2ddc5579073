// Texture creation for the level's object textures and the solid-mode texture.
#include "gl_textures.h"

#include "mesh_view.h"
#include "pixels.h"
#include "texture_table.h"
#include "texture_upload.h"
#include "upload_batch.h"

#include <future>
#include <system_error>

void upload_texture(std::uint32_t name, const QImage& bitmap, int bits, gl_contexts contexts) {
    auto pixels = std::make_shared<const upload_pixels>(prepare_upload(bitmap, bits));
    for (gl_viewport* vp : contexts)
        if (vp) vp->upload(name, pixels);
}

void load_gl_textures(const tr_level& level, gl_contexts contexts, int bits, const QImage* pages) {
    const std::size_t count = level.object_textures.size();
    if (count > 0) {
        const auto batch = pages ? prepare_object_textures(level, *pages, bits) : prepare_object_textures(level, bits);
        for (gl_viewport* vp : contexts)
            if (vp && vp->has_context()) vp->makeCurrent();
        const double step = 100.0 / double(count);
        double accumulated = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const auto name = std::uint32_t(i + 1);
            if (name != SOLID_TEXTURE_NAME) {
                const auto pixels = object_texture_uploads::share(batch, i);
                // With several contexts each is made current in turn; with one it stays current.
                for (gl_viewport* vp : contexts) {
                    if (!vp) continue;
                    if (contexts.size() > 1 && vp->has_context()) vp->makeCurrent();
                    vp->upload_current(name, pixels);
                }
            }
            accumulated += step;
            level.report_progress(int(accumulated));
        }
        for (gl_viewport* vp : contexts)
            if (vp && vp->has_context()) vp->doneCurrent();
    }
    level.report_progress(0);
}

void load_gl_textures_later(const tr_level& level, const QImage& pages, gl_viewport& view, int bits) {
    auto prepare = object_textures_preparation(level, pages, bits);
    auto task = [prepare = std::move(prepare)] {
        const auto batch = prepare();
        gl_viewport::texture_batch named;
        named.reserve(batch->entries.size());
        for (std::size_t i = 0; i < batch->entries.size(); ++i)
            if (const auto name = std::uint32_t(i + 1); name != SOLID_TEXTURE_NAME)
                named.emplace_back(name, object_texture_uploads::share(batch, i));
        return named;
    };
    std::shared_future<gl_viewport::texture_batch> later;
    try {
        later = std::async(std::launch::async, task).share();
    } catch (const std::system_error&) { // no thread to be had: made when first needed
        later = std::async(std::launch::deferred, std::move(task)).share();
    }
    view.keep_textures_later(std::move(later));
}

void upload_solid_texture(const QString& directory, gl_contexts contexts, int bits) {
    upload_texture(SOLID_TEXTURE_NAME, solid_bitmap(directory), bits, contexts);
}
