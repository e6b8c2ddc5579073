// The open level with everything built from it (texture table, mesh list, catalogue names,
// object tree), the one selection, the edit history, and the commands on them. A failed command
// leaves the document exactly as it was.
#pragma once

#include "app_settings.h"
#include "catalogue.h"
#include "command_result.h"
#include "editor_selection.h"
#include "face_edits.h"
#include "level_records.h"
#include "mesh_list.h"
#include "mesh_textures.h"
#include "object_tree.h"
#include "picking.h"
#include "prompts.h"
#include "texture_panel.h"
#include "texture_table.h"
#include "tr_level.h"

#include <QImage>
#include <QUndoStack>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class tr_scene;
struct texture_pixel_state;

// The Open and Save As choosers' filter.
inline user_message level_file_filter() {
    return joined({say(msg::level_filter), " (*.phd *.tub *.tr2 *.tr4 *.trc)"});
}

// How the view draws the selection (the mesh list's render_mode).
enum class render_mode : std::uint8_t { wireframe = 0, solid = 1, textured = 2, points = 3 };

enum class flip_axis { horizontal, vertical };

// The click form for the keys held, tested in this order: SHIFT+CTRL cut, CTRL get (vertex
// number in points mode), ALT rotate, otherwise apply (SHIFT alone applies).
click_action click_action_for(bool shift, bool ctrl, bool alt, render_mode mode);

// What a click did: the text for the selection status panel (empty: leave it as it was), the
// texture it picked up, and whether the view must be redrawn.
struct click_outcome {
    user_message status_text;
    std::optional<int> picked_texture;
    bool redraw = false;
};

class editor_document {
  public:
    editor_document();
    editor_document(const editor_document&) = delete;
    editor_document& operator=(const editor_document&) = delete;

    // ---- what is open ----
    const tr_level& level() const { return level_; }
    const mesh_list& meshes() const { return meshes_; }
    const texture_table& table() const { return table_; }
    const catalogue_names& names() const { return names_; }
    // False when the last open found no catalogue file: every moveable is then "Unknown".
    bool catalogue_found() const { return catalogue_found_; }
    // "" when the moveables are named from the level's own game list; otherwise which list is used.
    const user_message& catalogue_note() const { return catalogue_note_; }
    const tree_node& tree() const { return tree_; }
    const std::string& current_path() const { return current_path_; }
    const std::string& current_name() const { return current_name_; } // file name with the game suffix
    const user_message& texture_group_caption() const { return texture_group_caption_; }
    recent_files& recent() { return recent_; }
    const recent_files& recent() const { return recent_; }
    bool has_level() const { return level_.loaded() && !current_path_.empty(); }
    // Hands `view`'s gauge to the level for one long command (such as loading its textures).
    gauge_link gauge_to(progress_view& view) { return gauge_link(level_, view); }
    // "Vellum v.2.2 Rev 0" until a level is open; then the version, three spaces and the path as
    // it is between double quotes.
    std::string caption() const;

    // ---- history ----
    // Every change to the level is an edit on this stack; menus make Undo and Redo from it.
    QUndoStack& history() { return history_; }
    // Unsaved edits: the history is away from the state last opened or saved.
    bool modified() const { return !history_.isClean(); }

    // ---- open and save ----
    // Reads `path` and builds everything from it; swaps it in only when all of it succeeded. The
    // current path and the recent-files entry are the full path.
    // A failure is shown through `prompts` and returned.
    command_result open(const std::string& path, const std::string& catalogue_path, progress_view& progress,
                        editor_prompts& prompts);
    // A recent-file item: "File not found!!!" when the file is gone, else open.
    command_result open_recent(const std::string& path, const std::string& catalogue_path,
                               progress_view& progress, editor_prompts& prompts);
    // Save to the current path (no question). Fails when nothing was written.
    command_result save(progress_view& progress, editor_prompts& prompts);
    // Save under a new name, asking before overwriting an existing file.
    command_result save_as(const std::string& path, progress_view& progress, editor_prompts& prompts);
    // Before the level is replaced or the window closes: offers to save unsaved edits.
    // Returns false when the user cancelled (or the save failed), so the caller must stop.
    bool confirm_close(progress_view& progress, editor_prompts& prompts);

    // ---- selection and view settings ----
    const editor_selection& selection() const { return selection_; }
    // Selects what a tree node stands for. A whole moveable has no points mode: textured
    // replaces it.
    void select(const tree_ref& node);
    render_mode current_render_mode() const { return render_mode(meshes_.render_mode); }
    // Points for a whole moveable fall back to the last other mode. Returns the mode in effect.
    render_mode set_render_mode(render_mode mode);
    void set_lights_enabled(bool on) { meshes_.lights_enabled = on ? 1 : 0; }
    box_kind shown_box() const { return shown_box_; }
    void set_shown_box(box_kind kind) { shown_box_ = kind; }
    bool show_box() const { return show_box_; }
    void set_show_box(bool on) { show_box_ = on; }
    // The static mesh's chosen box, or zeros when no static mesh is selected.
    static_box selected_box() const;
    std::uint16_t selected_flags() const;
    // Puts what the document shows into the scene's drawing fields (with the vertex a CTRL+click
    // in points mode picked on the shown mesh, until another selection).
    void show_in(tr_scene& scene) const;
    // The meshes the view draws for the selection (none for the root or a heading).
    std::vector<int> shown_meshes() const;

