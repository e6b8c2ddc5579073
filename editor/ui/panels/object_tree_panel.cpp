// The object tree's items and selections.
#include "object_tree_panel.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTreeWidgetItemIterator>
#include <algorithm>

namespace {

// Tree items carry their node's kind and indices.
constexpr int kind_role = Qt::UserRole;
constexpr int index_role = Qt::UserRole + 1;
constexpr int parent_role = Qt::UserRole + 2;

QTreeWidgetItem* make_item(const tree_node& node) {
    // In English (US) here: the chosen language's wording follows (translate_level_texts).
    auto* item = new QTreeWidgetItem(QStringList(QString::fromStdString(node.label.english)));
    item->setToolTip(0, item->text(0)); // long moveable names are cut off in a narrow tree
    item->setData(0, kind_role, int(node.ref.kind));
    item->setData(0, index_role, node.ref.index);
    item->setData(0, parent_role, node.ref.parent_index);
    for (const auto& child : node.children)
        item->addChild(make_item(child));
    return item;
}

} // namespace

object_tree_panel::object_tree_panel(QWidget* parent) : QTreeWidget(parent) {
    setObjectName("TreeView1");
    setHeaderHidden(true);
    setMinimumSize(100, 100);
}

void object_tree_panel::fill(const tree_node& root) {
    const QSignalBlocker blocker(this);
    clear();
    auto* item = make_item(root);
    addTopLevelItem(item);
    item->setExpanded(true);
}

tree_ref object_tree_panel::node_of(const QTreeWidgetItem* item) {
    if (!item) return {};
    return {node_kind(item->data(0, kind_role).toInt()), item->data(0, index_role).toInt(),
            item->data(0, parent_role).toInt()};
}

void object_tree_panel::select_moveable(int n) {
    auto* root = topLevelItem(0);
    if (!root || root->childCount() < 1) return;
    auto* movables = root->child(0);
    if (n < 0 || n >= movables->childCount()) return;
    movables->setExpanded(true);
    setCurrentItem(movables->child(n));
}

void object_tree_panel::select_lara_or_largest(const tr_level& level) {
    if (const int chosen = lara_or_largest_moveable(level); chosen >= 0) select_moveable(chosen);
}

int object_tree_panel::width_for_names() const {
    int widest = 0;
    const QFontMetrics metrics(font());
    for (QTreeWidgetItemIterator it(const_cast<object_tree_panel*>(this)); *it; ++it)
        widest = std::max(widest, metrics.horizontalAdvance((*it)->text(0)));
    return widest + 3 * indentation() + verticalScrollBar()->sizeHint().width() + 2 * frameWidth() + 8;
}
