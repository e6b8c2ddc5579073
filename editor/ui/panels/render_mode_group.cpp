// The render mode buttons.
#include "render_mode_group.h"

#include <QGridLayout>
#include <QRadioButton>
#include <QSignalBlocker>

render_mode_group::render_mode_group(QWidget* parent) : QGroupBox("Render Mode", parent) {
    setObjectName("GroupBox2");
    // Two by two: narrow beside the tabs in every language.
    auto* modes = new QGridLayout(this);
    const char* captions[] = {"&Wireframe", "&Solid", "&Textured", "&Points"};
    const char* names[] = {"RadioButton1", "RadioButton2", "RadioButton3", "RadioButton6"};
    for (int m = 0; m < 4; ++m) {
        auto* button = new QRadioButton(captions[m], this);
        button->setObjectName(names[m]);
        buttons_[std::size_t(m)] = button;
        modes->addWidget(button, m / 2, m % 2);
        connect(button, &QRadioButton::toggled, this, [this, m](bool on) {
            if (on) emit chosen(render_mode(m));
        });
    }
}

void render_mode_group::show_mode(render_mode mode) {
    for (auto* b : buttons_)
        b->blockSignals(true);
    buttons_[std::size_t(mode)]->setChecked(true);
    for (auto* b : buttons_)
        b->blockSignals(false);
}
