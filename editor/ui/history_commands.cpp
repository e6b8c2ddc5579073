// Undo and redo from the Edit menu and its keys.
#include "history_commands.h"

#include "edit_commands.h"
#include "history_step.h"
#include "mesh_swap.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QUndoStack>
#include <algorithm>

history_commands::history_commands(editor_document& doc, QMenu& edit, QWidget& window, links with)
    : doc_(doc), window_(window), with_(std::move(with)) {
    // The items keep their own shortcuts and answer the platform's standard keys too; their texts
    // name the step they undo or redo.
    undo_ = edit.addAction("Undo");
    undo_->setObjectName("Undo1");
    undo_->setShortcuts({QKeySequence("Ctrl+U"), QKeySequence("Ctrl+Z")});
    redo_ = edit.addAction("Redo");
    redo_->setObjectName("Redo1");
    redo_->setShortcuts({QKeySequence("Ctrl+R"), QKeySequence("Ctrl+Shift+Z")});
    undo_->setEnabled(false);
    redo_->setEnabled(false);
    QUndoStack& history = doc_.history();
    connect(undo_, &QAction::triggered, this, [this] { step(true); });
    connect(redo_, &QAction::triggered, this, [this] { step(false); });
    connect(&history, &QUndoStack::canUndoChanged, undo_, &QAction::setEnabled);
    connect(&history, &QUndoStack::canRedoChanged, redo_, &QAction::setEnabled);
    connect(&history, &QUndoStack::undoTextChanged, this, [this] { refresh_items(); });
    connect(&history, &QUndoStack::redoTextChanged, this, [this] { refresh_items(); });
    qApp->installEventFilter(this);
}

void history_commands::refresh_items() {
    // "Undo" / "Redo" and the step's name, both in the interface language.
    const QUndoStack& history = doc_.history();
    const auto text = [this](const char* component, const char* english, const QUndoCommand* step) {
        const QString item = with_.caption ? with_.caption(component, english) : QString(english);
        if (!step) return item;
        const user_message name = step_message(*step);
        return item + ' ' + (with_.word ? with_.word(name) : QString::fromStdString(name.english));
    };
    undo_->setText(text("Undo1", "Undo", history.canUndo() ? history.command(history.index() - 1) : nullptr));
    redo_->setText(text("Redo1", "Redo", history.canRedo() ? history.command(history.index()) : nullptr));
}

void history_commands::step(bool back) {
    QUndoStack& history = doc_.history();
    const QUndoCommand* step = history.command(back ? history.index() - 1 : history.index());
    if (!step) return;
    back ? history.undo() : history.redo();
    // A texture step changes pages and object textures: what the panel lists and OpenGL holds.
    if (dynamic_cast<const object_texture_edit*>(step) || dynamic_cast<const texture_pixel_edit*>(step))
        with_.textures_changed();
    // A mesh step on a mesh the view does not show would change nothing visible: name the mesh.
    if (const auto* meshes = dynamic_cast<const swap_meshes*>(step)) {
        const std::vector<int> changed = meshes->mesh_numbers(), shown = doc_.shown_meshes();
        const auto is_shown = [&](int m) { return std::find(shown.begin(), shown.end(), m) != shown.end(); };
        if (!changed.empty() && std::none_of(changed.begin(), changed.end(), is_shown))
            with_.show_status(say(back ? msg::undone_on_hidden_mesh : msg::redone_on_hidden_mesh,
                                  {std::to_string(changed.front())}));
    }
}

bool history_commands::eventFilter(QObject* watched, QEvent* event) {
    // A field claims its own undo keys (Ctrl+Z, and Ctrl+U blanks a line): in this window they
    // undo and redo the level instead, whose value the field then shows. Paste stays the field's.
    if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == &window_) {
        const QKeySequence keys(static_cast<QKeyEvent*>(event)->keyCombination());
        for (const QAction* a : {undo_, redo_})
            if (a->shortcuts().contains(keys)) return true;
    }
    return QObject::eventFilter(watched, event);
}
