// Open, Save and Save As on the document, the selection and the view settings. Everything an
// open builds goes into new objects that replace the current ones only at the end, so a failure
// never leaves a half-updated editor.
#include "editor_document.h"

#include "level_reader.h"
#include "level_records.h"
#include "level_writer.h"
#include "mesh_commands.h"
#include "scene.h"
#include "startup_report.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace {

struct progress_session {
    progress_view& view;
    progress_session(progress_view& v, const user_message& caption) : view(v) { view.show_progress(caption); }
    ~progress_session() { view.hide_progress(); }
};

} // namespace

std::string file_name_of(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

std::string full_path_of(const std::string& path) {
    std::error_code ec;
    const auto full = std::filesystem::absolute(path, ec);
    return ec ? path : full.string();
}

editor_document::editor_document() {
    names_.fill("Unknown");
    table_.level = &level_;
    meshes_.render_mode = std::uint8_t(render_mode::textured);
}

command_result editor_document::open(const std::string& given_path, const std::string& catalogue_path,
                                     progress_view& progress, editor_prompts& prompts) {
    // Kept as a full path: the recent-files list outlives the folder the editor was started in.
    const std::string path = full_path_of(given_path);
    const std::string name = file_name_of(path);
    user_message failure;
    {
        progress_session session(progress, say(msg::loading_named_level, {name}));
        startup_report::mark("loading window shown");
        auto fresh = std::make_unique<tr_level>();
        std::string error;
        std::uint8_t rc;
        {
            gauge_link link(*fresh, progress);
            rc = read_level(*fresh, path, &error);
        }
        startup_report::mark("read level");
        if (rc == read_missing_file)
            failure = error.empty() ? say(msg::file_not_found) : user_message(error);
        else if (rc == read_not_a_level)
            failure = say(msg::not_a_level, {path});
        else if (rc != read_ok)
            failure = say(msg::cannot_open, {path, error});

        texture_table fresh_table;
        mesh_list fresh_meshes;
        catalogue_names fresh_names;
        bool catalogue_found = true;
        user_message catalogue_note;
        tree_node fresh_tree;
        if (failure.empty()) {
            try {
                progress.add_progress_line(say(msg::building_texture_table));
                fresh_table = build_texture_table(*fresh);
                startup_report::mark("texture table");
                progress.add_progress_line(say(msg::building_meshes));
                build_mesh_list(fresh_meshes, *fresh);
                startup_report::mark("mesh list");
                progress.add_progress_line(say(msg::reading_catalogue));
                std::vector<std::uint32_t> ids;
                if (fresh->game_version == game_trc)
                    for (const auto& record : fresh->moveables)
                        ids.push_back(read_moveable(record).object_id);
                const std::int32_t list_game = catalogue_game(fresh->game_version, ids);
                fresh_names = read_catalogue(catalogue_path, list_game, &catalogue_found);
                catalogue_note = catalogue_list_note(fresh->game_version, list_game);
                progress.add_progress_line(say(msg::building_movables));
                progress.add_progress_line(say(msg::building_statics));
                fresh_tree = build_object_tree(*fresh, fresh_meshes, fresh_names,
                                               name + game_name(fresh->game_version));
                startup_report::mark("catalogue and object tree");
            } catch (const std::exception& e) {
                failure = say(msg::cannot_open, {path, e.what()});
            }
        }
        if (failure.empty()) {
            // Keep the new mesh list's view settings as the user left them.
            fresh_meshes.render_mode = meshes_.render_mode;
            fresh_meshes.solid_texture = meshes_.solid_texture;
            fresh_meshes.lights_enabled = meshes_.lights_enabled;
            fresh_meshes.line_colour = meshes_.line_colour;
            level_ = std::move(*fresh);
            table_ = std::move(fresh_table);
            table_.level = &level_; // built against the fresh level, now moved into place
            meshes_ = std::move(fresh_meshes);
            names_ = std::move(fresh_names);
            catalogue_found_ = catalogue_found;
            catalogue_note_ = std::move(catalogue_note);
            tree_ = std::move(fresh_tree);
            selection_ = {};
            current_path_ = path;
            current_name_ = name + game_name(level_.game_version);
            texture_group_caption_ = say(msg::textures_group, {name});
            history_.clear(); // the edits belonged to the level just replaced
            last_pixels_.reset();
            recent_.add(path);
        }
    }
    if (!failure.empty()) {
        prompts.message(failure);
        return command_result::failure(failure);
    }
    return command_result::success();
}

command_result editor_document::open_recent(const std::string& path, const std::string& catalogue_path,
                                            progress_view& progress, editor_prompts& prompts) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        prompts.message(say(msg::file_not_found));
        return command_result::failure(say(msg::file_not_found));
    }
    return open(path, catalogue_path, progress, prompts);
}

