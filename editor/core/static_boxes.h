// Static mesh boxes and flags: reading and writing a static mesh's visibility and collision boxes,
// fitting the chosen box to the mesh (Automatic Bound), and the undoable edits of both.
#pragma once

#include "level_records.h"
#include "mesh_swap.h"
#include "tr_level.h"

#include <QUndoCommand>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

static_box static_mesh_box(const tr_level& level, int static_index, box_kind kind);
std::uint16_t static_mesh_flags(const tr_level& level, int static_index);
bool is_static_mesh(const tr_level& level, int static_index);

// The tmesh drawn for a static mesh (through its mesh pointer), or -1 when it names none.
int static_mesh_tmesh(const tr_level& level, const mesh_list& meshes, int static_index);

// A box field's value as stored: its low 16 bits, so 40000 reads back as -25536.
inline std::int16_t box_field_value(long value) {
    return std::int16_t(std::uint16_t(std::uint64_t(value) & 0xFFFF));
}

// The smallest box around every vertex the mesh's faces use, in level units; faces collapsed onto
// one vertex (cut away) do not count. None when no face is left.
std::optional<static_box> fitted_box(const tmesh& mesh);

// Sets one box of a static mesh; undo puts the previous box back. Successive changes of the same
// coordinate of the same box (typing a number digit by digit) merge into one step.
class static_box_edit final : public QUndoCommand {
  public:
    // `coordinate` names the one field changed (0..5), or -1 when the whole box is set.
    static_box_edit(tr_level& level, int static_index, box_kind kind, static_box box, int coordinate,
                    const QString& text);
    void redo() override;
    void undo() override;
    int id() const override { return 4501; }
    bool mergeWith(const QUndoCommand* other) override;

  private:
    tr_level& level_;
    int static_index_;
    box_kind kind_;
    static_box before_, after_;
    int coordinate_;
};

// Sets the flags word of a static mesh; successive changes merge like box fields.
class static_flags_edit final : public QUndoCommand {
  public:
    static_flags_edit(tr_level& level, int static_index, std::uint16_t flags);
    void redo() override;
    void undo() override;
    int id() const override { return 4502; }
    bool mergeWith(const QUndoCommand* other) override;

  private:
    tr_level& level_;
    int static_index_;
    std::uint16_t before_, after_;
};

inline user_message no_faces_to_bound_message() {
    return say(msg::no_faces_to_bound);
}

// One coordinate (0..5) of the chosen box set to the low 16 bits of `value`; none when the static
// mesh does not exist or the value is already stored.
prepared_edit prepare_box_field(tr_level& level, int static_index, box_kind kind, int coordinate, long value);
// The whole chosen box set to `box`.
prepared_edit prepare_box(tr_level& level, int static_index, box_kind kind, const static_box& box);
// Automatic Bound: the chosen box fitted to the static mesh's own geometry; a mesh without faces
// gives a message and no edit.
prepared_edit prepare_automatic_bound(tr_level& level, const mesh_list& meshes, int static_index,
                                      box_kind kind);
prepared_edit prepare_flags(tr_level& level, int static_index, long value);
