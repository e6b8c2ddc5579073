// The Remap Vertices dialog's controls.
#include "remap_window.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

remap_window::remap_window(QWidget* parent) : QDialog(parent) {
    setObjectName("TRemap");
    setWindowTitle("Remap Vertices");
    setWindowFlag(Qt::Tool);
    setSizeGripEnabled(true);
    resize(389, 138);
    auto* grid = new QGridLayout(this);
    auto* before_caption = new QLabel("Before", this);
    before_caption->setObjectName("Label1");
    auto* after_caption = new QLabel("After", this);
    after_caption->setObjectName("Label2");
    before_ = new QSpinBox(this);
    before_->setObjectName("SpinEdit1");
    before_->setRange(0, 9998);
    after_ = new QSpinBox(this);
    after_->setObjectName("SpinEdit2");
    after_->setRange(0, 9998);
    auto* remap_button = new QPushButton("Remap", this);
    remap_button->setObjectName("Button1");
    auto* close_button = new QPushButton("Close", this);
    close_button->setObjectName("Button2");
    auto* reminder = new QLabel("Remember : You have to select the correct Mesh you are editing", this);
    reminder->setObjectName("Label3");
    QFont bold = reminder->font();
    bold.setBold(true);
    reminder->setFont(bold);
    grid->addWidget(before_caption, 0, 0);
    grid->addWidget(before_, 1, 0);
    grid->addWidget(after_caption, 0, 1);
    grid->addWidget(after_, 1, 1);
    grid->addWidget(remap_button, 2, 0);
    grid->addWidget(close_button, 2, 1);
    grid->addWidget(reminder, 3, 0, 1, 2);
    connect(close_button, &QPushButton::clicked, this, &QDialog::reject);
    connect(remap_button, &QPushButton::clicked, this, [this] {
        if (!on_remap || on_remap(before_->value(), after_->value())) accept();
    });
}
