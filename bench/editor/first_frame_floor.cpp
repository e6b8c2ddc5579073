// The floor of the first-frame benchmark: the least a window like the editor's costs to its first
// frame here — Qt's start-up and an empty 3D view, maximised, in the same GL set-up — with no
// level, tree or panels. Prints the same start-up report as the editor, then quits.
#include "gl_viewport.h"
#include "startup_report.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    startup_report::mark("process start to main (loading libraries)");
    QSurfaceFormat::setDefaultFormat(gl_viewport::surface_format(24));
    QApplication app(argc, argv);
    startup_report::mark("Qt start-up");
    QMainWindow window;
    auto* view = new gl_viewport(24);
    window.setCentralWidget(view->container(&window));
    window.showMaximized();
    startup_report::mark("window shown");
    QObject::connect(view, &QOpenGLWindow::frameSwapped, &app, [] {
        startup_report::mark("event loop to first frame");
        startup_report::print();
        QApplication::exit(0);
    });
    return app.exec();
}
