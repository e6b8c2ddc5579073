// Edit > Undo and Redo: the items named after the step they undo or redo, their keys wherever the
// focus is in the main window (a focused field included), and what a step changes besides the
// level: the texture panel after a texture step, a word when the mesh it changed is not shown.
#pragma once

#include "editor_document.h"

#include <QObject>
#include <functional>

class QAction;
class QMenu;
class QWidget;

class history_commands : public QObject {
  public:
    // The rest of the main window these commands use.
    struct links {
        // After a texture step: the panel, its lists and the OpenGL textures.
        std::function<void()> textures_changed;
        // A line for the selection panel of the status bar.
        std::function<void(const user_message&)> show_status;
        // A Main window caption in the interface language (its English text while unset).
        std::function<QString(const char* component, const char* english)> caption;
        // A message in the interface language.
        std::function<QString(const user_message&)> word;
    };
    // Adds Undo and Redo to `edit` and catches their keys in `window`.
    history_commands(editor_document& doc, QMenu& edit, QWidget& window, links with);

    void undo() { step(true); }
    void redo() { step(false); }
    // Names the items after the steps they undo and redo again, in the interface language.
    void refresh_items();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void step(bool back);

    editor_document& doc_;
    QWidget& window_;
    links with_;
    QAction* undo_;
    QAction* redo_;
};
