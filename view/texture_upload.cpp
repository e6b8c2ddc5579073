// Texture upload through gl_api and the solid-mode bitmap.
#include "texture_upload.h"

#include "bitmap_exchange.h"

#include <QDir>
#include <QFileInfo>

void upload_texture_pixels(gl_api& gl, std::uint32_t name, const upload_pixels& px) {
    const bool four = px.bytes_per_pixel == 4;
    gl.bind_texture(gl::texture_2d, name);
    gl.tex_envi(gl::texture_env, gl::texture_env_mode, int(gl::modulate));
    gl.tex_genf(gl::t, gl::texture_gen_mode, float(gl::object_linear));
    gl.tex_genf(gl::s, gl::texture_gen_mode, float(gl::object_linear));
    gl.tex_parameteri(gl::texture_2d, gl::texture_wrap_s, int(gl::repeat));
    gl.tex_parameteri(gl::texture_2d, gl::texture_wrap_t, int(gl::repeat));
    gl.tex_parameteri(gl::texture_2d, gl::texture_mag_filter, int(gl::nearest));
    gl.tex_parameteri(gl::texture_2d, gl::texture_min_filter, int(gl::nearest));
    gl.tex_parameteri(gl::texture_2d, gl::texture_priority, 1);
    gl.pixel_storei(gl::unpack_alignment, 1);
    gl.pixel_storei(gl::unpack_row_length, 0);
    gl.pixel_storei(gl::unpack_skip_rows, 0);
    gl.pixel_storei(gl::unpack_skip_pixels, 0);
    gl.pixel_storei(gl::unpack_lsb_first, 0);
    gl.tex_image_2d(gl::texture_2d, 0, four ? 4 : 3, px.width, px.height, 0, four ? gl::bgra : gl::bgr,
                    gl::unsigned_byte, px.pixels());
}

QImage default_solid_bitmap() {
    QImage image(64, 64, QImage::Format_RGB888);
    image.fill(QColor(200, 200, 200));
    for (int i = 0; i < 64; ++i)
        for (int edge : {0, 1, 62, 63}) {
            image.setPixelColor(i, edge, QColor(120, 120, 120));
            image.setPixelColor(edge, i, QColor(120, 120, 120));
        }
    return image;
}

QImage solid_bitmap(const QString& directory, bool* found) {
    // Read like any imported bitmap, so a damaged file cannot bring undefined pixels.
    const QString path = QDir(directory).filePath(QStringLiteral("solid.bmp"));
    QImage image;
    const bool ok = QFileInfo(path).isFile() && load_bitmap(path.toStdString(), image).ok;
    if (found) *found = ok;
    return ok ? image : default_solid_bitmap();
}
