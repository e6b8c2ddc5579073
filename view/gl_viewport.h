// gl_viewport: the 3D view, a window of its own drawn with OpenGL (compatibility profile) — camera,
// model rotation, pan and zoom, the cached display list of the scene, textures, and picking.
// Widgets hold it through container(), so the rest of a window is drawn without GL composition.
#pragma once

#include "camera.h"
#include "picking.h"
#include "pixels.h"
#include "real_gl.h"

#include <QImage>
#include <QOpenGLWindow>
#include <QSurfaceFormat>
#include <cstdint>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

class QMouseEvent;
class QWheelEvent;
class QWidget;
class tr_scene;

class gl_viewport : public QOpenGLWindow {
    Q_OBJECT
  public:
    explicit gl_viewport(int colour_bits = 16);
    ~gl_viewport() override;

    // The surface format the view needs: a 2.1 context (immediate mode, display lists,
    // selection), double buffered, with the colour bits asked for. Set it as the application's
    // default format before QApplication is created.
    static QSurfaceFormat surface_format(int colour_bits);

    // The widget showing this view, made inside `parent` on the first call (later calls return
    // it); the widget owns the view from then on.
    QWidget* container(QWidget* parent);

    // What the view draws: called with the context current whenever the display list is rebuilt.
    void set_draw(std::function<void(gl_api&)> draw) { draw_ = std::move(draw); }
    // True while the drawing puts nothing on screen (nothing chosen yet). A new context then shows
    // its first frame before it receives the kept textures, which follow right after that frame;
    // otherwise the first frame gets the textures it draws, and the rest follow after it.
    void set_draws_nothing(std::function<bool()> draws_nothing) { draws_nothing_ = std::move(draws_nothing); }
    // True while the drawing depends on the zoom (points-mode markers sized in screen pixels): a
    // zoom or a resize then rebuilds the display list instead of replaying it.
    void set_zoom_dependent(bool on) { zoom_dependent_ = on; }
    void set_background(std::uint32_t colour) { background_ = colour; } // 0x00BBGGRR
    int colour_bits() const { return colour_bits_; }

    // Shows the view as a window of its own and handles events until its context exists (at most
    // `timeout_ms`); false when it did not come.
    bool show_and_wait(int timeout_ms = 10000);
    // Rebuilds the display list at the next paint and schedules that paint.
    void redraw();
    // Center Camera: fits what `scene` shows into this view and redraws. Nothing when nothing is
    // shown (then nothing changes), else the status text (empty for a moveable).
    std::optional<user_message> centre_on(const tr_scene& scene);
    // Scales the model about the view centre (a wheel step is wheel_zoom_factor) and repaints.
    void zoom(double factor);
    // The element under a point in logical pixels, decoded; nothing when no face or vertex is
    // there (or the view has no context yet).
    std::optional<::picked_name> pick_at(QPoint at) { return ::picked_name::from(name_at(at)); }
    // The same as the raw selection name (0: nothing).
    std::uint32_t name_at(QPoint at);
    // Radius, in model units, of a marker about `pixels` device pixels wide at the current zoom.
    double marker_radius(double pixels) const;
    // Paints a frame now and returns it, as the view shows it (empty without a context).
    QImage grab_frame();

    // Creates or replaces texture `name` in this view's context. The pixels are kept, so that a
    // re-created context gets its textures back.
    void upload(std::uint32_t name, std::shared_ptr<const upload_pixels> pixels);
    // The same when this view's context is already current (batches of uploads).
    void upload_current(std::uint32_t name, std::shared_ptr<const upload_pixels> pixels);
    // Textures to keep that are still being made elsewhere: taken in (waiting for them if need
    // be) before the first upload of kept textures and before any other texture is kept, so that
    // later textures replace them and not the reverse.
    using texture_batch = std::vector<std::pair<std::uint32_t, std::shared_ptr<const upload_pixels>>>;
    void keep_textures_later(std::shared_future<texture_batch> batch);
    bool has_context() const { return context() != nullptr && initialized_; }

    // For measurements and tests: the navigation state, the camera, the GL interface of the
    // context (valid while it is current), one frame painted into the current context (the list
    // rebuilt when asked), and drawing without the display list (to compare picks).
    const viewport_navigation& navigation() const { return nav_; }
    const gl_camera& camera() const { return camera_; }
    gl_api& gl() { return gl_; }
    void paint_current(bool rebuild_list);
    void set_display_list(bool on) { list_.use_list = on; }

  signals:
    // A mouse press in the view, after the view's own navigation handling. The listener picks at
    // `at` itself and decides what the click does.
    void clicked(QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

  protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    int device_width() const;
    int device_height() const;
    // Uploads every kept texture not yet in the (current) context.
    void upload_kept_textures();
    // Uploads the kept textures the next frame binds; the rest follow once it is on screen. A
    // level has a texture per object texture, and a figure uses few of them.
    void upload_drawn_textures();
    void upload_kept(std::uint32_t name);
    void take_textures_made_elsewhere();

    real_gl gl_;
    viewport_navigation nav_;
    gl_camera camera_;
    display_list_state list_;
    std::function<void(gl_api&)> draw_;
    std::function<bool()> draws_nothing_;
    QWidget* container_ = nullptr;
    std::uint32_t background_ = 0;
    int colour_bits_ = 16;
    bool zoom_dependent_ = false;
    bool initialized_ = false;
    bool kept_textures_pending_ = false; // the context is newer than the kept textures' uploads
    std::map<std::uint32_t, std::shared_ptr<const upload_pixels>> textures_;
    std::set<std::uint32_t> uploaded_; // kept textures already in the current context
    std::shared_future<texture_batch> textures_later_;
};
