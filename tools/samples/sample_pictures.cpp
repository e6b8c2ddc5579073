// Drawing of the sample texture pages: small deterministic painters for each picture, a smooth
// value noise for grain, and a 5 × 7 bitmap font for letters and numbers.
#include "sample_pictures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string>

namespace {

constexpr rgba transparent{0, 0, 0, 0};

rgba colour(int r, int g, int b) {
    return {std::uint8_t(std::clamp(r, 0, 255)), std::uint8_t(std::clamp(g, 0, 255)),
            std::uint8_t(std::clamp(b, 0, 255)), 255};
}

// Scales the colour's brightness by f, keeping alpha.
rgba shade(rgba c, double f) {
    rgba r = colour(int(std::lround(c.r * f)), int(std::lround(c.g * f)), int(std::lround(c.b * f)));
    r.a = c.a;
    return r;
}

rgba mix(rgba a, rgba b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return colour(int(std::lround(a.r + (b.r - a.r) * t)), int(std::lround(a.g + (b.g - a.g) * t)),
                  int(std::lround(a.b + (b.b - a.b) * t)));
}

std::uint32_t hash3(int x, int y, std::uint32_t seed) {
    std::uint32_t h = seed * 0x9E3779B9u ^ std::uint32_t(x) * 0x85EBCA6Bu ^ std::uint32_t(y) * 0xC2B2AE35u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

double hash01(int x, int y, std::uint32_t seed) {
    return (hash3(x, y, seed) & 0xFFFF) / 65535.0;
}

// Smooth value noise in 0..1 with a lattice of `cell` pixels, wrapping every `period` cells so that
// tiles repeat without seams.
double noise(double x, double y, double cell, std::uint32_t seed, int period = 64) {
    const double fx = x / cell, fy = y / cell;
    const int ix = int(std::floor(fx)), iy = int(std::floor(fy));
    const double tx = fx - ix, ty = fy - iy;
    auto at = [&](int i, int j) {
        return hash01(((i % period) + period) % period, ((j % period) + period) % period, seed);
    };
    auto smooth = [](double t) { return t * t * (3 - 2 * t); };
    const double a = at(ix, iy), b = at(ix + 1, iy), c = at(ix, iy + 1), d = at(ix + 1, iy + 1);
    const double sx = smooth(tx), sy = smooth(ty);
    return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
}

// A view on one rectangle of a picture, so that painters draw in local coordinates.
struct canvas {
    picture& pic;
    int ox, oy, w, h;

    void set(int x, int y, rgba c) {
        if (x >= 0 && y >= 0 && x < w && y < h) pic.at(ox + x, oy + y) = c;
    }
    rgba get(int x, int y) const {
        return pic.at(ox + std::clamp(x, 0, w - 1), oy + std::clamp(y, 0, h - 1));
    }
    template <class F> void each(F f) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                set(x, y, f(x, y));
    }
    void fill(int x0, int y0, int ww, int hh, rgba c) {
        for (int y = y0; y < y0 + hh; ++y)
            for (int x = x0; x < x0 + ww; ++x)
                set(x, y, c);
    }
    void ellipse(double cx, double cy, double rx, double ry, rgba c) {
        for (int y = int(cy - ry) - 1; y <= int(cy + ry) + 1; ++y)
            for (int x = int(cx - rx) - 1; x <= int(cx + rx) + 1; ++x) {
                const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
                if (dx * dx + dy * dy <= 1.0) set(x, y, c);
            }
    }
    void line(double x0, double y0, double x1, double y1, double width, rgba c) {
        const double len = std::hypot(x1 - x0, y1 - y0);
        const int steps = std::max(1, int(len * 2));
        for (int i = 0; i <= steps; ++i) {
            const double t = double(i) / steps;
            ellipse(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, width / 2, width / 2, c);
        }
    }
};

canvas on(picture& page, const page_rect& r) {
    return {page, r.x, r.y, r.w, r.h};
}

// ---- architecture -------------------------------------------------------------------------------

void paint_bricks(canvas c, rgba brick, rgba mortar, std::uint32_t seed) {
    const int row_h = 16, brick_w = 32;
    c.each([&](int x, int y) {
        const int row = y / row_h;
        const int shifted = x + (row % 2) * (brick_w / 2);
        const int col = shifted / brick_w;
        const int bx = shifted % brick_w, by = y % row_h;
        if (by < 2 || bx < 2) return shade(mortar, 0.9 + 0.2 * noise(x, y, 3, seed + 1));
        const double tone = 0.8 + 0.35 * hash01(col % 2 + 2 * (col / 2), row, seed);
        double f = tone * (0.85 + 0.3 * noise(x, y, 4, seed + 2));
        if (by == 2) f *= 1.25; // lit top edge
        if (by == row_h - 1 || bx == brick_w - 1) f *= 0.7;
        return shade(brick, f);
    });
}

void paint_flagstones(canvas c, std::uint32_t seed) {
    const rgba stone = colour(150, 145, 130);
    c.each([&](int x, int y) {
        // Four slabs of uneven size with dark joints between them.
        const int split_x = y < 32 ? 38 : 26, split_y = x < 32 ? 28 : 36;
        const bool joint = std::abs(x - split_x) < 1 || std::abs(y - split_y) < 1 || x == 0 || y == 0;
        if (joint) return colour(60, 58, 52);
        const int slab = (x < split_x) + 2 * (y < split_y);
        double f = 0.8 + 0.2 * hash01(slab, 0, seed) + 0.25 * (noise(x, y, 8, seed) - 0.5) +
                   0.15 * (noise(x, y, 2, seed + 7) - 0.5);
        return shade(stone, f);
    });
}

void paint_planks(canvas c, std::uint32_t seed) {
    const rgba wood = colour(150, 100, 55);
    c.each([&](int x, int y) {
        const int plank = x / 16, px = x % 16;
        if (px == 0) return colour(50, 32, 18);
        const double grain =
            std::sin((px + 3 * noise(x, y, 16, seed + plank)) * 1.3 + y * 0.08 * (plank % 2 ? 1 : -1));
        double f = 0.85 + 0.12 * grain + 0.2 * hash01(plank, 0, seed);
        if (px == 15) f *= 0.75;
        rgba col = shade(wood, f);
        // Nail heads near the plank ends.
        for (int ny : {6, 57})
            if (std::hypot(px - 8.0, y - ny) < 1.6) col = colour(70, 70, 75);
        return col;
    });
}

void paint_mossy_stone(canvas c, std::uint32_t seed) {
    paint_bricks(c, colour(120, 120, 115), colour(80, 80, 70), seed);
    c.each([&](int x, int y) {
        rgba base = c.get(x, y);
        const double m = noise(x, y, 10, seed + 3) * 0.7 + noise(x, y, 3, seed + 4) * 0.3;
        if (m > 0.58) return mix(base, colour(60, 110, 40), (m - 0.58) * 4 + 0.3);
        return base;
    });
}

void paint_water(canvas c, int frame) {
    const double phase = frame * std::numbers::pi / 2;
    c.each([&](int x, int y) {
        const double n = noise(x, y, 8, 99);
        const double wave = std::sin((x + y * 0.5) * 2 * std::numbers::pi / 32 + phase + n * 2.5) +
                            0.6 * std::sin((x * 0.3 - y) * 2 * std::numbers::pi / 64 - phase);
        rgba deep = colour(25, 70, 140), light = colour(120, 190, 235);
        rgba col = mix(deep, light, 0.35 + wave * 0.25);
        if (wave > 1.2) col = mix(col, colour(235, 245, 255), (wave - 1.2) * 2);
        return col;
    });
}

void paint_flame(canvas c, int frame) {
    c.each([](int, int) { return transparent; });
    // Torch handle.
    c.fill(27, 44, 10, 20, colour(90, 55, 30));
    c.fill(25, 42, 14, 4, colour(110, 110, 115));
    // Flame: a teardrop whose tip sways with the frame.
    const double sway = std::sin(frame * std::numbers::pi / 2) * 4;
    for (int y = 2; y < 44; ++y) {
        const double t = (y - 2) / 42.0; // 0 at the tip, 1 at the base
        const double half = 13 * std::sin(t * std::numbers::pi * 0.85) * (0.7 + 0.3 * t);
        const double cx = 32 + sway * (1 - t);
        for (int x = 0; x < 64; ++x) {
            const double d = std::abs(x + 0.5 - cx) / std::max(half, 0.5);
            const double flicker = noise(x, y + frame * 7, 5, 17) * 0.3;
            if (d > 1.0 - flicker * 0.5) continue;
            const double heat = (1 - d) * (0.4 + 0.6 * t);
            rgba col = heat > 0.55 ? mix(colour(255, 200, 60), colour(255, 250, 200), (heat - 0.55) * 2.5)
                                   : mix(colour(200, 40, 10), colour(255, 200, 60), heat / 0.55);
            c.set(x, y, col);
        }
    }
}

void paint_grate(canvas c) {
    c.each([](int x, int y) {
        const int gx = x % 16, gy = y % 16;
        const bool bar = gx < 4 || gy < 4 || x >= 60 || y >= 60;
        if (!bar) return transparent;
        double f = 0.8 + 0.4 * noise(x, y, 4, 5);
        if (gx == 0 || gy == 0) f *= 1.3;
        return shade(colour(80, 80, 90), f);
    });
}

void paint_window(canvas c) {
    paint_bricks(c, colour(170, 160, 140), colour(100, 95, 85), 21);
    c.each([&](int x, int y) {
        const bool opening = x >= 10 && x < 54 && y >= 8 && y < 58;
        if (!opening) return c.get(x, y);
        const bool mullion = (x >= 30 && x < 34) || (y >= 30 && y < 34);
        const bool frame = x < 12 || x >= 52 || y < 10 || y >= 56;
        if (mullion || frame) return shade(colour(110, 75, 40), 0.9 + 0.2 * noise(x, y, 3, 8));
        return transparent;
    });
    // A round arch over the window.
    for (int x = 10; x < 54; ++x)
        for (int y = 0; y < 12; ++y) {
            const double d = std::hypot(x + 0.5 - 32, (y + 0.5 - 12) * 2);
            if (d > 20 && d < 24) c.set(x, y, colour(200, 190, 170));
        }
}

void paint_door(canvas c) {
    paint_planks(c, 31);
    for (int band_y : {10, 50}) {
        c.fill(0, band_y, 64, 5, colour(60, 60, 68));
        for (int x = 4; x < 64; x += 12)
            c.ellipse(x + 0.5, band_y + 2.5, 1.6, 1.6, colour(150, 150, 160));
    }
    // Ring handle.
    c.ellipse(46, 33, 6, 6, colour(170, 140, 60));
    c.ellipse(46, 33, 4, 4, c.get(40, 40));
}

void paint_coffer(canvas c) {
    c.each([](int x, int y) {
        const int d = std::min({x, y, 63 - x, 63 - y});
        const rgba plaster = colour(200, 190, 165);
        if (d < 4) return shade(plaster, 0.95 + 0.1 * noise(x, y, 3, 4));
        if (d < 10) return shade(plaster, x < y ? 0.65 : 0.85); // bevel lit from the top left
        if (d < 12) return colour(170, 130, 60);
        const double r = std::hypot(x - 31.5, y - 31.5);
        if (r < 8) return r < 4 ? colour(230, 190, 90) : colour(180, 140, 60); // rosette
        return shade(colour(150, 40, 40), 0.9 + 0.15 * noise(x, y, 6, 5));
    });
}

// ---- scenery ------------------------------------------------------------------------------------

void paint_banner(picture& page, const std::string& title) {
    canvas c{page, 0, 0, 256, 64};
    c.each([](int x, int y) {
        const int d = std::min({x, y, 255 - x, 63 - y});
        if (d < 2) return colour(110, 80, 20);
        if (d < 5) return colour(220, 180, 70);
        return shade(colour(130, 25, 35), 0.85 + 0.2 * noise(x, y, 6, 61, 256));
    });
    const std::string name = "VELLUM";
    const int w1 = text_width(name, 4);
    draw_text(page, (256 - w1) / 2 + 2, 10, name, 4, colour(60, 10, 10)); // shadow
    draw_text(page, (256 - w1) / 2, 8, name, 4, colour(250, 215, 100));
    const std::string sub = "SAMPLE " + title;
    const int w2 = text_width(sub, 2);
    draw_text(page, (256 - w2) / 2, 42, sub, 2, colour(245, 240, 225));
}

void paint_grass(canvas c) {
    c.each([](int x, int y) {
        const double n = noise(x, y, 6, 71);
        rgba col = mix(colour(50, 100, 30), colour(110, 160, 50), n);
        if (hash01(x, y / 3, 72) > 0.93) col = shade(col, 1.3); // blades
        return col;
    });
}

void paint_sand(canvas c) {
    c.each([](int x, int y) {
        const double ripple = std::sin((y + 4 * noise(x, y, 16, 81)) * 0.45);
        return shade(colour(215, 190, 130), 0.9 + 0.08 * ripple + 0.06 * (hash01(x, y, 82) - 0.5));
    });
}

void paint_sky(canvas c) {
    c.each([&](int x, int y) {
        rgba col = mix(colour(60, 110, 200), colour(170, 210, 245), double(y) / c.h);
        // Cloud cells scale with the picture so that its left and right edges meet.
        const double cloud =
            noise(x, y * 2, c.w / 8.0, 91, 8) * 0.7 + noise(x, y * 2, c.w / 16.0, 92, 16) * 0.3;
        if (cloud > 0.55) col = mix(col, colour(250, 250, 252), (cloud - 0.55) * 3);
        return col;
    });
}

void paint_tree(canvas c) {
    c.each([](int, int) { return transparent; });
    // Trunk and two branches.
    c.line(64, 127, 64, 70, 12, colour(100, 65, 35));
    c.line(64, 90, 44, 70, 6, colour(100, 65, 35));
    c.line(64, 84, 86, 66, 6, colour(100, 65, 35));
    // Crown: overlapping round clumps, lit from the top left.
    const std::array<std::array<double, 3>, 7> clumps{
        {{64, 40, 30}, {38, 56, 22}, {90, 54, 24}, {50, 28, 20}, {80, 26, 20}, {64, 64, 20}, {28, 40, 14}}};
    for (const auto& k : clumps)
        for (int y = int(k[1] - k[2]); y <= int(k[1] + k[2]); ++y)
            for (int x = int(k[0] - k[2]); x <= int(k[0] + k[2]); ++x) {
                const double dx = x - k[0], dy = y - k[1];
                const double r = std::hypot(dx, dy) / k[2];
                if (r > 1 - 0.15 * noise(x, y, 3, 93, 256)) continue;
                const double light =
                    0.75 + 0.35 * (-dx - dy) / (k[2] * 1.5) + 0.2 * (noise(x, y, 3, 94, 256) - 0.5);
                c.set(x, y, shade(colour(60, 130, 45), light));
            }
    // A few red fruits.
    for (auto [x, y] : {std::pair{50, 45}, {76, 38}, {88, 60}, {40, 62}, {66, 22}})
        c.ellipse(x, y, 3, 3, colour(200, 30, 30));
}

void paint_compass(canvas c) {
    c.each([](int, int) { return transparent; });
    const double cx = 64, cy = 64;
    c.ellipse(cx, cy, 62, 62, colour(120, 90, 40));
    c.ellipse(cx, cy, 58, 58, colour(235, 225, 195));
    c.ellipse(cx, cy, 40, 40, colour(215, 200, 160));
    // Eight-pointed star: long points to N, E, S, W.
    for (int i = 0; i < 8; ++i) {
        const double a = i * std::numbers::pi / 4;
        const double len = i % 2 ? 26 : 44;
        for (double t = 0; t < len; t += 0.5) {
            const double half = (len - t) / len * (i % 2 ? 5 : 8);
            const double px = cx + std::sin(a) * t, py = cy - std::cos(a) * t;
            for (double s = -half; s <= half; s += 0.5)
                c.set(int(px + std::cos(a) * s), int(py + std::sin(a) * s),
                      s < 0 ? colour(40, 40, 60) : (i == 0 ? colour(200, 40, 30) : colour(90, 90, 120)));
        }
    }
    c.ellipse(cx, cy, 4, 4, colour(200, 160, 60));
    const rgba ink = colour(60, 30, 20);
    draw_text(c.pic, c.ox + 64 - 5, c.oy + 4, "N", 2, ink);
    draw_text(c.pic, c.ox + 64 - 5, c.oy + 110, "S", 2, ink);
    draw_text(c.pic, c.ox + 110, c.oy + 64 - 7, "E", 2, ink);
    draw_text(c.pic, c.ox + 8, c.oy + 64 - 7, "W", 2, ink);
}

// ---- figure and props ---------------------------------------------------------------------------

void paint_face(canvas c) {
    const rgba hair = colour(80, 50, 30), skin = colour(225, 180, 145);
    c.each([&](int x, int y) { return shade(hair, 0.85 + 0.3 * noise(x * 3, y, 4, 41)); });
    // Face oval, lit from the upper left.
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const double dx = (x + 0.5 - 64) / 46, dy = (y + 0.5 - 72) / 54;
            const double r = dx * dx + dy * dy;
            if (r <= 1.0 && y > 26) c.set(x, y, shade(skin, 1.05 - 0.2 * r - 0.05 * dx));
        }
    // Fringe.
    for (int x = 18; x < 110; ++x) {
        const int fringe = 30 + int(8 * std::abs(std::sin(x * 0.18)));
        for (int y = 20; y < fringe; ++y)
            c.set(x, y, shade(hair, 0.9 + 0.2 * noise(x * 3, y, 4, 41)));
    }
    // Eyes, brows, nose, mouth.
    for (double ex : {44.0, 84.0}) {
        c.ellipse(ex, 62, 10, 6, colour(250, 250, 245));
        c.ellipse(ex + 1, 62, 5, 5, colour(70, 120, 60));
        c.ellipse(ex + 1, 62, 2.5, 2.5, colour(25, 25, 25));
        c.set(int(ex) - 1, 60, colour(255, 255, 255));
        c.line(ex - 11, 50, ex + 10, 48 + (ex < 64 ? 0 : 0), 3, colour(70, 45, 30));
    }
    c.line(64, 64, 60, 84, 3, shade(skin, 0.75));
    c.line(60, 84, 68, 84, 3, shade(skin, 0.75));
    for (int i = 0; i <= 20; ++i) {
        const double t = (i - 10) / 10.0;
        c.ellipse(64 + t * 16, 98 + 5 * (1 - t * t), 2.2, 2.2, colour(180, 60, 60));
    }
    // Cheeks.
    for (double ex : {38.0, 90.0})
        c.ellipse(ex, 82, 7, 4, shade(mix(skin, colour(230, 120, 110), 0.4), 1.0));
}

