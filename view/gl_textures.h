// OpenGL textures of a level: one texture object per object texture (name = index + 1), and the
// solid-mode texture, uploaded into each listed viewport's context.
#pragma once

#include "gl_viewport.h"
#include "tr_level.h"

#include <QImage>
#include <QString>
#include <cstdint>
#include <span>

using gl_contexts = std::span<gl_viewport* const>;

// Creates or replaces texture `name` in every listed context from a bitmap (any format),
// prepared once for the colour bits (16, 24, 32; others count as 16).
void upload_texture(std::uint32_t name, const QImage& bitmap, int bits, gl_contexts contexts);

// Uploads every object texture of the level as its unmirrored bounding-box piece, reporting
// progress 0..100 through the level's progress callback and 0 at the end. Object texture 3998
// would take the solid-mode texture's name and is left out.
// `pages`, when given, is the level's pages as build_pages_bitmap draws them.
void load_gl_textures(const tr_level& level, gl_contexts contexts, int bits, const QImage* pages = nullptr);

// The same for a viewport whose context does not exist yet (start-up): the pixels are prepared on
// a worker while the window and its OpenGL start up, and kept by the viewport for its context.
// Progress is not reported. `pages` is the level's pages as build_pages_bitmap draws them.
void load_gl_textures_later(const tr_level& level, const QImage& pages, gl_viewport& view, int bits);

// Uploads `solid.bmp` from `directory` (or the built-in picture) as SOLID_TEXTURE_NAME.
void upload_solid_texture(const QString& directory, gl_contexts contexts, int bits);
