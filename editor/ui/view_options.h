// The View menu: the 3D view's OpenGL textures kept in step with texture edits or updated on
// demand, the background colour (kept in config.opt) and perspective-correct textures.
#pragma once

#include "menu_items.h"
#include "prompts.h"

#include <QObject>
#include <QString>
#include <functional>

class QAction;
class gl_viewport;
class tr_scene;

class view_options : public QObject {
  public:
    // The rest of the main window these options act on.
    struct links {
        gl_viewport& viewport;
        // The scene the view draws: its lines contrast with the background, its textures are
        // smoothed with perspective correction.
        tr_scene& scene;
        editor_prompts& prompts;
        // config.opt, whose second line keeps the background colour.
        QString config_path;
        // Every page again into the GL buffers (the main window's "Working..." reload).
        std::function<void()> reload_gl_textures;
        std::function<void()> redraw;
    };
    // Adds the View menu to `bar` and shows the background `white_background` says; the
    // automatic OpenGL update starts on.
    view_options(QMenuBar& bar, level_actions& needs_level, bool white_background, links with);

    // View > OpenGL Buffers > Automatic OpenGL buffers Update is ticked.
    bool automatic_gl_update() const;

  private:
    void show_background(bool white);
    // Shows the colour and keeps it in config.opt.
    void choose_background(bool white);
    void toggle_perspective_correction();

    links with_;
    QAction* automatic_update_;
    QAction* perspective_;
};
