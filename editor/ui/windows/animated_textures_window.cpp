// The Animated Textures window.
#include "animated_textures_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

animated_textures_window::animated_textures_window(QWidget* parent) : QDialog(parent) {
    setObjectName("Tfanimated");
    setWindowTitle("Animated Textures");
    setWindowFlag(Qt::Tool);
    text = [](const char*, const QStringList&, const QString& english) { return english; };

    const auto named = [](auto* w, const char* name) {
        w->setObjectName(name);
        return w;
    };
    auto* ranges_caption = named(new QLabel("Available Animated Textures", this), "Label1");
    auto* textures_caption = named(new QLabel("Double click for select Texture", this), "Label2");
    auto* preview_caption = named(new QLabel("Animated Texture Preview", this), "Label3");
    range_list = named(new QListWidget(this), "ListBox1");
    texture_list = named(new QListWidget(this), "ListBox2");
    // The 64 x 64 preview inside its white 66 x 66 frame.
    auto* frame = new QWidget(this);
    frame->setFixedSize(66, 66);
    frame->setStyleSheet("background: white;");
    preview = named(new QLabel(frame), "Image1");
    preview->setGeometry(1, 1, 64, 64);
    preview->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    adjust_check = named(new QCheckBox("Adjust", this), "CheckBox1");
    close_button = named(new QPushButton("Close", this), "Button1");
    timer = new QTimer(this);
    timer->setObjectName("Timer1");
    timer->setInterval(100);

    auto* layout = new QGridLayout(this);
    layout->addWidget(ranges_caption, 0, 0);
    layout->addWidget(textures_caption, 0, 1);
    layout->addWidget(range_list, 1, 0, 3, 1);
    layout->addWidget(texture_list, 1, 1, 3, 1);
    layout->addWidget(preview_caption, 0, 2);
    layout->addWidget(frame, 1, 2, Qt::AlignTop | Qt::AlignHCenter);
    layout->addWidget(adjust_check, 2, 2, Qt::AlignTop);
    layout->addWidget(close_button, 3, 2, Qt::AlignBottom);
    resize(400, 290);

    connect(range_list, &QListWidget::currentRowChanged, this, [this] { range_chosen(); });
    connect(texture_list, &QListWidget::itemDoubleClicked, this, [this] { texture_double_clicked(); });
    connect(close_button, &QPushButton::clicked, this, &QDialog::accept);
    connect(timer, &QTimer::timeout, this, [this] { tick(); });
    // The timer runs for the whole run; a tick draws only while the window is visible.
    timer->start();
}

void animated_textures_window::fill(const std::vector<std::uint16_t>& words, const texture_table* table) {
    table_ = table;
    ranges_ = fill_animated_ranges(words);
    preview_.select_range(0);
    {
        const QSignalBlocker block(range_list);
        range_list->clear();
        for (std::size_t r = 1; r <= ranges_.size(); ++r)
            range_list->addItem(text("AnimatedRangeItem", {QString::number(r)},
                                     QString::fromStdString(range_item_text(int(r)))));
        range_list->setCurrentRow(ranges_.size() ? 0 : -1);
    }
    range_chosen();
}

void animated_textures_window::range_chosen() {
    texture_list->clear();
    const int r = range_list->currentRow() + 1;
    preview_.select_range(r);
    if (r < 1 || std::size_t(r) > ranges_.size()) return;
    const int count = table_ ? table_->texture_count : 0;
    for (const std::uint16_t id : ranges_.anim_ids[std::size_t(r - 1)]) {
        const QString number = QString::number(id);
        texture_list->addItem(int(id) < count ? text("AnimatedTextureItem", {number},
                                                     QString::fromStdString(texture_item_text(id)))
                                              : text("AnimatedTextureMissing", {number},
                                                     QString::fromStdString(missing_texture_item_text(id))));
    }
}

void animated_textures_window::texture_double_clicked() {
    QListWidgetItem* item = texture_list->currentItem();
    if (!item) return;
    const std::optional<int> id = texture_id_from_item(item->text().toStdString());
    if (!id) return; // a marked index the level has no texture for
    if (select_texture) select_texture(*id);
    accept();
}

void animated_textures_window::tick() {
    if (!isVisible()) return;
    if (texture_list->count() == 0 || range_list->count() == 0) {
        preview->clear();
        return;
    }
    const std::optional<std::uint16_t> t = preview_.tick();
    if (!t || !table_) return;
    show_frame(animated_frame_bitmap(*table_, *t));
}

void animated_textures_window::show_frame(const QImage& frame) {
    if (adjust_check->isChecked()) {
        preview->setScaledContents(true);
        preview->setFixedSize(64, 64);
    } else {
        preview->setScaledContents(false);
        preview->setFixedSize(frame.size().boundedTo(QSize(64, 64)));
    }
    preview->setPixmap(QPixmap::fromImage(frame));
}

void animated_textures_window::showEvent(QShowEvent* event) {
    if (logicalDpiX() == 120) resize(460, 350);
    QDialog::showEvent(event);
}
