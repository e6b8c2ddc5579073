// The Readme window.
#include "readme_window.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QVBoxLayout>

readme_window::readme_window(const QString& program_dir, QWidget* parent) : QDialog(parent) {
    setObjectName("TReadme");
    setWindowTitle("Read Me...");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName("text_");
    text_->setReadOnly(true);
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text_->setStyleSheet("QPlainTextEdit { background: #87CEEB; color: #000080; }");
    QFile file(program_dir + "/Readme.txt");
    found_ = file.open(QIODevice::ReadOnly);
    text_->setPlainText(found_ ? QString::fromUtf8(file.readAll())
                               : "Readme.txt was not found beside the program (" + program_dir + ").");
    layout->addWidget(text_);
    resize(433, 375);
}
