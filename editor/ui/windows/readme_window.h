// The Readme window (TReadme): Readme.txt from the program directory, read at start-up, or its
// translation Readme_<code>.txt (code: the language file's, "de", "fr", ...) once a language
// that has one is chosen.
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
    // The Readme in the language of file code `code`; Readme.txt when it has no translation.
    void show_language(const QString& code);

  private:
    bool found_ = false;
    QString program_dir_;
    QPlainTextEdit* text_;
};
