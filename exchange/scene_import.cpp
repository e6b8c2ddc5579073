// Exchange scene -> meshes of the level.
#include "scene_import.h"

#include "level_records.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

namespace {

using mat34 = std::array<double, 12>;

mat34 compose(const mat34& a, const mat34& b) {
    mat34 r{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 4; ++j) {
            double s = j == 3 ? a[std::size_t(i * 4 + 3)] : 0.0;
            for (int k = 0; k < 3; ++k)
                s += a[std::size_t(i * 4 + k)] * b[std::size_t(k * 4 + j)];
            r[std::size_t(i * 4 + j)] = s;
        }
    }
    return r;
}

// World transform of a node; a parent chain that loops or leaves the node list ends there.
mat34 world_of(const exchange_scene& scene, int node) {
    mat34 m = scene.nodes[std::size_t(node)].transform;
    int parent = scene.nodes[std::size_t(node)].parent;
    for (std::size_t steps = 0;
         parent >= 0 && std::size_t(parent) < scene.nodes.size() && steps < scene.nodes.size(); ++steps) {
        m = compose(scene.nodes[std::size_t(parent)].transform, m);
        parent = scene.nodes[std::size_t(parent)].parent;
    }
    return m;
}

// UV distance within which a corner counts as a texture corner: 1/32 of a pixel.
constexpr double uv_tolerance = 8.0 / 65536.0;

bool uv_at(const std::array<float, 2>& uv, const tobject_texture::corner& c) {
    return std::fabs(double(uv[0]) - (c.x_pixel * 256 + c.x_frac) / 65536.0) <= uv_tolerance &&
           std::fabs(double(uv[1]) - (c.y_pixel * 256 + c.y_frac) / 65536.0) <= uv_tolerance;
}

bool same_uv(const std::array<float, 2>& a, const std::array<float, 2>& b) {
    return std::fabs(double(a[0]) - b[0]) <= uv_tolerance && std::fabs(double(a[1]) - b[1]) <= uv_tolerance;
}

// Corners of an object texture that a face uses: three for a triangle texture.
bool triangle_texture(const tobject_texture& t) {
    const auto& c = t.corners;
    if (c[3].x_pixel == 0 && c[3].y_pixel == 0) return true;
    const bool fractions_used =
        c[0].x_frac | c[0].y_frac | c[1].x_frac | c[1].y_frac | c[2].x_frac | c[2].y_frac;
    return fractions_used && c[3].x_frac == 0 && c[3].y_frac == 0;
}

tobject_texture::corner corner_of_uv(const std::array<float, 2>& uv) {
    const auto fixed = [](float f) {
        const double v = std::isfinite(f) ? std::clamp(double(f), 0.0, 1.0) : 0.0;
        return std::min(65535L, std::lround(v * 65536.0));
    };
    const long x = fixed(uv[0]), y = fixed(uv[1]);
    return {std::uint8_t(x & 255), std::uint8_t(x >> 8), std::uint8_t(y & 255), std::uint8_t(y >> 8)};
}

// A face as read, before its texture and corner order are settled.
struct raw_face {
    imported_face face;
    material_key key;
    bool has_uv = false;
    std::array<std::array<float, 2>, 4> uv{};
    bool joined = false;
};

// Permutation taking face corner k to texture corner perm[k], preferring the file's own order; empty
// when the UVs are not the texture's corners.
std::optional<std::array<int, 4>> corner_mapping(const raw_face& f, const tobject_texture& t) {
    std::array<int, 4> perm{0, 1, 2, 3};
    const int n = f.face.corners;
    do {
        bool all = true;
        for (int k = 0; k < n && all; ++k)
            all = uv_at(f.uv[std::size_t(k)], t.corners[std::size_t(perm[std::size_t(k)])]);
        if (all) return perm;
    } while (std::next_permutation(perm.begin(), perm.begin() + n));
    return std::nullopt;
}