void paint_tartan(canvas c) {
    c.each([](int x, int y) {
        auto band = [](int v) {
            const int m = v % 32;
            return m < 10 ? 0 : (m < 12 ? 1 : (m < 26 ? 2 : 3));
        };
        const std::array<rgba, 4> cols{colour(30, 60, 120), colour(230, 200, 60), colour(40, 110, 60),
                                       colour(150, 30, 40)};
        const rgba a = cols[band(x)], b = cols[band(y)];
        // Twill weave: alternate which thread shows along diagonals.
        const bool over = ((x + y) / 2) % 2 == 0;
        return shade(mix(over ? a : b, over ? b : a, 0.3), 0.9 + 0.15 * hash01(x, y, 51));
    });
}

void paint_skin(canvas c) {
    c.each([](int x, int y) { return shade(colour(225, 180, 145), 0.92 + 0.12 * noise(x, y, 12, 55)); });
}

void paint_metal(canvas c) {
    c.each([](int x, int y) {
        double f = 0.8 + 0.1 * noise(x * 0.2, y * 6, 3, 56) + 0.25 * (1 - y / 64.0);
        const int d = std::min({x, y, 63 - x, 63 - y});
        if (d < 2) f *= 0.6;
        return shade(colour(150, 155, 165), f);
    });
    for (int rx : {8, 55})
        for (int ry : {8, 55}) {
            c.ellipse(rx + 0.5, ry + 0.5, 4, 4, colour(90, 92, 100));
            c.ellipse(rx, ry, 2.5, 2.5, colour(210, 212, 220));
        }
}

