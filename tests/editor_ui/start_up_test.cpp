// A level named on the command line is opened before the window is first shown, and its textures
// reach OpenGL only after the first frame, which draws nothing yet: the view must then look
// exactly as when the level is opened in a window already on screen.
#include "gl_viewport.h"
#include "main_window.h"
#include "real_levels.h"
#include "scripted_prompts.h"
#include "window_test_environment.h"

#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

QString program_data() {
    window_test_environment* e = window_test_environment::current();
    return e ? QString::fromStdString(e->program_data_copy(VELLUM_APP_DIR)) : QString(VELLUM_APP_DIR);
}

struct start_up_window {
    QTemporaryDir dir;
    QSettings store{dir.filePath("store.ini"), QSettings::IniFormat};
    scripted_prompts prompts;
    std::unique_ptr<main_window> w = std::make_unique<main_window>(program_data(), &store, &prompts);
    start_up_window() { w->resize(900, 650); }
    // Shows the window and waits until its first frame is on screen and the textures held back
    // for it have followed.
    void show() {
        QSignalSpy frames(w->viewport(), &QOpenGLWindow::frameSwapped);
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        if (frames.isEmpty()) frames.wait(3000);
        QTest::qWait(50);
    }
    // The view once the events of the last change have been handled.
    QImage settled_picture() {
        QTest::qWait(200);
        return w->viewport()->grab_frame();
    }
    ~start_up_window() {
        w->close();
        w.reset();
    }
};

} // namespace

TEST(start_up, ALevelOpenedBeforeTheWindowShowsIsDrawnAsInAShownWindow) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4");
    const QString level = QString::fromStdString(real_levels::path("test1.tr4"));
    constexpr int moveable = 0; // Lara: textured all over

    start_up_window reference;
    reference.show();
    ASSERT_TRUE(reference.w->open_path(level));
    reference.w->select_moveable(moveable);

    start_up_window fresh;
    ASSERT_TRUE(fresh.w->open_path(level));
    fresh.show();
    fresh.w->select_moveable(moveable);
    EXPECT_EQ(fresh.settled_picture(), reference.settled_picture());
}

TEST(start_up, TheFirstFrameOfAFigureChosenBeforeTheWindowShowsIsFullyTextured) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr4");
    // Only the textures the figure binds reach OpenGL before the first frame: the picture drawn
    // then must already be the finished one, not one with untextured faces.
    start_up_window fresh;
    ASSERT_TRUE(fresh.w->open_path(QString::fromStdString(real_levels::path("test1.tr4"))));
    fresh.w->select_moveable(0); // Lara: textured all over
    QImage first;
    QObject::connect(fresh.w->viewport(), &QOpenGLWindow::frameSwapped, fresh.w.get(), [&] {
        if (first.isNull()) first = fresh.w->viewport()->grab_frame();
    });
    fresh.show();
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first, fresh.settled_picture());
}

TEST(start_up, ADamagedEnglishLanguageFileIsNamedInAWarning) {
    QTemporaryDir program_dir;
    QFile empty(program_dir.filePath("vellum_us.lng"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    QSettings store(program_dir.filePath("store.ini"), QSettings::IniFormat);
    scripted_prompts prompts;
    main_window w(program_dir.path(), &store, &prompts);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].find("vellum_us.lng is damaged"), std::string::npos) << prompts.messages[0];
    w.document().history().setClean();
}
