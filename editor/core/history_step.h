// The name of an edit on the history, given as its message key and English (US) wording joined by
// a line break: QUndoCommand keeps the key as text() and the wording as actionText(), which is
// what undoText() and redoText() return. The windows name the step in the chosen language by key.
#pragma once

#include "user_message.h"

#include <QString>
#include <QUndoCommand>

inline QString step_text(msg step) {
    const message_definition& d = definition_of(step);
    return QString::fromUtf8(d.key) + '\n' + QString::fromUtf8(d.english);
}

// The step as a message: named by key when it was given one.
inline user_message step_message(const QUndoCommand& step) {
    const std::string key = step.text().toStdString();
    const std::string english = step.actionText().toStdString();
    if (key == english || definition_english(key) != english) return english;
    user_message m(english);
    m.key = key;
    return m;
}