command_result editor_document::write_to(const std::string& path, progress_view& progress,
                                         editor_prompts& prompts) {
    user_message failure;
    {
        progress_session session(progress, say(msg::saving_level));
        progress.add_progress_line(say(msg::please_wait));
        try {
            // Rebuilding the mesh words changes the level: work on a copy so that a failed
            // save leaves the open level exactly as it was.
            tr_level copy = level_;
            mesh_list list = meshes_;
            rebuild_mesh_words(list, copy);
            std::uint8_t rc;
            {
                gauge_link link(copy, progress);
                rc = write_level(copy, path);
            }
            if (rc != write_ok) {
                failure = say(msg::no_level_to_save);
            } else {
                copy.progress = nullptr;
                level_ = std::move(copy);
                meshes_ = std::move(list);
            }
        } catch (const std::exception& e) {
            failure = e.what();
        }
    }
    if (!failure.empty()) {
        const user_message text = say(msg::level_not_saved, {failure});
        prompts.message(text);
        return command_result::failure(text);
    }
    history_.setClean();
    return command_result::success();
}

command_result editor_document::save(progress_view& progress, editor_prompts& prompts) {
    if (current_path_.empty()) return command_result::failure(say(msg::no_level_to_save));
    return write_to(current_path_, progress, prompts);
}

command_result editor_document::save_as(const std::string& given_path, progress_view& progress,
                                        editor_prompts& prompts) {
    if (current_path_.empty() || given_path.empty())
        return command_result::failure(say(msg::no_level_to_save));
    const std::string path = full_path_of(given_path);
    std::error_code ec;
    if (std::filesystem::exists(path, ec) &&
        prompts.ask(say(msg::overwrite_question, {path}), false) != answer::yes)
        return command_result::failure({}); // the user said no: nothing to show
    if (auto r = write_to(path, progress, prompts); !r) return r;
    recent_.add(path);
    current_path_ = path;
    current_name_ = file_name_of(path) + game_name(level_.game_version);
    texture_group_caption_ = say(msg::textures_group, {file_name_of(path)});
    return command_result::success();
}

bool editor_document::confirm_close(progress_view& progress, editor_prompts& prompts) {
    if (!modified() || !has_level()) return true;
    switch (prompts.ask(say(msg::unsaved_changes, {file_name_of(current_path_)}), true)) {
    case answer::yes:
        return save(progress, prompts).ok;
    case answer::no:
        return true;
    case answer::cancel:
        return false;
    }
    return false;
}

std::string editor_document::caption() const {
    if (current_path_.empty()) return vellum_version_string;
    // The path as it is: on a case-sensitive file system a lower-cased path is another file.
    return std::string(vellum_version_string) + "   \"" + current_path_ + "\"";
}

// ---- selection and view settings ------------------------------------------------------------

void editor_document::select(const tree_ref& node) {
    selection_ = selection_for(node, level_, meshes_);
    marked_mesh_ = marked_vertex_ = -1;
    if (selection_.whole_moveable() && current_render_mode() == render_mode::points)
        meshes_.render_mode = std::uint8_t(render_mode::textured);
}

