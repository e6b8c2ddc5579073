// The Boxes tab's controls.
#include "boxes_tab.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>

boxes_tab::boxes_tab(editor_document& doc, QWidget* parent) : QWidget(parent), doc_(doc) {
    setObjectName("TabSheet1");
    // Flag and the six box fields in one row, the box choice and Show Box below them.
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(2);
    show_box_check_ = new QCheckBox("Show &Box", this);
    show_box_check_->setObjectName("CheckBox3");
    show_box_check_->setChecked(doc_.show_box());
    visibility_radio_ = new QRadioButton("Visibility", this);
    visibility_radio_->setObjectName("RadioButton4");
    collision_radio_ = new QRadioButton("Colision", this);
    collision_radio_->setObjectName("RadioButton5");
    (doc_.shown_box() == box_kind::visibility ? visibility_radio_ : collision_radio_)->setChecked(true);
    auto* flag_caption = new QLabel("Flag", this);
    flag_caption->setObjectName("Label3"); // Label1 and Label2 are the texture panel's
    flags_field_ = new QSpinBox(this);
    flags_field_->setObjectName("SpinEdit1");
    flags_field_->setRange(0, 65535);
    // A typed number is one edit when Enter or leaving the field ends it, not one per digit.
    flags_field_->setKeyboardTracking(false);
    grid->addWidget(flag_caption, 0, 0, Qt::AlignBottom);
    grid->addWidget(flags_field_, 1, 0, Qt::AlignTop);
    automatic_bound_button_ = new QPushButton("Automatic Bound", this);
    automatic_bound_button_->setObjectName("Button4");

    auto* box_group = new QGroupBox("Colision ", this);
    box_group->setObjectName("GroupBox3");
    box_group_ = box_group;
    auto* fields = new QGridLayout(box_group);
    fields->setContentsMargins(4, 2, 4, 2);
    fields->setVerticalSpacing(2);
    // Two rows of three (X1 X2 Y1 / Y2 Z1 Z2), each field after its caption: narrow enough for
    // small screens.
    const char* captions[] = {"X1", "X2", "Y1", "Y2", "Z1", "Z2"};
    const int narrow_width = [] {
        QSpinBox probe;
        probe.setRange(-32768, 65535);
        return probe.sizeHint().width();
    }();
    for (int k = 0; k < 6; ++k) {
        auto* caption = new QLabel(captions[k], box_group);
        caption->setObjectName(QString("Label%1").arg(k + 6)); // after Label4 and Label5 of the sliders
        auto* field = new QSpinBox(box_group);
        field->setObjectName(QString("SpinEdit%1").arg(k + 2));
        // Any value may be typed; the box keeps its low 16 bits (40000 reads back as -25536).
        field->setRange(-99999999, 99999999);
        field->setMaximumWidth(narrow_width); // as wide as a 16-bit value needs
        field->setKeyboardTracking(false);
        box_fields_[std::size_t(k)] = field;
        fields->addWidget(caption, k / 3, 2 * (k % 3), Qt::AlignRight);
        fields->addWidget(field, k / 3, 2 * (k % 3) + 1);
    }
    grid->addWidget(box_group, 0, 1, 2, 3);
    grid->addWidget(visibility_radio_, 2, 0);
    grid->addWidget(collision_radio_, 2, 1);
    grid->addWidget(show_box_check_, 2, 2);
    grid->addWidget(automatic_bound_button_, 2, 3);
    grid->setColumnStretch(4, 1);

    connect(show_box_check_, &QCheckBox::toggled, this, [this](bool on) {
        doc_.set_show_box(on);
        emit view_changed();
    });
    // The shown box always follows the radio buttons, static mesh selected or not.
    connect(visibility_radio_, &QRadioButton::clicked, this, [this] { choose_box(box_kind::visibility); });
    connect(collision_radio_, &QRadioButton::clicked, this, [this] { choose_box(box_kind::collision); });
    connect(flags_field_, &QSpinBox::valueChanged, this,
            [this](int value) { report(doc_.set_flags(value)); });
    for (std::size_t k = 0; k < box_fields_.size(); ++k)
        connect(box_fields_[k], &QSpinBox::valueChanged, this, [this, k](int value) {
            if (doc_.selection().kind != selection_kind::static_mesh) return;
            report(doc_.set_box_field(int(k), value));
            show_selection(); // shows the stored 16-bit value
            emit view_changed();
        });
    connect(automatic_bound_button_, &QPushButton::clicked, this, [this] {
        if (doc_.selection().kind != selection_kind::static_mesh) return;
        report(doc_.automatic_bound());
        show_selection();
        emit view_changed();
    });
}

void boxes_tab::choose_box(box_kind kind) {
    const user_message title = say(kind == box_kind::visibility ? msg::visibility_box : msg::collision_box);
    box_group_->setTitle(word ? word(title) : QString::fromStdString(title.english));
    doc_.set_shown_box(kind);
    if (doc_.selection().kind == selection_kind::static_mesh) show_selection();
    emit view_changed();
}

void boxes_tab::report(const command_result& r) {
    if (!r.ok && !r.message.empty())
        emit refused(word ? word(r.message) : QString::fromStdString(r.message.english));
}

void boxes_tab::show_selection() {
    // The root and the headings are no object: the fields keep what the last one showed.
    if (doc_.selection().kind != selection_kind::none)
        show_fields(doc_.selected_flags(), doc_.selected_box());
}

void boxes_tab::clear() {
    show_fields(0, {});
}

void boxes_tab::show_fields(int flags, const static_box& box) {
    // Filling the fields is the program's doing, not the user's: their reactions stay quiet.
    const QSignalBlocker blocker(flags_field_);
    flags_field_->setValue(flags);
    for (std::size_t k = 0; k < box_fields_.size(); ++k) {
        const QSignalBlocker field_blocker(box_fields_[k]);
        box_fields_[k]->setValue(box[k]);
    }
}
