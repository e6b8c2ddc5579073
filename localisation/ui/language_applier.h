// Putting catalogue texts on live windows: a window is found by its object name (the form's class
// name, e.g. "TForm1") and its controls by theirs ("OpenFile1", "CheckBox12").
#pragma once

#include "language_file.h"

#include <QList>
#include <QString>

class QObject;
class QWidget;

// The property that holds a control's long hint: the text the main window's status bar shows
// while the mouse is over the control. (Not Qt's status tip, which a main window would show by
// itself over the status bar's panels.)
inline constexpr const char* long_hint_property = "long_hint";

// Sets one element on a control: Caption as its text, title or tab text (with its accelerator);
// Hint as its tool tip; LongHint as its long-hint property (actions: their status tip);
// list entry k as entry k of a combo box, list or text box. False when the control has no such
// element (a list shorter than k, a kind of control without a text).
bool set_element(QObject* control, int element, const QString& typed);

// Applies every element with a text of `form` to `window` and its controls; returns how many were set.
int apply_form(QWidget* window, const lng_form& form);
// Applies the catalogue to every window of the list whose object name matches a form.
int apply_catalogue(const QList<QWidget*>& windows, const lng_catalogue& catalogue);

// Drops forms without a live window and components without a live control, except the forms in
// `keep` (texts that no window shows directly, such as the messages).
void drop_missing(lng_catalogue& catalogue, const QList<QWidget*>& windows, const QStringList& keep);