const tobject_texture* texture_of(const tr_level& level, const std::vector<tobject_texture>& added,
                                  std::uint16_t word) {
    const std::size_t t = word & 0x0FFF;
    if (t < level.object_textures.size()) return &level.object_textures[t];
    if (t - level.object_textures.size() < added.size()) return &added[t - level.object_textures.size()];
    return nullptr;
}

// Joins triangle pairs that share a diagonal (positions and UVs), a material, and together cover
// the four corners of their quadrilateral texture.
void rejoin_rectangles(std::vector<raw_face>& faces, const tr_level& level) {
    std::map<std::tuple<std::uint16_t, std::uint16_t, mesh_vec3, mesh_vec3>, std::vector<std::size_t>>
        by_edge;
    auto edge_key = [](const raw_face& f, int a, int b) {
        mesh_vec3 p = f.face.positions[std::size_t(a)], q = f.face.positions[std::size_t(b)];
        if (q < p) std::swap(p, q);
        return std::make_tuple(f.key.word, f.key.effects, p, q);
    };
    auto eligible = [&](const raw_face& f) {
        if (f.face.corners != 3 || f.key.coloured || !f.has_uv) return false;
        const std::size_t t = f.key.word & 0x0FFF;
        return t < level.object_textures.size() && !triangle_texture(level.object_textures[t]);
    };
    for (std::size_t i = 0; i < faces.size(); ++i)
        if (eligible(faces[i]))
            for (int e = 0; e < 3; ++e)
                by_edge[edge_key(faces[i], e, (e + 1) % 3)].push_back(i);
    for (std::size_t i = 0; i < faces.size(); ++i) {
        raw_face& a = faces[i];
        if (a.joined || !eligible(a)) continue;
        const tobject_texture& t = level.object_textures[a.key.word & 0x0FFF];
        for (int e = 0; e < 3 && !a.joined; ++e) {
            const int e1 = (e + 1) % 3, apex = (e + 2) % 3;
            for (std::size_t j : by_edge[edge_key(a, e, e1)]) {
                raw_face& b = faces[j];
                if (j == i || b.joined) continue;
                // Corners of b at a's edge ends, same position and UV; the third is b's apex.
                int be = -1, be1 = -1;
                for (int k = 0; k < 3; ++k) {
                    const auto& pos = b.face.positions[std::size_t(k)];
                    const auto& uv = b.uv[std::size_t(k)];
                    if (be < 0 && pos == a.face.positions[std::size_t(e)] &&
                        same_uv(uv, a.uv[std::size_t(e)]))
                        be = k;
                    else if (be1 < 0 && pos == a.face.positions[std::size_t(e1)] &&
                             same_uv(uv, a.uv[std::size_t(e1)]))
                        be1 = k;
                }
                if (be < 0 || be1 < 0) continue;
                const int bapex = 3 - be - be1;
                raw_face quad = a;
                quad.face.corners = 4;
                const std::array<std::pair<mesh_vec3, std::array<float, 2>>, 4> corners{
                    {{a.face.positions[std::size_t(e)], a.uv[std::size_t(e)]},
                     {b.face.positions[std::size_t(bapex)], b.uv[std::size_t(bapex)]},
                     {a.face.positions[std::size_t(e1)], a.uv[std::size_t(e1)]},
                     {a.face.positions[std::size_t(apex)], a.uv[std::size_t(apex)]}}};
                const std::array<int, 4> from_a{e, -1, e1, apex};
                for (std::size_t k = 0; k < 4; ++k) {
                    quad.face.positions[k] = corners[k].first;
                    quad.uv[k] = corners[k].second;
                    const bool in_a = from_a[k] >= 0;
                    const raw_face& src = in_a ? a : b;
                    const std::size_t sk = std::size_t(in_a ? from_a[k] : bapex);
                    quad.face.grey[k] = src.face.grey[sk];
                    quad.face.normal[k] = src.face.normal[sk];
                }
                if (!corner_mapping(quad, t)) continue;
                a = quad;
                a.joined = true;
                b.joined = true;
                b.face.corners = 0; // consumed
                break;
            }
        }
    }
    faces.erase(
        std::remove_if(faces.begin(), faces.end(), [](const raw_face& f) { return f.face.corners == 0; }),
        faces.end());
}

