// Menus and menu items as the main window and its command groups add them. Each carries its
// component's name as object name: the language files and the window tests find it by that name.
#pragma once

#include <QKeySequence>
#include <QString>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;

// The items of commands that do nothing without a level: enabled exactly while one is open.
using level_actions = std::vector<QAction*>;

QMenu& add_menu(QMenuBar& bar, const char* name, const QString& caption);
QMenu& add_submenu(QMenu& parent, const char* name, const QString& caption);
QAction* add_item(QMenu& menu, const char* name, const QString& caption, const QKeySequence& keys = {});
// An item that needs a level, kept in `needs_level`.
QAction* add_level_item(QMenu& menu, level_actions& needs_level, const char* name, const QString& caption,
                        const QKeySequence& keys = {});
