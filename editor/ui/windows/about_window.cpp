// The About box and its picture.
#include "about_window.h"

#include "app_settings.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

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

about_window::about_window(QWidget* parent) : QDialog(parent) {
    setObjectName("TAbout");
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
    version->setObjectName("Label1");
    picture->setObjectName("Image1");
    layout->addWidget(version);
    layout->addWidget(picture);
    QLabel* lines[] = {new QLabel("Vellum, a level editor for the classic Tomb Raider games.", this),
                       link_label("vellum@example.org", "mailto:vellum@example.org", this),
                       new QLabel("Made by the Vellum developers for the modding community.", this),
                       link_label("modders@example.org", "mailto:modders@example.org", this),
                       link_label("https://example.org/vellum", "https://example.org/vellum", this)};
    for (int i = 0; i < 5; ++i) {
        lines[i]->setObjectName(QString("Label%1").arg(i + 2));
        layout->addWidget(lines[i]);
    }
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("Button1");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignCenter);
    setFixedSize(353, 503);
}
