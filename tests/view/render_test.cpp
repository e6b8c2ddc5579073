// What the real viewport shows: texture colours where the corners put them, the solid texture,
// wireframe lines, background colours, a re-created context, and the render command's PNG.
#include "gl_view_fixture.h"
#include "real_levels.h"
#include "view_fixtures.h"

#include "level_reader.h"
#include "texture_table.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <set>

namespace {

using namespace view_test;

constexpr std::uint16_t opaque(int r, int g, int b) {
    return std::uint16_t(0x8000 | (r << 10) | (g << 5) | b);
}

// A TR2 level whose page 0 holds a 64 × 64 texture in four quadrants: red top-left, green
// top-right, blue bottom-right, yellow bottom-left; object texture 0 covers it corner by corner.
tr_level quadrant_level() {
    tr_level level = make_level(game_tr2, 1);
    level.num_pages = 1;
    level.pages8_size = 65536;
    level.pages8.assign(65536, 0);
    level.pages16.assign(131072, 0);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const bool right = x >= 32, bottom = y >= 32;
            const std::uint16_t v = !bottom ? (right ? opaque(0, 31, 0) : opaque(31, 0, 0))
                                            : (right ? opaque(0, 0, 31) : opaque(31, 31, 0));
            put_u16(&level.pages16[std::size_t(2 * (y * 256 + x))], v);
        }
    return level;
}

enum class hue { red, green, blue, yellow, grey, black, white, other };

hue hue_of(QRgb c) {
    const int r = qRed(c), g = qGreen(c), b = qBlue(c);
    const auto hi = [](int v) { return v > 200; };
    const auto lo = [](int v) { return v < 60; };
    if (hi(r) && lo(g) && lo(b)) return hue::red;
    if (lo(r) && hi(g) && lo(b)) return hue::green;
    if (lo(r) && lo(g) && hi(b)) return hue::blue;
    if (hi(r) && hi(g) && lo(b)) return hue::yellow;
    if (hi(r) && hi(g) && hi(b)) return hue::white;
    if (lo(r) && lo(g) && lo(b)) return hue::black;
    if (std::abs(r - g) < 8 && std::abs(g - b) < 8) return hue::grey;
    return hue::other;
}

struct quadrant_view : gl_view {
    quadrant_view() : gl_view(quadrant_level()) {
        add_mesh(list, square(-100, -100, 100, 100, 0, 0));
        scene.sel_kind = 1;
        scene.sel_mesh = 0;
        upload_textures();
        centre();
    }
};

// The square spans about pixels 40 to 160 of the 200 × 200 view; quadrant centres at 70 / 130.
std::string rgb_text(QRgb c) {
    return std::to_string(qRed(c)) + "," + std::to_string(qGreen(c)) + "," + std::to_string(qBlue(c));
}

void expect_quadrants(const QImage& img, hue tl, hue tr, hue br, hue bl, const char* what) {
    EXPECT_EQ(hue_of(img.pixel(70, 70)), tl) << what << " " << rgb_text(img.pixel(70, 70));
    EXPECT_EQ(hue_of(img.pixel(130, 70)), tr) << what << " " << rgb_text(img.pixel(130, 70));
    EXPECT_EQ(hue_of(img.pixel(130, 130)), br) << what << " " << rgb_text(img.pixel(130, 130));
    EXPECT_EQ(hue_of(img.pixel(70, 130)), bl) << what << " " << rgb_text(img.pixel(70, 130));
    EXPECT_EQ(hue_of(img.pixel(5, 5)), hue::black) << what << " " << rgb_text(img.pixel(5, 5)); // background
}

TEST(Rendering, TexturedModeShowsTheTextureColoursWhereTheCornersPutThem) {
    REQUIRE_DISPLAY();
    quadrant_view v;
    expect_quadrants(v.frame(), hue::red, hue::green, hue::blue, hue::yellow, "as defined");

    // Mirroring left-right through the corner order of the object texture.
    auto& c = v.level.object_textures[0].corners;
    std::swap(c[0], c[1]);
    std::swap(c[2], c[3]);
    v.vp->redraw();
    expect_quadrants(v.frame(), hue::green, hue::red, hue::yellow, hue::blue, "mirrored");

    // Rotating the face's vertex order turns the texture by one corner.
    std::swap(c[0], c[1]);
    std::swap(c[2], c[3]);
    auto& face = v.list.meshes[0].tex_rects[0];
    face = rect(3, 0, 1, 2, 0);
    v.vp->redraw();
    expect_quadrants(v.frame(), hue::green, hue::blue, hue::yellow, hue::red, "rotated");
}

TEST(Rendering, SolidWireframeAndPointsModes) {
    REQUIRE_DISPLAY();
    quadrant_view v;
    v.list.render_mode = mode_solid;
    v.vp->redraw();
    QImage img = v.frame();
    EXPECT_EQ(hue_of(img.pixel(70, 70)), hue::grey);
    EXPECT_EQ(hue_of(img.pixel(130, 130)), hue::grey);

    v.list.render_mode = mode_wireframe;
    v.vp->redraw();
    img = v.frame();
    EXPECT_EQ(hue_of(img.pixel(100, 100)), hue::black); // inside: only outlines
    int white = 0;
    for (int x = 30; x < 170; ++x)
        for (int y = 95; y < 105; ++y)
            white += hue_of(img.pixel(x, y)) == hue::white;
    EXPECT_GE(white, 2); // the left and right edges cross this band

    // White background, black lines.
    v.vp->set_background(0xFFFFFF);
    v.scene.line_colour = {0, 0, 0};
    v.vp->redraw();
    img = v.frame();
    EXPECT_EQ(hue_of(img.pixel(5, 5)), hue::white);
    EXPECT_EQ(hue_of(img.pixel(100, 100)), hue::white);

    v.list.render_mode = mode_points;
    v.vp->redraw();
    img = v.frame();
    EXPECT_EQ(hue_of(img.pixel(100, 100)), hue::white);
}

