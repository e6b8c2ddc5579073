// The "Static Meshes Lights" tab: the white light intensity slider with its label, the corner
// boxes that clicks light, "Change All" and "Enable Lights".
#pragma once

#include "editor_document.h"

#include <QWidget>
#include <array>

class QCheckBox;
class QLabel;
class QSlider;

class lights_tab : public QWidget {
    Q_OBJECT
  public:
    lights_tab(editor_document& doc, QWidget* parent = nullptr);
    // The static-mesh light value for the slider position in the open level's game.
    int light_value() const;
    // Fills the lights part of the click and command controls.
    void read_controls(edit_controls& controls) const;

  signals:
    void view_changed();
    void change_all_requested();

  private:
    editor_document& doc_;
    QSlider* intensity_slider_;
    QLabel* intensity_label_;
    std::array<QCheckBox*, 4> corner_checks_{};
    QCheckBox* enable_lights_check_;
};
