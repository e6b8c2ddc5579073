// The "TR4 and TRC Shiny Effect" tab: the strength slider with its label, transparency, whether
// the current texture goes with it, whether clicks shine, and "Apply to All Faces".
#pragma once

#include "face_edits.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QSlider;

class shine_tab : public QWidget {
    Q_OBJECT
  public:
    explicit shine_tab(QWidget* parent = nullptr);
    // Fills the shine part of the click and command controls.
    void read_controls(edit_controls& controls) const;

  signals:
    void apply_all_requested();

  private:
    QSlider* strength_slider_;
    QLabel* strength_label_;
    QCheckBox* transparent_check_;
    QCheckBox* with_texture_check_;
    QCheckBox* enable_check_;
};
