// The About box (TAbout): version, picture, credits and links.
#pragma once

#include <QDialog>

class about_window : public QDialog {
    Q_OBJECT
  public:
    explicit about_window(QWidget* parent = nullptr);
};
