// Recording gl_api: a call log plus a replay against a small model of the GL state.
#include "recording_gl.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
float clamp01(float v) {
    return std::clamp(v, 0.0f, 1.0f);
}
} // namespace

recording_gl::matrix recording_gl::identity() {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

void recording_gl::reset() {
    *this = recording_gl{};
}

int recording_gl::count(gl_op op) const {
    return int(std::count_if(calls.begin(), calls.end(), [op](const gl_call& c) { return c.op == op; }));
}

std::vector<gl_call> recording_gl::of(gl_op op) const {
    std::vector<gl_call> out;
    for (const auto& c : calls)
        if (c.op == op) out.push_back(c);
    return out;
}

recording_gl::matrix& recording_gl::current_matrix() {
    return matrix_mode_ == gl::projection ? projection_.back() : modelview_.back();
}

void recording_gl::multiply(const matrix& m) {
    matrix& c = current_matrix();
    matrix r{};
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            double v = 0;
            for (int k = 0; k < 4; ++k)
                v += c[k * 4 + row] * m[col * 4 + k];
            r[col * 4 + row] = v;
        }
    c = r;
}

void recording_gl::issue(gl_call call) {
    if (compiling_ && call.op != gl_op::new_list && call.op != gl_op::end_list) compiled_.push_back(call);
    execute(call);
    calls.push_back(std::move(call));
}

void recording_gl::execute(const gl_call& c) {
    const auto& a = c.a;
    switch (c.op) {
    case gl_op::begin: {
        recorded_primitive p;
        p.mode = unsigned(a[0]);
        p.has_name = !names.empty();
        p.name = names.empty() ? 0 : names.back();
        p.texture = bound_texture;
        p.texturing = texturing;
        p.polygon_mode = polygon;
        p.shade = shade;
        p.culling = culling;
        if (auto it = filters.find(bound_texture); it != filters.end()) {
            p.min_filter = it->second[0];
            p.mag_filter = it->second[1];
        }
        primitives.push_back(std::move(p));
        in_block_ = true;
        break;
    }
    case gl_op::end:
        in_block_ = false;
        break;
    case gl_op::vertex: {
        recorded_vertex v;
        v.position = {float(a[0]), float(a[1]), float(a[2])};
        const matrix& m = modelview_.back();
        for (int row = 0; row < 3; ++row)
            v.placed[std::size_t(row)] = m[row] * a[0] + m[4 + row] * a[1] + m[8 + row] * a[2] + m[12 + row];
        v.tex = tex;
        v.colour = colour;
        if (in_block_ && !primitives.empty()) primitives.back().vertices.push_back(v);
        break;
    }
    case gl_op::tex_coord:
        tex = {float(a[0]), float(a[1])};
        break;
    case gl_op::color_ub:
        colour = {float(a[0] / 255.0), float(a[1] / 255.0), float(a[2] / 255.0)};
        break;
    case gl_op::color_f:
        colour = {clamp01(float(a[0])), clamp01(float(a[1])), clamp01(float(a[2]))};
        break;
    case gl_op::sphere: {
        execute(gl_call{gl_op::begin, {double(gl::quad_strip)}, {}});
        primitives.back().is_sphere = true;
        primitives.back().sphere_radius = a[0];
        execute(gl_call{gl_op::vertex, {0, 0, 0}, {}});
        execute(gl_call{gl_op::end, {}, {}});
        break;
    }
    case gl_op::init_names:
        names.clear();
        break;
    case gl_op::push_name:
        names.push_back(std::uint32_t(a[0]));
        break;
    case gl_op::load_name:
        if (!names.empty()) names.back() = std::uint32_t(a[0]);
        break;
    case gl_op::enable:
    case gl_op::disable: {
        const bool on = c.op == gl_op::enable;
        const auto cap = unsigned(a[0]);
        if (cap == gl::texture_2d) texturing = on;
        if (cap == gl::cull_face) culling = on;
        if (cap == gl::depth_test) depth = on;
        break;
    }
    case gl_op::polygon_mode:
        polygon = unsigned(a[1]);
        break;
    case gl_op::shade_model:
        shade = unsigned(a[0]);
        break;
    case gl_op::matrix_mode:
        matrix_mode_ = unsigned(a[0]);
        break;
    case gl_op::load_identity:
        current_matrix() = identity();
        break;
    case gl_op::push_matrix: {
        auto& stack = matrix_mode_ == gl::projection ? projection_ : modelview_;
        stack.push_back(stack.back());
        break;
    }
    case gl_op::pop_matrix: {
        auto& stack = matrix_mode_ == gl::projection ? projection_ : modelview_;
        if (stack.size() > 1) stack.pop_back();
        break;
    }
    case gl_op::translate: {
        matrix m = identity();
        m[12] = a[0], m[13] = a[1], m[14] = a[2];
        multiply(m);
        break;
    }
    case gl_op::scale: {
        matrix m = identity();
        m[0] = a[0], m[5] = a[1], m[10] = a[2];
        multiply(m);
        break;
    }
    case gl_op::rotate: {
        double len = std::sqrt(a[1] * a[1] + a[2] * a[2] + a[3] * a[3]);
        if (len == 0) break;
        const double x = a[1] / len, y = a[2] / len, z = a[3] / len;
        const double r = a[0] * std::numbers::pi / 180.0, co = std::cos(r), si = std::sin(r), t = 1 - co;
        matrix m = identity();
        m[0] = t * x * x + co, m[1] = t * x * y + si * z, m[2] = t * x * z - si * y;
        m[4] = t * x * y - si * z, m[5] = t * y * y + co, m[6] = t * y * z + si * x;
        m[8] = t * x * z + si * y, m[9] = t * y * z - si * x, m[10] = t * z * z + co;
        multiply(m);
        break;
    }
    case gl_op::call_list:
        if (auto it = lists.find(std::uint32_t(a[0])); it != lists.end()) {
            const auto replay = it->second; // a list may not change while it runs
            for (const auto& r : replay)
                execute(r);
        }
        break;
    case gl_op::bind_texture:
        bound_texture = long(a[1]);
        break;
    case gl_op::tex_parameter:
        if (unsigned(a[1]) == gl::texture_min_filter) filters[bound_texture][0] = int(a[2]);
        if (unsigned(a[1]) == gl::texture_mag_filter) filters[bound_texture][1] = int(a[2]);
        break;
    default:
        break;
    }
}

