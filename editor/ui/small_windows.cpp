// The loading window, Keys Guide, Readme, About and Options windows.
#include "small_windows.h"

#include "app_settings.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <QVBoxLayout>

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Loading Level...");
    setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setReadOnly(true);
    Gauge1 = new QProgressBar(this);
    Gauge1->setRange(0, 100);
    layout->addWidget(Memo1);
    layout->addWidget(Gauge1);
    resize(340, 230);
}

void TForm2::show_progress(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
    Memo1->clear();
    Gauge1->setValue(0);
    show();
    raise();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TForm2::add_progress_line(const std::string& text) {
    Memo1->appendPlainText(QString::fromStdString(text));
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TForm2::set_gauge(int percent) {
    if (Gauge1->value() == percent) return;
    Gauge1->setValue(percent);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TForm2::hide_progress() {
    hide();
    QApplication::restoreOverrideCursor();
}

QString keys_guide_text() {
    const char* lines[] = {
        "VELLUM KEYS GUIDE",
        "=================",
        "",
        "On the Render Window:",
        "===================",
        "",
        "-CLICK in a face to aply the Current Texture.",
        "-CTRL+CLICK  in a face to Get the Texture.",
        "-CTRL + CLICK in a POINT for know the Vertex numer.",
        "-ALT+CLICK in a face to Rotate the Texture.",
        "- CTRL + SHIFT+CLICK  to Cut the Face.",
        "",
        "-Right Click: Rotate the Selected Item.",
        "-CTRL+ Right Click: Zoon In/Out",
        "-SHIFT + Right Click: Pan the Selected Item.",
        "",
        "On the Program",
        "============",
        "",
        "ALT   + C : Center Camera",
        "ALT   + W: Wireframe Mode",
        "ALT   + S: Solid Mode",
        "ALT   + T: Textured Mode",
        "ALT   + P: Point Mode",
        "ALT   + B: Show Boxes",
        "ALT   + E: Enable Static Mesh lights",
        "ALT   + A: Change All Static Mesh lights (this can't be undone)",
        "ALT   + F: Apply Shinny effect to All current Model (can't be undone)",
        "",
        "CTRL +O : Open TR file.",
        "CTRL +S: Save the file.",
        "CTRL +U: Undo.",
        "CTRL +R: Redo.",
        "CTRL +T: Convert Colored to Textured Faces (this can't be undone)",
        "CTRL +M: Retexture Current Mesh (this can't be undone)",
        "CTRL +A: Apply Intensity Alpha (this can't be undone)",
        "CTRL +E: Export all textures to a single BMP file",
        "CTRL + I: Import the textures of the model.",
        "CTRL + D: Define Mouse Selected",
        "CTRL + V: Open the Remap Option",
        "",
        "F1: Keys Guide.",
        "F2: Enable/Disable Perspective Correct.",
        "F3: Enable/Disable Automatic OpenGL buffers Update",
    };
    QStringList list;
    for (const char* l : lines)
        list << l;
    return list.join('\n');
}

TKeys::TKeys(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Keys Guide");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* memo = new QPlainTextEdit(keys_guide_text(), this);
    memo->setReadOnly(true);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(memo);
    setFixedSize(356, 344);
}

TReadme::TReadme(const QString& program_dir, QWidget* parent) : QDialog(parent) {
    setWindowTitle("Read Me...");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setStyleSheet("QPlainTextEdit { background: #87CEEB; color: #000080; }");
    QFile file(program_dir + "/Readme.txt");
    found = file.open(QIODevice::ReadOnly);
    Memo1->setPlainText(found ? QString::fromUtf8(file.readAll())
                              : "Readme.txt was not found beside the program (" + program_dir + ").");
    layout->addWidget(Memo1);
    resize(433, 375);
}

namespace {

// The About picture: a parchment page with a pyramid, drawn once.
QPixmap about_picture() {
    QPixmap pix(273, 289);
    pix.fill(QColor(250, 240, 215));
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 200);
    sky.setColorAt(0, QColor(70, 40, 110));
    sky.setColorAt(1, QColor(230, 150, 90));
    p.fillRect(10, 10, 253, 190, sky);
    p.setBrush(QColor(250, 220, 120));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(200, 70), 22, 22);
    QPainterPath pyramid;
    pyramid.moveTo(40, 200);
    pyramid.lineTo(136, 70);
    pyramid.lineTo(232, 200);
    pyramid.closeSubpath();
    p.setBrush(QColor(200, 160, 90));
    p.drawPath(pyramid);
    QPainterPath shade;
    shade.moveTo(136, 70);
    shade.lineTo(232, 200);
    shade.lineTo(150, 200);
    shade.closeSubpath();
    p.setBrush(QColor(150, 110, 60));
    p.drawPath(shade);
    p.setPen(QPen(QColor(120, 85, 45), 1));
    for (int y = 90; y < 200; y += 12) {
        const double half = (y - 70) * 96.0 / 130.0;
        p.drawLine(QPointF(136 - half, y), QPointF(136 + half, y));
    }
    p.fillRect(10, 200, 253, 79, QColor(210, 180, 120));
    p.setPen(QColor(90, 50, 120));
    QFont f("Serif", 20, QFont::Bold);
    p.setFont(f);
    p.drawText(QRect(10, 210, 253, 60), Qt::AlignCenter, "Vellum");
    return pix;
}

QLabel* link_label(const QString& text, const QString& url, QWidget* parent) {
    auto* l = new QLabel(QString("<a href=\"%1\" style=\"color:blue\">%2</a>").arg(url, text.toHtmlEscaped()),
                         parent);
    l->setCursor(Qt::PointingHandCursor);
    l->setOpenExternalLinks(true);
    return l;
}

} // namespace

TAbout::TAbout(QWidget* parent) : QDialog(parent) {
    setWindowTitle("About...");
    auto* layout = new QVBoxLayout(this);
    auto* version = new QLabel(vellum_version_string, this);
    QFont f("Book Antiqua", 18, QFont::Bold);
    version->setFont(f);
    version->setStyleSheet("color: purple; background: transparent;");
    version->setAlignment(Qt::AlignCenter);
    auto* picture = new QLabel(this);
    picture->setPixmap(about_picture());
    picture->setAlignment(Qt::AlignCenter);
    layout->addWidget(version);
    layout->addWidget(picture);
    layout->addWidget(new QLabel("Vellum, a level editor for the classic Tomb Raider games.", this));
    layout->addWidget(link_label("vellum@example.org", "mailto:vellum@example.org", this));
    layout->addWidget(new QLabel("Made by the Vellum developers for the modding community.", this));
    layout->addWidget(link_label("modders@example.org", "mailto:modders@example.org", this));
    layout->addWidget(link_label("https://example.org/vellum", "https://example.org/vellum", this));
    auto* ok = new QPushButton("OK", this);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignCenter);
    setFixedSize(353, 503);
}

