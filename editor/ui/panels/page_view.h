// The 256 x 256 texture page view (Image1) with the current texture's frame and the SHIFT+drag
// selection frame (Shape2).
#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>

class page_view_widget : public QWidget {
    Q_OBJECT
  public:
    explicit page_view_widget(QWidget* parent = nullptr);

    void set_page(const QImage& page); // shows a copy
    bool has_picture() const { return !page_.isNull(); }
    void set_texture_frame(const QRect& r); // exclusive end; null rect hides it
    void set_selection_frame(const QRect& r, bool hatched, bool visible);
    bool selection_visible() const { return selection_visible_; }
    const QImage& shown_page() const { return page_; }

  signals:
    void pressed(int x, int y, bool shift, bool left);
    void moved(int x, int y);
    void released(int x, int y);

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    QImage page_;
    QRect texture_frame_;
    QRect selection_;
    bool hatched_ = false;
    bool selection_visible_ = false;
};
