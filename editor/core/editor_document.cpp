// Open, Save and Save As on the document. Everything an open builds goes into new objects that
// replace the current ones only at the end, so a failure never leaves a half-updated editor.
#include "editor_document.h"

#include "level_reader.h"
#include "level_writer.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace {

struct progress_session {
    progress_view& view;
    progress_session(progress_view& v, const std::string& caption) : view(v) { view.show_progress(caption); }
    ~progress_session() { view.hide_progress(); }
};

} // namespace

std::string file_name_of(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

editor_document::editor_document() : level(std::make_unique<Ttrlevel>()) {
    names.fill("Unknown");
}

bool editor_document::open(const std::string& path, const std::string& catalogue_path,
                           progress_view& progress, editor_prompts& prompts) {
    const std::string name = file_name_of(path);
    std::string failure;
    {
        progress_session session(progress, "Loading \"" + name + "\" Level");
        auto fresh = std::make_unique<Ttrlevel>();
        std::string error;
        std::uint8_t rc;
        {
            gauge_link link(*fresh, progress);
            rc = read_level(*fresh, path, &error);
        }
        if (rc == read_missing_file)
            failure = error.empty() ? "File not found!!!" : error;
        else if (rc == read_not_a_level)
            failure = path + " is not a Tomb Raider level file (its first word is not a known version word).";
        else if (rc != read_ok)
            failure = "Cannot open " + path + ": " + error;

        Ttabla_textures fresh_table;
        Tmesh_list fresh_meshes;
        catalogue_names fresh_names;
        tree_node fresh_tree;
        if (failure.empty()) {
            try {
                progress.add_progress_line("Building Texture Table...");
                fresh_table = build_texture_table(*fresh);
                progress.add_progress_line("Building Object Meshes...");
                build_mesh_list(fresh_meshes, *fresh);
                progress.add_progress_line("Reading TRcatalog.xml File...");
                fresh_names = read_catalogue(catalogue_path, fresh->game_version);
                progress.add_progress_line("Building Movables TreeView...");
                progress.add_progress_line("Building Static Meshes TreeView...");
                fresh_tree = build_object_tree(*fresh, fresh_meshes, fresh_names,
                                               name + game_name(fresh->game_version));
            } catch (const std::exception& e) {
                failure = "Cannot open " + path + ": " + e.what();
            }
        }
        if (failure.empty()) {
            // Keep the new mesh list's view settings as the user left them.
            fresh_meshes.render_mode = meshes.render_mode;
            fresh_meshes.solid_texture = meshes.solid_texture;
            fresh_meshes.lights_enabled = meshes.lights_enabled;
            fresh_meshes.line_colour = meshes.line_colour;
            level = std::move(fresh);
            table = std::move(fresh_table);
            table.level = level.get();
            meshes = std::move(fresh_meshes);
            names = std::move(fresh_names);
            tree = std::move(fresh_tree);
            current_path = path;
            current_name = name + game_name(level->game_version);
            texture_group_caption = "\"" + name + "\" Textures";
            modified = false;
            recent.add(path);
        }
    }
    if (!failure.empty()) {
        prompts.message(failure);
        return false;
    }
    return true;
}

bool editor_document::open_recent(const std::string& path, const std::string& catalogue_path,
                                  progress_view& progress, editor_prompts& prompts) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        prompts.message("File not found!!!");
        return false;
    }
    return open(path, catalogue_path, progress, prompts);
}

bool editor_document::write_to(const std::string& path, progress_view& progress, editor_prompts& prompts) {
    std::string failure;
    {
        progress_session session(progress, "Saving Level...");
        progress.add_progress_line("Please Wait.");
        try {
            // Rebuilding the mesh words changes the level: work on a copy so that a failed
            // save leaves the open level exactly as it was.
            Ttrlevel copy = *level;
            Tmesh_list list = meshes;
            rebuild_mesh_words(list, copy);
            std::uint8_t rc;
            {
                gauge_link link(copy, progress);
                rc = write_level(copy, path);
            }
            if (rc != write_ok) {
                failure = "There is no level to save.";
            } else {
                copy.progress = nullptr;
                *level = std::move(copy);
                meshes = std::move(list);
                table.level = level.get();
            }
        } catch (const std::exception& e) {
            failure = e.what();
        }
    }
    if (!failure.empty()) {
        prompts.message("The level was not saved. " + failure);
        return false;
    }
    modified = false;
    return true;
}

bool editor_document::save(progress_view& progress, editor_prompts& prompts) {
    if (current_path.empty()) return false;
    return write_to(current_path, progress, prompts);
}

bool editor_document::save_as(const std::string& path, progress_view& progress, editor_prompts& prompts) {
    if (current_path.empty() || path.empty()) return false;
    std::error_code ec;
    if (std::filesystem::exists(path, ec) &&
        prompts.ask("The File " + path + " Already Exists. Overwrite It?", false) != answer::yes)
        return false;
    if (!write_to(path, progress, prompts)) return false;
    recent.add(path);
    current_path = path;
    current_name = file_name_of(path) + game_name(level->game_version);
    return true;
}

bool editor_document::confirm_close(progress_view& progress, editor_prompts& prompts) {
    if (!modified || !has_level()) return true;
    switch (prompts.ask("The level " + file_name_of(current_path) + " has unsaved changes. Save them first?",
                        true)) {
    case answer::yes:
        return save(progress, prompts);
    case answer::no:
        return true;
    case answer::cancel:
        return false;
    }
    return false;
}

std::string editor_document::caption() const {
    if (current_path.empty()) return vellum_version_string;
    std::string lower = current_path;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return std::string(vellum_version_string) + "   \"" + lower + "\"";
}
