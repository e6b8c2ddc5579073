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
    void show_progress(const user_message& caption) override;
    void add_progress_line(const user_message& text) override;
    void set_gauge(int percent) override;
    void hide_progress() override;
    // While kept open, the window stays up with its lines across the steps of one command (an
    // open reads the level, then loads the OpenGL textures): show only renames it, hide does
    // nothing. Ending it closes the window.
    void keep_open(bool on);

  private:
    // Shown only while the main window is on screen: a level opened before it appears (the one
    // named on the command line) is in its first frame, and a window of progress would only
    // delay that. The caption and lines are kept all the same.
    bool shows_on_screen() const;

    bool kept_open_ = false;
    bool running_ = false; // between show_progress and the hide that ends the command
    QPlainTextEdit* lines_;
    QProgressBar* gauge_;
    QElapsedTimer since_events_; // since the gauge last let the window repaint
};