user_message unknown_material(user_message name) {
    return say(msg::unknown_material, {std::move(name)});
}

bool scene_within_limits(const exchange_scene& scene, user_message& error) {
    std::size_t vertices = 0, faces = 0;
    for (const scene_mesh& m : scene.meshes)
        vertices += m.positions.size(), faces += m.faces.size();
    if (scene.nodes.size() > scene_node_limit)
        error = say(msg::scene_too_many_nodes,
                    {std::to_string(scene.nodes.size()), std::to_string(scene_node_limit)});
    else if (vertices > scene_vertex_limit || faces > scene_face_limit)
        error = say(msg::scene_too_much_geometry, {std::to_string(vertices), std::to_string(faces)});
    return error.empty();
}

// A problem of one object of the file, named by the object.
user_message of_object(const std::string& name, user_message what) {
    return say(msg::object_problem, {name.substr(0, 60), std::move(what)});
}

} // namespace

node_faces faces_of_node(const exchange_scene& scene, int node, const tr_level& level,
                         const std::array<int, 3>& shift, std::vector<tobject_texture>& new_textures) {
    node_faces out;
    if (node < 0 || std::size_t(node) >= scene.nodes.size()) return out;
    const mat34 w = world_of(scene, node);
    std::vector<raw_face> raw;
    for (const int mi : scene.nodes[std::size_t(node)].meshes) {
        if (mi < 0 || std::size_t(mi) >= scene.meshes.size()) continue;
        const scene_mesh& m = scene.meshes[std::size_t(mi)];
        const std::size_t nv = m.positions.size();
        std::vector<mesh_vec3> level_pos(nv);
        for (std::size_t v = 0; v < nv; ++v) {
            const auto& p = m.positions[v];
            for (std::size_t r = 0; r < 3; ++r) {
                const double c = w[r * 4] * p[0] + w[r * 4 + 1] * p[1] + w[r * 4 + 2] * p[2] + w[r * 4 + 3];
                const double units = (r == 0 ? 1.0 : -1.0) * c * level_units_per_metre - shift[r];
                if (!std::isfinite(units) || std::fabs(units) > 32767.5) {
                    out.error = say(msg::vertex_out_of_range);
                    return out;
                }
                level_pos[v][r] = std::int16_t(std::lround(units));
            }
        }
        for (const scene_face& sf : m.faces) {
            if (sf.corners < 3) continue; // points and lines carry no surface
            if (sf.corners > 4) {
                out.error = say(msg::face_corner_count, {std::to_string(sf.corners)});
                return out;
            }
            if (sf.material >= scene.materials.size()) {
                out.error = unknown_material(say(msg::no_material));
                return out;
            }
            const auto key = material_of_name(scene.materials[sf.material].name);
            if (!key) {
                out.error = unknown_material(scene.materials[sf.material].name.substr(0, 60));
                return out;
            }
            raw_face f;
            f.key = *key;
            f.face.kind = key->coloured ? face_kind::coloured : face_kind::textured;
            f.face.corners = sf.corners;
            f.face.word = key->word;
            if (!key->coloured && level.game_version >= game_tr4) f.face.effects = key->effects;
            f.has_uv = !m.uvs.empty() && !key->coloured;
            f.face.has_grey = !m.colours.empty();
            f.face.has_normal = !m.normals.empty();
            for (int k = 0; k < sf.corners; ++k) {
                // The file lists corners in reverse.
                const std::size_t lk = std::size_t(sf.corners - 1 - k);
                const std::uint32_t v = sf.vertex[std::size_t(k)];
                if (v >= nv) {
                    out.error = say(msg::corner_names_no_vertex);
                    return out;
                }
                f.face.positions[lk] = level_pos[v];
                if (f.has_uv && v < m.uvs.size()) f.uv[lk] = m.uvs[v];
                if (f.face.has_grey && v < m.colours.size()) {
                    const auto& c = m.colours[v];
                    f.face.grey[lk] = (c[0] + c[1] + c[2]) / 3.0f;
                }
                if (f.face.has_normal && v < m.normals.size()) {
                    const auto& n = m.normals[v];
                    std::array<float, 3> r{};
                    for (std::size_t i = 0; i < 3; ++i)
                        r[i] = float(w[i * 4] * n[0] + w[i * 4 + 1] * n[1] + w[i * 4 + 2] * n[2]);
                    f.face.normal[lk] = {r[0], -r[1], -r[2]};
                }
            }
            raw.push_back(f);
        }
    }
    rejoin_rectangles(raw, level);

    for (raw_face& f : raw) {
        if (!f.key.coloured && f.has_uv) {
            const tobject_texture* t = texture_of(level, new_textures, f.face.word);
            if (t) {
                if (const auto perm = corner_mapping(f, *t)) {
                    const imported_face was = f.face;
                    for (int k = 0; k < f.face.corners; ++k) {
                        const std::size_t j = std::size_t((*perm)[std::size_t(k)]);
                        f.face.positions[j] = was.positions[std::size_t(k)];
                        f.face.grey[j] = was.grey[std::size_t(k)];
                        f.face.normal[j] = was.normal[std::size_t(k)];
                    }
                } else {
                    // UVs that are no corner set of the texture: a new texture on its page.
                    tobject_texture made{};
                    made.page = t->page;
                    made.attribute = t->attribute;
                    for (int k = 0; k < f.face.corners; ++k)
                        made.corners[std::size_t(k)] = corner_of_uv(f.uv[std::size_t(k)]);
                    std::size_t at = 0;
                    while (at < new_textures.size() && !(new_textures[at] == made))
                        ++at;
                    if (at == new_textures.size()) new_textures.push_back(made);
                    f.face.word = std::uint16_t((f.face.word & 0xF000) | (level.object_textures.size() + at));
                }
            }
        }
        out.faces.push_back(f.face);
    }
    return out;
}

