// The Boxes tab's controls.
#include "boxes_tab.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>

boxes_tab::boxes_tab(editor_document& doc, QWidget* parent) : QWidget(parent), doc_(doc) {
    setObjectName("TabSheet1");
    auto* grid = new QGridLayout(this);
    show_box_check_ = new QCheckBox("Show &Box", this);
    show_box_check_->setObjectName("CheckBox3");
    show_box_check_->setChecked(doc_.show_box());
    visibility_radio_ = new QRadioButton("Visibility", this);
    visibility_radio_->setObjectName("RadioButton4");
    collision_radio_ = new QRadioButton("Colision", this);
    collision_radio_->setObjectName("RadioButton5");
    (doc_.shown_box() == box_kind::visibility ? visibility_radio_ : collision_radio_)->setChecked(true);
    auto* flag_caption = new QLabel("Flag", this);
    flag_caption->setObjectName("Label1");
    flags_field_ = new QSpinBox(this);
    flags_field_->setObjectName("SpinEdit1");
    flags_field_->setRange(0, 65535);
    grid->addWidget(show_box_check_, 0, 0);
    grid->addWidget(flag_caption, 0, 1);
    grid->addWidget(visibility_radio_, 1, 0);
    grid->addWidget(flags_field_, 1, 1);
    grid->addWidget(collision_radio_, 2, 0);

    auto* box_group = new QGroupBox("Colision ", this);
    box_group->setObjectName("GroupBox3");
    auto* fields = new QGridLayout(box_group);
    const char* captions[] = {"X1", "X2", "Y1", "Y2", "Z1", "Z2"};
    for (int k = 0; k < 6; ++k) {
        auto* caption = new QLabel(captions[k], box_group);
        caption->setObjectName(QString("Label%1").arg(k + 2));
        auto* field = new QSpinBox(box_group);
        field->setObjectName(QString("SpinEdit%1").arg(k + 2));
        field->setRange(-32768, 32767);
        box_fields_[std::size_t(k)] = field;
        const int row = k / 3 * 2, column = k % 3;
        fields->addWidget(caption, row, column);
        fields->addWidget(field, row + 1, column);
    }
    grid->addWidget(box_group, 0, 2, 3, 1);
    grid->setColumnStretch(2, 1);

    connect(show_box_check_, &QCheckBox::toggled, this, [this](bool on) {
        doc_.set_show_box(on);
        emit view_changed();
    });
    connect(visibility_radio_, &QRadioButton::toggled, this, [this](bool on) {
        doc_.set_shown_box(on ? box_kind::visibility : box_kind::collision);
        if (doc_.selection().kind == selection_kind::static_mesh) show_selection();
        emit view_changed();
    });
}

void boxes_tab::show_selection() {
    // Filling the fields is the program's doing, not the user's: their reactions stay quiet.
    const QSignalBlocker blocker(flags_field_);
    flags_field_->setValue(doc_.selected_flags());
    const auto box = doc_.selected_box();
    for (std::size_t k = 0; k < box_fields_.size(); ++k) {
        const QSignalBlocker field_blocker(box_fields_[k]);
        box_fields_[k]->setValue(box[k]);
    }
}
