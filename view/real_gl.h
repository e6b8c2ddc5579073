// gl_api forwarding to the OpenGL 1.1 and GLU of the current context.
#pragma once

#include "gl_api.h"

#include <unordered_map>

struct GLUquadric;

class real_gl : public gl_api {
  public:
    real_gl() = default;
    real_gl(const real_gl&) = delete;
    real_gl& operator=(const real_gl&) = delete;
    ~real_gl() override;

    void begin(unsigned mode) override;
    void end() override;
    void vertex3f(float x, float y, float z) override;
    void tex_coord2f(float s, float t) override;
    void color3ub(std::uint8_t r, std::uint8_t g, std::uint8_t b) override;
    void color3f(float r, float g, float b) override;
    void sphere(double radius, int slices, int stacks) override;
    void init_names() override;
    void push_name(std::uint32_t name) override;
    void load_name(std::uint32_t name) override;
    void enable(unsigned cap) override;
    void disable(unsigned cap) override;
    void polygon_mode(unsigned face, unsigned mode) override;
    void shade_model(unsigned mode) override;
    void cull_face(unsigned mode) override;
    void front_face(unsigned mode) override;
    void clear_color(float r, float g, float b, float a) override;
    void clear(unsigned mask) override;
    void flush() override;
    void viewport(int x, int y, int width, int height) override;
    void matrix_mode(unsigned mode) override;
    void load_identity() override;
    void push_matrix() override;
    void pop_matrix() override;
    void translatef(float x, float y, float z) override;
    void rotatef(float angle, float x, float y, float z) override;
    void scalef(float x, float y, float z) override;
    void perspective(double fovy, double aspect, double z_near, double z_far) override;
    void new_list(std::uint32_t list, unsigned mode) override;
    void end_list() override;
    void call_list(std::uint32_t list) override;
    void bind_texture(unsigned target, std::uint32_t name) override;
    void tex_parameteri(unsigned target, unsigned pname, int param) override;
    void tex_envi(unsigned target, unsigned pname, int param) override;
    void tex_genf(unsigned coord, unsigned pname, float param) override;
    void pixel_storei(unsigned pname, int param) override;
    void tex_image_2d(unsigned target, int level, int internal_format, int width, int height, int border,
                      unsigned format, unsigned type, const void* pixels) override;

    // Texture names given to bind_texture are the view's own (object texture + 1, the solid
    // texture); each is mapped to a name that OpenGL generated in this context, so they cannot
    // collide with the textures Qt keeps in the same context (the widget's framebuffer).
    // Forget the mapping when the context has been re-created.
    void forget_textures() { textures_.clear(); }
    unsigned gl_texture(std::uint32_t name);

  private:
    GLUquadric* quadric_ = nullptr;
    std::unordered_map<std::uint32_t, unsigned> textures_;
};