TEST(Rendering, AViewMovedIntoAWidgetKeepsItsTexturesAndList) {
    REQUIRE_DISPLAY();
    QWidget holder; // outlives the view, whose container forgets it when the view goes
    quadrant_view v;
    expect_quadrants(v.frame(), hue::red, hue::green, hue::blue, hue::yellow, "before");
    holder.resize(200, 200);
    QWidget* container = v.vp->container(&holder);
    container->setGeometry(0, 0, 200, 200);
    holder.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&holder));
    QTest::qWait(50);
    expect_quadrants(v.frame(), hue::red, hue::green, hue::blue, hue::yellow, "inside a widget");
}

// Levels from newer builders hold 127 in every used fraction byte of their object textures. A face
// using one shows the texture's picture, not a single texel.
TEST(Rendering, BuilderMadeLevelFacesShowTheirWholeTexture) {
    REQUIRE_DISPLAY();
    const std::string path = std::string(VELLUM_SHARED_LEVELS) + "/test1.tr4";
    if (!QFile::exists(QString::fromStdString(path))) GTEST_SKIP() << "no " << path;
    tr_level level;
    ASSERT_EQ(read_level(level, path), read_ok);

    // Rectangular textures of at least 16 x 16 pixels whose piece holds several colours.
    const QImage pages = build_pages_bitmap(level);
    std::vector<std::uint16_t> chosen;
    for (std::size_t i = 0; i < level.object_textures.size() && chosen.size() < 6; ++i) {
        const tobject_texture& t = level.object_textures[i];
        if (t.corners[0].x_frac != 127 || is_triangle(t)) continue;
        const texture_rect r = texture_bounds(t);
        if (r.width() < 16 || r.height() < 16 || texture_page(t) >= level.num_pages) continue;
        const QImage piece = copy_page_rect(pages, texture_page(t), r);
        std::set<QRgb> colours;
        for (int y = 0; y < piece.height(); ++y)
            for (int x = 0; x < piece.width(); ++x)
                colours.insert(piece.pixel(x, y));
        if (colours.size() >= 8) chosen.push_back(std::uint16_t(i));
    }
    ASSERT_FALSE(chosen.empty());

    gl_view v(std::move(level));
    for (const std::uint16_t i : chosen)
        add_mesh(v.list, square(-100, -100, 100, 100, 0, i));
    v.scene.sel_kind = 1;
    v.upload_textures();
    for (std::size_t m = 0; m < chosen.size(); ++m) {
        v.scene.sel_mesh = int(m);
        v.centre();
        const QImage img = v.frame();
        std::set<QRgb> colours;
        for (int y = 50; y < 150; ++y)
            for (int x = 50; x < 150; ++x)
                colours.insert(img.pixel(x, y));
        EXPECT_GT(colours.size(), 4u) << "object texture " << chosen[m];
    }
}

TEST(RenderCommand, WritesAPngOfTheSelectionWithItsTextureColours) {
    REQUIRE_DISPLAY();
    const QString sample = QStringLiteral(VELLUM_SAMPLES) + "/sample_tr4.tr4";
    const QString level =
        QFile::exists(sample) ? sample : QString::fromStdString(real_levels::path("test1.tr4"));
    QTemporaryDir dir;
    const QString out = dir.filePath("shot.png");
    QProcess cli;
    cli.start(QStringLiteral(VELLUM_CLI),
              {"render", level, "--moveable", "0", "--size", "160x120", "--out", out});
    ASSERT_TRUE(cli.waitForFinished(60000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    std::set<QRgb> colours;
    const auto drawn_pixels = [&] {
        QImage shot(out);
        EXPECT_EQ(shot.size(), QSize(160, 120));
        colours.clear();
        int drawn = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) {
                const QRgb c = shot.pixel(x, y) & 0xFFFFFF;
                if (c != 0) ++drawn, colours.insert(c);
            }
        return drawn;
    };
    // Something other than the background was drawn, in more than one colour.
    EXPECT_GT(drawn_pixels(), 100);
    EXPECT_GT(colours.size(), 4u);

    // Points mode shows every vertex as a marker of a few pixels, as the editor does.
    cli.start(QStringLiteral(VELLUM_CLI),
              {"render", level, "--mesh", "0", "--mode", "points", "--size", "160x120", "--out", out});
    ASSERT_TRUE(cli.waitForFinished(60000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    EXPECT_GT(drawn_pixels(), 60);

    // Bad arguments are refused with a usage message, not a crash.
    cli.start(QStringLiteral(VELLUM_CLI), {"render", level, "--mesh", "999999", "--out", out});
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_NE(cli.exitCode(), 0);
    cli.start(QStringLiteral(VELLUM_CLI), {"render", level, "--out", out});
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_NE(cli.exitCode(), 0);
}

} // namespace
