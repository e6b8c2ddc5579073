// Rebuilding a mesh from imported faces, keeping vertex numbers, face places and effects.
#include "mesh_rebuild.h"

#include "dxf_import.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>

namespace {

std::uint64_t key_of(const mesh_vec3& p) {
    return (std::uint64_t(std::uint16_t(p[0])) << 32) | (std::uint64_t(std::uint16_t(p[1])) << 16) |
           std::uint16_t(p[2]);
}

// One face of the original mesh.
struct old_face {
    face_kind kind;
    int corners;
    std::array<std::uint16_t, 4> index;
    std::array<std::optional<mesh_vec3>, 4> position; // empty for an index that names no vertex
    std::uint16_t word;
    std::uint16_t effects;
    int list_place;
    bool taken = false;
};

// Which list a face goes to: 0 textured rectangles, 1 textured triangles, 2 coloured rectangles,
// 3 coloured triangles.
int list_of(face_kind kind, int corners) {
    return (kind == face_kind::coloured ? 2 : 0) + (corners == 3 ? 1 : 0);
}

std::vector<old_face> faces_of(const tmesh& m) {
    std::vector<old_face> out;
    auto add = [&](const auto& list, face_kind kind, int corners, bool has_effects) {
        for (std::size_t i = 0; i < list.size(); ++i) {
            old_face f{kind, corners, {}, {}, face_word(list[i], corners), 0, int(i)};
            if (has_effects) f.effects = face_word(list[i], corners + 1);
            for (int k = 0; k < corners; ++k) {
                f.index[std::size_t(k)] = face_word(list[i], k);
                if (f.index[std::size_t(k)] < m.vertices.size())
                    f.position[std::size_t(k)] = m.vertices[f.index[std::size_t(k)]];
            }
            out.push_back(f);
        }
    };
    add(m.tex_rects, face_kind::textured, 4, true);
    add(m.tex_tris, face_kind::textured, 3, true);
    add(m.col_rects, face_kind::coloured, 4, false);
    add(m.col_tris, face_kind::coloured, 3, false);
    return out;
}

// How the corners of an imported face pair with the corners of an original face: corner k of the
// import takes corner pair[k] of the original (-1: no original corner at its position).
struct pairing {
    std::array<int, 4> pair{-1, -1, -1, -1};
    int matched = 0;
};

pairing pair_corners(const imported_face& f, const old_face& o) {
    pairing p;
    std::array<bool, 4> used{};
    for (int k = 0; k < f.corners; ++k)
        for (int j = 0; j < o.corners; ++j)
            if (!used[std::size_t(j)] && o.position[std::size_t(j)] &&
                *o.position[std::size_t(j)] == f.positions[std::size_t(k)]) {
                used[std::size_t(j)] = true;
                p.pair[std::size_t(k)] = j;
                ++p.matched;
                break;
            }
    return p;
}

float srgb_of(float linear) {
    linear = std::clamp(linear, 0.0f, 1.0f);
    return linear <= 0.0031308f ? linear * 12.92f : 1.055f * std::pow(linear, 1.0f / 2.4f) - 0.055f;
}

// What became of one imported face.
struct placed_face {
    int original = -1;                         // matched original face
    bool exact = false;                        // every corner matched
    std::array<int, 4> vertex{-1, -1, -1, -1}; // resolved vertex numbers
    int loose_corner = -1;                     // near match: the corner that moved
    int loose_vertex = -1;                     // ... and the vertex it moved
};

} // namespace

float light_to_grey(std::int16_t light) {
    return 1.0f - float(std::clamp<int>(light, 0, 8191)) / 8191.0f;
}

std::int16_t grey_to_light(float grey) {
    if (!std::isfinite(grey)) grey = 0.0f;
    return std::int16_t(std::lround((1.0f - std::clamp(grey, 0.0f, 1.0f)) * 8191.0f));
}

