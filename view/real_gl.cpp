// Real gl_api: straight calls into OpenGL and GLU.
#include "real_gl.h"

#include <GL/gl.h>
#include <GL/glu.h>

static_assert(gl::quads == GL_QUADS && gl::quad_strip == GL_QUAD_STRIP && gl::lines == GL_LINES);
static_assert(gl::front_and_back == GL_FRONT_AND_BACK && gl::back == GL_BACK && gl::cw == GL_CW);
static_assert(gl::line == GL_LINE && gl::fill == GL_FILL && gl::flat == GL_FLAT && gl::smooth == GL_SMOOTH);
static_assert(gl::depth_test == GL_DEPTH_TEST && gl::cull_face == GL_CULL_FACE &&
              gl::texture_2d == GL_TEXTURE_2D);
static_assert(gl::modelview == GL_MODELVIEW && gl::projection == GL_PROJECTION);
static_assert(gl::compile_and_execute == GL_COMPILE_AND_EXECUTE);
static_assert(gl::colour_buffer_bit == GL_COLOR_BUFFER_BIT && gl::depth_buffer_bit == GL_DEPTH_BUFFER_BIT);
static_assert(gl::texture_mag_filter == GL_TEXTURE_MAG_FILTER &&
              gl::texture_min_filter == GL_TEXTURE_MIN_FILTER);
static_assert(gl::texture_wrap_s == GL_TEXTURE_WRAP_S && gl::texture_wrap_t == GL_TEXTURE_WRAP_T);
static_assert(gl::texture_priority == GL_TEXTURE_PRIORITY && gl::nearest == GL_NEAREST &&
              gl::linear == GL_LINEAR);
static_assert(gl::repeat == GL_REPEAT && gl::texture_env == GL_TEXTURE_ENV &&
              gl::texture_env_mode == GL_TEXTURE_ENV_MODE);
static_assert(gl::modulate == GL_MODULATE && gl::s == GL_S && gl::t == GL_T);
static_assert(gl::texture_gen_mode == GL_TEXTURE_GEN_MODE && gl::object_linear == GL_OBJECT_LINEAR);
static_assert(gl::unpack_swap_bytes == GL_UNPACK_SWAP_BYTES && gl::unpack_lsb_first == GL_UNPACK_LSB_FIRST);
static_assert(gl::unpack_row_length == GL_UNPACK_ROW_LENGTH && gl::unpack_skip_rows == GL_UNPACK_SKIP_ROWS);
static_assert(gl::unpack_skip_pixels == GL_UNPACK_SKIP_PIXELS && gl::unpack_alignment == GL_UNPACK_ALIGNMENT);
static_assert(gl::bgr == GL_BGR && gl::bgra == GL_BGRA && gl::unsigned_byte == GL_UNSIGNED_BYTE);

real_gl::~real_gl() {
    if (quadric_) gluDeleteQuadric(quadric_);
}

void real_gl::begin(unsigned mode) {
    glBegin(mode);
}
void real_gl::end() {
    glEnd();
}
void real_gl::vertex3f(float x, float y, float z) {
    glVertex3f(x, y, z);
}
void real_gl::tex_coord2f(float s, float t) {
    glTexCoord2f(s, t);
}
void real_gl::color3ub(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    glColor3ub(r, g, b);
}
void real_gl::color3f(float r, float g, float b) {
    glColor3f(r, g, b);
}

void real_gl::sphere(double radius, int slices, int stacks) {
    if (!quadric_) {
        quadric_ = gluNewQuadric();
        if (!quadric_) return;
        // With texture coordinates GLU draws the sphere as quad strips only, which replays
        // correctly from a display list in selection mode.
        gluQuadricTexture(quadric_, GL_TRUE);
    }
    gluSphere(quadric_, radius, slices, stacks);
}

void real_gl::init_names() {
    glInitNames();
}
void real_gl::push_name(std::uint32_t name) {
    glPushName(name);
}
void real_gl::load_name(std::uint32_t name) {
    glLoadName(name);
}
void real_gl::enable(unsigned cap) {
    glEnable(cap);
}
void real_gl::disable(unsigned cap) {
    glDisable(cap);
}
void real_gl::polygon_mode(unsigned face, unsigned mode) {
    glPolygonMode(face, mode);
}
void real_gl::shade_model(unsigned mode) {
    glShadeModel(mode);
}
void real_gl::cull_face(unsigned mode) {
    glCullFace(mode);
}
void real_gl::front_face(unsigned mode) {
    glFrontFace(mode);
}
void real_gl::clear_color(float r, float g, float b, float a) {
    glClearColor(r, g, b, a);
}
void real_gl::clear(unsigned mask) {
    glClear(mask);
}
void real_gl::flush() {
    glFlush();
}
void real_gl::viewport(int x, int y, int width, int height) {
    glViewport(x, y, width, height);
}
void real_gl::matrix_mode(unsigned mode) {
    glMatrixMode(mode);
}
void real_gl::load_identity() {
    glLoadIdentity();
}
void real_gl::push_matrix() {
    glPushMatrix();
}
void real_gl::pop_matrix() {
    glPopMatrix();
}
void real_gl::translatef(float x, float y, float z) {
    glTranslatef(x, y, z);
}
void real_gl::rotatef(float angle, float x, float y, float z) {
    glRotatef(angle, x, y, z);
}
void real_gl::scalef(float x, float y, float z) {
    glScalef(x, y, z);
}
void real_gl::perspective(double fovy, double aspect, double z_near, double z_far) {
    gluPerspective(fovy, aspect, z_near, z_far);
}
void real_gl::new_list(std::uint32_t list, unsigned mode) {
    glNewList(list, mode);
}
void real_gl::end_list() {
    glEndList();
}
void real_gl::call_list(std::uint32_t list) {
    glCallList(list);
}
unsigned real_gl::gl_texture(std::uint32_t name) {
    if (name == 0) return 0;
    auto [it, added] = textures_.try_emplace(name, 0u);
    if (added) glGenTextures(1, &it->second);
    return it->second;
}

void real_gl::bind_texture(unsigned target, std::uint32_t name) {
    glBindTexture(target, gl_texture(name));
}
void real_gl::tex_parameteri(unsigned target, unsigned pname, int param) {
    glTexParameteri(target, pname, param);
}
void real_gl::tex_envi(unsigned target, unsigned pname, int param) {
    glTexEnvi(target, pname, param);
}
void real_gl::tex_genf(unsigned coord, unsigned pname, float param) {
    glTexGenf(coord, pname, param);
}
void real_gl::pixel_storei(unsigned pname, int param) {
    glPixelStorei(pname, param);
}
void real_gl::tex_image_2d(unsigned target, int level, int internal_format, int width, int height, int border,
                           unsigned format, unsigned type, const void* pixels) {
    glTexImage2D(target, level, internal_format, width, height, border, format, type, pixels);
}
