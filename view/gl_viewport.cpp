// gl_viewport: context set-up, paint, navigation events and the selection pass.
#include "gl_viewport.h"

#include "picking.h"
#include "recording_gl.h"
#include "texture_upload.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>
#include <array>
#include <cmath>

namespace {
mouse_state state_of(const QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    return {p.x(), p.y(), (e->buttons() & Qt::RightButton) != 0, (e->modifiers() & Qt::ShiftModifier) != 0,
            (e->modifiers() & Qt::ControlModifier) != 0};
}
} // namespace

gl_viewport::gl_viewport(int bits) : colour_bits_(bits) {
    list_.list_id = next_list_id();
    setFormat(surface_format(bits));
    // Textures held back for the first frame follow as soon as it is on screen.
    connect(this, &QOpenGLWindow::frameSwapped, this, [this] {
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
    f.setDepthBufferSize(24);
    return f;
}

QWidget* gl_viewport::container(QWidget* parent) {
    if (!container_) container_ = QWidget::createWindowContainer(this, parent);
    return container_;
}

int gl_viewport::device_width() const {
    return int(std::lround(width() * devicePixelRatio()));
}
int gl_viewport::device_height() const {
    return int(std::lround(height() * devicePixelRatio()));
}

void gl_viewport::initializeGL() {
    // Runs again when the context is re-created (re-parenting): display lists and textures
    // live in the context, so the list is rebuilt and the kept textures are uploaded again,
    // before the first frame that draws anything.
    initialized_ = true;
    gl_.forget_textures();
    uploaded_.clear();
    apply_initial_state(gl_);
    list_.list_valid = false;
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
    for (const auto& [name, pixels] : later.get()) {
        textures_[name] = pixels;
        uploaded_.erase(name); // replaced: the context holds the old pixels
    }
}

void gl_viewport::upload_kept(std::uint32_t name) {
    const auto kept = textures_.find(name);
    if (kept == textures_.end() || !uploaded_.insert(name).second) return;
    upload_texture_pixels(gl_, name, *kept->second);
}

void gl_viewport::upload_kept_textures() {
    take_textures_made_elsewhere();
    for (const auto& kept : textures_)
        upload_kept(kept.first);
    kept_textures_pending_ = false;
}

void gl_viewport::upload_drawn_textures() {
    take_textures_made_elsewhere();
    recording_gl probe;
    draw_(probe);
    for (const gl_call& call : probe.calls)
        if (call.op == gl_op::bind_texture) upload_kept(std::uint32_t(call.a[1]));
    kept_textures_pending_ = uploaded_.size() < textures_.size();
}

void gl_viewport::resizeGL(int, int) {
    if (zoom_dependent_) list_.list_valid = false;
    apply_projection(gl_, device_width(), device_height());
}

void gl_viewport::paintGL() {
    if (kept_textures_pending_ && draw_ && !(draws_nothing_ && draws_nothing_())) upload_drawn_textures();
    apply_projection(gl_, device_width(), device_height());
    paint_frame(gl_, nav_, camera_, background_, list_, draw_);
}

void gl_viewport::paint_current(bool rebuild_list) {
    if (rebuild_list) list_.list_valid = false;
    paint_frame(gl_, nav_, camera_, background_, list_, draw_);
}

bool gl_viewport::show_and_wait(int timeout_ms) {
    show();
    QElapsedTimer waited;
    waited.start();
    while (!has_context() && waited.elapsed() < timeout_ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return has_context();
}

void gl_viewport::redraw() {
    list_.list_valid = false;
    update();
}

std::optional<user_message> gl_viewport::centre_on(const tr_scene& scene) {
    const double aspect = height() > 0 ? double(width()) / double(height()) : 1.0;
    auto status = centre_on_selection(scene, nav_, camera_, aspect);
    if (status) redraw();
    return status;
}

void gl_viewport::zoom(double factor) {
    nav_.zoom_about_centre(factor, camera_);
    if (zoom_dependent_) list_.list_valid = false;
    update();
}

double gl_viewport::marker_radius(double pixels) const {
    return point_marker_radius(nav_, camera_, device_height(), pixels);
}

QImage gl_viewport::grab_frame() {
    if (!has_context()) return {};
    makeCurrent();
    paintGL();
    glFinish();
    QImage frame(device_width(), device_height(), QImage::Format_RGBX8888);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadBuffer(format().swapBehavior() == QSurfaceFormat::SingleBuffer ? GL_FRONT : GL_BACK);
    glReadPixels(0, 0, frame.width(), frame.height(), GL_RGBA, GL_UNSIGNED_BYTE, frame.bits());
    doneCurrent();
    frame = frame.mirrored();
    frame.setDevicePixelRatio(devicePixelRatio());
    return frame;
}

std::uint32_t gl_viewport::name_at(QPoint at) {
    if (!has_context()) return 0;
    makeCurrent();
    std::array<GLuint, select_buffer_size> buffer{};
    GLint vp[4] = {0, 0, device_width(), device_height()};
    glViewport(vp[0], vp[1], vp[2], vp[3]);
    glSelectBuffer(GLsizei(buffer.size()), buffer.data());
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glRenderMode(GL_SELECT);
    glLoadIdentity();
    const double dpr = devicePixelRatio();
    gluPickMatrix(at.x() * dpr, vp[3] - at.y() * dpr, 0.09, 0.09, vp);
    apply_perspective(gl_, vp[2], vp[3]);
    glMatrixMode(GL_MODELVIEW);
    // The frame in selection mode draws nothing into the framebuffer; it is not cleared, so
    // the picture on screen stays as it was.
    paint_frame(gl_, nav_, camera_, background_, list_, draw_, false);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    const GLint hits = glRenderMode(GL_RENDER);
    glMatrixMode(GL_MODELVIEW);
    const std::uint32_t name = choose_hit(buffer.data(), buffer.size(), hits);
    apply_projection(gl_, vp[2], vp[3]);
    doneCurrent();
    return name;
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
    if (has_context()) {
        upload_texture_pixels(gl_, name, *pixels);
        uploaded_.insert(name);
    }
    textures_[name] = std::move(pixels);
}

void gl_viewport::mousePressEvent(QMouseEvent* event) {
    const mouse_state m = state_of(event);
    nav_.mouse_down(m);
    nav_.last_mouse = {m.x, m.y};
    emit clicked(QPoint(m.x, m.y), event->button(), event->modifiers());
}

void gl_viewport::mouseMoveEvent(QMouseEvent* event) {
    nav_.mouse_move(state_of(event), camera_);
    if (zoom_dependent_ && nav_.zooming) list_.list_valid = false;
    if (event->buttons() & Qt::RightButton) update(); // replays the display list
}

void gl_viewport::mouseReleaseEvent(QMouseEvent*) {
    nav_.mouse_up(camera_);
}

void gl_viewport::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) return;
    zoom(wheel_zoom_factor(delta));
    event->accept();
}
