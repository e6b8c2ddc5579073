// The Readme window.
#include "readme_window.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

// The system's fixed-pitch font, unless it does not say it is one (some monospaced fonts leave
// their spacing unset, and text laid out in columns then comes apart): then the first common
// monospaced family that is installed.
QFont fixed_pitch_font() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (QFontInfo(font).fixedPitch()) return font;
    for (const char* family :
         {"DejaVu Sans Mono", "Liberation Mono", "Noto Mono", "Ubuntu Mono", "Courier New"}) {
        QFont candidate(family, font.pointSize());
        candidate.setStyleHint(QFont::Monospace);
        if (QFontInfo(candidate).fixedPitch()) return candidate;
    }
    return font;
}

} // namespace

readme_window::readme_window(const QString& program_dir, QWidget* parent)
    : QDialog(parent), program_dir_(program_dir) {
    setObjectName("TReadme");
    setWindowTitle("Read Me...");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName("text_");
    text_->setReadOnly(true);
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The text is laid out with spaces, underlines and hard breaks: fixed pitch, lines as written.
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(fixed_pitch_font());
    text_->setStyleSheet("QPlainTextEdit { background: #87CEEB; color: #000080; }");
    QFile file(program_dir + "/Readme.txt");
    found_ = file.open(QIODevice::ReadOnly);
    text_->setPlainText(found_ ? QString::fromUtf8(file.readAll())
                               : "Readme.txt was not found beside the program (" + program_dir + ").");
    layout->addWidget(text_);
    resize(433, 375);
}

void readme_window::show_language(const QString& code) {
    QFile file(program_dir_ + "/Readme_" + code + ".txt");
    if (!file.open(QIODevice::ReadOnly)) file.setFileName(program_dir_ + "/Readme.txt");
    if (file.isOpen() || file.open(QIODevice::ReadOnly))
        text_->setPlainText(QString::fromUtf8(file.readAll()));
}
