// The OpenGL side of texture creation for one context (parameters and pixel transfer through
// gl_api), and the solid-mode texture's bitmap.
#pragma once

#include "gl_api.h"
#include "pixels.h"

#include <QImage>
#include <QString>
#include <cstdint>

// Creates or replaces texture `name` in the current context from prepared pixels: modulate,
// object-linear generation for S and T, repeat, nearest filters, priority 1, tightly packed
// rows, BGR (BGRA for 4 bytes a pixel), no mipmaps.
void upload_texture_pixels(gl_api& gl, std::uint32_t name, const upload_pixels& pixels);

// The solid-mode texture: `solid.bmp` in `directory`, or, when it is missing or unreadable, a
// built-in light grey picture with a darker frame so that faces stay distinguishable.
QImage solid_bitmap(const QString& directory, bool* found = nullptr);
QImage default_solid_bitmap();
