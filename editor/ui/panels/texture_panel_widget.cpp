// The texture panel's controls and their handlers.
#include "texture_panel_widget.h"

#include "page_view.h"
#include "pixels.h"
#include "texture_table.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <cstring>

texture_panel_widget::texture_panel_widget(editor_document& doc, QWidget* parent)
    : QGroupBox("Textures", parent), doc_(doc) {
    setObjectName("GroupBox1");
    auto* column = new QVBoxLayout(this);
    page_combo_ = new QComboBox(this);
    page_combo_->setObjectName("ComboBox1");
    page_combo_->setToolTip("Select a Texture Page...");
    connect(page_combo_, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!has_picture() && !doc_.level().loaded()) return;
        load_page(i);
    });
    page_view_ = new page_view_widget(this);
    page_view_->setObjectName("Image1");
    connect(page_view_, &page_view_widget::pressed, this, &texture_panel_widget::on_page_pressed);
    connect(page_view_, &page_view_widget::moved, this, &texture_panel_widget::on_page_moved);
    connect(page_view_, &page_view_widget::released, this, [this](int, int) { marked_.release(); });
    column->addWidget(page_combo_);
    column->addWidget(page_view_, 0, Qt::AlignHCenter);

    auto* lower = new QHBoxLayout;
    auto* list_column = new QVBoxLayout;
    auto* list_caption = new QLabel("Texture List", this);
    list_caption->setObjectName("Label1");
    list_column->addWidget(list_caption);
    texture_list_ = new QListWidget(this);
    texture_list_->setObjectName("ListBox1");
    texture_list_->setMinimumSize(110, 90);
    connect(texture_list_, &QListWidget::currentRowChanged, this, [this] { show_current_texture(); });
    list_column->addWidget(texture_list_, 1);
    lower->addLayout(list_column, 1);

    // The caption, the framed preview and the controls under it stay together at the top.
    auto* current = new QVBoxLayout;
    auto* current_caption = new QLabel("Current Texture", this);
    current_caption->setObjectName("Label2");
    current->addWidget(current_caption, 0, Qt::AlignHCenter);
    preview_frame_ = new QLabel(this);
    preview_frame_->setObjectName("Shape1");
    preview_frame_->setFixedSize(66, 66);
    preview_frame_->setStyleSheet("border: 1px solid white; background: black;");
    preview_ = new QLabel(preview_frame_);
    preview_->setObjectName("Image2");
    preview_->setGeometry(1, 1, 64, 64);
    preview_->setAlignment(Qt::AlignCenter);
    current->addWidget(preview_frame_, 0, Qt::AlignHCenter);
    attribute_combo_ = new QComboBox(this);
    attribute_combo_->setObjectName("ComboBox2");
    attribute_combo_->addItems({"Opaque", "Transparent", "Semi-Transparent"});
    attribute_combo_->setToolTip("Opaque, Transparent or Semi-Transparent Attrib for the Current Texture...");
    connect(attribute_combo_, &QComboBox::activated, this, &texture_panel_widget::on_attribute_chosen);
    current->addWidget(attribute_combo_);
    flip_horizontal_check_ = new QCheckBox("Flip Horizontal", this);
    flip_horizontal_check_->setObjectName("CheckBox1");
    flip_vertical_check_ = new QCheckBox("Flip Vertical", this);
    flip_vertical_check_->setObjectName("CheckBox2");
    proportional_check_ = new QCheckBox("Proportional", this);
    proportional_check_->setObjectName("CheckBox12");
    connect(flip_horizontal_check_, &QCheckBox::clicked, this, [this] { on_flip(flip_axis::horizontal); });
    connect(flip_vertical_check_, &QCheckBox::clicked, this, [this] { on_flip(flip_axis::vertical); });
    connect(proportional_check_, &QCheckBox::clicked, this, [this] { show_current_texture(); });
    current->addWidget(flip_horizontal_check_);
    current->addWidget(flip_vertical_check_);
    current->addWidget(proportional_check_);
    auto* buttons = new QHBoxLayout;
    export_button_ = new QPushButton("Export", this);
    export_button_->setObjectName("Button2");
    import_button_ = new QPushButton("Import", this);
    import_button_->setObjectName("Button3");
    connect(export_button_, &QPushButton::clicked, this, &texture_panel_widget::export_current_requested);
    connect(import_button_, &QPushButton::clicked, this, &texture_panel_widget::import_current_requested);
    buttons->addWidget(export_button_);
    buttons->addWidget(import_button_);
    current->addLayout(buttons);
    current->addStretch(1);
    lower->addLayout(current);
    column->addLayout(lower, 1);
}

