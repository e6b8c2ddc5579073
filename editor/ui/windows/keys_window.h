// The Keys Guide window (TKeys): the mouse and keyboard commands, one per line.
#pragma once

#include <QDialog>
#include <QString>

// The 44 lines of the Keys Guide.
QString keys_guide_text();

class keys_window : public QDialog {
    Q_OBJECT
  public:
    explicit keys_window(QWidget* parent = nullptr);
};
