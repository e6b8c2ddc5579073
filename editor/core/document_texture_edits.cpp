// The document's texture commands: attribute, flips, a new texture from a marked rectangle,
// Intensity Alpha and the bitmap imports, each pushed on the history as one edit.
#include "bitmap_exchange.h"
#include "edit_commands.h"
#include "editor_document.h"
#include "history_step.h"

#include <type_traits>

namespace {
user_message no_texture() {
    return say(msg::select_texture_first);
}
} // namespace

void editor_document::textures_counted_again() {
    // Object textures added or taken away change no pixels: the table's display copy of the pages
    // stays as it is (shared with the history's states) instead of being drawn again.
    table_.texture_count = table_texture_count(level_);
    table_.piece_index = -1;
}

bool editor_document::texture_exists(int texture) const {
    return has_level() && texture >= 0 && std::size_t(texture) < level_.object_textures.size();
}

// Captures the state, lets `change` work on the level and the table, and pushes the edit when it
// succeeded. A failed change has left both untouched.
template <class State, class Change> command_result editor_document::texture_edit(msg step, Change&& change) {
    if (!has_level()) return command_result::failure(say(msg::no_level_open));
    if constexpr (std::is_same_v<State, object_texture_state>) {
        object_texture_state before = object_texture_state::capture(level_, table_);
        command_result r = change();
        if (!r) return r;
        // An edit of the object textures that changed none of them (Intensity Alpha with nothing
        // selected, or on textures already semi-transparent) is no step and does not mark the level.
        if (level_.object_textures == before.textures) return r;
        history_.push(new object_texture_edit(level_, table_, std::move(before),
                                              object_texture_state::capture(level_, table_),
                                              step_text(step)));
        return r;
    } else {
        // Pages the last import left as they were are shared with its step, and the after-state
        // shares what this import left unchanged.
        texture_pixel_state before = texture_pixel_state::capture(level_, table_, last_pixels_.get());
        command_result r = change();
        if (!r) return r;
        auto after = std::make_shared<const texture_pixel_state>(
            texture_pixel_state::capture(level_, table_, &before));
        history_.push(new texture_pixel_edit(level_, table_, std::move(before), *after, step_text(step)));
        last_pixels_ = std::move(after);
        return r;
    }
}

command_result editor_document::set_texture_attribute(int texture, int attribute) {
    if (!texture_exists(texture)) return command_result::failure(no_texture());
    if (attribute < 0 || attribute > 2) return command_result::failure(say(msg::unknown_attribute));
    if (level_.object_textures[std::size_t(texture)].attribute == attribute) return command_result::success();
    return texture_edit<object_texture_state>(msg::step_texture_attribute, [&] {
        level_.object_textures[std::size_t(texture)].attribute = std::uint16_t(attribute);
        return command_result::success();
    });
}

command_result editor_document::flip_texture(int texture, flip_axis axis) {
    if (!texture_exists(texture)) return command_result::failure(no_texture());
    return texture_edit<object_texture_state>(
        axis == flip_axis::horizontal ? msg::step_flip_horizontal : msg::step_flip_vertical, [&] {
            auto& t = level_.object_textures[std::size_t(texture)];
            if (axis == flip_axis::horizontal)
                flip_horizontal(t);
            else
                flip_vertical(t);
            table_.piece_index = -1; // the cached piece shows the old mirror state
            return command_result::success();
        });
}

command_result editor_document::define_texture(int page, const page_selection& marked) {
    return texture_edit<object_texture_state>(msg::step_define_mouse_selected, [&] {
        user_message message;
        if (define_mouse_selected(level_, page, marked, message) < 0) return command_result::failure(message);
        textures_counted_again();
        return command_result::success();
    });
}

command_result editor_document::apply_intensity_alpha() {
    return texture_edit<object_texture_state>(msg::step_intensity_alpha, [&] {
        const auto message =
            ::apply_intensity_alpha(level_, meshes_, selected_meshes(selection_, level_, meshes_));
        return message.empty() ? command_result::success() : command_result::failure(message);
    });
}

command_result editor_document::import_big_bmp(const QImage& bitmap) {
    return texture_edit<texture_pixel_state>(msg::step_import_big_bmp, [&] {
        return command_result::from(::import_big_bmp(level_, table_, bitmap));
    });
}

command_result editor_document::import_replace_current(int texture, const QImage& bitmap, QImage* upload) {
    if (!texture_exists(texture)) return command_result::failure(no_texture());
    return texture_edit<texture_pixel_state>(msg::step_import_current, [&] {
        return command_result::from(::import_replace_current(level_, table_, texture, bitmap, upload));
    });
}

command_result editor_document::import_and_replace(const QImage& bitmap) {
    const auto faces = selected_face_textures();
    if (!faces) return command_result::failure(say(msg::select_object_first));
    return texture_edit<texture_pixel_state>(msg::step_import_and_replace, [&] {
        return command_result::from(::import_and_replace(level_, table_, *faces, bitmap));
    });
}

command_result editor_document::import_texture_pages(const QImage& bitmap) {
    return texture_edit<texture_pixel_state>(msg::step_import_pages, [&] {
        int first = 0;
        return command_result::from(::import_texture_pages(level_, table_, bitmap, &first));
    });
}

const QImage& editor_document::texture_picture(int i) {
    return texture_bitmap(table_, i);
}

QImage editor_document::export_big_bmp() const {
    return ::export_big_bmp(table_);
}

QImage editor_document::export_current(int texture) {
    return ::export_current(table_, texture);
}

std::optional<std::vector<face_textures>> editor_document::selected_face_textures() const {
    const auto& s = selection_;
    switch (s.kind) {
    case selection_kind::moveable:
        return moveable_face_textures(level_, meshes_, std::size_t(s.moveable));
    case selection_kind::static_mesh:
        return static_face_textures(level_, meshes_, std::size_t(s.static_mesh));
    case selection_kind::moveable_mesh:
        // The parsed mesh, so that face edits not yet saved count.
        if (s.mesh >= 0 && std::size_t(s.mesh) < meshes_.meshes.size())
            return std::vector<face_textures>{mesh_face_textures(meshes_.meshes[std::size_t(s.mesh)])};
        return std::nullopt;
    case selection_kind::none:
        break;
    }
    return std::nullopt;
}

command_result editor_document::can_import_and_replace() const {
    const auto faces = selected_face_textures();
    if (!faces) return command_result::failure(say(msg::select_object_first));
    piece_plan plan;
    return command_result::from(plan_pieces(level_, table_, *faces, plan));
}

command_result editor_document::export_all(QImage& out) const {
    const auto faces = selected_face_textures();
    if (!faces) return command_result::failure(say(msg::select_object_first));
    return command_result::from(::export_all(level_, table_, *faces, out));
}
