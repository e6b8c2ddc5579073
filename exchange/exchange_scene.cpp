// Building the exchange scene of a mesh, a moveable or a static mesh; node and material names.
#include "exchange_scene.h"

#include "level_records.h"
#include "mesh_rebuild.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>

namespace {

std::optional<unsigned> number_in(std::string_view digits) {
    unsigned value = 0;
    const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || r.ec != std::errc() || r.ptr != digits.data() + digits.size()) return std::nullopt;
    return value;
}

// A name without the ".001" a modeller appends to a duplicate.
std::string_view without_copy_suffix(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && number_in(name.substr(dot + 1))) name = name.substr(0, dot);
    return name;
}

std::array<float, 3> file_position(const mesh_vec3& v, const std::array<int, 3>& shift = {}) {
    return {float((v[0] + shift[0]) / level_units_per_metre),
            float(-(v[1] + shift[1]) / level_units_per_metre),
            float(-(v[2] + shift[2]) / level_units_per_metre)};
}

// UV of an object-texture corner: pixel plus fraction byte over the page, v from the top.
std::array<float, 2> corner_uv(const tobject_texture::corner& c) {
    return {float((c.x_pixel * 256 + c.x_frac) / 65536.0), float((c.y_pixel * 256 + c.y_frac) / 65536.0)};
}

class scene_builder {
  public:
    scene_builder(const tr_level& level, const mesh_list& list) : level_(level), list_(list) {}

    int add_node(int mesh, int parent, const std::array<int, 3>& offset) {
        scene_node node;
        node.name = mesh_node_name(mesh);
        // A mesh used again in a moveable's tree gets the suffix a modeller gives a copy, so that
        // files keep the objects apart; import reads the first one.
        const int copies = named_[mesh]++;
        if (copies > 0) {
            char suffix[16];
            std::snprintf(suffix, sizeof suffix, ".%03d", copies);
            node.name += suffix;
        }
        node.parent = parent;
        node.transform[3] = offset[0] / level_units_per_metre;
        node.transform[7] = -offset[1] / level_units_per_metre;
        node.transform[11] = -offset[2] / level_units_per_metre;
        if (mesh >= 0 && std::size_t(mesh) < list_.meshes.size()) {
            node.meshes.push_back(int(scene_.meshes.size()));
            scene_.meshes.push_back(mesh_of(list_.meshes[std::size_t(mesh)]));
        }
        scene_.nodes.push_back(std::move(node));
        return int(scene_.nodes.size() - 1);
    }

    exchange_scene take() { return std::move(scene_); }

  private:
    const tr_level& level_;
    const mesh_list& list_;
    exchange_scene scene_;
    std::map<std::string, std::uint32_t> materials_;
    std::map<int, int> images_;
    std::map<int, int> named_;

    std::uint32_t material_for(const material_key& key) {
        const std::string name = material_name(key);
        const auto found = materials_.find(name);
        if (found != materials_.end()) return found->second;
        scene_material m;
        m.name = name;
        if (key.coloured) {
            const std::size_t i = std::size_t(key.word & 0xFF) * 3;
            for (std::size_t c = 0; c < 3; ++c)
                m.colour[c] = float(std::min(63, int(level_.palette8[i + c]))) / 63.0f;
        } else {
            const std::size_t t = key.word & 0x0FFF;
            if (t < level_.object_textures.size()) m.image = image_for(level_.object_textures[t].page);
        }
        scene_.materials.push_back(std::move(m));
        materials_.emplace(name, std::uint32_t(scene_.materials.size() - 1));
        return std::uint32_t(scene_.materials.size() - 1);
    }

    int image_for(int page) {
        const auto found = images_.find(page);
        if (found != images_.end()) return found->second;
        scene_.images.push_back(page_image(level_, page));
        images_.emplace(page, int(scene_.images.size() - 1));
        return int(scene_.images.size() - 1);
    }

