// gl_viewport: the 3D view's OpenGL surface on a QOpenGLWidget (compatibility profile): camera,
// model rotation, pan and zoom, the cached display list of the scene, and picking.
#pragma once

#include "camera.h"
#include "picking.h"
#include "pixels.h"
#include "real_gl.h"

#include <QOpenGLWidget>
#include <QSurfaceFormat>
#include <cstdint>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QMouseEvent;

class gl_viewport : public QOpenGLWidget {
    Q_OBJECT
  public:
    explicit gl_viewport(QWidget* parent = nullptr, int colour_bits = 16);
    ~gl_viewport() override;

    // The surface format the view needs: a 2.1 context (immediate mode, display lists,
    // selection), double buffered, with the colour bits asked for. Set it as the application's
    // default format before QApplication is created.
    static QSurfaceFormat surface_format(int colour_bits);

    void set_background(std::uint32_t colour) { background = colour; }
    void set_camera(gl_camera* c) { camera = c; }
    // Rebuilds the display list from `draw` at the next paint and schedules that paint.
    void redraw();
    // Selection pass at last_mouse; the result is left in picked_name (0: nothing).
    void pick();
    // Sets last_mouse to a position in logical pixels and picks there; returns the raw name.
    std::uint32_t pick_at(int x, int y);
    // The element under a point in logical pixels, decoded; nothing when no face or vertex is
    // there (or the view has no context yet).
    std::optional<::picked_name> pick_at(QPoint at) { return ::picked_name::from(pick_at(at.x(), at.y())); }
    // Centres from the fit box (see viewport_navigation::centre_camera).
    void centre_camera();

    // Creates or replaces texture `name` in this viewport's context. The pixels are kept, so
    // that a re-created context gets its textures back.
    void upload(std::uint32_t name, std::shared_ptr<const upload_pixels> pixels);
    // The same when this viewport's context is already current (batches of uploads).
    void upload_current(std::uint32_t name, std::shared_ptr<const upload_pixels> pixels);
    // Textures to keep that are still being made elsewhere: taken in (waiting for them if need
    // be) before the first upload of kept textures and before any other texture is kept, so that
    // later textures replace them and not the reverse.
    using texture_batch = std::vector<std::pair<std::uint32_t, std::shared_ptr<const upload_pixels>>>;
    void keep_textures_later(std::shared_future<texture_batch> batch);
    bool has_context() const { return context() != nullptr && initialized_; }
    // The GL interface of this viewport's context (valid while the context is current).
    gl_api& gl() { return gl_; }

    viewport_navigation nav;
    display_list_state list;
    gl_camera* camera = nullptr;
    std::uint32_t background = 0; // 0x00BBGGRR
    std::uint32_t picked_name = 0;
    bool picking = false;
    bool no_click_pick = false; // true: a left press does not pick by itself
    // True while the drawing depends on the zoom (points-mode markers sized in screen pixels): a
    // zoom or a resize then rebuilds the display list instead of replaying it.
    bool zoom_dependent = false;
    int colour_bits = 16;
    std::function<void(gl_api&)> draw;
    // True while `draw` puts nothing on screen (nothing chosen yet). A new context then shows its
    // first frame before it receives the kept textures, which follow right after that frame.
    std::function<bool()> draws_nothing;

  signals:
    // A mouse press in the view, after the view's own handling (navigation, pick-on-click).
    // The editor picks at `at` itself and decides what the click does.
    void clicked(QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    // Emitted after the viewport's own handling, for the window's handlers.
    void mouse_down(QMouseEvent* event);
    void mouse_up(QMouseEvent* event);
    void mouse_moved(QMouseEvent* event);

  protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    int device_width() const;
    int device_height() const;
    // Uploads every kept texture into the (current) context.
    void upload_kept_textures();
    void take_textures_made_elsewhere();

    real_gl gl_;
    gl_camera own_camera_;
    bool initialized_ = false;
    bool kept_textures_pending_ = false; // the context is newer than the kept textures' uploads
    std::map<std::uint32_t, std::shared_ptr<const upload_pixels>> textures_;
    std::shared_future<texture_batch> textures_later_;
};
