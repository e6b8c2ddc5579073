// `vellum-cli edit IN OUT COMMAND [ARGS]... [, COMMAND [ARGS]...]`: the table of edit commands,
// the mesh commands themselves, and the run that applies them in order and saves once.
#include "edit_cli.h"
#include "edit_exchange_cli.h"

#include "cli.h"
#include "face_edits.h"
#include "level_reader.h"
#include "level_writer.h"
#include "mesh_commands.h"

#include <cstdio>
#include <string>
#include <vector>

void bad_arguments(const std::string& message) {
    throw edit_failure(edit_exit_usage, message);
}
void cannot_apply(const std::string& message) {
    throw edit_failure(edit_exit_cannot_apply, message);
}
void cannot_apply(const user_message& message) {
    cannot_apply(message.english);
}

long number_arg(const std::string& text, const char* what, long low, long high) {
    bool digits = !text.empty() && text.size() <= 9;
    for (char c : text)
        digits = digits && c >= '0' && c <= '9';
    if (!digits) bad_arguments(std::string(what) + " must be a number, not '" + text + "'");
    const long n = std::stol(text);
    if (n < low || n > high)
        bad_arguments(std::string(what) + " must be from " + std::to_string(low) + " to " +
                      std::to_string(high));
    return n;
}

int mesh_arg(const edit_session& session, const std::string& text) {
    const long m = number_arg(text, "MESH", 0, 999999999);
    const std::size_t count = session.meshes.meshes.size();
    if (std::size_t(m) >= count)
        cannot_apply("the level has no mesh " + text + " (it has " + std::to_string(count) + ")");
    return int(m);
}

int texture_arg(const edit_session& session, const std::string& text) {
    const long t = number_arg(text, "TEX", 0, 999999999);
    if (const user_message problem = texture_problem(session.level, int(t)); !problem.empty())
        cannot_apply(problem);
    return int(t);
}

