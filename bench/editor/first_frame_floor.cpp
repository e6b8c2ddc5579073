// The floors of the first-frame benchmark: the least a window like the editor's costs to its first
// frame here — Qt's start-up and the 3D view, maximised, in the same GL set-up — with no tree,
// panels or menus. With no argument the view is empty. With a level (--figure LEVEL) it draws
// what the editor first shows: Lara, or else the moveable of most meshes, textured, with the level
// read, its pages drawn for the table and the uploads prepared as the editor does them. Prints the
// same start-up report as the editor, then quits.
#include "draw_batch.h"
#include "editor_document.h"
#include "gl_driver_preload.h"
#include "gl_textures.h"
#include "gl_viewport.h"
#include "level_reader.h"
#include "mesh_list.h"
#include "object_tree.h"
#include "scene.h"
#include "startup_report.h"
#include "texture_table.h"

#include <QApplication>
#include <QMainWindow>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    startup_report::mark("process start to main (loading libraries)");
    const bool figure = argc == 3 && std::strcmp(argv[1], "--figure") == 0;
    const std::string path = figure ? argv[2] : "";
    if (figure) {
        prefetch_level(path);
        start_gl_driver_preload();
    }
    QSurfaceFormat::setDefaultFormat(gl_viewport::surface_format(24));
    QApplication app(argc, argv);
    startup_report::mark("Qt start-up");
    QMainWindow window;
    auto* view = new gl_viewport(24);
    window.setCentralWidget(view->container(&window));

    tr_level level;
    mesh_list meshes;
    texture_table table;
    tr_scene scene;
    if (figure) {
        if (read_level(level, path) != read_ok) return 1;
        table = build_texture_table(level);
        build_mesh_list(meshes, level);
        meshes.render_mode = std::uint8_t(render_mode::textured);
        scene.level = &level;
        scene.meshes = &meshes;
        scene.sel_kind = 0;
        scene.sel_moveable = lara_or_largest_moveable(level);
        view->set_draw([&scene](gl_api& gl) {
            draw_batch batch(gl);
            scene.Draw(batch);
        });
        gl_viewport* views[] = {view};
        upload_solid_texture(QString(), views, 24);
        load_gl_textures_later(level, table.pages_bitmap, *view, 24);
        // The size of the editor's first window (where the screen allows), all of it the view.
        window.resize(1024, 700);
        startup_report::mark("level read and figure prepared");
    }
    window.showMaximized();
    if (figure) view->centre_on(scene);
    startup_report::mark("window shown");
    QObject::connect(view, &QOpenGLWindow::frameSwapped, &app, [] {
        startup_report::mark("event loop to first frame");
        startup_report::print();
        QApplication::exit(0);
    });
    return app.exec();
}
