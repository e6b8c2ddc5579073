// Whole-mesh commands.
#include "mesh_commands.h"

#include "history_step.h"

#include <algorithm>

std::vector<int> target_meshes(const tr_level& level, const mesh_list& meshes, const mesh_target& target) {
    std::vector<int> out;
    const auto add = [&](int m) {
        if (m >= 0 && std::size_t(m) < meshes.meshes.size() &&
            std::find(out.begin(), out.end(), m) == out.end())
            out.push_back(m);
    };
    switch (target.kind) {
    case target_kind::none:
        break;
    case target_kind::moveable:
        if (target.moveable >= 0 && std::size_t(target.moveable) < level.moveables.size()) {
            const auto& r = level.moveables[std::size_t(target.moveable)];
            const std::size_t count = get_u16(&r[4]);
            const std::size_t first = get_u16(&r[6]);
            for (std::size_t k = 0; k < count; ++k)
                if (first + k < meshes.mesh_index.size()) add(meshes.mesh_index[first + k]);
        }
        break;
    case target_kind::moveable_mesh:
    case target_kind::static_mesh:
        add(target.mesh);
        break;
    }
    return out;
}

mesh_target static_mesh_target(const tr_level& level, const mesh_list& meshes, int index) {
    if (index < 0 || std::size_t(index) >= level.static_meshes.size()) return {};
    const std::size_t pointer = get_u16(&level.static_meshes[std::size_t(index)][4]);
    if (pointer >= meshes.mesh_index.size()) return {};
    const int mesh = meshes.mesh_index[pointer];
    if (mesh < 0 || std::size_t(mesh) >= meshes.meshes.size()) return {};
    return {target_kind::static_mesh, -1, mesh};
}

std::int16_t light_value(std::int32_t game_version, int position) {
    const int p = std::clamp(position, 0, 31);
    const int full = game_version <= game_tr2_gold ? 32767 : 8191;
    // p × full / 31 to the nearest integer (never exactly half way: 31 is odd).
    return std::int16_t((2 * p * full + 31) / 62);
}

std::uint16_t shiny_word(int strength, bool transparent) {
    const int s = std::clamp(strength, 0, 31);
    return std::uint16_t((transparent ? 1 : 0) | (s != 0 ? (s * 4) | 2 : 0));
}

user_message texture_problem(const tr_level& level, int texture) {
    const std::size_t count = level.object_textures.size();
    if (count == 0) return say(msg::no_object_textures);
    if (texture < 0) return say(msg::no_texture_selected);
    if (std::size_t(texture) >= count || texture > 0x0FFF)
        return say(msg::no_such_texture, {std::to_string(texture), std::to_string(count)});
    return {};
}

void retexture_mesh(tmesh& mesh, std::uint16_t texture) {
    for (auto& r : mesh.tex_rects)
        set_face_word(r, 4, texture);
    for (auto& t : mesh.tex_tris)
        set_face_word(t, 3, texture);
}

user_message convert_coloured_mesh(tmesh& mesh, std::uint16_t texture, int mesh_number) {
    const int rects = mesh.num_tex_rects + mesh.num_col_rects;
    const int tris = mesh.num_tex_tris + mesh.num_col_tris;
    std::vector<user_message> refusal;
    if (mesh.num_col_rects > 0 && rects > mesh_tex_rect_capacity)
        refusal.push_back(say(msg::too_many_rectangles,
                              {std::to_string(mesh.num_tex_rects), std::to_string(mesh.num_col_rects),
                               std::to_string(rects), std::to_string(mesh_tex_rect_capacity)}));
    if (mesh.num_col_tris > 0 && tris > mesh_face_capacity)
        refusal.push_back(say(msg::too_many_triangles,
                              {std::to_string(mesh.num_tex_tris), std::to_string(mesh.num_col_tris),
                               std::to_string(tris), std::to_string(mesh_face_capacity)}));
    if (!refusal.empty())
        return say(msg::cannot_convert, {std::to_string(mesh_number), joined(std::move(refusal))});

    const std::size_t r0 = mesh.tex_rects.size();
    mesh.set_num_tex_rects(std::int16_t(rects));
    for (std::size_t k = 0; k < mesh.col_rects.size(); ++k) {
        mesh.tex_rects[r0 + k] = mesh.col_rects[k];
        set_face_word(mesh.tex_rects[r0 + k], 4, texture);
    }
    const std::size_t t0 = mesh.tex_tris.size();
    mesh.set_num_tex_tris(std::int16_t(tris));
    for (std::size_t k = 0; k < mesh.col_tris.size(); ++k) {
        mesh.tex_tris[t0 + k] = mesh.col_tris[k];
        set_face_word(mesh.tex_tris[t0 + k], 3, texture);
    }
    mesh.set_num_col_rects(0);
    mesh.set_num_col_tris(0);
    return {};
}

