// The object tree (TreeView1): the level's moveables with their meshes and its static meshes, each
// item carrying the node it stands for.
#pragma once

#include "object_tree.h"
#include "tr_level.h"

#include <QTreeWidget>

class object_tree_panel : public QTreeWidget {
    Q_OBJECT
  public:
    explicit object_tree_panel(QWidget* parent = nullptr);
    // Lists `root` (the root expanded) without reporting a selection change.
    void fill(const tree_node& root);
    // The node of `item` (a heading for none).
    static tree_ref node_of(const QTreeWidgetItem* item);
    // Makes moveable n the current item.
    void select_moveable(int n);
    // Selects Lara (object 0) or, in a level without her, the moveable with the most meshes: the
    // first thing to show of a level named on the command line.
    void select_lara_or_largest(const tr_level& level);
    // The width that shows every listed name whole, two levels in.
    int width_for_names() const;
};