void paint_crate(canvas c) {
    const rgba wood = colour(175, 125, 65);
    c.each([&](int x, int y) {
        const double grain = std::sin(y * 0.9 + 3 * noise(x, y, 20, 61, 256));
        const int board = y / 32;
        double f = 0.85 + 0.08 * grain + 0.12 * hash01(board, 0, 62);
        if (y % 32 == 0) f = 0.45;
        return shade(wood, f);
    });
    // Frame and diagonal braces.
    const rgba dark = colour(110, 70, 35);
    for (int i = 0; i < 128; ++i)
        for (int t = 0; t < 12; ++t) {
            c.set(i, t, dark);
            c.set(i, 127 - t, dark);
            c.set(t, i, dark);
            c.set(127 - t, i, dark);
        }
    c.line(12, 12, 115, 115, 12, shade(dark, 1.1));
    c.line(115, 12, 12, 115, 12, shade(dark, 1.1));
    for (int x : {6, 121})
        for (int y : {6, 121})
            c.ellipse(x, y, 3, 3, colour(60, 60, 66));
}

void paint_leaves(canvas c) {
    c.each([](int, int) { return transparent; });
    for (int i = 0; i < 14; ++i) {
        const double cx = 8 + hash01(i, 0, 63) * 48, cy = 6 + hash01(i, 1, 63) * 52;
        const double a = hash01(i, 2, 63) * std::numbers::pi;
        const double len = 10 + hash01(i, 3, 63) * 6, wid = 4 + hash01(i, 4, 63) * 2;
        const rgba leaf = mix(colour(40, 110, 30), colour(120, 180, 50), hash01(i, 5, 63));
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
                const double u = dx * std::cos(a) + dy * std::sin(a),
                             v = -dx * std::sin(a) + dy * std::cos(a);
                const double r = (u * u) / (len * len) + (v * v) / (wid * wid);
                if (r <= 1) c.set(x, y, std::abs(v) < 0.7 ? shade(leaf, 0.7) : shade(leaf, 1.05 - 0.2 * r));
            }
    }
}

