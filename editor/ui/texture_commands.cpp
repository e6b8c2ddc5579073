// The texture commands of the menus and the texture panel.
#include "texture_commands.h"

#include "bitmap_exchange.h"
#include "gl_textures.h"
#include "gl_viewport.h"
#include "save_choices.h"
#include "texture_panel_widget.h"
#include "windows/animated_textures_window.h"

#include "pixels.h"

#include <QAction>
#include <QMenu>
#include <filesystem>

namespace {

// Pixels an import makes transparent: those the 16-bit rule reads as transparent (black and
// near-black, magenta and near-magenta).
long transparent_pixels(const QImage& bitmap) {
    const QImage rgb = bitmap.convertToFormat(QImage::Format_RGB888);
    long count = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar* row = rgb.constScanLine(y);
        for (int x = 0; x < rgb.width(); ++x, row += 3)
            count += display_to_page16_pixel(rgb_to_display({row[0], row[1], row[2]}), false) == 0;
    }
    return count;
}

} // namespace

texture_commands::texture_commands(command_host host, links with)
    : host_(std::move(host)), with_(std::move(with)) {
    connect(&host_.panel, &texture_panel_widget::export_current_requested, this,
            &texture_commands::export_current);
    connect(&host_.panel, &texture_panel_widget::import_current_requested, this,
            &texture_commands::import_replace_current);
}

void texture_commands::add_menu_items(QMenu& textures, QMenu& special, level_actions& needs_level) {
    const auto on = [this](QAction* action, void (texture_commands::*handler)()) {
        connect(action, &QAction::triggered, this, handler);
    };
    const auto needing_level = [&](QMenu& menu, const char* name, const QString& caption,
                                   const QKeySequence& keys = {}) {
        return add_level_item(menu, needs_level, name, caption, keys);
    };
    on(needing_level(textures, "ExportBigBMP1", "Export BigBMP"), &texture_commands::export_big_bmp);
    on(needing_level(textures, "ImportBigBMP1", "Import BigBMP"), &texture_commands::import_big_bmp);
    textures.addSeparator();
    on(needing_level(textures, "ExportCurrent1", "Export Current to BMP"), &texture_commands::export_current);
    on(needing_level(textures, "ImportReplaceCurrent1", "Import and Replace Current"),
       &texture_commands::import_replace_current);
    textures.addSeparator();
    on(needing_level(textures, "ExportAll1", "Export All", QKeySequence("Ctrl+E")),
       &texture_commands::export_all);
    on(needing_level(textures, "ImportAndReplace1", "Import And Replace", QKeySequence("Ctrl+I")),
       &texture_commands::import_and_replace);
    textures.addSeparator();
    on(needing_level(textures, "ImportTexturePages1", "Import Texture Pages"),
       &texture_commands::import_texture_pages);
    on(needing_level(textures, "DefineMouseSelected1", "Define Mouse Selected", QKeySequence("Ctrl+D")),
       &texture_commands::define_mouse_selected);
    textures.addSeparator();
    on(add_item(textures, "ViewAnimatedTextures1", "View Animated Textures"),
       &texture_commands::show_animated_textures);

    on(needing_level(special, "ConvertColoredtoTexturedFaces1", "Convert Colored to Textured Faces",
                     QKeySequence("Ctrl+T")),
       &texture_commands::convert_coloured);
    on(needing_level(special, "Retexture1", "Retexture", QKeySequence("Ctrl+M")),
       &texture_commands::retexture);
    on(needing_level(special, "ApplyIntensityAlpha1", "Apply Intensity Alpha", QKeySequence("Ctrl+A")),
       &texture_commands::apply_intensity_alpha);
}

void texture_commands::upload(int texture, const QImage& picture) {
    gl_viewport* views[] = {&with_.viewport};
    upload_texture(std::uint32_t(texture + 1), picture, with_.viewport.colour_bits(), views);
}

void texture_commands::define_mouse_selected() {
    texture_panel_widget& panel = host_.panel;
    if (!panel.has_picture()) return;
    if (!host_.report(panel.define_marked_texture())) return;
    with_.translate_lists();
    const int i = panel.current_texture();
    upload(i, host_.doc.texture_picture(i).convertToFormat(QImage::Format_RGB888));
    host_.redraw();
}

void texture_commands::show_outcome(const command_outcome& out) {
    if (!out.message.empty()) host_.prompts.message(out.message);
    if (out.redraw) host_.redraw();
}

void texture_commands::convert_coloured() {
    show_outcome(host_.doc.convert_coloured(host_.panel.current_texture()));
}

void texture_commands::retexture() {
    show_outcome(host_.doc.retexture(host_.panel.current_texture()));
}

