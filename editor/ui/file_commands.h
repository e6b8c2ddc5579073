// File > Open, Save, Save As and the recent files, a level dropped on the window, and the
// unsaved-changes question before the level is replaced or the window closes.
#pragma once

#include "editor_document.h"
#include "menu_items.h"

#include <QString>
#include <array>
#include <functional>

class loading_window;

class file_commands {
  public:
    // The rest of the main window these commands use.
    struct links {
        loading_window& loading;
        // trcatalog.xml beside the program.
        QString catalogue_path;
        // Refills the window from the document after a level was opened.
        std::function<void()> after_open;
        // After a save: the caption, the recent files and the names that show the file name.
        std::function<void()> after_save;
        // A line for the status bar.
        std::function<void(const user_message&)> show_status;
        // The folder the file choosers start in from now on.
        std::function<void(const std::string&)> start_choosers_in;
    };
    file_commands(editor_document& doc, editor_prompts& prompts, links with);

    // Open, Save and Save As appended to `file`; Save and Save As need a level.
    void add_menu_items(QMenu& file, level_actions& needs_level);
    // The recent files' items None1..None5 appended to `file`.
    void add_recent_items(QMenu& file);
    // The recent files on their items, `none` on the items without one.
    void show_recent_files(const QString& none);

    void open_file();
    // Opens a level (after the unsaved-changes question); false when nothing was opened.
    bool open_path(const QString& path);
    void open_recent(int index);
    void save();
    void save_as();
    // Before the window closes: false when the user kept it open.
    bool confirm_close();

  private:
    // Opens through `open` with the loading window kept up from the read to the OpenGL textures.
    bool open_with(const std::function<command_result(progress_view&, editor_prompts&)>& open);
    void after_saving();

    editor_document& doc_;
    editor_prompts& prompts_;
    links with_;
    std::array<QAction*, 5> recent_items_{};
};
