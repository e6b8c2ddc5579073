// The click forms on a face: apply, rotate, get, show vertex, cut, vertex lights and shine.
#include "face_edits.h"

#include "history_step.h"

click_settings settings_for(const edit_controls& controls, target_kind target, int current_texture,
                            std::int32_t game_version) {
    click_settings s;
    s.target = target;
    s.current_texture = current_texture;
    s.lights_enabled = controls.lights_enabled;
    s.light_corners = controls.light_corners;
    s.light_value = light_value(game_version, controls.light_position);
    s.shine_enabled = controls.shine_enabled;
    s.shine_with_texture = controls.shine_with_texture;
    s.shine_effects = shiny_word(controls.shine_strength, controls.shine_transparent);
    return s;
}

namespace {

// Rectangle / triangle being clicked, read and written through the same calls.
struct face_slot {
    std::uint8_t* bytes = nullptr;
    int corners = 0;      // 4 rectangle, 3 triangle
    int texture_word = 0; // word index of the texture (or colour) word
    int effects_word = 0; // word index of the effects word (TR4, TRC)

    std::uint16_t word(int i) const { return get_u16(bytes + 2 * i); }
    void set(int i, std::uint16_t v) { put_u16(bytes + 2 * i, v); }
};

// The slot of the named face in `mesh`, or a slot with no bytes when the face does not exist.
face_slot slot_of(tmesh& mesh, const decoded_name& hit) {
    const auto face = std::size_t(hit.face);
    switch (hit.kind) {
    case element_kind::tex_rect:
        if (face < mesh.tex_rects.size()) return {mesh.tex_rects[face].data(), 4, 4, 5};
        break;
    case element_kind::tex_tri:
        if (face < mesh.tex_tris.size()) return {mesh.tex_tris[face].data(), 3, 3, 4};
        break;
    case element_kind::col_rect:
        if (face < mesh.col_rects.size()) return {mesh.col_rects[face].data(), 4, 4, 5};
        break;
    case element_kind::col_tri:
        if (face < mesh.col_tris.size()) return {mesh.col_tris[face].data(), 3, 3, 4};
        break;
    }
    return {};
}

} // namespace

face_click_outcome face_click(const mesh_list& meshes, const tr_level& level, const decoded_name& hit,
                              click_action action, const click_settings& settings) {
    face_click_outcome out;
    const bool points = meshes.render_mode == mode_points;
    if ((points && action != click_action::vertex_number) || hit.mesh < 0 ||
        std::size_t(hit.mesh) >= meshes.meshes.size())
        return out;
    const tmesh& original = meshes.meshes[std::size_t(hit.mesh)];
    const user_message mesh_text = say(msg::mesh_number, {std::to_string(hit.mesh)});
    out.mesh = hit.mesh;
    if (action == click_action::vertex_number) {
        out.status = joined({mesh_text, "      ", say(msg::vertex_number, {std::to_string(hit.code)})});
        return out;
    }

    tmesh edited = original;
    face_slot face = slot_of(edited, hit);
    if (!face.bytes) return out;
    const bool coloured = hit.coloured();
    const user_message face_text =
        joined({"      ", say(msg::polygon_number, {std::to_string(hit.face)}), "      ",
                say(hit.triangle() ? msg::polygon_triangle : msg::polygon_quad)});
    // Texts of a coloured face: six blanks for the edits, seven for get and cut.
    const user_message coloured_text = joined({"      ", say(msg::colored_polygon)});
    const user_message coloured_text_seven = joined({"       ", say(msg::colored_polygon)});

    switch (action) {
    case click_action::get_texture:
        if (coloured) {
            out.status = joined({mesh_text, coloured_text_seven});
        } else {
            out.status = joined({mesh_text, face_text});
            const int texture = object_texture_of(face.word(face.texture_word));
            if (std::size_t(texture) < level.object_textures.size()) out.picked_texture = texture;
        }
        return out;

    case click_action::rotate:
        out.status = joined({mesh_text, coloured ? coloured_text : face_text});
        if (coloured) return out;
        if (face.corners == 4) {
            const std::uint16_t v[4] = {face.word(0), face.word(1), face.word(2), face.word(3)};
            face.set(0, v[3]), face.set(1, v[0]), face.set(2, v[1]), face.set(3, v[2]);
        } else {
            const std::uint16_t v[3] = {face.word(0), face.word(1), face.word(2)};
            face.set(0, v[2]), face.set(1, v[0]), face.set(2, v[1]);
        }
        out.step_text = step_text(msg::step_rotate_texture);
        out.redraw = true;
        break;

    case click_action::cut:
        if (coloured) {
            // Replaces the panel's text: appending would leave an earlier face's text in front of it.
            out.status = coloured_text_seven;
            return out;
        }
        // The cut face named, or the panel would still show the face clicked before it.
        out.status = joined({mesh_text, face_text});
        for (int k = 0; k < face.corners; ++k)
            face.set(k, 0);
        out.step_text = step_text(msg::step_cut_face);
        out.redraw = true;
        break;

    case click_action::apply: {
        const bool shine = settings.shine_enabled && level.game_version >= game_tr4 &&
                           settings.target != target_kind::static_mesh;
        const bool texture = !settings.shine_enabled || settings.shine_with_texture;
        if (!texture && !shine) return out; // shine alone, where it does not apply: nothing at all
        const bool lights = settings.target == target_kind::static_mesh && settings.lights_enabled;
        if (texture) {
            out.status = joined({mesh_text, coloured ? coloured_text : face_text});
            out.redraw = true;
            if (!coloured && lights) {
                if (edited.num_normals < 0) {
                    for (int k = 0; k < face.corners; ++k) {
                        const std::size_t vertex = face.word(k);
                        if (settings.light_corners[std::size_t(k)] && vertex < edited.lights.size())
                            edited.lights[vertex] = settings.light_value;
                    }
                }
                out.step_text = step_text(msg::step_vertex_lights);
            } else if (!coloured) {
                if (user_message problem = texture_problem(level, settings.current_texture);
                    !problem.empty()) {
                    out.status = problem;
                    out.redraw = false;
                    return out;
                }
                face.set(face.texture_word, std::uint16_t(settings.current_texture));
                out.step_text = step_text(msg::step_apply_texture);
            }
        }
        if (shine) {
            out.status = joined({mesh_text, coloured ? coloured_text : face_text});
            if (!coloured) face.set(face.effects_word, settings.shine_effects);
            out.step_text = step_text(texture && !lights ? msg::step_texture_and_shine : msg::step_shine);
        }
        break;
    }

    case click_action::vertex_number:
        return out;
    }
    if (!(edited == original)) out.edited = std::move(edited);
    return out;
}

face_click_outcome click_face(QUndoStack& history, mesh_list& meshes, const tr_level& level,
                              const decoded_name& hit, click_action action, const click_settings& settings) {
    face_click_outcome out = face_click(meshes, level, hit, action, settings);
    if (out.edited) {
        history.push(new swap_meshes(meshes, out.mesh, std::move(*out.edited), out.step_text));
        out.edited.reset();
    }
    return out;
}