void paint_hair(canvas c) {
    c.each([](int x, int y) {
        const double strand = std::sin(x * 1.7 + 6 * noise(x, y, 16, 65));
        return shade(colour(80, 50, 30), 0.85 + 0.15 * strand + 0.1 * (y / 64.0));
    });
}

// ---- checker ------------------------------------------------------------------------------------

std::string checker_label(int n) {
    return n < 26 ? std::string(1, char('A' + n)) : std::to_string(n - 26);
}

void paint_checker(picture& page) {
    const std::array<rgba, 8> hues{colour(200, 70, 60),  colour(220, 150, 50), colour(200, 200, 70),
                                   colour(90, 170, 80),  colour(70, 160, 170), colour(80, 110, 200),
                                   colour(140, 90, 190), colour(190, 90, 150)};
    for (int n = 0; n < 64; ++n) {
        canvas c = on(page, sample_art::checker(n));
        const rgba base = ((n % 8) + (n / 8)) % 2 ? hues[n / 8] : shade(hues[n / 8], 0.55);
        c.each([&](int x, int y) {
            const int d = std::min({x, y, 31 - x, 31 - y});
            return d == 0 ? shade(base, 0.7) : base;
        });
        // Orientation mark: a white corner triangle at the top left.
        for (int y = 1; y < 8; ++y)
            for (int x = 1; x < 9 - y; ++x)
                c.set(x, y, colour(250, 250, 250));
        const std::string label = checker_label(n);
        const int scale = label.size() == 1 ? 3 : 2;
        const int tw = text_width(label, scale);
        draw_text(page, c.ox + (32 - tw) / 2, c.oy + (32 - 7 * scale) / 2 + 1, label, scale,
                  colour(20, 20, 30));
    }
}

} // namespace

