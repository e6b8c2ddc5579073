// Named menus and menu items.
#include "menu_items.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

QMenu& named(QMenu* menu, const char* name) {
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    return *menu;
}

} // namespace

QMenu& add_menu(QMenuBar& bar, const char* name, const QString& caption) {
    return named(bar.addMenu(caption), name);
}

QMenu& add_submenu(QMenu& parent, const char* name, const QString& caption) {
    return named(parent.addMenu(caption), name);
}

QAction* add_item(QMenu& menu, const char* name, const QString& caption, const QKeySequence& keys) {
    QAction* action = menu.addAction(caption);
    action->setObjectName(name);
    if (!keys.isEmpty()) action->setShortcut(keys);
    return action;
}

QAction* add_level_item(QMenu& menu, level_actions& needs_level, const char* name, const QString& caption,
                        const QKeySequence& keys) {
    QAction* action = add_item(menu, name, caption, keys);
    needs_level.push_back(action);
    return action;
}