bool texture_panel_widget::has_picture() const {
    return page_view_->has_picture();
}

int texture_panel_widget::current_texture() const {
    return texture_list_->currentRow();
}

void texture_panel_widget::refill() {
    const auto& lv = doc_.level();
    setTitle(QString::fromStdString(doc_.texture_group_caption().english));
    {
        const QSignalBlocker blocker(page_combo_);
        page_combo_->clear();
        for (std::uint32_t p = 1; p <= lv.num_pages; ++p)
            page_combo_->addItem(QString("Page#%1").arg(p));
        page_combo_->setCurrentIndex(lv.num_pages ? 0 : -1);
    }
    load_page(0);
    {
        const QSignalBlocker blocker(texture_list_);
        texture_list_->clear();
        list_missing_rows();
    }
    if (texture_list_->count()) set_current_texture(0);
}

void texture_panel_widget::list_missing_rows() {
    for (int i = texture_list_->count(); i < int(doc_.level().num_object_textures); ++i)
        texture_list_->addItem(QString::fromStdString(texture_list_text(i)));
}

void texture_panel_widget::refresh() {
    // Rows the level no longer has (an undone import) go; the ones it gained are added.
    const int pages = int(doc_.level().num_pages), textures = int(doc_.level().num_object_textures);
    {
        const QSignalBlocker blocker(page_combo_);
        while (page_combo_->count() > pages)
            page_combo_->removeItem(page_combo_->count() - 1);
        for (int p = page_combo_->count() + 1; p <= pages; ++p)
            page_combo_->addItem(QString("Page#%1").arg(p));
        if (current_page_ >= pages) current_page_ = pages - 1;
        page_combo_->setCurrentIndex(current_page_);
    }
    {
        const QSignalBlocker blocker(texture_list_);
        while (texture_list_->count() > textures)
            delete texture_list_->takeItem(texture_list_->count() - 1);
        list_missing_rows();
    }
    load_page(current_page_);
    show_current_texture();
}

void texture_panel_widget::set_current_texture(int i) {
    texture_list_->setCurrentRow(i);
    show_current_texture();
}

void texture_panel_widget::load_page(int page) {
    current_page_ = page;
    const auto& lv = doc_.level();
    if (!lv.loaded() || page < 0 || std::uint32_t(page) >= lv.num_pages) return;
    if (lv.game_version <= game_tr1_gold) {
        QImage img(256, 256, QImage::Format_Indexed8);
        img.setColorTable(make_palette8(lv.palette8));
        const std::size_t base = std::size_t(page) * 65536;
        for (int y = 0; y < 256; ++y)
            if (base + std::size_t(y + 1) * 256 <= lv.pages8.size())
                std::memcpy(img.scanLine(y), lv.pages8.data() + base + std::size_t(y) * 256, 256);
        page_bitmap_ = img;
    } else {
        page_bitmap_ = doc_.table().pages_bitmap.copy(0, page * 256, 256, 256);
    }
    page_view_->set_page(page_bitmap_);
    page_view_->set_texture_frame(texture_frame_on(page));
}

QRect texture_panel_widget::texture_frame_on(int page) const {
    const int i = current_texture();
    const auto& textures = doc_.level().object_textures;
    if (i < 0 || std::size_t(i) >= textures.size() || texture_page(textures[std::size_t(i)]) != page)
        return {};
    const auto b = texture_bounds(textures[std::size_t(i)]);
    return QRect(QPoint(b.left, b.top), QPoint(b.right + 1, b.bottom + 1));
}

