// The Animated Textures window (form Tfanimated): the level's animated ranges, the textures of the
// chosen range, a looping 100 ms preview, and a double-click that makes a texture current.
#pragma once

#include "animated_textures.h"

#include <QDialog>
#include <QStringList>

#include <functional>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTimer;

class animated_textures_window : public QDialog {
    Q_OBJECT
  public:
    explicit animated_textures_window(QWidget* parent = nullptr);

    // Refills both lists from the level's animated_textures words; the preview reads `table`'s
    // pages bitmap. The table must outlive the window's use of it (or be replaced by another fill).
    void fill(const std::vector<std::uint16_t>& words, const texture_table* table);

    // Makes a texture current in the main window (its texture list and selection handler).
    std::function<void(int)> select_texture;
    // The list texts in the interface language: message key, values, English text.
    std::function<QString(const char* key, const QStringList& values, const QString& english)> text;

    void range_chosen();
    void texture_double_clicked();
    void tick();
    const animated_ranges& ranges() const { return ranges_; }

    QListWidget *range_list, *texture_list;
    QLabel* preview;
    QCheckBox* adjust_check;
    QPushButton* close_button;
    QTimer* timer;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void show_frame(const QImage& frame);

    animated_ranges ranges_;
    animated_preview preview_{ranges_};
    const texture_table* table_ = nullptr;
};
