// The Textures menu and the texture panel's Export and Import buttons: all pages (BigBMP), the
// current texture and the selection's pieces exchanged as BMP, new pages, Define Mouse Selected,
// the Animated Textures window, and Special > Convert Colored to Textured Faces, Retexture and
// Apply Intensity Alpha. Each handler turns the command into one document call and shows the
// outcome in the panel and the view.
#pragma once

#include "command_host.h"
#include "menu_items.h"

#include <QObject>
#include <functional>
#include <string>

class gl_viewport;
class animated_textures_window;

class texture_commands : public QObject {
  public:
    // The rest of the main window these commands use.
    struct links {
        gl_viewport& viewport;
        // The "Please Wait..." window of bitmap imports.
        progress_view& progress;
        animated_textures_window& animated;
        // Every page again into the GL buffers (the main window's "Working..." reload).
        std::function<void()> reload_gl_textures;
        // View > OpenGL Buffers > Automatic OpenGL buffers Update is ticked.
        std::function<bool()> automatic_gl_update;
        // The text of the tree's current item ("" when none).
        std::function<std::string()> selected_item_text;
        // Rows just added to the page selector and the texture list put in the interface language.
        std::function<void()> translate_lists;
        // A line for the status bar, in English (US).
        std::function<void(const user_message&)> show_status;
    };
    // Connects the panel's Export and Import buttons.
    texture_commands(command_host host, links with);

    // The Textures menu's items appended to `textures`, and Convert Colored to Textured Faces,
    // Retexture and Apply Intensity Alpha to `special`; all but View Animated Textures need a level.
    void add_menu_items(QMenu& textures, QMenu& special, level_actions& needs_level);

    void export_big_bmp();
    void import_big_bmp();
    void export_current();
    void import_replace_current();
    void export_all();
    void import_and_replace();
    void import_texture_pages();
    void define_mouse_selected();
    // The current texture on the selection's coloured faces (which become textured), or on all
    // its textured faces.
    void convert_coloured();
    void retexture();
    void apply_intensity_alpha();
    void show_animated_textures();
    // After the textures changed outside these commands (an undo or redo of one of them): the
    // panel, its lists and, when OpenGL follows automatically, the view's textures.
    void textures_changed() { after_texture_import(true); }

  private:
    // Shows a mesh command's message and redraws when it asks to.
    void show_outcome(const command_outcome& out);
    // The save chooser preset to `suggested_name`; ".bmp" added to a name typed without extension.
    std::string choose_bitmap_to_write(const std::string& suggested_name);
    std::string choose_bitmap_to_read();
    // A bitmap chosen and read, then imported under the "Please Wait..." window and the wait cursor.
    void import_while_waiting(command_result (editor_document::*import)(const QImage&));
    void after_texture_import(bool upload_all);
    // After a bitmap was imported: how many of its pixels became transparent, in the status bar.
    void report_transparent_pixels(const QImage& bitmap);
    void upload(int texture, const QImage& picture);

    command_host host_;
    links with_;
};
