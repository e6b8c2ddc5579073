// The small windows: loading window (TForm2), Keys Guide (TKeys), Readme (TReadme), About
// (TAbout) and Options (TConfig).
#pragma once

#include "prompts.h"

#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QProgressBar;
class QRadioButton;

// The loading window: caption, text lines and the gauge handed to the level as its progress.
class TForm2 : public QDialog, public progress_view {
    Q_OBJECT
  public:
    explicit TForm2(QWidget* parent = nullptr);
    void show_progress(const std::string& caption) override;
    void add_progress_line(const std::string& text) override;
    void set_gauge(int percent) override;
    void hide_progress() override;

    QPlainTextEdit* Memo1;
    QProgressBar* Gauge1;
};

// The 44 lines of the Keys Guide.
QString keys_guide_text();

class TKeys : public QDialog {
    Q_OBJECT
  public:
    explicit TKeys(QWidget* parent = nullptr);
};

class TReadme : public QDialog {
    Q_OBJECT
  public:
    // Reads Readme.txt from the program directory; `found` tells whether it was there.
    TReadme(const QString& program_dir, QWidget* parent = nullptr);
    bool found = false;
    QPlainTextEdit* Memo1;
};

class TAbout : public QDialog {
    Q_OBJECT
  public:
    explicit TAbout(QWidget* parent = nullptr);
};

// Options: the OpenGL colour bits written to config.opt, used from the next start.
class TConfig : public QDialog {
    Q_OBJECT
  public:
    TConfig(const QString& config_path, QWidget* parent = nullptr);
    void load(); // selects the button for line 1 of config.opt
    bool save(); // writes line 1, keeps line 2; false (with a message) when it cannot
    int selected_bits() const;
    QRadioButton *RadioButton1, *RadioButton2, *RadioButton3;

  private:
    QString config_path_;
};
