// File > Export to DXF and Import DXF, File > Export Mesh and Import Mesh (glTF, OBJ, ...), and
// Special > Remap Vertices: the selected mesh or moveable exchanged with a file, or two vertices
// of a mesh renumbered.
#pragma once

#include "command_host.h"
#include "menu_items.h"

#include <functional>
#include <string>

class remap_window;

class mesh_exchange_commands {
  public:
    // `selected_label`: the text of the selected tree node, the name Export to DXF proposes.
    mesh_exchange_commands(command_host host, remap_window& remap,
                           std::function<std::string()> selected_label)
        : host_(std::move(host)), remap_(remap), selected_label_(std::move(selected_label)) {}

    // Export to DXF, Import DXF, Export Mesh and Import Mesh appended to `file`, Remap Vertices to
    // `special`.
    void add_menu_items(QMenu& file, QMenu& special);

    void export_dxf();
    void import_dxf();
    void export_model();
    void import_model();
    void remap_vertices();

    // Called when an import added object textures (UVs that matched no texture), so that the
    // texture list and the 3D view's textures show them; the list alone is refreshed when unset.
    std::function<void()> textures_added;

  private:
    // The file to export to: chosen under the selection's name, `extension` added to a name typed
    // without one, an existing file overwritten only when the user agrees; "" when cancelled.
    std::string choose_export_path(const user_message& filter, const char* extension);

    command_host host_;
    remap_window& remap_;
    std::function<std::string()> selected_label_;
};