namespace {

mesh_target one_mesh(int mesh) {
    return {target_kind::moveable_mesh, -1, mesh};
}

std::string faces_of(const tmesh& m) {
    return std::to_string(m.num_tex_rects) + " textured rectangles and " + std::to_string(m.num_tex_tris) +
           " textured triangles";
}

std::string run_retexture(edit_session& s, const std::vector<std::string>& args) {
    const int mesh = mesh_arg(s, args[0]);
    const int texture = texture_arg(s, args[1]);
    const auto out = retexture(s.history, s.meshes, s.level, one_mesh(mesh), texture);
    if (!out.message.empty()) cannot_apply(out.message);
    return "Mesh # " + std::to_string(mesh) + ": " + faces_of(s.meshes.meshes[std::size_t(mesh)]) +
           " now use Texture# " + std::to_string(texture);
}

std::string run_convert(edit_session& s, const std::vector<std::string>& args) {
    const int mesh = mesh_arg(s, args[0]);
    const int texture = texture_arg(s, args[1]);
    const tmesh& m = s.meshes.meshes[std::size_t(mesh)];
    const int rects = m.num_col_rects, tris = m.num_col_tris;
    const auto out = convert_coloured(s.history, s.meshes, s.level, one_mesh(mesh), texture);
    if (!out.message.empty()) cannot_apply(out.message);
    return "Mesh # " + std::to_string(mesh) + ": " + std::to_string(rects) + " colored rectangles and " +
           std::to_string(tris) + " colored triangles now textured with Texture# " + std::to_string(texture);
}

std::string run_shiny(edit_session& s, const std::vector<std::string>& args) {
    const int mesh = mesh_arg(s, args[0]);
    const int strength = int(number_arg(args[1], "STRENGTH", 0, 31));
    bool transparent = false;
    int texture = -1;
    for (std::size_t i = 2; i < args.size(); ++i) {
        if (args[i] == "transparent" && !transparent) {
            transparent = true;
        } else if (args[i] == "with-texture" && texture < 0 && i + 1 < args.size()) {
            texture = texture_arg(s, args[++i]);
        } else {
            bad_arguments("shiny takes MESH STRENGTH [transparent] [with-texture TEX], not '" + args[i] +
                          "'");
        }
    }
    const std::uint16_t effects = shiny_word(strength, transparent);
    const auto out =
        apply_shiny_to_all(s.history, s.meshes, s.level, one_mesh(mesh), effects, texture >= 0, texture);
    if (!out.message.empty()) cannot_apply(out.message);
    return "Mesh # " + std::to_string(mesh) + ": effects word " + std::to_string(effects) + " on " +
           faces_of(s.meshes.meshes[std::size_t(mesh)]);
}

std::string run_face(edit_session& s, const std::vector<std::string>& args) {
    const int mesh = mesh_arg(s, args[0]);
    const auto code = std::uint16_t(number_arg(args[1], "CODE", 0, 1999));
    // The face kind and index from the code; the mesh as given (a selection name could not
    // carry a mesh number past 65534).
    decoded_name hit = decode_name(selection_name(0, code));
    hit.mesh = mesh;
    const tmesh& m = s.meshes.meshes[std::size_t(mesh)];
    const std::size_t count = hit.triangle() ? m.tex_tris.size() : m.tex_rects.size();
    if (std::size_t(hit.face) >= count)
        cannot_apply("mesh " + std::to_string(mesh) + " has no textured " +
                     (hit.triangle() ? "triangle " : "rectangle ") + std::to_string(hit.face) + " (it has " +
                     std::to_string(count) + ")");
    click_settings settings{target_kind::moveable_mesh, -1};
    click_action action = click_action::apply;
    const std::string& what = args[2];
    if (what == "apply" && args.size() == 4) {
        action = click_action::apply;
        settings.current_texture = texture_arg(s, args[3]);
    } else if (what == "rotate" && args.size() == 3) {
        action = click_action::rotate;
    } else if (what == "cut" && args.size() == 3) {
        action = click_action::cut;
    } else {
        bad_arguments("face takes MESH CODE apply TEX | rotate | cut");
    }
    const face_click_outcome out = click_face(s.history, s.meshes, s.level, hit, action, settings);
    return out.status
               ? out.status->english
               : "Mesh # " + std::to_string(mesh) + "      Polygon # " + std::to_string(hit.face) + " cut";
}

std::string run_lights(edit_session& s, const std::vector<std::string>& args) {
    const long index = number_arg(args[0], "STATIC", 0, 999999999);
    const auto value = std::int16_t(number_arg(args[1], "VALUE", 0, 32767));
    if (std::size_t(index) >= s.level.static_meshes.size())
        cannot_apply("the level has no static mesh " + args[0] + " (it has " +
                     std::to_string(s.level.static_meshes.size()) + ")");
    const mesh_target target = static_mesh_target(s.level, s.meshes, int(index));
    if (target.kind == target_kind::none)
        cannot_apply("static mesh " + args[0] + " names a mesh pointer the level does not have");
    const tmesh& m = s.meshes.meshes[std::size_t(target.mesh)];
    if (m.num_normals >= 0)
        cannot_apply("the mesh of static mesh " + args[0] + " (Mesh # " + std::to_string(target.mesh) +
                     ") has normals, not vertex lights");
    change_all_lights(s.history, s.meshes, target, true, value);
    return "Mesh # " + std::to_string(target.mesh) + ": " + std::to_string(m.lights.size()) +
           " vertex lights set to " + std::to_string(value);
}

// The commands of `edit`. Add one: a function above and an entry here.
const std::vector<edit_command>& edit_commands() {
    static const std::vector<edit_command> table = {
        {"retexture", "MESH TEX", 2, 2, &run_retexture, "every textured face of the mesh gets texture TEX"},
        {"convert-coloured", "MESH TEX", 2, 2, &run_convert,
         "coloured faces become textured faces with texture TEX"},
        {"shiny", "MESH STRENGTH [transparent] [with-texture TEX]", 2, 5, &run_shiny,
         "shiny effect 0-31 on every textured face (TR4, TRC)"},
        {"face", "MESH CODE apply TEX | rotate | cut", 3, 4, &run_face,
         "one face; CODE is i for textured rectangle i, 1000 + i for textured triangle i"},
        {"lights", "STATIC VALUE", 2, 2, &run_lights,
         "every vertex light of static mesh STATIC's mesh := VALUE (0-32767)"},
        {"import-dxf", "MESH FILE.dxf", 2, 2, &run_import_dxf,
         "the mesh := the 3DFACE entities of the file (texture from each face's layer name)"},
        {"import-mesh", "MESH FILE", 2, 2, &run_import_mesh,
         "the mesh := the model file's object named mesh_MESH (glTF, OBJ, ...), vertex numbers kept"},
        {"import-moveable", "N FILE", 2, 2, &run_import_moveable,
         "every mesh of moveable N := the model file's object named after it"},
        {"remap", "MESH B A", 3, 3, &run_remap, "vertices B and A of the mesh exchange numbers"},
        {"box", "STATIC visibility|collision X1 X2 Y1 Y2 Z1 Z2 | auto", 3, 8, &run_box,
         "set a box of the static mesh, or fit it to the mesh (auto)"},
        {"flags", "STATIC N", 2, 2, &run_flags, "flags word of the static mesh := N (0-65535)"},
    };
    return table;
}

const edit_command* find_command(const std::string& name) {
    for (const auto& c : edit_commands())
        if (name == c.name) return &c;
    return nullptr;
}

struct command_call {
    const edit_command* command;
    std::vector<std::string> args;
};

// Splits the words after IN OUT at "," (alone or ending a word) and checks names and counts.
std::vector<command_call> parse_calls(const std::vector<std::string>& words) {
    std::vector<std::vector<std::string>> groups(1);
    for (const std::string& w : words) {
        if (w == ",") {
            groups.emplace_back();
        } else if (w.size() > 1 && w.back() == ',') {
            groups.back().push_back(w.substr(0, w.size() - 1));
            groups.emplace_back();
        } else {
            groups.back().push_back(w);
        }
    }
    std::vector<command_call> calls;
    for (auto& g : groups) {
        if (g.empty()) bad_arguments("an empty command between commas");
        const edit_command* c = find_command(g[0]);
        if (!c) bad_arguments("unknown edit command '" + g[0] + "'");
        g.erase(g.begin());
        if (g.size() < c->min_args || g.size() > c->max_args)
            bad_arguments(std::string(c->name) + " takes " + c->arguments);
        calls.push_back({c, std::move(g)});
    }
    return calls;
}

int run_edit(const std::vector<std::string>& args) {
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: vellum-cli edit IN OUT COMMAND [ARGS]... [, COMMAND [ARGS]...]\n");
        return edit_exit_usage;
    }
    std::vector<command_call> calls;
    try {
        calls = parse_calls({args.begin() + 2, args.end()});
    } catch (const edit_failure& e) {
        std::fprintf(stderr, "vellum-cli edit: %s\n", e.what());
        return e.status;
    }

