// The View menu's options.
#include "view_options.h"

#include "app_settings.h"
#include "gl_viewport.h"
#include "scene.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

view_options::view_options(QMenuBar& bar, level_actions& needs_level, bool white_background, links with)
    : with_(std::move(with)) {
    QMenu& view = add_menu(bar, "View1", "View");
    QMenu& buffers = add_submenu(view, "OpenGLBuffers1", "OpenGL Buffers");
    automatic_update_ = add_item(buffers, "AutomaticOpenGLBuffersUpdate1", "Automatic OpenGL buffers Update",
                                 QKeySequence("F3"));
    automatic_update_->setCheckable(true);
    automatic_update_->setChecked(true);
    connect(add_level_item(buffers, needs_level, "UpdateOpenGLBuffers1", "Update OpenGL buffers"),
            &QAction::triggered, this, [this] {
                with_.reload_gl_textures();
                with_.redraw();
            });

    QMenu& background = add_submenu(view, "BackGroundColor1", "BackGround Color");
    // The two colours are exclusive; the one in use is ticked.
    auto* colours = new QActionGroup(&background);
    QAction* white = add_item(background, "White1", "White");
    QAction* black = add_item(background, "Black1", "Black");
    for (QAction* a : {white, black}) {
        a->setCheckable(true);
        colours->addAction(a);
    }
    (white_background ? white : black)->setChecked(true);
    connect(white, &QAction::triggered, this, [this] { choose_background(true); });
    connect(black, &QAction::triggered, this, [this] { choose_background(false); });

    perspective_ =
        add_item(view, "EnablePerspectiveCorrection1", "Enable Perspective Correction", QKeySequence("F2"));
    perspective_->setCheckable(true);
    connect(perspective_, &QAction::triggered, this, &view_options::toggle_perspective_correction);
    show_background(white_background);
}

bool view_options::automatic_gl_update() const {
    return automatic_update_->isChecked();
}

void view_options::show_background(bool white) {
    with_.viewport.set_background(white ? 0x00FFFFFFu : 0);
    with_.scene.line_colour =
        white ? std::array<std::uint8_t, 3>{0, 0, 0} : std::array<std::uint8_t, 3>{255, 255, 255};
    with_.redraw();
}

void view_options::choose_background(bool white) {
    show_background(white);
    try {
        write_config_background(with_.config_path.toStdString(), white);
    } catch (const std::exception& e) {
        with_.prompts.message(say(msg::settings_not_saved, {e.what()}));
    }
}

void view_options::toggle_perspective_correction() {
    with_.scene.smooth_textures = with_.scene.smooth_textures ? 0 : 1;
    perspective_->setChecked(with_.scene.smooth_textures != 0);
    with_.redraw();
}
