// Model-file import as an undoable edit, and model export.
#include "mesh_import_command.h"

#include "history_step.h"
#include "scene_files.h"
#include "scene_import.h"

namespace {

// The meshes swapped and the object textures the file needed appended; undo removes them again.
class model_import_edit final : public QUndoCommand {
  public:
    model_import_edit(tr_level& level, mesh_list& meshes, scene_import result,
                      std::function<void()> textures_changed)
        : QUndoCommand(step_text(msg::step_import_mesh)), level_(level),
          textures_(std::move(result.new_textures)), first_texture_(level.object_textures.size()),
          textures_changed_(std::move(textures_changed)) {
        swap_ = std::make_unique<swap_meshes>(meshes, std::move(result.meshes), text());
    }
    void redo() override {
        if (!textures_.empty()) {
            level_.set_num_object_textures(std::uint32_t(first_texture_ + textures_.size()));
            std::copy(textures_.begin(), textures_.end(),
                      level_.object_textures.begin() + std::ptrdiff_t(first_texture_));
            if (textures_changed_) textures_changed_();
        }
        swap_->redo();
    }
    void undo() override {
        swap_->undo();
        if (!textures_.empty()) {
            level_.set_num_object_textures(std::uint32_t(first_texture_));
            if (textures_changed_) textures_changed_();
        }
    }

  private:
    tr_level& level_;
    std::vector<tobject_texture> textures_;
    std::size_t first_texture_;
    std::function<void()> textures_changed_;
    std::unique_ptr<swap_meshes> swap_;
};

prepared_edit edit_of(tr_level& level, mesh_list& meshes, scene_import result,
                      std::function<void()> changed) {
    if (!result.error.empty()) return {nullptr, std::move(result.error)};
    return {std::make_unique<model_import_edit>(level, meshes, std::move(result), std::move(changed)), {}};
}

} // namespace

prepared_edit prepare_mesh_import(tr_level& level, mesh_list& meshes, int mesh, const std::string& path,
                                  bool is_static, std::function<void()> textures_changed) {
    if (mesh < 0 || std::size_t(mesh) >= meshes.meshes.size())
        return {nullptr, model_needs_selection_message()};
    read_scene read = read_scene_file(path);
    if (!read.error.empty()) return {nullptr, level_refusal(std::move(read.error))};
    return edit_of(level, meshes, import_scene_into_mesh(read.scene, level, meshes, mesh, is_static),
                   std::move(textures_changed));
}

prepared_edit prepare_moveable_import(tr_level& level, mesh_list& meshes, int moveable,
                                      const std::string& path, std::function<void()> textures_changed) {
    if (moveable < 0 || std::size_t(moveable) >= level.moveables.size())
        return {nullptr, model_needs_selection_message()};
    read_scene read = read_scene_file(path);
    if (!read.error.empty()) return {nullptr, level_refusal(std::move(read.error))};
    return edit_of(level, meshes, import_scene_into_moveable(read.scene, level, meshes, moveable),
                   std::move(textures_changed));
}

user_message export_model(const tr_level& level, const mesh_list& meshes, export_target what, int index,
                          const std::string& path) {
    exchange_scene scene;
    switch (what) {
    case export_target::mesh:
        if (index < 0 || std::size_t(index) >= meshes.meshes.size()) return model_needs_selection_message();
        scene = scene_of_mesh(level, meshes, index);
        break;
    case export_target::moveable:
        if (index < 0 || std::size_t(index) >= level.moveables.size()) return model_needs_selection_message();
        scene = scene_of_moveable(level, meshes, index);
        break;
    case export_target::static_mesh:
        if (index < 0 || std::size_t(index) >= level.static_meshes.size())
            return model_needs_selection_message();
        scene = scene_of_static(level, meshes, index);
        break;
    }
    return write_scene_file(scene, path);
}
