// Mesh builder and encoder of the sample levels.
#include "sample_mesh.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

std::uint16_t sample_mesh::vertex(vec3 p) {
    auto it = std::find(vertices.begin(), vertices.end(), p);
    if (it != vertices.end()) return std::uint16_t(it - vertices.begin());
    vertices.push_back(p);
    return std::uint16_t(vertices.size() - 1);
}

void sample_mesh::quad(vec3 tl, vec3 tr, vec3 br, vec3 bl, surface s) {
    mesh_face f;
    f.v = {vertex(tl), vertex(tr), vertex(br), vertex(bl)};
    if (s.colour >= 0 && coloured_faces) {
        f.texture = std::uint16_t(s.colour);
        col_rects.push_back(f);
    } else {
        f.texture = s.texture;
        f.effects = s.effects;
        tex_rects.push_back(f);
    }
}

void sample_mesh::tri(vec3 a, vec3 b, vec3 c, surface s) {
    mesh_face f;
    f.v = {vertex(a), vertex(b), vertex(c), 0};
    if (s.colour >= 0 && coloured_faces) {
        f.texture = std::uint16_t(s.colour);
        col_tris.push_back(f);
    } else {
        f.texture = s.texture;
        f.effects = s.effects;
        tex_tris.push_back(f);
    }
}

void sample_mesh::box(vec3 lo, vec3 hi, const std::array<surface, 6>& s) {
    const int x0 = lo.x, y0 = lo.y, z0 = lo.z, x1 = hi.x, y1 = hi.y, z1 = hi.z;
    quad({x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0}, s[0]); // front, seen from -z
    quad({x1, y0, z1}, {x0, y0, z1}, {x0, y1, z1}, {x1, y1, z1}, s[1]); // back, seen from +z
    quad({x0, y0, z1}, {x0, y0, z0}, {x0, y1, z0}, {x0, y1, z1}, s[2]); // left, seen from -x
    quad({x1, y0, z0}, {x1, y0, z1}, {x1, y1, z1}, {x1, y1, z0}, s[3]); // right, seen from +x
    quad({x0, y0, z1}, {x1, y0, z1}, {x1, y0, z0}, {x0, y0, z0}, s[4]); // top, seen from above
    quad({x1, y1, z1}, {x0, y1, z1}, {x0, y1, z0}, {x1, y1, z0}, s[5]); // bottom, seen from below
}

void sample_mesh::make_normals() {
    std::vector<std::array<double, 3>> sum(vertices.size(), {0, 0, 0});
    auto add = [&](const mesh_face& f, int corners) {
        const vec3 a = vertices[f.v[0]], b = vertices[f.v[1]], c = vertices[f.v[corners - 1]];
        // Outward for faces that are clockwise seen from outside, with y pointing down.
        const vec3 e1 = b - a, e2 = c - a;
        const double n[3] = {double(e2.y) * e1.z - double(e2.z) * e1.y,
                             double(e2.z) * e1.x - double(e2.x) * e1.z,
                             double(e2.x) * e1.y - double(e2.y) * e1.x};
        const double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (len == 0) return;
        for (int k = 0; k < corners; ++k)
            for (int ax = 0; ax < 3; ++ax)
                sum[f.v[k]][ax] += n[ax] / len;
    };
    for (const auto& f : tex_rects)
        add(f, 4);
    for (const auto& f : col_rects)
        add(f, 4);
    for (const auto& f : tex_tris)
        add(f, 3);
    for (const auto& f : col_tris)
        add(f, 3);
    lights.clear();
    normals.clear();
    for (const auto& s : sum) {
        const double len = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
        if (len == 0) {
            normals.push_back({0, -16384, 0});
            continue;
        }
        normals.push_back({int(std::lround(s[0] / len * 16384)), int(std::lround(s[1] / len * 16384)),
                           int(std::lround(s[2] / len * 16384))});
    }
}

void mesh_bounds(const sample_mesh& mesh, vec3& lo, vec3& hi) {
    lo = hi = mesh.vertices.empty() ? vec3{} : mesh.vertices[0];
    for (const auto& p : mesh.vertices) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
}

std::uint32_t encode_mesh(const sample_mesh& mesh, std::int32_t game_version,
                          std::vector<std::uint16_t>& words) {
    const bool tr4 = game_version >= 6;
    if (tr4 && (!mesh.col_rects.empty() || !mesh.col_tris.empty()))
        throw std::logic_error("coloured faces exist only in TR1 to TR3 meshes");
    if (!mesh.lights.empty() && mesh.lights.size() != mesh.vertices.size())
        throw std::logic_error("a mesh needs one light per vertex");
    if (mesh.lights.empty() && mesh.normals.size() != mesh.vertices.size())
        throw std::logic_error("a mesh needs one normal per vertex");

    const std::uint32_t start = std::uint32_t(words.size() * 2);
    auto put = [&](int v) { words.push_back(std::uint16_t(v)); };
    auto put3 = [&](vec3 p) {
        put(p.x);
        put(p.y);
        put(p.z);
    };
    vec3 lo, hi;
    mesh_bounds(mesh, lo, hi);
    const vec3 centre{(lo.x + hi.x) / 2, (lo.y + hi.y) / 2, (lo.z + hi.z) / 2};
    double radius = 0;
    for (const auto& p : mesh.vertices)
        radius = std::max(radius,
                          std::hypot(double(p.x - centre.x), double(p.y - centre.y), double(p.z - centre.z)));
    const std::int32_t r = std::int32_t(std::ceil(radius));

    put3(centre);
    put(r & 0xFFFF);
    put((r >> 16) & 0xFFFF);
    put(int(mesh.vertices.size()));
    for (const auto& p : mesh.vertices)
        put3(p);
    if (!mesh.lights.empty()) {
        put(-int(mesh.lights.size()));
        for (auto l : mesh.lights)
            put(l);
    } else {
        put(int(mesh.normals.size()));
        for (const auto& n : mesh.normals)
            put3(n);
    }
    auto faces = [&](const std::vector<mesh_face>& list, int corners, bool effects) {
        put(int(list.size()));
        for (const auto& f : list) {
            for (int k = 0; k < corners; ++k)
                put(f.v[k]);
            put(f.texture);
            if (effects) put(f.effects);
        }
    };
    faces(mesh.tex_rects, 4, tr4);
    faces(mesh.tex_tris, 3, tr4);
    if (!tr4) {
        faces(mesh.col_rects, 4, false);
        faces(mesh.col_tris, 3, false);
    }
    if (words.size() % 2) put(0); // meshes start on 4-byte boundaries
    return start;
}
