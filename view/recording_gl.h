// A gl_api that records every call and replays them against a small model of the GL state, so
// tests can check what the scene draws (order, names, textures, coordinates, colours, placement)
// without a window.
#pragma once

#include "gl_api.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

enum class gl_op {
    begin,
    end,
    vertex,
    tex_coord,
    color_ub,
    color_f,
    sphere,
    init_names,
    push_name,
    load_name,
    enable,
    disable,
    polygon_mode,
    shade_model,
    cull_face,
    front_face,
    clear_color,
    clear,
    flush,
    viewport,
    matrix_mode,
    load_identity,
    push_matrix,
    pop_matrix,
    translate,
    rotate,
    scale,
    perspective,
    new_list,
    end_list,
    call_list,
    bind_texture,
    tex_parameter,
    tex_env,
    tex_gen,
    pixel_store,
    tex_image,
};

struct gl_call {
    gl_op op;
    std::array<double, 9> a{};
    std::vector<std::uint8_t> pixels; // tex_image only
};

// One vertex as OpenGL received it, with the state that applied to it.
struct recorded_vertex {
    std::array<float, 3> position{}; // as passed to vertex3f
    std::array<double, 3> placed{};  // after the model-view matrix
    std::array<float, 2> tex{};      // current texture coordinate
    std::array<float, 3> colour{};   // current colour, 0..1
};

// One glBegin/glEnd block (or one sphere) with the state in effect when it began.
struct recorded_primitive {
    unsigned mode = 0; // gl::quads, …; gl::quad_strip for a sphere
    bool is_sphere = false;
    double sphere_radius = 0;
    std::uint32_t name = 0; // top of the name stack
    bool has_name = false;  // the name stack was not empty
    long texture = -1;      // bound 2-D texture, -1 none
    bool texturing = false; // GL_TEXTURE_2D enabled
    unsigned polygon_mode = gl::fill;
    unsigned shade = gl::smooth;
    bool culling = false;
    int min_filter = 0, mag_filter = 0; // of the bound texture when the block began
    std::vector<recorded_vertex> vertices;
};

class recording_gl : public gl_api {
  public:
    std::vector<gl_call> calls;                 // every call made directly (not the replayed ones)
    std::vector<recorded_primitive> primitives; // every block executed, replays included

    void reset(); // forget calls, primitives, state and lists

    int count(gl_op op) const;
    // Calls of one kind, in order.
    std::vector<gl_call> of(gl_op op) const;

    // State model (public for tests).
    std::vector<std::uint32_t> names;
    long bound_texture = -1;
    std::map<long, std::array<int, 2>> filters; // texture → min, mag
    bool texturing = false, culling = false, depth = false;
    unsigned polygon = gl::fill, shade = gl::smooth;
    std::array<float, 3> colour{1, 1, 1};
    std::array<float, 2> tex{};
    std::map<std::uint32_t, std::vector<gl_call>> lists;

    // gl_api
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

  private:
    using matrix = std::array<double, 16>; // column-major
    void issue(gl_call call);
    void execute(const gl_call& call);
    void multiply(const matrix& m);
    matrix& current_matrix();

    std::vector<matrix> modelview_{identity()}, projection_{identity()};
    unsigned matrix_mode_ = gl::modelview;
    bool in_block_ = false;
    bool compiling_ = false;
    std::uint32_t compiling_list_ = 0;
    std::vector<gl_call> compiled_;
    static matrix identity();
};
