// The Animated Textures window (Tfanimated): the level's animated ranges, the textures of the
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

class Tfanimated : public QDialog {
    Q_OBJECT
  public:
    explicit Tfanimated(QWidget* parent = nullptr);

    // Refills both lists from the level's animated_textures words; the preview reads `table`'s
    // pages bitmap. The table must outlive the window's use of it (or be replaced by another fill).
    void fill(const std::vector<std::uint16_t>& words, const Ttabla_textures* table);

    // Makes a texture current in the main window (its texture list and selection handler).
    std::function<void(int)> select_texture;
    // The list texts in the interface language: message key, values, English text.
    std::function<QString(const char* key, const QStringList& values, const QString& english)> text;

    void ListBox1Click();
    void ListBox2DblClick();
    void Timer1Timer();
    const animated_ranges& ranges() const { return ranges_; }

    QLabel *Label1, *Label2, *Label3;
    QListWidget *ListBox1, *ListBox2;
    QLabel* Image1;
    QCheckBox* CheckBox1;
    QPushButton* Button1;
    QTimer* Timer1;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void show_frame(const QImage& frame);

    animated_ranges ranges_;
    animated_preview preview_{ranges_};
    const Ttabla_textures* table_ = nullptr;
};