    scene_mesh mesh_of(const tmesh& m) {
        scene_mesh out;
        const bool lights = m.num_normals < 0;
        // One file vertex per (level vertex, UV) pair.
        std::map<std::tuple<std::uint16_t, float, float>, std::uint32_t> made;
        auto vertex = [&](std::uint16_t index, std::array<float, 2> uv) {
            const auto key = std::make_tuple(index, uv[0], uv[1]);
            const auto found = made.find(key);
            if (found != made.end()) return found->second;
            const mesh_vec3 p = index < m.vertices.size() ? m.vertices[index] : mesh_vec3{};
            out.positions.push_back(file_position(p));
            out.uvs.push_back(uv);
            if (lights) {
                const float g = index < m.lights.size() ? light_to_grey(m.lights[index]) : 1.0f;
                out.colours.push_back({g, g, g, 1.0f});
            } else {
                std::array<float, 3> n{0, 1, 0};
                if (index < m.normals.size()) {
                    const mesh_vec3& v = m.normals[index];
                    const float length =
                        std::sqrt(float(v[0]) * v[0] + float(v[1]) * v[1] + float(v[2]) * v[2]);
                    if (length > 0) n = {v[0] / length, -v[1] / length, -v[2] / length};
                }
                out.normals.push_back(n);
            }
            made.emplace(key, std::uint32_t(out.positions.size() - 1));
            return std::uint32_t(out.positions.size() - 1);
        };
        auto add = [&](const auto& face, int corners, bool coloured) {
            material_key key;
            key.coloured = coloured;
            key.word = face_word(face, corners);
            if (!coloured && level_.game_version >= game_tr4) key.effects = face_word(face, corners + 1);
            const tobject_texture* t = nullptr;
            if (!coloured && std::size_t(key.word & 0x0FFF) < level_.object_textures.size())
                t = &level_.object_textures[key.word & 0x0FFF];
            scene_face f;
            f.corners = corners;
            f.material = material_for(key);
            for (int k = 0; k < corners; ++k) {
                const std::array<float, 2> uv =
                    t ? corner_uv(t->corners[std::size_t(k)]) : std::array<float, 2>{};
                // Reversed, so that the face's front is the modeller's front.
                f.vertex[std::size_t(corners - 1 - k)] = vertex(face_word(face, k), uv);
            }
            out.faces.push_back(f);
        };
        for (const auto& r : m.tex_rects)
            add(r, 4, false);
        for (const auto& t : m.tex_tris)
            add(t, 3, false);
        for (const auto& r : m.col_rects)
            add(r, 4, true);
        for (const auto& t : m.col_tris)
            add(t, 3, true);
        return out;
    }
};

} // namespace

std::string mesh_node_name(int mesh) {
    char text[32];
    std::snprintf(text, sizeof text, "mesh_%04d", mesh);
    return text;
}

std::optional<int> mesh_of_node_name(std::string_view name) {
    name = without_copy_suffix(name);
    if (name.substr(0, 5) != "mesh_") return std::nullopt;
    const auto n = number_in(name.substr(5));
    if (!n || *n > 1000000u) return std::nullopt;
    return int(*n);
}

std::string material_name(const material_key& key) {
    char text[64];
    if (key.coloured) {
        std::snprintf(text, sizeof text, "COLOUR_%05u", unsigned(key.word));
        return text;
    }
    std::snprintf(text, sizeof text, "TEXTUR_%04u", unsigned(key.word & 0x0FFF));
    std::string name = text;
    if (key.word & 0xF000) {
        std::snprintf(text, sizeof text, "_H%X", unsigned(key.word >> 12));
        name += text;
    }
    if (key.effects) name += "_FX" + std::to_string(key.effects);
    return name;
}

std::optional<material_key> material_of_name(std::string_view name) {
    name = without_copy_suffix(name);
    material_key key;
    if (name.substr(0, 7) == "COLOUR_") {
        const auto n = number_in(name.substr(7));
        if (!n || *n > 0xFFFF) return std::nullopt;
        key.coloured = true;
        key.word = std::uint16_t(*n);
        return key;
    }
    if (name.substr(0, 7) != "TEXTUR_" || name.size() < 11) return std::nullopt;
    const auto texture = number_in(name.substr(7, 4));
    if (!texture || *texture > 0x0FFF) return std::nullopt;
    key.word = std::uint16_t(*texture);
    std::string_view rest = name.substr(11);
    if (rest.substr(0, 2) == "_H" && rest.size() >= 3) {
        unsigned high = 0;
        const auto r = std::from_chars(rest.data() + 2, rest.data() + 3, high, 16);
        if (r.ec != std::errc()) return std::nullopt;
        key.word = std::uint16_t(key.word | (high << 12));
        rest.remove_prefix(3);
    }
    if (rest.substr(0, 3) == "_FX") {
        const auto fx = number_in(rest.substr(3));
        if (!fx || *fx > 0xFFFF) return std::nullopt;
        key.effects = std::uint16_t(*fx);
        rest = {};
    }
    if (!rest.empty()) return std::nullopt;
    return key;
}

