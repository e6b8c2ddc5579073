// The main window (TForm1): menus, the object tree, the 3D view, the texture panel, render modes,
// the boxes / lights / shiny tabs and the status bar, wired to the document, and the open and
// save path. Handlers turn an event into one document call and refresh the controls from the
// document; the texture and mesh exchange commands live in texture_commands and
// mesh_exchange_commands.
#pragma once

#include "app_settings.h"
#include "editor_document.h"
#include "scene.h"

#include <QMainWindow>
#include <array>
#include <memory>
#include <vector>

class QImage;
class QAction;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSettings;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class gl_viewport;
class about_window;
class animated_textures_window;
class language_window;
class interface_language;
class boxes_tab;
class keys_window;
class lights_tab;
class loading_window;
class mesh_exchange_commands;
class options_window;
class qt_prompts;
class readme_window;
class remap_window;
class shine_tab;
class status_hints;
class texture_commands;
class texture_panel_widget;

class main_window : public QMainWindow {
    Q_OBJECT
  public:
    // `program_dir`: where config.opt, solid.bmp, trcatalog.xml and Readme.txt are. `store`: the
    // per-user settings (owned by the caller). `prompts`: null for message boxes.
    main_window(const QString& program_dir, QSettings* store, editor_prompts* prompts = nullptr);
    ~main_window() override;

    // Opens a level (after the unsaved-changes question); false when nothing was opened.
    bool open_path(const QString& path);
    // Selects moveable n in the tree (its node becomes the current item).
    void select_moveable(int n);
    editor_document& document() { return doc_; }
    language_window& languages();
    gl_viewport* viewport() const { return viewport_; }

  protected:
    void closeEvent(QCloseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

  private:
    void build_controls();
    void build_menus();
    void set_hints();
    void fit_to_screen();

    // Menu commands and controls.
    void open_file();
    void open_recent(int index);
    void save();
    void save_as();
    void on_tree_selection(QTreeWidgetItem* item);
    void center_camera();
    void on_render_mode_chosen(render_mode mode);
    void on_viewport_clicked(QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers keys);
    // The lights and shine tabs as clicks and mesh commands read them.
    edit_controls edit_controls_now() const;
    // Shows a mesh command's message and redraws when it asks to.
    void run_mesh_command(const command_outcome& out);
    // The caption, marked while there are unsaved edits.
    void refresh_title();
    void choose_background(bool white);
    void toggle_perspective_correction();
    void toggle_automatic_gl_update();
    void update_gl_buffers();
    // The texture and mesh exchange commands, made once the prompts speak the interface language.
    void build_commands();

    // The language window and the windows, prompts and texts that follow the chosen language.
    void build_language_wiring();
    void translate_level_texts();
    // A message in the interface language.
    QString shown(const user_message& m) const;

    void refresh_after_open();
    // Commands that need a level are enabled exactly while one is open.
    void refresh_level_actions();
    // Undo (back) or redo one step of the history, refreshing what the step's kind changes.
    void step_history(bool back);
    void refresh_recent_items();
    void refresh_history_items();
    void refresh_render_buttons();
    void apply_background();
    // `pages`: the level's pages as the texture table drew them, when known to be current.
    void reload_gl_textures(const user_message& caption, const user_message& line,
                            const QImage* pages = nullptr);
    void redraw();
    // The scene with the document's selection and view settings.
    tr_scene& current_scene();

    QString program_dir_;
    QString config_path_;
    config_options config_;
    QSettings* store_;
    std::unique_ptr<qt_prompts> own_prompts_;
    editor_prompts* prompts_;
    editor_document doc_;
    tr_scene scene_;
    std::unique_ptr<texture_commands> textures_;
    std::unique_ptr<mesh_exchange_commands> mesh_exchange_;
    int language_ = 0;
    bool auto_gl_update_ = false;
    status_hints* hints_;
    std::vector<QAction*> level_actions_;

    QTreeWidget* tree_;
    QWidget* view_panel_;
    gl_viewport* viewport_;
    texture_panel_widget* texture_panel_;
    QGroupBox* render_group_;
    std::array<QRadioButton*, 4> render_buttons_{};
    QPushButton* center_button_;
    QTabWidget* tabs_;
    boxes_tab* boxes_tab_;
    lights_tab* lights_tab_;
    shine_tab* shine_tab_;
    QLabel* hint_status_;
    QLabel* selection_status_;
    QLabel* position_status_;
    std::array<QAction*, 5> recent_items_{};
    QAction* undo_action_;
    QAction* redo_action_;
    QAction* automatic_update_action_;
    QAction* perspective_action_;

    loading_window* loading_;
    keys_window* keys_;
    readme_window* readme_;
    about_window* about_;
    options_window* options_;
    remap_window* remap_;
    animated_textures_window* animated_;
    std::unique_ptr<interface_language> interface_;
};
