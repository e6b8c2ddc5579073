// The loading window's text lines and gauge.
#include "loading_window.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QVBoxLayout>

loading_window::loading_window(QWidget* parent) : QDialog(parent) {
    setObjectName("TForm2");
    setWindowTitle("Loading Level...");
    setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    lines_ = new QPlainTextEdit(this);
    lines_->setObjectName("lines_");
    lines_->setReadOnly(true);
    gauge_ = new QProgressBar(this);
    gauge_->setObjectName("gauge_");
    gauge_->setRange(0, 100);
    layout->addWidget(lines_);
    layout->addWidget(gauge_);
    resize(340, 230);
}

bool loading_window::shows_on_screen() const {
    return !parentWidget() || parentWidget()->isVisible();
}

void loading_window::show_progress(const user_message& caption) {
    setWindowTitle(QString::fromStdString(caption.english));
    if (kept_open_ && running_) return;
    running_ = true;
    lines_->clear();
    gauge_->setValue(0);
    if (!shows_on_screen()) return;
    show();
    raise();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    since_events_.start();
}

void loading_window::add_progress_line(const user_message& text) {
    lines_->appendPlainText(QString::fromStdString(text.english));
    if (isVisible()) QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void loading_window::set_gauge(int percent) {
    if (gauge_->value() == percent) return;
    gauge_->setValue(percent);
    // Repainting on every step would cost more than a short command itself (each repaint is a round
    // trip to the window system): the gauge is shown moving at most every 50 ms.
    if (!isVisible() || (since_events_.isValid() && since_events_.elapsed() < 50)) return;
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    since_events_.start();
}

void loading_window::keep_open(bool on) {
    kept_open_ = on;
    if (!on && running_) hide_progress();
}

void loading_window::hide_progress() {
    if (kept_open_ || !running_) return;
    running_ = false;
    if (!isVisible()) return;
    hide();
    QApplication::restoreOverrideCursor();
}
