// The open level with everything built from it (texture table, mesh list, catalogue names,
// object tree), and the Open, Save and Save As commands. A failed open or save leaves the
// document exactly as it was.
#pragma once

#include "app_settings.h"
#include "catalogue.h"
#include "mesh_list.h"
#include "object_tree.h"
#include "prompts.h"
#include "texture_table.h"
#include "trlevel.h"

#include <memory>
#include <string>

inline constexpr const char* level_file_filter = "All Tomb Raider Files (*.phd *.tub *.tr2 *.tr4 *.trc)";

class editor_document {
  public:
    editor_document();

    std::unique_ptr<Ttrlevel> level; // never null; empty until the first successful open
    Ttabla_textures table;
    Tmesh_list meshes;
    catalogue_names names;
    tree_node tree;
    std::string current_path;
    std::string current_name; // file name with the game suffix once open
    std::string texture_group_caption = "Textures";
    recent_files recent;
    bool modified = false; // unsaved edits

    bool has_level() const { return level->loaded() && !current_path.empty(); }

    // Reads `path` and builds everything from it; swaps it in only when all of it succeeded.
    // On failure shows the reason through `prompts` and returns false.
    bool open(const std::string& path, const std::string& catalogue_path, progress_view& progress,
              editor_prompts& prompts);
    // A recent-file item: "File not found!!!" when the file is gone, else open.
    bool open_recent(const std::string& path, const std::string& catalogue_path, progress_view& progress,
                     editor_prompts& prompts);
    // Save to current_path (no question). False when nothing was written.
    bool save(progress_view& progress, editor_prompts& prompts);
    // Save under a new name, asking before overwriting an existing file.
    bool save_as(const std::string& path, progress_view& progress, editor_prompts& prompts);
    // Before the level is replaced or the window closes: offers to save unsaved edits.
    // Returns false when the user cancelled (or the save failed), so the caller must stop.
    bool confirm_close(progress_view& progress, editor_prompts& prompts);

    // "Vellum v.2.2 Rev 0" until a level is open; then the version, three spaces and the path in
    // lower case between double quotes.
    std::string caption() const;

  private:
    bool write_to(const std::string& path, progress_view& progress, editor_prompts& prompts);
};

// The file-name part of a path.
std::string file_name_of(const std::string& path);
