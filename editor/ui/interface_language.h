// The main window's interface language: the language window and the windows that follow it, the
// prompts and loading window that speak it, and the texts the main window composes while running
// (tree, page selector, texture list, recent items, caption) put in it after every change.
#pragma once

#include "prompts.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>

class QMainWindow;
class QTreeWidget;
class QWidget;
class editor_document;
class language_window;
class texture_panel_widget;
class translated_prompts;

class interface_language {
  public:
    // The language files are <program_dir>/<program>_<code>.lng (edited copies in `user_directory`
    // when given); `shown_by` shows the prompts.
    interface_language(const QString& program_dir, QMainWindow& main, editor_prompts& shown_by,
                       const QString& user_directory = {});
    ~interface_language();
    interface_language(const interface_language&) = delete;
    interface_language& operator=(const interface_language&) = delete;

    // A window whose texts follow the language (its object name is its form's class name).
    void add_window(QWidget* window);
    // The prompts in the chosen language.
    editor_prompts& prompts();
    language_window& window() { return *window_; }
    // The stored language chosen at start-up.
    void select(int identifier);
    int identifier() const;
    // The chosen language's file code ("de", "us", ...).
    QString code() const;

    // A TForm1 caption in the chosen language (the form's own caption for an empty name).
    QString caption(const char* component, const char* english) const;
    // Message `key` of the language files with its values (empty when no language has it).
    QString text(const char* key, const QStringList& values = {}) const;
    // A message of the editor in the chosen language.
    std::string word(const user_message& m) const;

    // The level's tree, page selector and texture list in the chosen language.
    void translate_level_texts(const editor_document& doc, QTreeWidget& tree,
                               texture_panel_widget& panel) const;

    // Called after every change of language, once its texts are on the windows.
    std::function<void()> changed;

  private:
    language_window* window_;
    std::unique_ptr<translated_prompts> prompts_;
};