scene_import import_scene_into_mesh(const exchange_scene& scene, const tr_level& level, const mesh_list& list,
                                    int mesh, bool is_static) {
    scene_import out;
    if (mesh < 0 || std::size_t(mesh) >= list.meshes.size()) {
        out.error = say(msg::level_has_no_mesh, {std::to_string(mesh)});
        return out;
    }
    if (!scene_within_limits(scene, out.error)) {
        out.error = level_refusal(out.error);
        return out;
    }
    int chosen = -1, with_geometry = 0, any = -1;
    for (std::size_t n = 0; n < scene.nodes.size(); ++n) {
        bool has_faces = false;
        for (int mi : scene.nodes[n].meshes)
            has_faces = has_faces || (mi >= 0 && std::size_t(mi) < scene.meshes.size() &&
                                      !scene.meshes[std::size_t(mi)].faces.empty());
        if (!has_faces) continue;
        ++with_geometry;
        any = int(n);
        if (chosen < 0 && mesh_of_node_name(scene.nodes[n].name) == mesh) chosen = int(n);
    }
    if (chosen < 0 && with_geometry == 1) chosen = any;
    if (chosen < 0) {
        out.error =
            level_refusal(with_geometry == 0 ? say(msg::file_holds_no_faces)
                                             : say(msg::no_object_named,
                                                   {std::to_string(with_geometry), mesh_node_name(mesh)}));
        return out;
    }
    node_faces nf = faces_of_node(scene, chosen, level, {}, out.new_textures);
    if (!nf.error.empty()) {
        out.error = level_refusal(nf.error);
        out.new_textures.clear();
        return out;
    }
    rebuild_options options;
    options.is_static = is_static;
    options.game_version = level.game_version;
    options.texture_count = level.object_textures.size() + out.new_textures.size();
    rebuilt_mesh built = rebuild_mesh(list.meshes[std::size_t(mesh)], nf.faces, options);
    if (!built.error.empty()) return {{}, {}, std::move(built.error)};
    out.meshes.emplace_back(mesh, std::move(built.mesh));
    return out;
}

