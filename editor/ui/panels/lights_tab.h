// The "Static Meshes Lights" tab: the white light intensity slider and Enable Lights.
#pragma once

#include "editor_document.h"

#include <QWidget>

class QCheckBox;
class QSlider;

class lights_tab : public QWidget {
    Q_OBJECT
  public:
    lights_tab(editor_document& doc, QWidget* parent = nullptr);
    // The static-mesh light value for the slider position in the open level's game.
    int light_value() const;

  signals:
    void view_changed();

  private:
    editor_document& doc_;
    QSlider* intensity_slider_;
    QCheckBox* enable_lights_check_;
};
