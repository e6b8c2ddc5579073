// The lights tab's controls.
#include "lights_tab.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QSlider>
#include <cmath>

lights_tab::lights_tab(editor_document& doc, QWidget* parent) : QWidget(parent), doc_(doc) {
    setObjectName("TabSheet2");
    auto* row = new QHBoxLayout(this);
    auto* intensity_group = new QGroupBox("White Light Intensity", this);
    intensity_group->setObjectName("GroupBox4");
    auto* group_layout = new QHBoxLayout(intensity_group);
    intensity_slider_ = new QSlider(Qt::Horizontal, intensity_group);
    intensity_slider_->setObjectName("TrackBar1");
    intensity_slider_->setRange(0, 31);
    group_layout->addWidget(intensity_slider_);
    row->addWidget(intensity_group, 1);
    enable_lights_check_ = new QCheckBox("&Enable Lights", this);
    enable_lights_check_->setObjectName("CheckBox4");
    connect(enable_lights_check_, &QCheckBox::toggled, this, [this](bool on) {
        doc_.set_lights_enabled(on);
        emit view_changed();
    });
    row->addWidget(enable_lights_check_);
}

int lights_tab::light_value() const {
    const double p = intensity_slider_->value();
    return int(std::lround(doc_.level().game_version <= game_tr2_gold ? p * 32767 / 31 : p * 8191 / 31));
}