rebuilt_mesh rebuild_mesh(const tmesh& original, const std::vector<imported_face>& faces,
                          const rebuild_options& options) {
    if (faces.empty()) return {{}, mesh_refusal(say(msg::file_holds_no_faces))};
    std::array<std::size_t, 4> counts{};
    for (const imported_face& f : faces) {
        if (f.corners != 3 && f.corners != 4)
            return {{}, mesh_refusal(say(msg::face_corner_count, {std::to_string(f.corners)}))};
        if (f.kind == face_kind::coloured && !mesh_has_coloured_faces(options.game_version))
            return {{}, mesh_refusal(say(msg::coloured_faces_new_game))};
        if (f.kind == face_kind::textured && std::size_t(f.word & 0x0FFF) >= options.texture_count)
            return {{},
                    mesh_refusal(say(msg::file_texture_beyond, {std::to_string(f.word & 0x0FFF),
                                                                std::to_string(options.texture_count)}))};
        ++counts[std::size_t(list_of(f.kind, f.corners))];
    }
    const std::array<int, 4> capacity{mesh_tex_rect_capacity, mesh_face_capacity, mesh_face_capacity,
                                      mesh_face_capacity};
    const std::array<msg, 4> too_many{msg::file_textured_rects, msg::file_textured_tris,
                                      msg::file_coloured_rects, msg::file_coloured_tris};
    for (std::size_t l = 0; l < 4; ++l)
        if (counts[l] > std::size_t(capacity[l]))
            return {{},
                    mesh_refusal(say(too_many[l], {std::to_string(counts[l]), std::to_string(capacity[l])}))};

    std::vector<old_face> old = faces_of(original);
    std::vector<placed_face> placed(faces.size());
    // Whole-face matches first, so that a near match never takes a face an unchanged one needs.
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t i = 0; i < faces.size(); ++i) {
            const imported_face& f = faces[i];
            placed_face& p = placed[i];
            if (p.original >= 0) continue;
            int best = -1, best_score = 0;
            pairing best_pairing;
            for (std::size_t o = 0; o < old.size(); ++o) {
                const old_face& of = old[o];
                if (of.taken || of.kind != f.kind || of.corners != f.corners) continue;
                const pairing pr = pair_corners(f, of);
                const bool same_texture = ((of.word ^ f.word) & (f.word_complete ? 0xFFFF : 0x0FFF)) == 0;
                int score = 0;
                if (pr.matched == f.corners)
                    score = same_texture ? 4 : 3;
                else if (pass == 1 && pr.matched == f.corners - 1)
                    score = same_texture ? 2 : 1;
                if (score > best_score) best = int(o), best_score = score, best_pairing = pr;
                if (score == 4) break;
            }
            if (best < 0) continue;
            old[std::size_t(best)].taken = true;
            p.original = best;
            p.exact = best_score >= 3;
            std::array<bool, 4> used{};
            for (int k = 0; k < f.corners; ++k) {
                const int j = best_pairing.pair[std::size_t(k)];
                if (j < 0) {
                    p.loose_corner = k;
                    continue;
                }
                used[std::size_t(j)] = true;
                p.vertex[std::size_t(k)] = old[std::size_t(best)].index[std::size_t(j)];
            }
            if (p.loose_corner >= 0)
                for (int j = 0; j < f.corners; ++j)
                    if (!used[std::size_t(j)]) p.loose_vertex = old[std::size_t(best)].index[std::size_t(j)];
        }
    }

    std::vector<mesh_vec3> vertices = original.vertices;
    const std::size_t original_count = vertices.size();
    std::unordered_map<std::uint64_t, int> at; // position -> first vertex there
    for (std::size_t v = 0; v < vertices.size(); ++v)
        at.emplace(key_of(vertices[v]), int(v));

    // A vertex moves when every near-matched face proposes the same new position for it, that
    // position is free, and no exactly matched face still uses it where it was.
    std::map<int, std::optional<mesh_vec3>> proposals;
    for (std::size_t i = 0; i < faces.size(); ++i) {
        const placed_face& p = placed[i];
        if (p.loose_vertex < 0 || std::size_t(p.loose_vertex) >= original_count) continue;
        const mesh_vec3& to = faces[i].positions[std::size_t(p.loose_corner)];
        auto [it, fresh] = proposals.emplace(p.loose_vertex, to);
        if (!fresh && it->second && *it->second != to) it->second.reset();
    }
    for (std::size_t i = 0; i < faces.size(); ++i)
        for (int k = 0; k < faces[i].corners; ++k) {
            const auto it = proposals.find(placed[i].vertex[std::size_t(k)]);
            if (it != proposals.end()) it->second.reset();
        }
    std::vector<bool> moved(original_count, false);
    for (const auto& [v, to] : proposals) {
        if (!to || at.count(key_of(*to))) continue;
        at.erase(key_of(vertices[std::size_t(v)]));
        vertices[std::size_t(v)] = *to;
        at.emplace(key_of(*to), v);
        moved[std::size_t(v)] = true;
    }
    // Rebuild the position lookup so that a vertex that moved away no longer answers for its old place.
    at.clear();
    for (std::size_t v = 0; v < vertices.size(); ++v)
        at.emplace(key_of(vertices[v]), int(v));
    for (std::size_t i = 0; i < faces.size(); ++i)
        for (int k = 0; k < faces[i].corners; ++k) {
            int& v = placed[i].vertex[std::size_t(k)];
            if (v >= 0) continue;
            const mesh_vec3& pos = faces[i].positions[std::size_t(k)];
            const auto found = at.find(key_of(pos));
            if (found != at.end()) {
                v = found->second;
            } else {
                v = int(vertices.size());
                vertices.push_back(pos);
                at.emplace(key_of(pos), v);
            }
        }
    const std::size_t vertex_limit = std::max(original_count, std::size_t(mesh_vertex_capacity));
    if (vertices.size() > vertex_limit)
        return {{},
                mesh_refusal(say(msg::file_too_many_vertices,
                                 {std::to_string(vertices.size()), std::to_string(mesh_vertex_capacity)}))};

    // Faces: matched ones in their original places' order, then new ones in file order.
    std::array<std::vector<std::size_t>, 4> order;
    for (std::size_t i = 0; i < faces.size(); ++i)
        order[std::size_t(list_of(faces[i].kind, faces[i].corners))].push_back(i);
    for (auto& list : order)
        std::stable_sort(list.begin(), list.end(), [&](std::size_t a, std::size_t b) {
            const int pa =
                placed[a].original >= 0 ? old[std::size_t(placed[a].original)].list_place : 1 << 30;
            const int pb =
                placed[b].original >= 0 ? old[std::size_t(placed[b].original)].list_place : 1 << 30;
            return pa < pb;
        });

    rebuilt_mesh out;
    tmesh& m = out.mesh;
    m = original;
    m.set_num_vertices(std::int16_t(vertices.size()));
    m.vertices = vertices;
    m.set_num_tex_rects(std::int16_t(order[0].size()));
    m.set_num_tex_tris(std::int16_t(order[1].size()));
    m.set_num_col_rects(std::int16_t(order[2].size()));
    m.set_num_col_tris(std::int16_t(order[3].size()));
    auto fill = [&](auto& slot, std::size_t i) {
        const imported_face& f = faces[i];
        const placed_face& p = placed[i];
        slot.fill(0);
        for (int k = 0; k < f.corners; ++k)
            set_face_word(slot, k, std::uint16_t(p.vertex[std::size_t(k)]));
        std::uint16_t word = f.word;
        std::uint16_t effects = f.effects.value_or(0);
        if (p.original >= 0) {
            const old_face& o = old[std::size_t(p.original)];
            const bool same_texture = ((o.word ^ f.word) & 0x0FFF) == 0;
            if (!f.word_complete && same_texture) word = o.word;
            if (!f.effects && same_texture && p.exact) effects = o.effects;
        }
        set_face_word(slot, f.corners, word);
        if (f.kind == face_kind::textured && options.game_version >= game_tr4)
            set_face_word(slot, f.corners + 1, effects);
    };
    for (std::size_t n = 0; n < order[0].size(); ++n)
        fill(m.tex_rects[n], order[0][n]);
    for (std::size_t n = 0; n < order[1].size(); ++n)
        fill(m.tex_tris[n], order[1][n]);
    for (std::size_t n = 0; n < order[2].size(); ++n)
        fill(m.col_rects[n], order[2][n]);
    for (std::size_t n = 0; n < order[3].size(); ++n)
        fill(m.col_tris[n], order[3][n]);

    // What the file says about each vertex: the first corner colour that differs from the kept
    // light, and the sum of corner normals.
    const std::size_t nv = vertices.size();
    const auto kept = [&](std::size_t v) { return v < original_count && !moved[v]; };
    if (options.is_static) {
        std::vector<std::int16_t> lights(nv, 0);
        for (std::size_t v = 0; v < std::min(nv, original.lights.size()); ++v)
            lights[v] = original.lights[v];
        std::vector<bool> set(nv, false);
        for (std::size_t i = 0; i < faces.size(); ++i) {
            if (!faces[i].has_grey) continue;
            for (int k = 0; k < faces[i].corners; ++k) {
                const std::size_t v = std::size_t(placed[i].vertex[std::size_t(k)]);
                const float grey = faces[i].grey[std::size_t(k)];
                if (set[v] || !std::isfinite(grey)) continue;
                const bool had_light = v < original.lights.size() && original.num_normals < 0;
                const float was = had_light ? light_to_grey(lights[v]) : -1.0f;
                if (had_light && std::fabs(srgb_of(grey) - srgb_of(was)) <= 0.75f / 255.0f) continue;
                lights[v] = grey_to_light(grey);
                set[v] = true;
            }
        }
        m.set_num_normals(std::int16_t(-std::int16_t(nv)));
        m.lights = lights;
    } else {
        std::vector<std::array<float, 3>> sum(nv, {0, 0, 0});
        std::vector<bool> given(nv, false);
        for (std::size_t i = 0; i < faces.size(); ++i) {
            if (!faces[i].has_normal) continue;
            for (int k = 0; k < faces[i].corners; ++k) {
                const std::size_t v = std::size_t(placed[i].vertex[std::size_t(k)]);
                for (std::size_t c = 0; c < 3; ++c)
                    if (std::isfinite(faces[i].normal[std::size_t(k)][c]))
                        sum[v][c] += faces[i].normal[std::size_t(k)][c];
                given[v] = true;
            }
        }
        tmesh computed = m;
        computed.set_num_normals(std::int16_t(nv));
        std::fill(computed.normals.begin(), computed.normals.end(), mesh_vec3{});
        compute_dxf_normals(computed);
        m.set_num_normals(std::int16_t(nv));
        for (std::size_t v = 0; v < nv; ++v) {
            if (kept(v) && original.num_normals > 0 && v < original.normals.size()) {
                m.normals[v] = original.normals[v];
                continue;
            }
            const float length =
                std::sqrt(sum[v][0] * sum[v][0] + sum[v][1] * sum[v][1] + sum[v][2] * sum[v][2]);
            if (given[v] && length > 1e-6f) {
                for (std::size_t c = 0; c < 3; ++c)
                    m.normals[v][c] = std::int16_t(std::lround(sum[v][c] / length * 16300.0f));
            } else {
                m.normals[v] = computed.normals[v];
            }
        }
    }

    mesh_list one;
    one.meshes.push_back(std::move(m));
    measure_bounds(one, 0);
    out.mesh = std::move(one.meshes.front());
    return out;
}

user_message mesh_refusal(user_message why) {
    return say(msg::mesh_unchanged, {std::move(why)});
}