render_mode editor_document::set_render_mode(render_mode mode) {
    if (mode == render_mode::points && selection_.whole_moveable()) mode = remembered_mode_;
    if (mode != render_mode::points) remembered_mode_ = mode;
    meshes_.render_mode = std::uint8_t(mode);
    return mode;
}

static_box editor_document::selected_box() const {
    if (selection_.kind != selection_kind::static_mesh) return {};
    return read_static_mesh(level_.static_meshes[std::size_t(selection_.static_mesh)]).box(shown_box_);
}

std::uint16_t editor_document::selected_flags() const {
    if (selection_.kind != selection_kind::static_mesh) return 0;
    return read_static_mesh(level_.static_meshes[std::size_t(selection_.static_mesh)]).flags;
}

void editor_document::show_in(tr_scene& scene) const {
    scene.level = &level_;
    scene.meshes = &meshes_;
    scene.sel_kind = selection_.single_mesh() ? 1 : 0;
    scene.sel_moveable = selection_.moveable;
    scene.sel_mesh = selection_.single_mesh() ? selection_.mesh : -1;
    scene.show_box = selection_.kind == selection_kind::static_mesh && show_box_ ? 1 : 0;
    scene.box_kind = std::uint8_t(shown_box_);
    scene.box_static = selection_.static_mesh;
    scene.marked_vertex = selection_.single_mesh() && marked_mesh_ == selection_.mesh ? marked_vertex_ : -1;
}

// ---- clicks --------------------------------------------------------------------------------

click_action click_action_for(bool shift, bool ctrl, bool alt, render_mode mode) {
    if (shift && ctrl) return click_action::cut;
    if (ctrl) return mode == render_mode::points ? click_action::vertex_number : click_action::get_texture;
    if (alt) return click_action::rotate;
    return click_action::apply;
}

click_outcome editor_document::click_face(const picked_name& picked, click_action action,
                                          const edit_controls& controls, int current_texture) {
    click_outcome out;
    if (!has_level()) return out;
    const face_click_outcome f =
        ::click_face(history_, meshes_, level_, picked.face(), action,
                     settings_for(controls, command_target().kind, current_texture, level_.game_version));
    if (f.status) out.status_text = *f.status;
    out.picked_texture = f.picked_texture;
    out.redraw = f.redraw;
    if (f.status && action == click_action::vertex_number && current_render_mode() == render_mode::points) {
        marked_mesh_ = picked.mesh;
        marked_vertex_ = picked.code;
        out.redraw = true; // the picked vertex is highlighted
    }
    return out;
}

std::vector<int> editor_document::shown_meshes() const {
    if (selection_.kind == selection_kind::none) return {};
    return target_meshes(level_, meshes_, command_target());
}

mesh_target editor_document::command_target() const {
    switch (selection_.kind) {
    case selection_kind::none:
        break;
    case selection_kind::moveable:
        return {target_kind::moveable, selection_.moveable, -1};
    case selection_kind::moveable_mesh:
        return {target_kind::moveable_mesh, selection_.moveable, selection_.mesh};
    case selection_kind::static_mesh:
        return {target_kind::static_mesh, -1, selection_.mesh};
    }
    return {};
}

command_outcome editor_document::convert_coloured(int texture) {
    if (!has_level()) return {};
    return ::convert_coloured(history_, meshes_, level_, command_target(), texture);
}

command_outcome editor_document::retexture(int texture) {
    if (!has_level()) return {};
    return ::retexture(history_, meshes_, level_, command_target(), texture);
}

command_outcome editor_document::apply_shiny_to_all(const edit_controls& controls, int texture) {
    if (!has_level()) return {};
    return ::apply_shiny_to_all(history_, meshes_, level_, command_target(),
                                shiny_word(controls.shine_strength, controls.shine_transparent),
                                controls.shine_with_texture, texture);
}

command_outcome editor_document::change_all_lights(const edit_controls& controls) {
    if (!has_level()) return {};
    return ::change_all_lights(history_, meshes_, command_target(), controls.lights_enabled,
                               light_value(level_.game_version, controls.light_position));
}