    tr_level level;
    std::string error;
    if (const auto rc = read_level(level, args[0], &error); rc != read_ok) {
        std::fprintf(stderr, "vellum-cli edit: %s\n", error.c_str());
        return rc;
    }
    mesh_list meshes;
    try {
        build_mesh_list(meshes, level);
    } catch (const level_error& e) {
        std::fprintf(stderr, "vellum-cli edit: %s\n", e.what());
        return read_corrupt;
    }

    QUndoStack history;
    edit_session session{level, meshes, history};
    for (const command_call& call : calls) {
        try {
            const std::string done = call.command->run(session, call.args);
            std::printf("%s: %s\n", call.command->name, done.c_str());
        } catch (const edit_failure& e) {
            std::fprintf(stderr, "vellum-cli edit: %s: %s\nvellum-cli edit: nothing was written\n",
                         call.command->name, e.what());
            return e.status;
        }
    }
    try {
        rebuild_mesh_words(meshes, level);
        write_level(level, args[1]);
    } catch (const level_error& e) {
        std::fprintf(stderr, "vellum-cli edit: %s\n", e.what());
        return edit_exit_cannot_apply;
    }
    std::printf("saved %s%s\n", args[1].c_str(), game_name(level.game_version));
    return 0;
}

std::string usage_text() {
    std::string s = "IN OUT COMMAND [ARGS]... [, COMMAND [ARGS]...]   apply commands in order, save once "
                    "(OUT may be IN; exit 5 and nothing written when one cannot apply)";
    for (const auto& c : edit_commands())
        s += std::string("\n      ") + c.name + " " + c.arguments + "   " + c.summary;
    return s;
}

const std::string edit_usage = usage_text();
const cli_register reg{{"edit", edit_usage.c_str(), &run_edit}};

} // namespace
