// The history step of every mesh edit: edited copies put in place of meshes of the list, keeping
// the meshes they replaced; undo and redo swap back, so they are exact inverses. Whole-mesh
// commands, face clicks, the vertex remap and the DXF import are all made this way.
#pragma once

#include "mesh_list.h"

#include "user_message.h"
#include <QUndoCommand>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class swap_meshes final : public QUndoCommand {
  public:
    swap_meshes(mesh_list& list, std::vector<std::pair<int, tmesh>> replacements, const QString& text)
        : QUndoCommand(text), list_(list), held_(std::move(replacements)) {}
    // One mesh replaced.
    swap_meshes(mesh_list& list, int index, tmesh replacement, const QString& text)
        : QUndoCommand(text), list_(list) {
        held_.emplace_back(index, std::move(replacement));
    }
    void redo() override {
        for (auto& [index, mesh] : held_)
            if (index >= 0 && std::size_t(index) < list_.meshes.size())
                std::swap(list_.meshes[std::size_t(index)], mesh);
    }
    void undo() override { redo(); }
    // The numbers of the meshes this step changes.
    std::vector<int> mesh_numbers() const {
        std::vector<int> numbers;
        for (const auto& held : held_)
            numbers.push_back(held.first);
        return numbers;
    }

  private:
    mesh_list& list_;
    std::vector<std::pair<int, tmesh>> held_;
};

// A prepared edit, or the reason there is none (a message fit to show; nothing was changed).
struct prepared_edit {
    std::unique_ptr<QUndoCommand> command;
    user_message message;
    explicit operator bool() const { return command != nullptr; }
};
