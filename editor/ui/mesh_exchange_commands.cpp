// DXF and model-file export and import of the selection, and the Remap Vertices dialog.
#include "mesh_exchange_commands.h"

#include "bitmap_exchange.h"
#include "dxf_import_command.h"
#include "mesh_import_command.h"
#include "texture_panel_widget.h"
#include "windows/remap_window.h"

#include <QAction>
#include <QApplication>
#include <algorithm>
#include <filesystem>

std::string mesh_exchange_commands::choose_export_path(const user_message& filter, const char* extension) {
    editor_prompts& prompts = host_.prompts;
    std::string path =
        prompts.choose_save_file_named(filter, selected_label_ ? selected_label_() : std::string());
    if (path.empty()) return {};
    if (std::filesystem::path(path).extension().empty()) path += extension;
    std::error_code ec;
    if (std::filesystem::exists(path, ec) && prompts.ask(overwrite_question(path), false) != answer::yes)
        return {};
    return path;
}

void mesh_exchange_commands::export_dxf() {
    editor_document& doc = host_.doc;
    editor_prompts& prompts = host_.prompts;
    if (!host_.panel.has_picture()) return;
    const editor_selection& selection = doc.selection();
    if (selection.whole_moveable()) {
        prompts.message(say(msg::dxf_needs_mesh));
        return;
    }
    if (!selection.single_mesh()) return;
    const std::string path = choose_export_path(dxf_export_filter(), ".dxf");
    if (path.empty()) return;
    if (doc.selected_coloured_faces() > 0) {
        if (prompts.ask(say(msg::dxf_coloured_faces), false) == answer::yes)
            host_.report(doc.convert_selected_coloured(std::max(host_.panel.current_texture(), 0)));
        else
            prompts.message(say(msg::dxf_not_correct));
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const command_result written = doc.export_dxf(path);
    QApplication::restoreOverrideCursor();
    host_.report(written);
}

void mesh_exchange_commands::import_dxf() {
    if (!host_.panel.has_picture()) return;
    if (!host_.doc.selection().single_mesh()) {
        // As Export explains it; the root or a heading is no object to import into either.
        host_.prompts.message(say(msg::dxf_needs_mesh));
        return;
    }
    const std::string path = host_.prompts.choose_open_file(dxf_import_filter());
    if (path.empty()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const command_result read = host_.doc.import_dxf(path);
    QApplication::restoreOverrideCursor();
    if (host_.report(read)) host_.redraw();
}

void mesh_exchange_commands::export_model() {
    editor_document& doc = host_.doc;
    editor_prompts& prompts = host_.prompts;
    if (!host_.panel.has_picture()) return;
    const editor_selection& selection = doc.selection();
    if (!selection.whole_moveable() && !selection.single_mesh()) {
        prompts.message(model_needs_selection_message());
        return;
    }
    const std::string path = choose_export_path(model_export_filter, ".glb");
    if (path.empty()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const command_result written = doc.export_model(path);
    QApplication::restoreOverrideCursor();
    host_.report(written);
}

void mesh_exchange_commands::import_model() {
    editor_document& doc = host_.doc;
    if (!host_.panel.has_picture()) return;
    if (!doc.selection().whole_moveable() && !doc.selection().single_mesh()) {
        host_.prompts.message(model_needs_selection_message());
        return;
    }
    const std::string path = host_.prompts.choose_open_file(model_import_filter);
    if (path.empty()) return;
    const std::size_t textures = doc.level().object_textures.size();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const command_result read = doc.import_model(path);
    QApplication::restoreOverrideCursor();
    if (!host_.report(read)) return;
    // Textures the file's UVs needed are listed and drawn at once.
    if (doc.level().object_textures.size() != textures) {
        if (textures_added)
            textures_added();
        else
            host_.panel.refresh();
    }
    host_.redraw();
}

void mesh_exchange_commands::remap_vertices() {
    if (!host_.panel.has_picture()) return;
    remap_.on_remap = [this](int before, int after) {
        if (!host_.report(host_.doc.remap_vertices(before, after))) return false;
        host_.redraw();
        return true;
    };
    remap_.exec();
}

void mesh_exchange_commands::add_menu_items(QMenu& file, QMenu& special) {
    const auto on = [this](QAction* action, void (mesh_exchange_commands::*handler)()) {
        QObject::connect(action, &QAction::triggered, action, [this, handler] { (this->*handler)(); });
    };
    on(add_item(file, "ExporttoDXF1", "Export to DXF"), &mesh_exchange_commands::export_dxf);
    on(add_item(file, "ImportDXF1", "Import DXF"), &mesh_exchange_commands::import_dxf);
    on(add_item(file, "ExportMesh1", "Export Mesh..."), &mesh_exchange_commands::export_model);
    on(add_item(file, "ImportMesh1", "Import Mesh..."), &mesh_exchange_commands::import_model);
    on(add_item(special, "RemapVertices1", "Remap Vertices", QKeySequence("Ctrl+V")),
       &mesh_exchange_commands::remap_vertices);
}
