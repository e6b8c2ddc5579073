// The small set of OpenGL / GLU entry points the 3D view uses, as an interface: the scene drawing
// is written against it, a real implementation forwards to OpenGL and a recording one serves tests.
#pragma once

#include <cstdint>

// The OpenGL constants the view passes, with OpenGL's own values (checked against <GL/gl.h> by
// the real implementation), so the headless layer needs no GL headers.
namespace gl {
inline constexpr unsigned lines = 0x0001;
inline constexpr unsigned quads = 0x0007;
inline constexpr unsigned quad_strip = 0x0008;
inline constexpr unsigned front_and_back = 0x0408;
inline constexpr unsigned back = 0x0405;
inline constexpr unsigned cw = 0x0900;
inline constexpr unsigned line = 0x1B01;
inline constexpr unsigned fill = 0x1B02;
inline constexpr unsigned flat = 0x1D00;
inline constexpr unsigned smooth = 0x1D01;
inline constexpr unsigned depth_test = 0x0B71;
inline constexpr unsigned cull_face = 0x0B44;
inline constexpr unsigned texture_2d = 0x0DE1;
inline constexpr unsigned modelview = 0x1700;
inline constexpr unsigned projection = 0x1701;
inline constexpr unsigned compile_and_execute = 0x1301;
inline constexpr unsigned colour_buffer_bit = 0x00004000;
inline constexpr unsigned depth_buffer_bit = 0x00000100;
inline constexpr unsigned texture_mag_filter = 0x2800;
inline constexpr unsigned texture_min_filter = 0x2801;
inline constexpr unsigned texture_wrap_s = 0x2802;
inline constexpr unsigned texture_wrap_t = 0x2803;
inline constexpr unsigned texture_priority = 0x8066;
inline constexpr unsigned nearest = 0x2600;
inline constexpr unsigned linear = 0x2601;
inline constexpr unsigned repeat = 0x2901;
inline constexpr unsigned texture_env = 0x2300;
inline constexpr unsigned texture_env_mode = 0x2200;
inline constexpr unsigned modulate = 0x2100;
inline constexpr unsigned s = 0x2000;
inline constexpr unsigned t = 0x2001;
inline constexpr unsigned texture_gen_mode = 0x2500;
inline constexpr unsigned object_linear = 0x2401;
inline constexpr unsigned unpack_swap_bytes = 0x0CF0;
inline constexpr unsigned unpack_lsb_first = 0x0CF1;
inline constexpr unsigned unpack_row_length = 0x0CF2;
inline constexpr unsigned unpack_skip_rows = 0x0CF3;
inline constexpr unsigned unpack_skip_pixels = 0x0CF4;
inline constexpr unsigned unpack_alignment = 0x0CF5;
inline constexpr unsigned bgr = 0x80E0;
inline constexpr unsigned bgra = 0x80E1;
inline constexpr unsigned unsigned_byte = 0x1401;
} // namespace gl

class gl_api {
  public:
    virtual ~gl_api() = default;

    // Primitives.
    virtual void begin(unsigned mode) = 0;
    virtual void end() = 0;
    virtual void vertex3f(float x, float y, float z) = 0;
    virtual void tex_coord2f(float s, float t) = 0;
    virtual void color3ub(std::uint8_t r, std::uint8_t g, std::uint8_t b) = 0;
    virtual void color3f(float r, float g, float b) = 0;
    // gluSphere of a quadric that emits quad strips only (texture coordinates on), so that
    // display lists replay correctly in selection mode.
    virtual void sphere(double radius, int slices, int stacks) = 0;

    // Selection names.
    virtual void init_names() = 0;
    virtual void push_name(std::uint32_t name) = 0;
    virtual void load_name(std::uint32_t name) = 0;

    // State.
    virtual void enable(unsigned cap) = 0;
    virtual void disable(unsigned cap) = 0;
    virtual void polygon_mode(unsigned face, unsigned mode) = 0;
    virtual void shade_model(unsigned mode) = 0;
    virtual void cull_face(unsigned mode) = 0;
    virtual void front_face(unsigned mode) = 0;
    virtual void clear_color(float r, float g, float b, float a) = 0;
    virtual void clear(unsigned mask) = 0;
    virtual void flush() = 0;
    virtual void viewport(int x, int y, int width, int height) = 0;

    // Matrices.
    virtual void matrix_mode(unsigned mode) = 0;
    virtual void load_identity() = 0;
    virtual void push_matrix() = 0;
    virtual void pop_matrix() = 0;
    virtual void translatef(float x, float y, float z) = 0;
    virtual void rotatef(float angle, float x, float y, float z) = 0;
    virtual void scalef(float x, float y, float z) = 0;
    virtual void perspective(double fovy, double aspect, double z_near, double z_far) = 0;

    // Display lists.
    virtual void new_list(std::uint32_t list, unsigned mode) = 0;
    virtual void end_list() = 0;
    virtual void call_list(std::uint32_t list) = 0;

    // Textures.
    virtual void bind_texture(unsigned target, std::uint32_t name) = 0;
    virtual void tex_parameteri(unsigned target, unsigned pname, int param) = 0;
    virtual void tex_envi(unsigned target, unsigned pname, int param) = 0;
    virtual void tex_genf(unsigned coord, unsigned pname, float param) = 0;
    virtual void pixel_storei(unsigned pname, int param) = 0;
    virtual void tex_image_2d(unsigned target, int level, int internal_format, int width, int height,
                              int border, unsigned format, unsigned type, const void* pixels) = 0;
};
