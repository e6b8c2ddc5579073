// The hint panel following the mouse.
#include "status_hints.h"

#include "language_applier.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QMainWindow>
#include <QSinglePointEvent>
#include <utility>

status_hints::status_hints(QLabel& panel, QWidget& view_panel, QWidget& view, QWidget& tree, QObject* parent)
    : QObject(parent), panel_(panel), view_panel_(view_panel), view_(view), tree_(tree) {}

void status_hints::watch_controls(QMainWindow& window) {
    const std::pair<const char*, const char*> hints[] = {
        {"TreeView1", "Select a Movable, Mesh or Static Mesh For Editing..."},
        {"Shape1", "This texture will be aplied in the Selected Item"},
        {"Button2", "Export Current texture to BMP file..."},
        {"Button3", "Import a BMP file and replaces the current texture..."},
        {"GroupBox2", "Select one of this modes to Work..."},
        {"Button1", "Press to Center Camera..."},
        {"ListBox1", "List of All Textures. You can select one of them..."},
        {"Image1", "Click to select a Texture, SHIFT+drag to mark a new one..."},
        {"SpinEdit2", "X_1 Coordinate..."},
        {"SpinEdit3", "X_2 Coordinate..."},
        {"SpinEdit4", "Y_1 Coordinate..."},
        {"SpinEdit5", "Y_2 Coordinate..."},
        {"SpinEdit6", "Z_1 Coordinate..."},
        {"SpinEdit7", "Z_2 Coordinate..."},
        {"SpinEdit1", "Unknown meaning..."},
        {"Button4", "Click for Static Meshes Automatic Bound..."},
        {"RadioButton5", "Work With Colisional Boxes..."},
        {"RadioButton4", "Work With Visibility Boxes..."},
        {"GroupBox4", "Select the Light Value for Static Meshes..."},
        {"Button5", "Change all light of the Current Static Mesh..."},
        {"GroupBox1", ""},
        {"PageControl1", ""},
    };
    for (const auto& [name, text] : hints)
        if (auto* w = window.findChild<QWidget*>(name)) set(w, text);
    // The view fills Panel1 and receives its mouse moves.
    set(&view_panel_, "CLICK: Apply,    ALT+CLICK: Rotate,    CTRL+CLICK: Get.");
    set(&view_, "CLICK: Apply,    ALT+CLICK: Rotate,    CTRL+CLICK: Get.");
    set(window.centralWidget(), "");
}

void status_hints::set(QObject* widget, const QString& text) {
    widget->setProperty(long_hint_property, text);
    hinted_.insert(widget);
    widget->installEventFilter(this);
    if (auto* w = qobject_cast<QWidget*>(widget)) w->setMouseTracking(true);
}

QString status_hints::hint_of(const QObject& owner) const {
    const QString special = &owner == &view_panel_ && view_hint ? view_hint() : QString();
    return special.isEmpty() ? owner.property(long_hint_property).toString() : special;
}

void status_hints::refresh() {
    // A message shown since (a save, a missing catalogue) stays.
    if (!shown_ || panel_.text() != shown_text_) return;
    panel_.setText(hint_of(*shown_));
    shown_text_ = panel_.text();
}

bool status_hints::eventFilter(QObject* watched, QEvent* event) {
    if ((event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) && hinted_.count(watched)) {
        // A mouse move a button does not take travels on to its parents, whose own hints (often
        // empty) would replace the button's: the hint is that of the nearest hinted widget under
        // the mouse.
        QPoint at = QCursor::pos();
        if (auto* e = dynamic_cast<QSinglePointEvent*>(event)) at = e->globalPosition().toPoint();
        QObject* under = QApplication::widgetAt(at);
        while (under && !hinted_.count(under))
            under = under->parent();
        if (!under) under = watched;
        // The view fills Panel1 and shows Panel1's hint.
        QObject* owner = under == &view_ ? static_cast<QObject*>(&view_panel_) : under;
        shown_ = owner;
        panel_.setText(hint_of(*owner));
        shown_text_ = panel_.text();
        if (under == &tree_ && event->type() == QEvent::Enter) tree_.setFocus();
    }
    return QObject::eventFilter(watched, event);
}
