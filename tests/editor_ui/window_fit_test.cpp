// The main window on small screens and at large scale factors: every control reachable and
// uncut, nothing beyond the screen. Also run at QT_SCALE_FACTOR=1.5 on a 1600 x 1000 screen.
#include "editor_window_fixture.h"
#include "real_levels.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QScreen>
#include <QScrollArea>
#include <QTreeWidget>

namespace {

struct window_fit : editor_window_fixture {
    QRect in_window(const QWidget* widget) {
        return QRect(widget->mapTo(w.get(), QPoint(0, 0)), widget->size());
    }
    // Scrolled into view where it sits in a scroll area, the control lies within the window and
    // within what the area shows; a button is wide enough for its whole text.
    void expect_reachable(const char* name) {
        auto* widget = w->findChild<QWidget*>(name);
        ASSERT_NE(widget, nullptr) << name;
        QRect shown = w->rect();
        for (QWidget* p = widget->parentWidget(); p; p = p->parentWidget())
            if (auto* area = qobject_cast<QScrollArea*>(p)) {
                area->ensureWidgetVisible(widget, 0, 0);
                QApplication::processEvents();
                shown = shown.intersected(in_window(area->viewport()));
            }
        EXPECT_TRUE(shown.contains(in_window(widget))) << name;
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            EXPECT_GE(widget->width(), button->sizeHint().width()) << name << " cut text";
        }
    }
};

TEST_F(window_fit, TheFirstWindowAnd1024x600ShowEveryControlOnScreen) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4");
    ASSERT_TRUE(w->open_path(QString::fromStdString(real_levels::folder()) + "/test1.tr4"));
    const QRect screen = w->screen()->availableGeometry();
    const char* controls[] = {"TreeView1", "Panel1",       "Image1",  "ListBox1", "Button2",   "Button3",
                              "GroupBox2", "RadioButton6", "Button1", "Button4",  "SpinEdit7", "CheckBox3"};
    for (const QSize size : {w->size(), QSize(1024, 600)}) {
        SCOPED_TRACE(size.width());
        w->resize(size.boundedTo(screen.size()));
        QApplication::processEvents();
        EXPECT_EQ(w->size(), size.boundedTo(screen.size())) << "a minimum size above the screen";
        EXPECT_TRUE(screen.contains(w->frameGeometry())) << "off screen";
        for (const char* name : controls)
            expect_reachable(name);
        EXPECT_FALSE(in_window(w->findChild<QWidget*>("Panel1"))
                         .intersects(in_window(w->findChild<QWidget*>("GroupBox1"))));
    }
    // The tree shows the longest moveable names whole.
    auto* tree = w->findChild<QTreeWidget*>("TreeView1");
    QTreeWidgetItem* movables = tree->topLevelItem(0)->child(0);
    int widest = 0;
    for (int i = 0; i < movables->childCount(); ++i)
        widest = std::max(widest, QFontMetrics(tree->font()).horizontalAdvance(movables->child(i)->text(0)));
    EXPECT_GE(tree->viewport()->width(), widest + 2 * tree->indentation());
}

} // namespace
