// The Animated Textures window.
#include "animated_textures_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

Tfanimated::Tfanimated(QWidget* parent) : QDialog(parent) {
    setObjectName("Tfanimated");
    setWindowTitle("Animated Textures");
    setWindowFlag(Qt::Tool);
    text = [](const char*, const QStringList&, const QString& english) { return english; };

    const auto named = [](auto* w, const char* name) {
        w->setObjectName(name);
        return w;
    };
    Label1 = named(new QLabel("Available Animated Textures", this), "Label1");
    Label2 = named(new QLabel("Double click for select Texture", this), "Label2");
    Label3 = named(new QLabel("Animated Texture Preview", this), "Label3");
    ListBox1 = named(new QListWidget(this), "ListBox1");
    ListBox2 = named(new QListWidget(this), "ListBox2");
    // The 64 x 64 preview inside its white 66 x 66 frame.
    auto* frame = new QWidget(this);
    frame->setFixedSize(66, 66);
    frame->setStyleSheet("background: white;");
    Image1 = named(new QLabel(frame), "Image1");
    Image1->setGeometry(1, 1, 64, 64);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    CheckBox1 = named(new QCheckBox("Adjust", this), "CheckBox1");
    Button1 = named(new QPushButton("Close", this), "Button1");
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(100);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(Label2, 0, 1);
    layout->addWidget(ListBox1, 1, 0, 3, 1);
    layout->addWidget(ListBox2, 1, 1, 3, 1);
    layout->addWidget(Label3, 0, 2);
    layout->addWidget(frame, 1, 2, Qt::AlignTop | Qt::AlignHCenter);
    layout->addWidget(CheckBox1, 2, 2, Qt::AlignTop);
    layout->addWidget(Button1, 3, 2, Qt::AlignBottom);
    resize(400, 290);

    connect(ListBox1, &QListWidget::currentRowChanged, this, [this] { ListBox1Click(); });
    connect(ListBox2, &QListWidget::itemDoubleClicked, this, [this] { ListBox2DblClick(); });
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    // The timer runs for the whole run; a tick draws only while the window is visible.
    Timer1->start();
}

void Tfanimated::fill(const std::vector<std::uint16_t>& words, const Ttabla_textures* table) {
    table_ = table;
    ranges_ = fill_animated_ranges(words);
    preview_.select_range(0);
    {
        const QSignalBlocker block(ListBox1);
        ListBox1->clear();
        for (std::size_t r = 1; r <= ranges_.size(); ++r)
            ListBox1->addItem(text("AnimatedRangeItem", {QString::number(r)},
                                   QString::fromStdString(range_item_text(int(r)))));
        ListBox1->setCurrentRow(ranges_.size() ? 0 : -1);
    }
    ListBox1Click();
}

void Tfanimated::ListBox1Click() {
    ListBox2->clear();
    const int r = ListBox1->currentRow() + 1;
    preview_.select_range(r);
    if (r < 1 || std::size_t(r) > ranges_.size()) return;
    const int count = table_ ? table_->texture_count : 0;
    for (const std::uint16_t id : ranges_.anim_ids[std::size_t(r - 1)]) {
        const QString number = QString::number(id);
        ListBox2->addItem(int(id) < count ? text("AnimatedTextureItem", {number},
                                                 QString::fromStdString(texture_item_text(id)))
                                          : text("AnimatedTextureMissing", {number},
                                                 QString::fromStdString(missing_texture_item_text(id))));
    }
}

void Tfanimated::ListBox2DblClick() {
    QListWidgetItem* item = ListBox2->currentItem();
    if (!item) return;
    const std::optional<int> id = texture_id_from_item(item->text().toStdString());
    if (!id) return; // a marked index the level has no texture for
    if (select_texture) select_texture(*id);
    accept();
}

void Tfanimated::Timer1Timer() {
    if (!isVisible()) return;
    if (ListBox2->count() == 0 || ListBox1->count() == 0) {
        Image1->clear();
        return;
    }
    const std::optional<std::uint16_t> t = preview_.tick();
    if (!t || !table_) return;
    show_frame(animated_frame_bitmap(*table_, *t));
}

void Tfanimated::show_frame(const QImage& frame) {
    if (CheckBox1->isChecked()) {
        Image1->setScaledContents(true);
        Image1->setFixedSize(64, 64);
    } else {
        Image1->setScaledContents(false);
        Image1->setFixedSize(frame.size().boundedTo(QSize(64, 64)));
    }
    Image1->setPixmap(QPixmap::fromImage(frame));
}

void Tfanimated::showEvent(QShowEvent* event) {
    if (logicalDpiX() == 120) resize(460, 350);
    QDialog::showEvent(event);
}
