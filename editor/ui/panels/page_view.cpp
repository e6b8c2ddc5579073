// Drawing and mouse reporting of the texture page view.
#include "page_view.h"

#include <QMouseEvent>
#include <QPainter>

page_view_widget::page_view_widget(QWidget* parent) : QWidget(parent) {
    setFixedSize(256, 256);
    setMouseTracking(true);
}

void page_view_widget::set_page(const QImage& page) {
    page_ = page.copy();
    update();
}

void page_view_widget::set_texture_frame(const QRect& r) {
    texture_frame_ = r;
    update();
}

void page_view_widget::set_selection_frame(const QRect& r, bool hatched, bool visible) {
    selection_ = r;
    hatched_ = hatched;
    selection_visible_ = visible;
    update();
}

void page_view_widget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (!page_.isNull()) p.drawImage(0, 0, page_);
    if (!texture_frame_.isNull()) {
        p.setPen(Qt::white);
        p.setBrush(Qt::NoBrush);
        p.drawRect(texture_frame_.adjusted(0, 0, -1, -1));
    }
    if (selection_visible_ && selection_.width() > 0 && selection_.height() > 0) {
        p.setPen(Qt::yellow);
        p.setBrush(hatched_ ? QBrush(Qt::yellow, Qt::DiagCrossPattern) : QBrush(Qt::NoBrush));
        p.drawRect(selection_.adjusted(0, 0, -1, -1));
    }
}

void page_view_widget::mousePressEvent(QMouseEvent* e) {
    const auto pos = e->position().toPoint();
    emit pressed(pos.x(), pos.y(), e->modifiers() & Qt::ShiftModifier, e->button() == Qt::LeftButton);
}

void page_view_widget::mouseMoveEvent(QMouseEvent* e) {
    const auto pos = e->position().toPoint();
    emit moved(pos.x(), pos.y());
}

void page_view_widget::mouseReleaseEvent(QMouseEvent* e) {
    const auto pos = e->position().toPoint();
    emit released(pos.x(), pos.y());
}
