// The Options dialog.
#include "options_window.h"

#include "app_settings.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

options_window::options_window(const QString& config_path, QWidget* parent)
    : QDialog(parent), config_path_(config_path) {
    setObjectName("TConfig");
    setWindowTitle("Options");
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel("Available from Next Time you open Vellum", this);
    note->setObjectName("Label1");
    layout->addWidget(note);
    auto* group = new QGroupBox("OpenGL Color Bits Buffer Size", this);
    group->setObjectName("GroupBox1");
    auto* gl = new QVBoxLayout(group);
    bits16_ = new QRadioButton("16 Bits", group);
    bits24_ = new QRadioButton("24 Bits", group);
    bits32_ = new QRadioButton("32 Bits", group);
    bits16_->setObjectName("RadioButton1");
    bits24_->setObjectName("RadioButton2");
    bits32_->setObjectName("RadioButton3");
    gl->addWidget(bits16_);
    gl->addWidget(bits24_);
    gl->addWidget(bits32_);
    layout->addWidget(group);
    auto* buttons = new QDialogButtonBox(this);
    auto* save_button = buttons->addButton("Save", QDialogButtonBox::AcceptRole);
    auto* cancel_button = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    save_button->setObjectName("Button1");
    cancel_button->setObjectName("Button2");
    connect(save_button, &QPushButton::clicked, this, [this] {
        if (save()) accept();
    });
    connect(cancel_button, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void options_window::load() {
    const auto o = read_config_opt(config_path_.toStdString());
    (o.colour_bits == 16 ? bits16_ : o.colour_bits == 24 ? bits24_ : bits32_)->setChecked(true);
}

int options_window::selected_bits() const {
    return bits16_->isChecked() ? 16 : bits24_->isChecked() ? 24 : 32;
}

bool options_window::save() {
    try {
        write_config_colour_bits(config_path_.toStdString(), selected_bits());
        return true;
    } catch (const std::exception& e) {
        const user_message why = say(msg::settings_not_saved, {e.what()});
        if (tell)
            tell(why);
        else
            QMessageBox::warning(this, "Vellum", QString::fromStdString(why.english));
        return false;
    }
}
