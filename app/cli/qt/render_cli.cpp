// `vellum-cli render`: draws one mesh, moveable or static mesh of a level through the real 3D
// viewport and writes the frame as a PNG (under a virtual X server when there is no display).
#include "cli.h"

#include "camera.h"
#include "gl_textures.h"
#include "gl_viewport.h"
#include "level_reader.h"
#include "level_records.h"
#include "mesh_list.h"
#include "scene.h"
#include "level_stream.h"

#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const char* const usage =
    "usage: vellum-cli render LEVEL (--mesh N | --moveable N | --static N) [--mode "
    "wireframe|solid|textured|points] [--lights] [--box visibility|collision] [--smooth] "
    "[--background black|white] [--size WxH] --out shot.png\n";

struct render_options {
    std::string level, out;
    char kind = 0; // 'm' mesh, 'v' moveable, 's' static
    long number = -1;
    std::uint8_t mode = mode_textured;
    bool lights = false, smooth = false, white = false;
    int box = -1; // -1 none, 0 visibility, 1 collision
    int width = 640, height = 480;
};

std::optional<long> parse_number(const std::string& s) {
    if (s.empty() || s.size() > 9) return std::nullopt;
    for (char c : s)
        if (c < '0' || c > '9') return std::nullopt;
    return std::stol(s);
}

// Returns an error text, empty when the arguments are complete and valid.
std::string parse(const std::vector<std::string>& args, render_options& o) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size()) return std::nullopt;
            return args[++i];
        };
        if (a == "--mesh" || a == "--moveable" || a == "--static") {
            const auto v = value();
            const auto n = v ? parse_number(*v) : std::nullopt;
            if (!n) return a + " needs a number";
            if (o.kind) return "give only one of --mesh, --moveable, --static";
            o.kind = a == "--mesh" ? 'm' : (a == "--moveable" ? 'v' : 's');
            o.number = *n;
        } else if (a == "--mode") {
            const auto v = value();
            static const char* const names[] = {"wireframe", "solid", "textured", "points"};
            int found = -1;
            for (int m = 0; m < 4; ++m)
                if (v && *v == names[m]) found = m;
            if (found < 0) return "--mode is wireframe, solid, textured or points";
            o.mode = std::uint8_t(found);
        } else if (a == "--box") {
            const auto v = value();
            if (v && *v == "visibility")
                o.box = 0;
            else if (v && *v == "collision")
                o.box = 1;
            else
                return "--box is visibility or collision";
        } else if (a == "--background") {
            const auto v = value();
            if (!v || (*v != "white" && *v != "black")) return "--background is black or white";
            o.white = *v == "white";
        } else if (a == "--size") {
            const auto v = value();
            const auto x = v ? v->find('x') : std::string::npos;
            const auto w = x != std::string::npos ? parse_number(v->substr(0, x)) : std::nullopt;
            const auto h = x != std::string::npos ? parse_number(v->substr(x + 1)) : std::nullopt;
            if (!w || !h || *w < 1 || *h < 1 || *w > 8192 || *h > 8192)
                return "--size is WxH, 1 to 8192 each";
            o.width = int(*w), o.height = int(*h);
        } else if (a == "--out") {
            const auto v = value();
            if (!v) return "--out needs a file name";
            o.out = *v;
        } else if (a == "--lights") {
            o.lights = true;
        } else if (a == "--smooth") {
            o.smooth = true;
        } else if (!a.empty() && a[0] == '-') {
            return "unknown option " + a;
        } else if (o.level.empty()) {
            o.level = a;
        } else {
            return "more than one level given";
        }
    }
    if (o.level.empty()) return "no level given";
    if (!o.kind) return "give one of --mesh, --moveable, --static";
    if (o.out.empty()) return "no --out file given";
    return {};
}

bool has_display() {
    const char* x = std::getenv("DISPLAY");
    const char* w = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (w && *w);
}

// Runs the same command again under xvfb-run; returns only when that cannot be done.
void reexec_under_xvfb(const std::vector<std::string>& args) {
    setenv("VELLUM_RENDER_UNDER_XVFB", "1", 1);
    std::vector<std::string> argv_s = {"xvfb-run",       "-a",    "-s", "-screen 0 1280x1024x24",
                                       "/proc/self/exe", "render"};
    argv_s.insert(argv_s.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& s : argv_s)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    // /proc/self/exe names this program in the child too only until exec; resolve it first.
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return;
    self[n] = 0;
    argv_s[4] = self;
    argv[4] = argv_s[4].data();
    execvp("xvfb-run", argv.data());
}