// ---- font ---------------------------------------------------------------------------------------

namespace {
// Rows of the 5 × 7 glyphs, top row first, '#' for ink.
constexpr const char* glyph_rows[] = {
    // A-Z
    ".###.#...##...#######...##...##...#",
    "####.#...##...#####.#...##...#####.",
    ".###.#...##....#....#....#...#.###.",
    "####.#...##...##...##...##...#####.",
    "######....#....####.#....#....#####",
    "######....#....####.#....#....#....",
    ".###.#...##....#.####...##...#.####",
    "#...##...##...#######...##...##...#",
    ".###...#....#....#....#....#...###.",
    "..###...#....#....#....##..#..##...",
    "#...##..#.#.#..##...#.#..#..#.#...#",
    "#....#....#....#....#....#....#####",
    "#...###.###.#.##.#.##...##...##...#",
    "#...##...###..##.#.##..###...##...#",
    ".###.#...##...##...##...##...#.###.",
    "####.#...##...#####.#....#....#....",
    ".###.#...##...##...##.#.##..#..##.#",
    "####.#...##...#####.#.#..#..#.#...#",
    ".#####....#.....###.....#....#####.",
    "#####..#....#....#....#....#....#..",
    "#...##...##...##...##...##...#.###.",
    "#...##...##...##...##...#.#.#...#..",
    "#...##...##...##.#.##.#.##.#.#.#.#.",
    "#...##...#.#.#...#...#.#.#...##...#",
    "#...##...#.#.#...#....#....#....#..",
    "#####....#...#...#...#...#....#####",
    // 0-9
    ".###.#...##..###.#.###..##...#.###.",
    "..#...##....#....#....#....#...###.",
    ".###.#...#....#...#...#...#...#####",
    "#####...#...#.....#.....##...#.###.",
    "...#...##..#.#.#..#.#####...#....#.",
    "######....####.....#....##...#.###.",
    "..##..#...#....####.#...##...#.###.",
    "#####....#...#...#...#....#....#...",
    ".###.#...##...#.###.#...##...#.###.",
    ".###.#...##...#.####....#...#..##..",
    // '-'
    "................###................",
};

constexpr bool every_glyph_is_5_by_7() {
    for (const char* g : glyph_rows)
        if (std::char_traits<char>::length(g) != 35) return false;
    return true;
}
static_assert(every_glyph_is_5_by_7());

const char* glyph(char ch) {
    if (ch >= 'A' && ch <= 'Z') return glyph_rows[ch - 'A'];
    if (ch >= '0' && ch <= '9') return glyph_rows[26 + ch - '0'];
    if (ch == '-') return glyph_rows[36];
    return nullptr; // space and anything else: blank
}
} // namespace

