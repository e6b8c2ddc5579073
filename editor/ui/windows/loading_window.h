// The loading window (TForm2): a caption, text lines and the gauge handed to the level as its
// progress while a long command runs.
#pragma once

#include "prompts.h"

#include <QDialog>
#include <QElapsedTimer>

class QPlainTextEdit;
class QProgressBar;

class loading_window : public QDialog, public progress_view {
    Q_OBJECT
  public:
    explicit loading_window(QWidget* parent = nullptr);
    void show_progress(const std::string& caption) override;
    void add_progress_line(const std::string& text) override;
    void set_gauge(int percent) override;
    void hide_progress() override;

  private:
    QPlainTextEdit* lines_;
    QProgressBar* gauge_;
    QElapsedTimer since_events_; // since the gauge last let the window repaint
};
