// The Remap Vertices dialog (TRemap): the two vertex numbers to exchange in the selected mesh.
// The numbers stay from one opening to the next.
#pragma once

#include <QDialog>
#include <functional>

class QSpinBox;

class remap_window : public QDialog {
    Q_OBJECT
  public:
    explicit remap_window(QWidget* parent = nullptr);
    // Called by "Remap" with Before and After; returns true when the dialog may close.
    std::function<bool(int before, int after)> on_remap;
    QSpinBox* before_field() const { return before_; }
    QSpinBox* after_field() const { return after_; }

  private:
    QSpinBox* before_;
    QSpinBox* after_;
};