void shine_mesh(tmesh& mesh, std::uint16_t effects) {
    for (auto& r : mesh.tex_rects)
        set_face_word(r, 5, effects);
    for (auto& t : mesh.tex_tris)
        set_face_word(t, 4, effects);
}

bool set_all_lights(tmesh& mesh, std::int16_t value) {
    if (mesh.num_normals >= 0) return false;
    std::fill(mesh.lights.begin(), mesh.lights.end(), value);
    return true;
}

namespace {

// Applies `edit` to a copy of every mesh in `numbers`; pushes one step holding the copies that
// differ from their originals. Returns whether a step was pushed.
template <class Edit>
bool push_edited(QUndoStack& history, mesh_list& meshes, const std::vector<int>& numbers, const QString& text,
                 Edit edit) {
    std::vector<std::pair<int, tmesh>> changed;
    for (int m : numbers) {
        tmesh copy = meshes.meshes[std::size_t(m)];
        edit(copy);
        if (!(copy == meshes.meshes[std::size_t(m)])) changed.emplace_back(m, std::move(copy));
    }
    if (changed.empty()) return false;
    history.push(new swap_meshes(meshes, std::move(changed), text));
    return true;
}

} // namespace

command_outcome convert_coloured(QUndoStack& history, mesh_list& meshes, const tr_level& level,
                                 const mesh_target& target, int texture) {
    command_outcome out;
    out.redraw = true;
    if (target.kind != target_kind::moveable && target.kind != target_kind::moveable_mesh) return out;
    const std::vector<int> numbers = target_meshes(level, meshes, target);
    const bool any_coloured = std::any_of(numbers.begin(), numbers.end(), [&](int m) {
        const tmesh& mesh = meshes.meshes[std::size_t(m)];
        return mesh.num_col_rects > 0 || mesh.num_col_tris > 0;
    });
    if (!any_coloured) {
        out.message = say(msg::nothing_coloured); // said, or the command would seem not to work
        return out;
    }
    if (out.message = texture_problem(level, texture); !out.message.empty()) return out;
    // Check every mesh first so that a refusal leaves all of them as they were.
    for (int m : numbers) {
        tmesh probe = meshes.meshes[std::size_t(m)];
        if (out.message = convert_coloured_mesh(probe, std::uint16_t(texture), m); !out.message.empty())
            return out;
    }
    out.changed = push_edited(history, meshes, numbers, step_text(msg::step_convert_coloured),
                              [&](tmesh& mesh) { convert_coloured_mesh(mesh, std::uint16_t(texture), 0); });
    return out;
}

command_outcome retexture(QUndoStack& history, mesh_list& meshes, const tr_level& level,
                          const mesh_target& target, int texture) {
    command_outcome out;
    const std::vector<int> numbers = target_meshes(level, meshes, target);
    if (numbers.empty()) return out;
    out.redraw = true;
    if (out.message = texture_problem(level, texture); !out.message.empty()) return out;
    out.changed = push_edited(history, meshes, numbers, step_text(msg::step_retexture),
                              [&](tmesh& mesh) { retexture_mesh(mesh, std::uint16_t(texture)); });
    return out;
}

command_outcome apply_shiny_to_all(QUndoStack& history, mesh_list& meshes, const tr_level& level,
                                   const mesh_target& target, std::uint16_t effects, bool with_texture,
                                   int texture) {
    command_outcome out;
    if (target.kind == target_kind::none) return out;
    if (level.game_version < game_tr4) {
        out.message = say(msg::shiny_old_game);
        return out;
    }
    if (target.kind == target_kind::static_mesh) {
        out.message = say(msg::shiny_static_mesh);
        return out;
    }
    if (with_texture) {
        if (out.message = texture_problem(level, texture); !out.message.empty()) return out;
        out.redraw = true;
    }
    out.changed = push_edited(history, meshes, target_meshes(level, meshes, target),
                              step_text(msg::step_shine_all), [&](tmesh& mesh) {
                                  shine_mesh(mesh, effects);
                                  if (with_texture) retexture_mesh(mesh, std::uint16_t(texture));
                              });
    return out;
}

command_outcome change_all_lights(QUndoStack& history, mesh_list& meshes, const mesh_target& target,
                                  bool lights_enabled, std::int16_t value) {
    command_outcome out;
    if (target.kind != target_kind::static_mesh || !lights_enabled) return out;
    if (target.mesh < 0 || std::size_t(target.mesh) >= meshes.meshes.size()) return out;
    if (meshes.meshes[std::size_t(target.mesh)].num_normals >= 0) return out;
    out.redraw = true;
    out.changed = push_edited(history, meshes, {target.mesh}, step_text(msg::step_change_all_lights),
                              [&](tmesh& mesh) { set_all_lights(mesh, value); });
    return out;
}