void texture_commands::apply_intensity_alpha() {
    if (!host_.panel.has_picture()) return;
    if (host_.report(host_.doc.apply_intensity_alpha())) host_.redraw();
}

void texture_commands::show_animated_textures() {
    // Refilled on every opening: imports and a newly opened level show at once.
    with_.animated.fill(host_.doc.level().animated_textures, &host_.doc.table());
    with_.animated.exec();
}

std::string texture_commands::choose_bitmap_to_write(const std::string& suggested_name) {
    editor_prompts& prompts = host_.prompts;
    const auto path =
        with_extension_if_none(prompts.choose_save_file_named(bitmap_file_filter(), suggested_name), ".bmp");
    if (path.empty()) return {};
    std::error_code ec;
    if (std::filesystem::exists(path, ec) && prompts.ask(overwrite_question(path), false) != answer::yes)
        return {};
    return path;
}

std::string texture_commands::choose_bitmap_to_read() {
    return host_.prompts.choose_open_file(bitmap_file_filter());
}

void texture_commands::import_while_waiting(command_result (editor_document::*import)(const QImage&)) {
    const auto path = choose_bitmap_to_read();
    QImage bitmap;
    if (path.empty() || !host_.report(command_result::from(load_bitmap(path, bitmap)))) return;
    with_.progress.show_progress(say(msg::please_wait_title)); // with the wait cursor
    with_.progress.add_progress_line(say(msg::reading_bitmap));
    const command_result r = (host_.doc.*import)(bitmap);
    with_.progress.hide_progress();
    if (!host_.report(r)) return;
    after_texture_import(true);
    report_transparent_pixels(bitmap);
}

void texture_commands::report_transparent_pixels(const QImage& bitmap) {
    if (with_.show_status)
        with_.show_status(say(msg::import_transparent_pixels, {std::to_string(transparent_pixels(bitmap))}));
}

void texture_commands::after_texture_import(bool upload_all) {
    host_.panel.refresh();
    with_.translate_lists();
    if (upload_all && with_.automatic_gl_update()) with_.reload_gl_textures();
    host_.redraw();
}

void texture_commands::export_big_bmp() {
    if (!host_.panel.has_picture()) return;
    const auto path = choose_bitmap_to_write(big_bmp_suggestion(host_.doc.tree().label.english));
    if (!path.empty()) host_.report(command_result::from(save_bitmap(host_.doc.export_big_bmp(), path)));
}

void texture_commands::import_big_bmp() {
    if (host_.panel.has_picture()) import_while_waiting(&editor_document::import_big_bmp);
}

void texture_commands::export_current() {
    const int i = host_.panel.current_texture();
    if (!host_.panel.has_picture() || i < 0) return;
    const auto path = choose_bitmap_to_write("Texture#" + std::to_string(i));
    if (!path.empty()) host_.report(command_result::from(save_bitmap(host_.doc.export_current(i), path)));
}

void texture_commands::import_replace_current() {
    const int i = host_.panel.current_texture();
    if (!host_.panel.has_picture() || i < 0) return;
    const auto path = choose_bitmap_to_read();
    QImage bitmap, picture;
    if (path.empty() || !host_.report(command_result::from(load_bitmap(path, bitmap)))) return;
    if (!host_.report(host_.doc.import_replace_current(i, bitmap, &picture))) return;
    upload(i, picture);
    after_texture_import(false);
    report_transparent_pixels(picture); // the bitmap as fitted to the texture
}

void texture_commands::export_all() {
    // Nothing selected: nothing to export, silently.
    if (!host_.panel.has_picture() || !host_.doc.selected_face_textures()) return;
    QImage out;
    if (!host_.report(host_.doc.export_all(out))) return;
    const auto path = choose_bitmap_to_write(export_all_suggestion(with_.selected_item_text()));
    if (!path.empty()) host_.report(command_result::from(save_bitmap(out, path)));
}

void texture_commands::import_and_replace() {
    if (!host_.panel.has_picture() || !host_.doc.selected_face_textures()) return;
    // A mesh without textured faces is refused before a file is asked for.
    if (host_.report(host_.doc.can_import_and_replace()))
        import_while_waiting(&editor_document::import_and_replace);
}

void texture_commands::import_texture_pages() {
    if (!host_.panel.has_picture()) return;
    const auto path = choose_bitmap_to_read();
    QImage bitmap;
    if (path.empty() || !host_.report(command_result::from(load_bitmap(path, bitmap)))) return;
    const int first_new_page = int(host_.doc.level().new_page_index());
    if (!host_.report(host_.doc.import_texture_pages(bitmap))) return;
    host_.panel.refresh();
    with_.translate_lists();
    host_.panel.show_page(first_new_page);
    host_.redraw();
    report_transparent_pixels(bitmap);
}
