// The Help menu.
#include "help_menu.h"

#include "language_window.h"
#include "menu_items.h"
#include "windows/about_window.h"
#include "windows/keys_window.h"
#include "windows/options_window.h"
#include "windows/readme_window.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

help_menu::help_menu(QWidget& parent, const QString& program_dir, const QString& config_path)
    : keys_(new keys_window(&parent)), readme_(new readme_window(program_dir, &parent)),
      about_(new about_window(&parent)), options_(new options_window(config_path, &parent)) {}

void help_menu::add_to(QMenuBar& bar, language_window& languages) {
    QMenu& help = add_menu(bar, "Help1", "Help");
    QObject::connect(add_item(help, "ReadmeFile1", "Readme File"), &QAction::triggered, readme_,
                     &QWidget::show);
    QObject::connect(add_item(help, "KeysGuide1", "Keys Guide", QKeySequence("F1")), &QAction::triggered,
                     keys_, &QWidget::show);
    QObject::connect(add_item(help, "About1", "About..."), &QAction::triggered, about_, &QDialog::exec);
    help.addSeparator();
    options_window* options = options_;
    QObject::connect(add_item(help, "OpenGLBuffersConfiguration1", "OpenGL Buffers Configuration"),
                     &QAction::triggered, options, [options] {
                         options->load();
                         options->exec();
                     });
    QObject::connect(add_item(help, "Language1", "Language", QKeySequence("Shift+F2")), &QAction::triggered,
                     &languages, [&languages] {
                         languages.show();
                         languages.raise();
                     });
}

std::array<QWidget*, 4> help_menu::windows() const {
    return {keys_, readme_, about_, options_};
}