void recording_gl::begin(unsigned mode) {
    issue({gl_op::begin, {double(mode)}, {}});
}
void recording_gl::end() {
    issue({gl_op::end, {}, {}});
}
void recording_gl::vertex3f(float x, float y, float z) {
    issue({gl_op::vertex, {x, y, z}, {}});
}
void recording_gl::tex_coord2f(float s, float t) {
    issue({gl_op::tex_coord, {s, t}, {}});
}
void recording_gl::color3ub(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    issue({gl_op::color_ub, {double(r), double(g), double(b)}, {}});
}
void recording_gl::color3f(float r, float g, float b) {
    issue({gl_op::color_f, {r, g, b}, {}});
}
void recording_gl::sphere(double radius, int slices, int stacks) {
    issue({gl_op::sphere, {radius, double(slices), double(stacks)}, {}});
}
void recording_gl::init_names() {
    issue({gl_op::init_names, {}, {}});
}
void recording_gl::push_name(std::uint32_t name) {
    issue({gl_op::push_name, {double(name)}, {}});
}
void recording_gl::load_name(std::uint32_t name) {
    issue({gl_op::load_name, {double(name)}, {}});
}
void recording_gl::enable(unsigned cap) {
    issue({gl_op::enable, {double(cap)}, {}});
}
void recording_gl::disable(unsigned cap) {
    issue({gl_op::disable, {double(cap)}, {}});
}
void recording_gl::polygon_mode(unsigned face, unsigned mode) {
    issue({gl_op::polygon_mode, {double(face), double(mode)}, {}});
}
void recording_gl::shade_model(unsigned mode) {
    issue({gl_op::shade_model, {double(mode)}, {}});
}
void recording_gl::cull_face(unsigned mode) {
    issue({gl_op::cull_face, {double(mode)}, {}});
}
void recording_gl::front_face(unsigned mode) {
    issue({gl_op::front_face, {double(mode)}, {}});
}
void recording_gl::clear_color(float r, float g, float b, float a) {
    issue({gl_op::clear_color, {r, g, b, a}, {}});
}
void recording_gl::clear(unsigned mask) {
    issue({gl_op::clear, {double(mask)}, {}});
}
void recording_gl::flush() {
    issue({gl_op::flush, {}, {}});
}
void recording_gl::viewport(int x, int y, int width, int height) {
    issue({gl_op::viewport, {double(x), double(y), double(width), double(height)}, {}});
}
void recording_gl::matrix_mode(unsigned mode) {
    issue({gl_op::matrix_mode, {double(mode)}, {}});
}
void recording_gl::load_identity() {
    issue({gl_op::load_identity, {}, {}});
}
void recording_gl::push_matrix() {
    issue({gl_op::push_matrix, {}, {}});
}
void recording_gl::pop_matrix() {
    issue({gl_op::pop_matrix, {}, {}});
}
void recording_gl::translatef(float x, float y, float z) {
    issue({gl_op::translate, {x, y, z}, {}});
}
void recording_gl::rotatef(float angle, float x, float y, float z) {
    issue({gl_op::rotate, {angle, x, y, z}, {}});
}
void recording_gl::scalef(float x, float y, float z) {
    issue({gl_op::scale, {x, y, z}, {}});
}
void recording_gl::perspective(double fovy, double aspect, double z_near, double z_far) {
    issue({gl_op::perspective, {fovy, aspect, z_near, z_far}, {}});
}
void recording_gl::new_list(std::uint32_t list, unsigned mode) {
    gl_call c{gl_op::new_list, {double(list), double(mode)}, {}};
    calls.push_back(c);
    compiling_ = true;
    compiling_list_ = list;
    compiled_.clear();
}
void recording_gl::end_list() {
    calls.push_back({gl_op::end_list, {}, {}});
    if (compiling_) lists[compiling_list_] = std::move(compiled_);
    compiled_.clear();
    compiling_ = false;
}
void recording_gl::call_list(std::uint32_t list) {
    issue({gl_op::call_list, {double(list)}, {}});
}
void recording_gl::bind_texture(unsigned target, std::uint32_t name) {
    issue({gl_op::bind_texture, {double(target), double(name)}, {}});
}
void recording_gl::tex_parameteri(unsigned target, unsigned pname, int param) {
    issue({gl_op::tex_parameter, {double(target), double(pname), double(param)}, {}});
}
void recording_gl::tex_envi(unsigned target, unsigned pname, int param) {
    issue({gl_op::tex_env, {double(target), double(pname), double(param)}, {}});
}
void recording_gl::tex_genf(unsigned coord, unsigned pname, float param) {
    issue({gl_op::tex_gen, {double(coord), double(pname), double(param)}, {}});
}
void recording_gl::pixel_storei(unsigned pname, int param) {
    issue({gl_op::pixel_store, {double(pname), double(param)}, {}});
}
void recording_gl::tex_image_2d(unsigned target, int level, int internal_format, int width, int height,
                                int border, unsigned format, unsigned type, const void* pixels) {
    gl_call c{gl_op::tex_image,
              {double(target), double(level), double(internal_format), double(width), double(height),
               double(border), double(format), double(type), 0},
              {}};
    const std::size_t bytes =
        std::size_t(std::max(width, 0)) * std::size_t(std::max(height, 0)) * (format == gl::bgra ? 4u : 3u);
    if (pixels) {
        const auto* p = static_cast<const std::uint8_t*>(pixels);
        c.pixels.assign(p, p + bytes);
    }
    issue(std::move(c));
}
