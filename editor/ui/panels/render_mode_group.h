// The "Render Mode" group (GroupBox2): Wireframe, Solid, Textured and Points, two by two.
#pragma once

#include "editor_document.h"

#include <QGroupBox>
#include <array>

class QRadioButton;

class render_mode_group : public QGroupBox {
    Q_OBJECT
  public:
    explicit render_mode_group(QWidget* parent = nullptr);
    // Ticks `mode` without reporting a choice.
    void show_mode(render_mode mode);

  signals:
    // The user chose `mode`.
    void chosen(render_mode mode);

  private:
    std::array<QRadioButton*, 4> buttons_{};
};
