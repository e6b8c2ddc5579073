// The shiny-effect tab's controls.
#include "shine_tab.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

shine_tab::shine_tab(QWidget* parent) : QWidget(parent) {
    setObjectName("TabSheet3");
    auto* row = new QHBoxLayout(this);
    auto* group = new QGroupBox("Shiny Effect", this);
    group->setObjectName("GroupBox5");
    auto* group_layout = new QVBoxLayout(group);
    strength_label_ = new QLabel("16", group);
    strength_label_->setObjectName("Label5");
    QFont bold = strength_label_->font();
    bold.setBold(true);
    strength_label_->setFont(bold);
    strength_label_->setAlignment(Qt::AlignHCenter);
    strength_slider_ = new QSlider(Qt::Horizontal, group);
    strength_slider_->setObjectName("TrackBar2");
    strength_slider_->setRange(0, 31);
    strength_slider_->setValue(16);
    connect(strength_slider_, &QSlider::valueChanged, this,
            [this](int s) { strength_label_->setText(QString::number(s)); });
    group_layout->addWidget(strength_label_);
    group_layout->addWidget(strength_slider_);
    row->addWidget(group, 1);

    auto* checks = new QVBoxLayout;
    transparent_check_ = new QCheckBox("TRansparent Shinny", this);
    transparent_check_->setObjectName("CheckBox9");
    with_texture_check_ = new QCheckBox("Apply Current Texture Too", this);
    with_texture_check_->setObjectName("CheckBox10");
    with_texture_check_->setChecked(true);
    enable_check_ = new QCheckBox("Enable Shinny", this);
    enable_check_->setObjectName("CheckBox11");
    checks->addWidget(transparent_check_);
    checks->addWidget(with_texture_check_);
    checks->addWidget(enable_check_);
    row->addLayout(checks);

    auto* apply_all = new QPushButton("Apply to All &Faces", this);
    apply_all->setObjectName("Button6");
    connect(apply_all, &QPushButton::clicked, this, &shine_tab::apply_all_requested);
    row->addWidget(apply_all, 0, Qt::AlignTop);
}

void shine_tab::read_controls(edit_controls& controls) const {
    controls.shine_strength = strength_slider_->value();
    controls.shine_transparent = transparent_check_->isChecked();
    controls.shine_with_texture = with_texture_check_->isChecked();
    controls.shine_enabled = enable_check_->isChecked();
}