scene_import import_scene_into_moveable(const exchange_scene& scene, const tr_level& level,
                                        const mesh_list& list, int moveable) {
    scene_import out;
    const std::vector<tree_part> parts = moveable_tree(level, list, moveable);
    if (parts.empty()) {
        out.error = say(msg::no_moveable_with_meshes, {std::to_string(moveable)});
        return out;
    }
    if (!scene_within_limits(scene, out.error)) {
        out.error = level_refusal(out.error);
        return out;
    }
    // Rest place of every part in the moveable, in level units.
    std::vector<std::array<int, 3>> rest(parts.size());
    for (std::size_t k = 0; k < parts.size(); ++k) {
        rest[k] = parts[k].offset;
        const int p = parts[k].parent;
        if (p >= 0 && std::size_t(p) < k)
            for (std::size_t c = 0; c < 3; ++c)
                rest[k][c] += rest[std::size_t(p)][c];
    }
    // The node read for each mesh: a mesh used more than once in the tree is exported once per use;
    // the copy at the first use's rest place is read back (the first copy when none is there, as
    // in files with everything in world space).
    std::map<int, std::pair<std::size_t, std::size_t>> chosen; // mesh -> node, part
    std::map<int, bool> chosen_at_rest;
    for (std::size_t n = 0; n < scene.nodes.size(); ++n) {
        const scene_node& node = scene.nodes[n];
        bool has_faces = false;
        for (int mi : node.meshes)
            has_faces = has_faces || (mi >= 0 && std::size_t(mi) < scene.meshes.size() &&
                                      !scene.meshes[std::size_t(mi)].faces.empty());
        if (!has_faces) continue;
        const auto mesh = mesh_of_node_name(node.name);
        std::size_t part = parts.size();
        if (mesh)
            for (std::size_t k = 0; k < parts.size() && part == parts.size(); ++k)
                if (parts[k].mesh == *mesh) part = k;
        if (part == parts.size()) {
            out.error = level_refusal(
                say(msg::object_not_in_moveable,
                    {node.name.substr(0, 60), std::to_string(moveable), mesh_node_name(parts.front().mesh)}));
            return out;
        }
        const mat34 w = world_of(scene, int(n));
        const bool at_rest = std::fabs(w[3] * level_units_per_metre - rest[part][0]) < 0.5 &&
                             std::fabs(-w[7] * level_units_per_metre - rest[part][1]) < 0.5 &&
                             std::fabs(-w[11] * level_units_per_metre - rest[part][2]) < 0.5;
        const auto [it, fresh] = chosen.emplace(*mesh, std::make_pair(n, part));
        if (!fresh && at_rest && !chosen_at_rest[*mesh]) it->second = {n, part};
        chosen_at_rest[*mesh] = chosen_at_rest[*mesh] || at_rest;
    }
    std::vector<std::pair<std::size_t, std::size_t>> reads;
    for (const auto& [mesh, node_part] : chosen)
        reads.push_back(node_part);
    std::sort(reads.begin(), reads.end());
    for (const auto& [n, part] : reads) {
        const scene_node& node = scene.nodes[n];
        const auto mesh = mesh_of_node_name(node.name);
        node_faces nf = faces_of_node(scene, int(n), level, rest[part], out.new_textures);
        if (!nf.error.empty()) return {{}, {}, level_refusal(of_object(node.name, std::move(nf.error)))};
        rebuild_options options;
        options.is_static = list.meshes[std::size_t(*mesh)].num_normals < 0;
        options.game_version = level.game_version;
        options.texture_count = level.object_textures.size() + out.new_textures.size();
        rebuilt_mesh built = rebuild_mesh(list.meshes[std::size_t(*mesh)], nf.faces, options);
        if (!built.error.empty()) return {{}, {}, of_object(node.name, std::move(built.error))};
        out.meshes.emplace_back(*mesh, std::move(built.mesh));
    }
    if (out.meshes.empty()) out.error = level_refusal(say(msg::no_object_of_moveable));
    return out;
}

user_message level_refusal(user_message why) {
    return say(msg::level_unchanged, {std::move(why)});
}
