// Test main for the window tests: a QApplication with the view's surface format, on the X
// process's own X server (or the display given, when no Xvfb can be started). Without a display
// every window test is skipped.
#include "gl_viewport.h"
#include "window_test_environment.h"

#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

bool gl_tests_have_display = false;

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const window_test_environment environment; // before the application connects to a display
    gl_tests_have_display = std::getenv("DISPLAY") != nullptr;
    if (!gl_tests_have_display) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    } else {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QSurfaceFormat::setDefaultFormat(gl_viewport::surface_format(24));
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