int text_width(const std::string& text, int scale) {
    return text.empty() ? 0 : int(text.size()) * 6 * scale - scale;
}

void draw_text(picture& pic, int x, int y, const std::string& text, int scale, rgba colour_) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char* g = glyph(text[i]);
        if (!g) continue;
        const int gx = x + int(i) * 6 * scale;
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 5; ++col) {
                if (g[row * 5 + col] != '#') continue;
                for (int sy = 0; sy < scale; ++sy)
                    for (int sx = 0; sx < scale; ++sx) {
                        const int px = gx + col * scale + sx, py = y + row * scale + sy;
                        if (pic.inside(px, py)) pic.at(px, py) = colour_;
                    }
            }
    }
}

std::vector<picture> draw_sample_pages(const std::string& title) {
    using namespace sample_art;
    std::vector<picture> pages(4, picture(256, 256, colour(128, 128, 128)));

    picture& arch = pages[0];
    paint_bricks(on(arch, bricks), colour(165, 80, 55), colour(190, 180, 160), 11);
    paint_flagstones(on(arch, flagstones), 12);
    paint_planks(on(arch, planks), 13);
    paint_mossy_stone(on(arch, mossy_stone), 14);
    for (int f = 0; f < 4; ++f) {
        paint_water(on(arch, water(f)), f);
        paint_flame(on(arch, flame(f)), f);
    }
    paint_grate(on(arch, grate));
    paint_window(on(arch, window));
    paint_door(on(arch, door));
    paint_coffer(on(arch, coffer));

    picture& scenery = pages[1];
    paint_banner(scenery, title);
    paint_grass(on(scenery, grass));
    paint_sand(on(scenery, sand));
    paint_sky(on(scenery, sky));
    paint_tree(on(scenery, tree));
    paint_compass(on(scenery, compass));

    picture& figure = pages[2];
    paint_face(on(figure, face));
    paint_tartan(on(figure, tartan));
    paint_skin(on(figure, skin));
    paint_metal(on(figure, metal));
    paint_crate(on(figure, crate));
    paint_leaves(on(figure, leaves));
    paint_hair(on(figure, hair));
    canvas hide = on(figure, leather);
    hide.each([](int x, int y) { return shade(colour(90, 60, 40), 0.85 + 0.2 * noise(x, y, 5, 66)); });

    paint_checker(pages[3]);
    return pages;
}

std::vector<picture> draw_misc_pages() {
    std::vector<picture> pages(2, picture(256, 256));
    canvas sky{pages[0], 0, 0, 256, 256};
    paint_sky(sky);
    sky.ellipse(200, 50, 18, 18, colour(255, 245, 200));
    canvas font{pages[1], 0, 0, 256, 256};
    font.each([](int, int) { return transparent; });
    const std::string chars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-";
    for (std::size_t i = 0; i < chars.size(); ++i)
        draw_text(pages[1], int(i % 16) * 16 + 3, int(i / 16) * 16 + 1, std::string(1, chars[i]), 2,
                  colour(255, 255, 255));
    return pages;
}