void texture_panel_widget::show_page(int page) {
    if (page < 0 || page >= page_combo_->count()) return;
    if (page_combo_->currentIndex() == page)
        load_page(page);
    else
        page_combo_->setCurrentIndex(page); // its change handler loads the page
}

void texture_panel_widget::show_current_texture() {
    if (!has_picture()) return;
    const int i = current_texture();
    if (i < 0 || std::size_t(i) >= doc_.level().object_textures.size()) return;
    show_preview(i);
}

void texture_panel_widget::show_preview(int i) {
    const auto& t = doc_.level().object_textures[std::size_t(i)];
    const auto b = texture_bounds(t);
    const int p = texture_page(t);
    QImage preview = copy_page_rect(doc_.table().pages_bitmap, p, b).convertToFormat(QImage::Format_RGB888);
    attribute_combo_->setCurrentIndex(t.attribute <= 2 ? t.attribute : -1);
    const auto m = texture_mirror(t);
    preview = preview.mirrored(m.left_right, m.top_bottom);
    {
        const QSignalBlocker h(flip_horizontal_check_), v(flip_vertical_check_);
        flip_horizontal_check_->setChecked(m.left_right);
        flip_vertical_check_->setChecked(m.top_bottom);
    }
    if (is_triangle(t)) {
        QPainter painter(&preview);
        painter.setPen(Qt::white);
        const auto outline = triangle_outline(t, preview.width(), preview.height());
        QPoint c[3];
        for (int k = 0; k < 3; ++k)
            c[k] = QPoint(outline[std::size_t(k)][0], outline[std::size_t(k)][1]);
        painter.drawLine(c[0], c[1]);
        painter.drawLine(c[1], c[2]);
        painter.drawLine(c[2], c[0]);
    }
    QPixmap pix = QPixmap::fromImage(preview);
    if (proportional_check_->isChecked() && (pix.width() > 64 || pix.height() > 64))
        pix = pix.scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    else if (pix.width() > 64 || pix.height() > 64)
        pix = pix.copy(std::max(0, (pix.width() - 64) / 2), std::max(0, (pix.height() - 64) / 2),
                       std::min(64, pix.width()), std::min(64, pix.height()));
    preview_->setPixmap(pix);
    if (p < page_combo_->count() && page_combo_->currentIndex() != p)
        page_combo_->setCurrentIndex(p); // reloads the page
    else
        load_page(p);
    page_view_->set_texture_frame(texture_frame_on(p));
}

void texture_panel_widget::on_attribute_chosen(int attribute) {
    const int i = current_texture();
    if (!has_picture() || i < 0 || attribute < 0) return;
    if (doc_.set_texture_attribute(i, attribute)) emit edited();
}

void texture_panel_widget::on_flip(flip_axis axis) {
    const int i = current_texture();
    if (!has_picture() || i < 0) return;
    if (!doc_.flip_texture(i, axis)) return;
    show_current_texture();
    emit edited();
}

void texture_panel_widget::on_page_pressed(int x, int y, bool shift, bool left) {
    if (!has_picture()) return;
    if (shift && left) {
        marked_.press(x, y);
        page_view_->set_selection_frame(QRect(x, y, 0, 0), false, false);
        return;
    }
    const int i = texture_at(doc_.level(), current_page_, x, y);
    if (i >= 0) set_current_texture(i);
}

void texture_panel_widget::on_page_moved(int x, int y) {
    if (!has_picture()) return;
    if (marked_.move(x, y))
        page_view_->set_selection_frame(
            QRect(marked_.start.x, marked_.start.y, marked_.width(), marked_.height()), marked_.hatched(),
            true);
    emit pointer_moved(QString::fromStdString(page_position_text(x, y)));
}

command_result texture_panel_widget::define_marked_texture() {
    page_view_->set_selection_frame(QRect(), false, false);
    auto r = doc_.define_texture(current_page_, marked_);
    if (!r) return r;
    {
        const QSignalBlocker blocker(texture_list_);
        list_missing_rows();
        texture_list_->setCurrentRow(texture_list_->count() - 1);
    }
    show_current_texture();
    return r;
}
