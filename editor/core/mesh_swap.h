// The edit that puts a whole new tmesh in place of one mesh of the list; undo and redo swap back.
// Mesh edits that change many fields at once (vertex remap, DXF import) are made this way.
#pragma once

#include "mesh_list.h"

#include <QUndoCommand>
#include <memory>
#include <string>
#include <utility>

class swap_mesh final : public QUndoCommand {
  public:
    swap_mesh(Tmesh_list& meshes, int index, tmesh replacement, const QString& text)
        : QUndoCommand(text), meshes_(meshes), index_(index), held_(std::move(replacement)) {}
    void redo() override { std::swap(meshes_.meshes.at(std::size_t(index_)), held_); }
    void undo() override { redo(); }
    int mesh() const { return index_; }

  private:
    Tmesh_list& meshes_;
    int index_;
    tmesh held_;
};

// A prepared edit, or the reason there is none (a message fit to show; nothing was changed).
struct prepared_edit {
    std::unique_ptr<QUndoCommand> command;
    std::string message;
    explicit operator bool() const { return command != nullptr; }
};
