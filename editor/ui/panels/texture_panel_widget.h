// The "Textures" group (GroupBox1): page selector, page view with the SHIFT+drag rectangle,
// texture list, current-texture preview with its attribute and flips, Export and Import buttons.
// Edits go to the document; the panel shows what the document holds.
#pragma once

#include "editor_document.h"

#include <QGroupBox>
#include <QImage>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class page_view_widget;

class texture_panel_widget : public QGroupBox {
    Q_OBJECT
  public:
    texture_panel_widget(editor_document& doc, QWidget* parent = nullptr);

    // After an open: the page selector, the page view on page 1, the texture list on texture 0.
    void refill();
    // After pixels or textures changed: the page and the current texture shown again, new pages
    // and textures listed.
    void refresh();
    bool has_picture() const;
    int current_texture() const;
    // Makes texture i the current texture (list selection, preview, page).
    void set_current_texture(int i);
    int current_page() const { return current_page_; }
    // Define Mouse Selected on the marked rectangle; the new texture becomes current.
    command_result define_marked_texture();
    // The page view's pointer position, as the third status panel shows it.
    void on_page_moved(int x, int y);

  signals:
    // The level changed through the panel: the view must be redrawn.
    void edited();
    void pointer_moved(const QString& position_text);
    void export_current_requested();
    void import_current_requested();

  private:
    void load_page(int page);
    void show_current_texture();
    void show_preview(int i);
    void on_page_pressed(int x, int y, bool shift, bool left);
    void on_attribute_chosen(int attribute);
    void on_flip(flip_axis axis);
    void list_missing_rows();

    editor_document& doc_;
    int current_page_ = 0;
    page_selection marked_;
    QImage page_bitmap_;

    QComboBox* page_combo_;
    page_view_widget* page_view_;
    QListWidget* texture_list_;
    QLabel* preview_frame_;
    QLabel* preview_;
    QComboBox* attribute_combo_;
    QCheckBox* flip_horizontal_check_;
    QCheckBox* flip_vertical_check_;
    QCheckBox* proportional_check_;
    QPushButton* export_button_;
    QPushButton* import_button_;
};
