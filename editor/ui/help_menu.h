// The Help menu and the windows it opens: the readme, the keys guide, About, the OpenGL buffers
// configuration (config.opt's colour bits) and the language window.
#pragma once

#include <QString>
#include <array>

class QMenuBar;
class QWidget;
class about_window;
class keys_window;
class language_window;
class options_window;
class readme_window;

class help_menu {
  public:
    // Makes the windows, children of `parent`, at once: the interface language dresses them before
    // the menu exists. `config_path`: config.opt, whose colour bits the configuration edits.
    help_menu(QWidget& parent, const QString& program_dir, const QString& config_path);

    // Adds the Help menu to `bar`; its Language item shows `languages`.
    void add_to(QMenuBar& bar, language_window& languages);
    // The keys guide, the readme, About and the configuration, whose texts follow the language.
    std::array<QWidget*, 4> windows() const;
    readme_window& readme() { return *readme_; }
    options_window& options() { return *options_; }

  private:
    keys_window* keys_;
    readme_window* readme_;
    about_window* about_;
    options_window* options_;
};
