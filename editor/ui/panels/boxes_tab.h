// The "Boxes" tab: Show Box, the box kind (visibility or collision), the Flag field, the six
// box fields of the selected static mesh and Automatic Bound. Every change is an edit on the
// document's history.
#pragma once

#include "editor_document.h"

#include <QWidget>
#include <array>
#include <functional>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QSpinBox;

class boxes_tab : public QWidget {
    Q_OBJECT
  public:
    boxes_tab(editor_document& doc, QWidget* parent = nullptr);
    // The Flag field and the box fields from the selection: zeros for a moveable or one of its
    // meshes, unchanged for the root or a heading.
    void show_selection();
    // Messages and the box group's title in the interface language (their English text while unset).
    std::function<QString(const user_message&)> word;
    // Zeros in every field (a level was just opened).
    void clear();

  signals:
    // What the view shows changed: redraw.
    void view_changed();
    // A command was refused; the text is fit to show.
    void refused(const QString& text);

  private:
    editor_document& doc_;
    QCheckBox* show_box_check_;
    QRadioButton* visibility_radio_;
    QRadioButton* collision_radio_;
    QSpinBox* flags_field_;
    std::array<QSpinBox*, 6> box_fields_{};
    QGroupBox* box_group_;
    QPushButton* automatic_bound_button_;

    void choose_box(box_kind kind);
    void show_fields(int flags, const static_box& box);
    void report(const command_result& r);
};
