// The Readme window (TReadme): Readme.txt from the program directory, read once at start-up.
#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;

class readme_window : public QDialog {
    Q_OBJECT
  public:
    readme_window(const QString& program_dir, QWidget* parent = nullptr);
    // Whether Readme.txt was there.
    bool found() const { return found_; }

  private:
    bool found_ = false;
    QPlainTextEdit* text_;
};
