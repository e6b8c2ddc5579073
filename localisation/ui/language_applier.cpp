// Setting catalogue texts on Qt widgets and actions by object name.
#include "language_applier.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTabWidget>

namespace {

QString without_accelerator(QString s) {
    s.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    s.remove(QLatin1Char('&'));
    s.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return s;
}

// The tab widget that shows `page` as one of its tabs, if any.
QTabWidget* tab_owner(QWidget* page) {
    QWidget* stack = page->parentWidget();
    if (!qobject_cast<QStackedWidget*>(stack)) return nullptr;
    return qobject_cast<QTabWidget*>(stack->parentWidget());
}

bool set_caption(QObject* control, const QString& typed) {
    if (auto* menu = qobject_cast<QMenu*>(control)) {
        menu->setTitle(typed);
        return true;
    }
    if (auto* action = qobject_cast<QAction*>(control)) {
        action->setText(typed);
        return true;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(typed);
        return true;
    }
    if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(label->buddy() ? typed : without_accelerator(typed));
        return true;
    }
    if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setTitle(typed);
        return true;
    }
    auto* widget = qobject_cast<QWidget*>(control);
    if (!widget) return false;
    if (QTabWidget* tabs = tab_owner(widget)) {
        tabs->setTabText(tabs->indexOf(widget), typed);
        return true;
    }
    if (widget->isWindow()) {
        widget->setWindowTitle(without_accelerator(typed));
        return true;
    }
    return false;
}

bool set_entry(QObject* control, int k, const QString& text) {
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        if (k >= combo->count()) return false;
        combo->setItemText(k, text);
        return true;
    }
    if (auto* list = qobject_cast<QListWidget*>(control)) {
        if (k >= list->count()) return false;
        list->item(k)->setText(text);
        return true;
    }
    if (auto* memo = qobject_cast<QPlainTextEdit*>(control)) {
        QStringList lines = memo->toPlainText().split(QLatin1Char('\n'));
        while (lines.size() <= k)
            lines.append(QString());
        lines[k] = text;
        memo->setPlainText(lines.join(QLatin1Char('\n')));
        return true;
    }
    return false;
}

QObject* find_control(QWidget* window, const QString& name) {
    if (window->objectName() == name) return window;
    return window->findChild<QObject*>(name);
}

} // namespace

bool set_element(QObject* control, int element, const QString& typed) {
    if (!control) return false;
    switch (element) {
    case element_caption:
        return set_caption(control, typed);
    case element_short_hint:
        if (auto* w = qobject_cast<QWidget*>(control))
            w->setToolTip(typed);
        else if (auto* a = qobject_cast<QAction*>(control))
            a->setToolTip(typed);
        else
            return false;
        return true;
    case element_long_hint:
        if (auto* a = qobject_cast<QAction*>(control))
            a->setStatusTip(typed);
        else if (control->isWidgetType())
            control->setProperty(long_hint_property, typed);
        else
            return false;
        return true;
    default:
        return element >= 0 && set_entry(control, element, without_accelerator(typed));
    }
}

int apply_form(QWidget* window, const lng_form& form) {
    int set = 0;
    if (form.caption && set_caption(window, QString::fromStdString(typed_from_element(*form.caption)))) ++set;
    for (const auto& c : form.components) {
        QObject* control = find_control(window, QString::fromStdString(c.name));
        if (!control) continue;
        if (auto* memo = qobject_cast<QPlainTextEdit*>(control)) {
            // A text box takes all its lines at once: one relayout instead of one per line.
            QStringList lines = memo->toPlainText().split(QLatin1Char('\n'));
            for (const auto& [element, e] : c.elements) {
                if (element < 0) continue;
                while (lines.size() <= element)
                    lines.append(QString());
                lines[element] = without_accelerator(QString::fromStdString(typed_from_element(e)));
                ++set;
            }
            memo->setPlainText(lines.join(QLatin1Char('\n')));
        }
        for (const auto& [element, e] : c.elements) {
            if (element >= 0 && qobject_cast<QPlainTextEdit*>(control)) continue;
            const QString typed = QString::fromStdString(
                element < 0 && element != element_caption ? e.text : typed_from_element(e));
            if (set_element(control, element, typed)) ++set;
        }
    }
    return set;
}

int apply_catalogue(const QList<QWidget*>& windows, const lng_catalogue& catalogue) {
    int set = 0;
    for (QWidget* window : windows)
        if (const lng_form* form = catalogue.find(window->objectName().toStdString()))
            set += apply_form(window, *form);
    return set;
}

void drop_missing(lng_catalogue& catalogue, const QList<QWidget*>& windows, const QStringList& keep) {
    const auto window_of = [&](const std::string& class_name) -> QWidget* {
        for (QWidget* w : windows)
            if (w->objectName().toStdString() == class_name) return w;
        return nullptr;
    };
    std::erase_if(catalogue.forms, [&](lng_form& form) {
        if (keep.contains(QString::fromStdString(form.class_name))) return false;
        QWidget* window = window_of(form.class_name);
        if (!window) return true;
        std::erase_if(form.components, [&](const lng_component& c) {
            return !find_control(window, QString::fromStdString(c.name));
        });
        return false;
    });
}
