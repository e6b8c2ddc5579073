// The Options dialog (TConfig): the OpenGL colour bits written to config.opt, used from the
// next start.
#pragma once

#include "user_message.h"

#include <QDialog>
#include <QString>
#include <functional>

class QRadioButton;

class options_window : public QDialog {
    Q_OBJECT
  public:
    options_window(const QString& config_path, QWidget* parent = nullptr);
    void load();               // selects the button for line 1 of config.opt
    bool save();               // writes line 1, keeps line 2; false (with a message) when it cannot
    int selected_bits() const; // 16, 24 or 32
    // Shows why a save failed, in the interface language (a plain message box while unset).
    std::function<void(const user_message&)> tell;

  private:
    QString config_path_;
    QRadioButton *bits16_, *bits24_, *bits32_;
};
