// vellum: the editor. Opens the level named on the command line, if any.
#include "data_folders.h"
#include "gl_driver_preload.h"
#include "gl_viewport.h"
#include "level_reader.h"
#include "main_window.h"
#include "startup_report.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLocale>
#include <QPainter>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    QElapsedTimer since_start;
    since_start.start();
    startup_report::mark("process start to main (loading libraries)");
    // The level named on the command line is read on a worker while Qt and the window start up;
    // opening it below takes that read (unless the file changed meanwhile).
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--screenshot" || arg == "--moveable") && i + 1 < argc)
            ++i;
        else if (!arg.empty() && arg[0] != '-')
            prefetch_level(QFileInfo(QString::fromLocal8Bit(argv[i])).filePath().toStdString());
    }
    start_gl_driver_preload(); // beside the level's read and Qt's start-up
    QCoreApplication::setOrganizationName("Vellum");
    QCoreApplication::setApplicationName("Vellum");
    // The data files beside the program in the build tree, under share/vellum once installed.
    const data_folders folders = data_folders::of_running_program();
    // The view needs a compatibility context; the colour bits come from config.opt.
    {
        const auto config = read_config_opt(folders.read_path("config.opt").toStdString());
        QSurfaceFormat::setDefaultFormat(gl_viewport::surface_format(config.colour_bits));
    }
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale::c()); // "." as the decimal separator everywhere
    // No application display name: the platform would append it to every window title, which
    // already starts with the program's name.
    startup_report::mark("Qt start-up");

    QSettings store(QSettings::IniFormat, QSettings::UserScope, "Vellum", "Vellum");
    main_window window(folders, &store);
    startup_report::mark("main window built");
    // Besides a level to open: --moveable N selects a moveable, --screenshot FILE writes a
    // picture of the window once it has been drawn and quits (documentation and checks).
    QStringList args = app.arguments();
    args.removeFirst();
    QString screenshot;
    int moveable = -1;
    QString level;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == "--screenshot" && i + 1 < args.size())
            screenshot = args[++i];
        else if (args[i] == "--moveable" && i + 1 < args.size())
            moveable = args[++i].toInt();
        else
            level = args[i];
    }
    // The level is opened before the window is first shown: its first frame then has the tree,
    // the panels and the view filled, and is not drawn again for each of them.
    const bool opened = !level.isEmpty() && window.open_path(level);
    discard_prefetched_level();
    window.showMaximized();
    // Chosen once the window has its size, which the camera is fitted to.
    if (opened && moveable >= 0)
        window.select_moveable(moveable);
    else if (opened)
        window.select_lara_or_largest(); // a drawn figure, not an empty view

    startup_report::mark("window shown");
    // VELLUM_REPORT_FIRST_FRAME=1 prints the data folders in use and the time from start to the
    // first frame shown after that.
    if (qEnvironmentVariableIsSet("VELLUM_REPORT_FIRST_FRAME")) {
        std::fprintf(stderr, "data folder: %s\nuser files: %s\n", qPrintable(folders.data),
                     qPrintable(folders.user));
        auto* connection = new QMetaObject::Connection;
        *connection =
            QObject::connect(window.viewport(), &QOpenGLWindow::frameSwapped, [&since_start, connection] {
                startup_report::mark("event loop to first frame (GL start-up, uploads, paint)");
                std::fprintf(stderr, "first frame after %lld ms\n",
                             static_cast<long long>(since_start.elapsed()));
                startup_report::print();
                QObject::disconnect(*connection);
                delete connection;
            });
    }
    if (!screenshot.isEmpty()) {
        QTimer::singleShot(1500, &window, [&] {
            // The view is a window of its own: its frame goes in over its place in the picture.
            QImage picture = window.grab().toImage();
            QPainter painter(&picture);
            const QWidget* view = window.viewport()->container(nullptr);
            painter.drawImage(QRect(view->mapTo(&window, QPoint(0, 0)), view->size()),
                              window.viewport()->grab_frame());
            painter.end();
            const bool ok = picture.save(screenshot);
            QApplication::exit(ok ? 0 : 1);
        });
    }
    return app.exec();
}
