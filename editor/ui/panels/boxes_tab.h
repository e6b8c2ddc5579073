// The "Boxes" tab: Show Box, the box kind (visibility or collision), the Flag field and the six
// box fields of the selected static mesh.
#pragma once

#include "editor_document.h"

#include <QWidget>
#include <array>

class QCheckBox;
class QRadioButton;
class QSpinBox;

class boxes_tab : public QWidget {
    Q_OBJECT
  public:
    boxes_tab(editor_document& doc, QWidget* parent = nullptr);
    // The Flag field and the box fields from the selection (zeros when it is no static mesh).
    void show_selection();

  signals:
    // What the view shows changed: redraw.
    void view_changed();

  private:
    editor_document& doc_;
    QCheckBox* show_box_check_;
    QRadioButton* visibility_radio_;
    QRadioButton* collision_radio_;
    QSpinBox* flags_field_;
    std::array<QSpinBox*, 6> box_fields_{};
};
