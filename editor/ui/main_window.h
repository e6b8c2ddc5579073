// The main window (TForm1): menus, the object tree, the 3D view, the texture panel, render modes,
// the boxes / lights / shiny tabs and the status bar, wired to the document. Handlers turn an
// event into one document call and refresh the controls from the document; opening and saving,
// undo and redo, the texture and the mesh exchange commands live in file_commands,
// history_commands, texture_commands and mesh_exchange_commands, which add their own menu items;
// the View menu's options are view_options, the Help menu and its windows help_menu.
#pragma once

#include "app_settings.h"
#include "data_folders.h"
#include "editor_document.h"
#include "scene.h"

#include <QMainWindow>
#include <memory>
#include <vector>

class QImage;
class QAction;
class QLabel;
class QPushButton;
class QSettings;
class QSplitter;
class QTabWidget;
class QTreeWidgetItem;
class gl_viewport;
class animated_textures_window;
class language_window;
class interface_language;
class boxes_tab;
class help_menu;
class lights_tab;
class loading_window;
class mesh_exchange_commands;
class object_tree_panel;
class file_commands;
class history_commands;
class qt_prompts;
class render_mode_group;
class remap_window;
class shine_tab;
class status_hints;
class texture_commands;
class texture_panel_widget;
class view_options;

class main_window : public QMainWindow {
    Q_OBJECT
  public:
    // `folders`: where config.opt, solid.bmp, trcatalog.xml, Readme.txt and the language files
    // are, and where changed ones are written. `store`: the per-user settings (owned by the
    // caller). `prompts`: null for message boxes.
    main_window(const data_folders& folders, QSettings* store, editor_prompts* prompts = nullptr);
    ~main_window() override;

    // Opens a level (after the unsaved-changes question); false when nothing was opened.
    bool open_path(const QString& path);
    // Selects moveable n in the tree (its node becomes the current item).
    void select_moveable(int n);
    // Selects Lara (object 0) or, in a level without her, the moveable with the most meshes: the
    // first thing to show of a level named on the command line.
    void select_lara_or_largest();
    editor_document& document() { return doc_; }
    language_window& languages();
    gl_viewport* viewport() const { return viewport_; }

  protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

  private:
    void build_controls();
    // The menus, once the command groups that add most of their items exist.
    void build_menus();
    void set_hints();
    void fit_to_screen();

    // Menu commands and controls.
    void on_tree_selection(QTreeWidgetItem* item);
    void center_camera();
    void on_render_mode_chosen(render_mode mode);
    void on_viewport_clicked(QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers keys);
    // The status text saying why a whole moveable is not shown as points.
    void explain_no_points();
    // The lights and shine tabs as clicks and mesh commands read them.
    edit_controls edit_controls_now() const;
    // Shows a mesh command's message and redraws when it asks to.
    void run_mesh_command(const command_outcome& out);
    // The caption, marked while there are unsaved edits.
    void refresh_title();
    // The texture and mesh exchange commands, made once the prompts speak the interface language.
    void build_commands();

    // The language window and the windows, prompts and texts that follow the chosen language.
    void build_language_wiring();
    void translate_level_texts();
    // A message in the interface language.
    QString shown(const user_message& m) const;

    void refresh_after_open();
    // The tree made as wide as tree_wanted_width_.
    void apply_tree_width();
    // After Save or Save As: the caption, the recent files and the names showing the file name.
    void after_save();
    // Commands that need a level are enabled exactly while one is open.
    void refresh_level_actions();
    void refresh_recent_items();
    void refresh_render_buttons();
    // `pages`: the level's pages as the texture table drew them, when known to be current.
    void reload_gl_textures(const user_message& caption, const user_message& line,
                            const QImage* pages = nullptr);
    void redraw();
    // The scene with the document's selection and view settings.
    tr_scene& current_scene();

    QString program_dir_;
    QString user_dir_; // where changed data files go (program_dir_ in the build tree)
    QString config_path_;
    config_options config_;
    QSettings* store_;
    std::unique_ptr<qt_prompts> own_prompts_;
    editor_prompts* prompts_;
    editor_document doc_;
    tr_scene scene_;
    std::unique_ptr<texture_commands> textures_;
    std::unique_ptr<mesh_exchange_commands> mesh_exchange_;
    std::unique_ptr<file_commands> files_;
    std::unique_ptr<history_commands> history_;
    std::unique_ptr<view_options> view_;
    std::unique_ptr<help_menu> help_;
    int language_ = 0;
    status_hints* hints_;
    std::vector<QAction*> level_actions_;

    object_tree_panel* tree_;
    QSplitter* tree_and_view_;
    int tree_wanted_width_ = 0; // set by an open, applied once the window has its size
    QWidget* view_panel_;
    gl_viewport* viewport_;
    texture_panel_widget* texture_panel_;
    render_mode_group* render_group_;
    QPushButton* center_button_;
    QTabWidget* tabs_;
    boxes_tab* boxes_tab_;
    lights_tab* lights_tab_;
    shine_tab* shine_tab_;
    QLabel* hint_status_;
    QLabel* selection_status_;
    QLabel* position_status_;

    loading_window* loading_;
    remap_window* remap_;
    animated_textures_window* animated_;
    std::unique_ptr<interface_language> interface_;
};
