// The status bar's hint panel: while the mouse is over a control, the panel shows its long hint
// (English here; the language files replace it through the control's long_hint property, and the
// panel follows a change of language at once).
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <set>

class QLabel;
class QMainWindow;
class QWidget;

class status_hints : public QObject {
  public:
    // `view` fills `view_panel` and shows its hint; the mouse entering `tree` gives it the focus.
    status_hints(QLabel& panel, QWidget& view_panel, QWidget& view, QWidget& tree, QObject* parent);
    // The hints of the main window's controls, found by their component names.
    void watch_controls(QMainWindow& window);
    // Gives `widget` its hint and shows it while the mouse is over the widget.
    void set(QObject* widget, const QString& text);
    // Shows the hint of the control the mouse is over again (its text changed with the language).
    void refresh();
    // The view's hint while clicks do something else than Panel1's hint says (lighting a static
    // mesh); empty for Panel1's own.
    std::function<QString()> view_hint;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The hint `owner` shows: the view's special one, or its long hint.
    QString hint_of(const QObject& owner) const;
    QLabel& panel_;
    QWidget& view_panel_;
    QWidget& view_;
    QWidget& tree_;
    std::set<QObject*> hinted_;
    QPointer<QObject> shown_; // whose hint the panel shows
    QString shown_text_;      // and that hint's text
};