int run_render(const std::vector<std::string>& args) {
    render_options o;
    if (const std::string error = parse(args, o); !error.empty()) {
        std::fprintf(stderr, "vellum-cli render: %s\n%s", error.c_str(), usage);
        return exit_usage;
    }
    if (!has_display()) {
        if (std::getenv("VELLUM_RENDER_UNDER_XVFB")) {
            std::fprintf(stderr, "vellum-cli render: no display, even under xvfb-run\n");
            return exit_no_display;
        }
        reexec_under_xvfb(args);
        std::fprintf(stderr, "vellum-cli render: no display and xvfb-run could not be started\n");
        return exit_no_display;
    }

    tr_level level;
    mesh_list list;
    if (const int rc = load_level(level, o.level, &list); rc != exit_ok) return rc;

    tr_scene scene;
    scene.level = &level;
    scene.meshes = &list;
    scene.show_box = 0;
    list.render_mode = o.mode;
    list.lights_enabled = o.lights ? 1 : 0;
    scene.smooth_textures = o.smooth ? 1 : 0;
    const auto refuse = [&](const char* what, std::size_t count) {
        std::fprintf(stderr, "vellum-cli render: %s %ld does not exist (the level has %zu)\n", what, o.number,
                     count);
        return exit_usage;
    };
    switch (o.kind) {
    case 'm':
        if (std::size_t(o.number) >= list.meshes.size()) return refuse("mesh", list.meshes.size());
        scene.sel_kind = 1;
        scene.sel_mesh = int(o.number);
        break;
    case 'v':
        if (std::size_t(o.number) >= level.moveables.size())
            return refuse("moveable", level.moveables.size());
        scene.sel_kind = 0;
        scene.sel_moveable = int(o.number);
        // A moveable is never drawn as points: the face mode stays.
        if (list.render_mode == mode_points) list.render_mode = mode_textured;
        break;
    default: {
        if (std::size_t(o.number) >= level.static_meshes.size())
            return refuse("static mesh", level.static_meshes.size());
        const std::size_t pointer = read_static_mesh(level.static_meshes[std::size_t(o.number)]).mesh;
        if (pointer >= list.mesh_index.size()) {
            std::fprintf(
                stderr, "vellum-cli render: static mesh %ld names mesh pointer %zu, past the %zu there are\n",
                o.number, pointer, list.mesh_index.size());
            return exit_corrupt;
        }
        scene.sel_kind = 1;
        scene.sel_mesh = list.mesh_index[pointer];
        scene.box_static = int(o.number);
        scene.show_box = o.box >= 0 ? 1 : 0;
        scene.box_kind = std::uint8_t(o.box == 0 ? 0 : 1);
    }
    }

    int argc = 1;
    char name[] = "vellum-cli";
    char* argv[] = {name, nullptr};
    QSurfaceFormat::setDefaultFormat(gl_viewport::surface_format(24));
    QApplication app(argc, argv);
    gl_viewport viewport(24);
    // A frameless tool window that takes no focus: the frame is read back before it is swapped.
    viewport.setFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    viewport.resize(o.width, o.height);
    viewport.set_background(o.white ? 0xFFFFFF : 0);
    scene.line_colour =
        o.white ? std::array<std::uint8_t, 3>{0, 0, 0} : std::array<std::uint8_t, 3>{255, 255, 255};
    viewport.set_draw([&scene, &viewport](gl_api& gl) {
        draw_batch batch(gl);
        // Vertex markers of about three pixels, as the editor draws them.
        scene.point_radius = viewport.marker_radius(3.0);
        scene.Draw(batch);
    });
    viewport.show_and_wait();
    gl_viewport* contexts[] = {&viewport};
    upload_solid_texture(QFileInfo(QCoreApplication::applicationFilePath()).absolutePath(), contexts, 24);
    load_gl_textures(level, contexts, 24);
    if (const auto status = viewport.centre_on(scene); status && !status->empty())
        std::printf("%s\n", status->english.c_str());
    const QImage frame = viewport.grab_frame();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (frame.isNull() || !frame.save(&buffer, "PNG")) {
        std::fprintf(stderr, "vellum-cli render: could not draw %s\n", o.out.c_str());
        return exit_write_failed;
    }
    try {
        write_file_atomic(o.out, reinterpret_cast<const std::uint8_t*>(png.constData()),
                          std::size_t(png.size()));
    } catch (const level_error& e) {
        std::fprintf(stderr, "vellum-cli render: %s\n", e.what());
        return exit_write_failed;
    }
    return exit_ok;
}

const cli_register reg{
    {"render",
     "LEVEL (--mesh N | --moveable N | --static N) [--mode M] [--lights] [--box KIND] "
     "[--smooth] [--background black|white] [--size WxH] --out shot.png   draw one selection",
     &run_render}};

} // namespace
