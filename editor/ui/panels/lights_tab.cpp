// The lights tab's controls.
#include "lights_tab.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

lights_tab::lights_tab(editor_document& doc, QWidget* parent) : QWidget(parent), doc_(doc) {
    setObjectName("TabSheet2");
    auto* row = new QHBoxLayout(this);
    auto* intensity_group = new QGroupBox("White Light Intensity", this);
    intensity_group->setObjectName("GroupBox4");
    auto* group_layout = new QVBoxLayout(intensity_group);
    intensity_label_ = new QLabel("16", intensity_group);
    intensity_label_->setObjectName("Label4");
    QFont bold = intensity_label_->font();
    bold.setBold(true);
    intensity_label_->setFont(bold);
    intensity_label_->setAlignment(Qt::AlignHCenter);
    intensity_slider_ = new QSlider(Qt::Horizontal, intensity_group);
    intensity_slider_->setObjectName("TrackBar1");
    intensity_slider_->setRange(0, 31);
    intensity_slider_->setValue(16);
    connect(intensity_slider_, &QSlider::valueChanged, this,
            [this](int p) { intensity_label_->setText(QString::number(p)); });
    group_layout->addWidget(intensity_label_);
    group_layout->addWidget(intensity_slider_);
    row->addWidget(intensity_group, 1);

    auto* corners = new QVBoxLayout;
    for (int k = 0; k < 4; ++k) {
        auto* check = new QCheckBox(QString("Vertex %1").arg(k + 1), this);
        check->setObjectName(QString("CheckBox%1").arg(5 + k));
        check->setChecked(true);
        corners->addWidget(check);
        corner_checks_[std::size_t(k)] = check;
    }
    row->addLayout(corners);

    auto* buttons = new QVBoxLayout;
    auto* change_all = new QPushButton("Change &All", this);
    change_all->setObjectName("Button5");
    connect(change_all, &QPushButton::clicked, this, &lights_tab::change_all_requested);
    enable_lights_check_ = new QCheckBox("&Enable Lights", this);
    enable_lights_check_->setObjectName("CheckBox4");
    connect(enable_lights_check_, &QCheckBox::toggled, this, [this](bool on) {
        doc_.set_lights_enabled(on);
        emit view_changed();
    });
    buttons->addWidget(enable_lights_check_);
    buttons->addWidget(change_all);
    row->addLayout(buttons);
}

int lights_tab::light_value() const {
    return doc_.light_value_for(intensity_slider_->value());
}

void lights_tab::read_controls(edit_controls& controls) const {
    controls.lights_enabled = enable_lights_check_->isChecked();
    controls.light_position = intensity_slider_->value();
    for (std::size_t k = 0; k < 4; ++k)
        controls.light_corners[k] = corner_checks_[k]->isChecked();
}