scene_image page_image(const tr_level& level, int page) {
    scene_image img;
    img.page = page;
    img.rgba.assign(std::size_t(img.width) * std::size_t(img.height) * 4, 0);
    const std::size_t base = std::size_t(page) * 65536;
    for (std::size_t i = 0; i < 65536; ++i) {
        std::uint8_t* px = &img.rgba[i * 4];
        if (level.game_version >= game_tr2) {
            const std::size_t at = (base + i) * 2;
            if (at + 1 >= level.pages16.size()) continue;
            const unsigned v = unsigned(level.pages16[at]) | unsigned(level.pages16[at + 1]) << 8;
            const unsigned r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
            px[0] = std::uint8_t(r << 3 | r >> 2), px[1] = std::uint8_t(g << 3 | g >> 2);
            px[2] = std::uint8_t(b << 3 | b >> 2), px[3] = (v & 0x8000) ? 255 : 0;
        } else {
            if (base + i >= level.pages8.size()) continue;
            const std::size_t index = level.pages8[base + i];
            for (std::size_t c = 0; c < 3; ++c)
                px[c] = std::uint8_t(std::min(63, int(level.palette8[index * 3 + c])) * 255 / 63);
            px[3] = index == 0 ? 0 : 255;
        }
    }
    return img;
}

std::vector<tree_part> moveable_tree(const tr_level& level, const mesh_list& list, int moveable) {
    std::vector<tree_part> parts;
    if (moveable < 0 || std::size_t(moveable) >= level.moveables.size()) return parts;
    const moveable_fields mv = read_moveable(level.moveables[std::size_t(moveable)]);
    std::vector<int> stack;
    int parent = -1;
    for (std::size_t k = 0; k < mv.num_meshes; ++k) {
        tree_part part;
        if (k > 0) {
            // Each later mesh has four words: flags (1 pop, 2 push) and the offset from its parent.
            const std::size_t node = std::size_t(mv.mesh_tree) + 4 * (k - 1);
            std::int32_t flags = 0;
            if (node + 3 < level.mesh_trees.size()) {
                flags = level.mesh_trees[node];
                part.offset = {level.mesh_trees[node + 1], level.mesh_trees[node + 2],
                               level.mesh_trees[node + 3]};
            }
            if (flags & 1) {
                if (!stack.empty()) {
                    parent = stack.back();
                    stack.pop_back();
                } else {
                    parent = 0;
                }
            }
            if (flags & 2) stack.push_back(parent);
        }
        part.parent = parent;
        const std::size_t index = std::size_t(mv.first_mesh) + k;
        if (index < list.mesh_index.size()) part.mesh = list.mesh_index[index];
        if (part.mesh < 0 || std::size_t(part.mesh) >= list.meshes.size()) part.mesh = -1;
        parts.push_back(part);
        parent = int(k);
    }
    return parts;
}

exchange_scene scene_of_mesh(const tr_level& level, const mesh_list& list, int mesh) {
    scene_builder b(level, list);
    b.add_node(mesh, -1, {});
    return b.take();
}

exchange_scene scene_of_moveable(const tr_level& level, const mesh_list& list, int moveable) {
    scene_builder b(level, list);
    for (const tree_part& part : moveable_tree(level, list, moveable))
        b.add_node(part.mesh, part.parent, part.offset);
    return b.take();
}

exchange_scene scene_of_static(const tr_level& level, const mesh_list& list, int static_mesh) {
    scene_builder b(level, list);
    if (static_mesh >= 0 && std::size_t(static_mesh) < level.static_meshes.size()) {
        const std::size_t pointer = read_static_mesh(level.static_meshes[std::size_t(static_mesh)]).mesh;
        const int mesh = pointer < list.mesh_index.size() ? list.mesh_index[pointer] : -1;
        b.add_node(mesh, -1, {});
    }
    return b.take();
}