TConfig::TConfig(const QString& config_path, QWidget* parent) : QDialog(parent), config_path_(config_path) {
    setWindowTitle("Options");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Available from Next Time you open Vellum", this));
    auto* group = new QGroupBox("OpenGL Color Bits Buffer Size", this);
    auto* gl = new QVBoxLayout(group);
    RadioButton1 = new QRadioButton("16 Bits", group);
    RadioButton2 = new QRadioButton("24 Bits", group);
    RadioButton3 = new QRadioButton("32 Bits", group);
    gl->addWidget(RadioButton1);
    gl->addWidget(RadioButton2);
    gl->addWidget(RadioButton3);
    layout->addWidget(group);
    auto* buttons = new QDialogButtonBox(this);
    auto* save_button = buttons->addButton("Save", QDialogButtonBox::AcceptRole);
    auto* cancel_button = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    connect(save_button, &QPushButton::clicked, this, [this] {
        if (save()) accept();
    });
    connect(cancel_button, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void TConfig::load() {
    const auto o = read_config_opt(config_path_.toStdString());
    (o.colour_bits == 16   ? RadioButton1
     : o.colour_bits == 24 ? RadioButton2
                           : RadioButton3)
        ->setChecked(true);
}

int TConfig::selected_bits() const {
    return RadioButton1->isChecked() ? 16 : RadioButton2->isChecked() ? 24 : 32;
}

bool TConfig::save() {
    try {
        write_config_colour_bits(config_path_.toStdString(), selected_bits());
        return true;
    } catch (const std::exception& e) {
        QMessageBox::warning(this, "Vellum", e.what());
        return false;
    }
}