    // ---- clicks in the 3D view ----
    // The one entry point of a left click on a face or vertex: the face edit of the click form,
    // read with the lights and shine controls and the current texture; an edit that changes the
    // mesh is one history step.
    click_outcome click_face(const picked_name& picked, click_action action,
                             const edit_controls& controls = {}, int current_texture = -1);

    // ---- mesh commands (undoable; targets from the selection) ----
    // Special > "Convert Colored to Textured Faces", Special > "Retexture", "Apply to All Faces",
    // "Change All". The outcome's message is to be shown; redraw when it says so.
    command_outcome convert_coloured(int texture);
    command_outcome retexture(int texture);
    command_outcome apply_shiny_to_all(const edit_controls& controls, int texture);
    command_outcome change_all_lights(const edit_controls& controls);
    // The light value of the light slider's position in the open level's game.
    std::int16_t light_value_for(int position) const { return light_value(level_.game_version, position); }

    // ---- texture edits (undoable; a level must be open) ----
    command_result set_texture_attribute(int texture, int attribute);
    command_result flip_texture(int texture, flip_axis axis);
    // A new four-corner texture for the marked rectangle on `page`; it becomes the last one.
    command_result define_texture(int page, const page_selection& marked);
    // Semi-transparent attribute on every texture the selected meshes' faces use.
    command_result apply_intensity_alpha();
    command_result import_big_bmp(const QImage& bitmap);
    // `upload` receives the new pixels of the texture for the view.
    command_result import_replace_current(int texture, const QImage& bitmap, QImage* upload);
    command_result import_and_replace(const QImage& bitmap);
    command_result import_texture_pages(const QImage& bitmap);

    // ---- static mesh boxes, vertex remap, DXF exchange (document_exchange.cpp) ----
    // Box and flag edits act on the selected static mesh only; otherwise they change nothing.
    // Coordinate 0..5 of the shown box := the low 16 bits of `value`.
    command_result set_box_field(int coordinate, long value);
    command_result set_flags(long value);
    // Automatic Bound: the shown box fitted to the static mesh's geometry; a mesh without faces is
    // refused with a message.
    command_result automatic_bound();
    // Vertex numbers `before` and `after` of the selected single mesh exchanged.
    command_result remap_vertices(int before, int after);
    // The selected single mesh's coloured face count (0 when no single mesh is selected).
    int selected_coloured_faces() const;
    // Colored faces of the selected mesh become textured with `texture` (moveable meshes only).
    command_result convert_selected_coloured(int texture);
    // Writes the selected single mesh to `path` as DXF.
    command_result export_dxf(const std::string& path) const;
    // The selected single mesh := the mesh a DXF file describes, one undoable step.
    command_result import_dxf(const std::string& path);
    // Writes the selected mesh, whole moveable or static mesh as a model file (.glb, .gltf, .obj;
    // document_model_exchange.cpp).
    command_result export_model(const std::string& path) const;
    // The selected single mesh, or every mesh of the selected moveable, := what a model file
    // holds (glTF, OBJ, or anything Assimp reads), one undoable step; textures the file's UVs
    // need are added to the level in the same step.
    command_result import_model(const std::string& path);

    // ---- texture reads ----
    // The pixels of object texture i as faces show it (the table keeps one piece cached).
    const QImage& texture_picture(int i);
    QImage export_big_bmp() const;
    QImage export_current(int texture);
    // The face textures of the selection, for Export All and Import And Replace.
    std::optional<std::vector<face_textures>> selected_face_textures() const;
    command_result export_all(QImage& out) const;
    // Whether "Import And Replace" can run on the selection (it has textured faces of this level's
    // textures): checked before the user is asked for a file.
    command_result can_import_and_replace() const;

  private:
    command_result write_to(const std::string& path, progress_view& progress, editor_prompts& prompts);
    bool texture_exists(int texture) const;
    void textures_counted_again();
    template <class State, class Change> command_result texture_edit(msg step, Change&& change);
    mesh_target command_target() const;

    tr_level level_; // empty until the first successful open; its address never changes
    texture_table table_;
    mesh_list meshes_;
    catalogue_names names_;
    bool catalogue_found_ = true;
    user_message catalogue_note_;
    tree_node tree_;
    std::string current_path_;
    std::string current_name_;
    user_message texture_group_caption_ = "Textures";
    recent_files recent_;
    editor_selection selection_;
    box_kind shown_box_ = box_kind::collision;
    bool show_box_ = true;
    render_mode remembered_mode_ = render_mode::textured; // what Points falls back to
    int marked_mesh_ = -1, marked_vertex_ = -1;           // the vertex picked last in points mode
    QUndoStack history_;
    // The state after the last bitmap import: the next one shares the pages it did not change.
    std::shared_ptr<const texture_pixel_state> last_pixels_;
};

// The file-name part of a path.
std::string file_name_of(const std::string& path);
// `path` made absolute against the current folder (as it is when that fails).
std::string full_path_of(const std::string& path);
