// gl_viewport: context set-up, paint, navigation events and the selection pass.
#include "gl_viewport.h"

#include "picking.h"
#include "texture_upload.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <QMouseEvent>
#include <QTimer>
#include <array>
#include <cmath>

namespace {
mouse_state state_of(const QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    return {p.x(), p.y(), (e->buttons() & Qt::RightButton) != 0, (e->modifiers() & Qt::ShiftModifier) != 0,
            (e->modifiers() & Qt::ControlModifier) != 0};
}
} // namespace

gl_viewport::gl_viewport(QWidget* parent, int bits) : QOpenGLWidget(parent), colour_bits(bits) {
    list.list_id = next_list_id();
    camera = &own_camera_;
    setFormat(surface_format(bits));
    setMouseTracking(true);
    // Textures held back for the first frame follow as soon as it is on screen.
    connect(this, &QOpenGLWidget::frameSwapped, this, [this] {
        if (!kept_textures_pending_) return;
        QTimer::singleShot(0, this, [this] {
            if (!kept_textures_pending_ || !has_context()) return;
            makeCurrent();
            upload_kept_textures();
            doneCurrent();
        });
    });
}

gl_viewport::~gl_viewport() = default;

QSurfaceFormat gl_viewport::surface_format(int bits) {
    QSurfaceFormat f;
    f.setRenderableType(QSurfaceFormat::OpenGL);
    f.setVersion(2, 1);
    f.setProfile(QSurfaceFormat::CompatibilityProfile);
    f.setOption(QSurfaceFormat::DeprecatedFunctions);
    f.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    const int channel = bits == 16 ? 5 : 8;
    f.setRedBufferSize(channel);
    f.setGreenBufferSize(bits == 16 ? 6 : 8);
    f.setBlueBufferSize(channel);
    f.setDepthBufferSize(24); // fixed by QOpenGLWidget's framebuffer
    return f;
}

int gl_viewport::device_width() const {
    return int(std::lround(width() * devicePixelRatioF()));
}
int gl_viewport::device_height() const {
    return int(std::lround(height() * devicePixelRatioF()));
}

void gl_viewport::initializeGL() {
    // Runs again when the context is re-created (re-parenting): display lists and textures
    // live in the context, so the list is rebuilt and the kept textures are uploaded again,
    // before the first frame that draws anything.
    initialized_ = true;
    gl_.forget_textures();
    apply_initial_state(gl_);
    list.list_valid = false;
    kept_textures_pending_ = !textures_.empty() || textures_later_.valid();
}

void gl_viewport::keep_textures_later(std::shared_future<texture_batch> batch) {
    take_textures_made_elsewhere(); // an earlier batch goes in first, so that this one replaces it
    textures_later_ = std::move(batch);
    if (has_context()) kept_textures_pending_ = true;
}

void gl_viewport::take_textures_made_elsewhere() {
    if (!textures_later_.valid()) return;
    const auto later = std::exchange(textures_later_, {});
    for (const auto& [name, pixels] : later.get())
        textures_[name] = pixels;
}

void gl_viewport::upload_kept_textures() {
    take_textures_made_elsewhere();
    for (const auto& [name, pixels] : textures_)
        upload_texture_pixels(gl_, name, *pixels);
    kept_textures_pending_ = false;
}

void gl_viewport::resizeGL(int, int) {
    if (zoom_dependent) list.list_valid = false;
    apply_projection(gl_, device_width(), device_height());
}

void gl_viewport::paintGL() {
    if (kept_textures_pending_ && !(draws_nothing && draws_nothing())) upload_kept_textures();
    apply_projection(gl_, device_width(), device_height());
    paint_frame(gl_, nav, *camera, background, list, draw, !picking);
}

void gl_viewport::redraw() {
    list.list_valid = false;
    update();
}

void gl_viewport::centre_camera() {
    nav.centre_camera(*camera);
}

std::uint32_t gl_viewport::pick_at(int x, int y) {
    nav.last_mouse = {x, y};
    pick();
    return picked_name;
}

void gl_viewport::pick() {
    picked_name = 0;
    if (!has_context()) return;
    makeCurrent();
    picking = true;
    std::array<GLuint, select_buffer_size> buffer{};
    GLint vp[4] = {0, 0, device_width(), device_height()};
    glViewport(vp[0], vp[1], vp[2], vp[3]);
    glSelectBuffer(GLsizei(buffer.size()), buffer.data());
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glRenderMode(GL_SELECT);
    glLoadIdentity();
    const double dpr = devicePixelRatioF();
    gluPickMatrix(nav.last_mouse[0] * dpr, vp[3] - nav.last_mouse[1] * dpr, 0.09, 0.09, vp);
    apply_perspective(gl_, vp[2], vp[3]);
    glMatrixMode(GL_MODELVIEW);
    // The frame in selection mode draws nothing into the framebuffer; it is not cleared, so
    // the picture on screen stays as it was.
    paint_frame(gl_, nav, *camera, background, list, draw, false);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    const GLint hits = glRenderMode(GL_RENDER);
    glMatrixMode(GL_MODELVIEW);
    picked_name = choose_hit(buffer.data(), buffer.size(), hits);
    apply_projection(gl_, vp[2], vp[3]);
    doneCurrent();
    picking = false;
}

void gl_viewport::upload(std::uint32_t name, std::shared_ptr<const upload_pixels> pixels) {
    take_textures_made_elsewhere();
    if (!has_context()) {
        textures_[name] = std::move(pixels);
        return;
    }
    makeCurrent();
    upload_current(name, std::move(pixels));
    doneCurrent();
}

void gl_viewport::upload_current(std::uint32_t name, std::shared_ptr<const upload_pixels> pixels) {
    take_textures_made_elsewhere();
    if (has_context()) upload_texture_pixels(gl_, name, *pixels);
    textures_[name] = std::move(pixels);
}

void gl_viewport::mousePressEvent(QMouseEvent* event) {
    const mouse_state m = state_of(event);
    nav.mouse_down(m);
    // A press can arrive without a move to its position (touch, synthetic events): the
    // selection pass of the click must use the press position.
    nav.last_mouse = {m.x, m.y};
    if (event->button() == Qt::LeftButton && !no_click_pick) pick();
    emit mouse_down(event);
    emit clicked(QPoint(m.x, m.y), event->button(), event->modifiers());
}

void gl_viewport::mouseMoveEvent(QMouseEvent* event) {
    nav.mouse_move(state_of(event), *camera);
    if (zoom_dependent && nav.zooming) list.list_valid = false;
    update(); // replays the display list
    emit mouse_moved(event);
}

void gl_viewport::mouseReleaseEvent(QMouseEvent* event) {
    nav.mouse_up(*camera);
    emit mouse_up(event);
}
