// vellum-cli texture commands: export and import all pages as one BMP, export one texture, and
// export the texture pieces of a moveable or static mesh.
#include "bitmap_exchange.h"
#include "cli.h"
#include "level_reader.h"
#include "level_writer.h"

#include <charconv>
#include <cstdio>
#include <optional>

namespace {

std::optional<int> parse_index(const std::string& text) {
    int value = 0;
    const auto end = text.data() + text.size();
    const auto [p, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || p != end || value < 0) return std::nullopt;
    return value;
}

int fail(const texture_result& r, int status) {
    std::fprintf(stderr, "vellum-cli: %s\n", r.message.english.c_str());
    return status;
}

int usage(const char* text) {
    std::fprintf(stderr, "usage: vellum-cli %s\n", text);
    return exit_usage;
}

int run_export_pages(const std::vector<std::string>& args) {
    if (args.size() != 2) return usage("export-pages LEVEL OUT.bmp");
    tr_level level;
    if (const int rc = load_level(level, args[0]); rc != exit_ok) return rc;
    if (level.num_pages == 0)
        return fail(texture_result::failure(args[0] + " has no pages: there is no bitmap to export"),
                    exit_bad_input);
    const texture_table table = build_texture_table(level);
    if (auto r = save_bitmap(export_big_bmp(table), args[1]); !r) return fail(r, exit_write_failed);
    std::printf("%s: %u pages, 256 x %u\n", args[1].c_str(), level.num_pages, level.num_pages * 256);
    return exit_ok;
}

int run_import_pages(const std::vector<std::string>& args) {
    if (args.size() != 3) return usage("import-pages LEVEL IN.bmp OUT");
    tr_level level;
    if (const int rc = load_level(level, args[0]); rc != exit_ok) return rc;
    texture_table table = build_texture_table(level);
    QImage bitmap;
    if (auto r = load_bitmap(args[1], bitmap); !r) return fail(r, exit_bad_input);
    if (auto r = import_big_bmp(level, table, bitmap); !r) return fail(r, exit_bad_input);
    try {
        if (write_level(level, args[2]) != write_ok)
            return fail(texture_result::failure("cannot write " + args[2]), exit_write_failed);
    } catch (const level_error& e) {
        return fail(texture_result::failure(e.what()), exit_write_failed);
    }
    return exit_ok;
}

int run_export_texture(const std::vector<std::string>& args) {
    if (args.size() != 3) return usage("export-texture LEVEL INDEX OUT.bmp");
    const auto index = parse_index(args[1]);
    if (!index) return usage("export-texture LEVEL INDEX OUT.bmp (INDEX: a texture number from 0)");
    tr_level level;
    if (const int rc = load_level(level, args[0]); rc != exit_ok) return rc;
    texture_table table = build_texture_table(level);
    if (*index >= table.texture_count)
        return fail(texture_result::failure("the level has " + std::to_string(table.texture_count) +
                                            " textures; there is no " + texture_list_text(*index)),
                    exit_usage);
    const QImage piece = export_current(table, *index);
    if (auto r = save_bitmap(piece, args[2]); !r) return fail(r, exit_write_failed);
    std::printf("%s: %s, %d x %d\n", args[2].c_str(), texture_list_text(*index).c_str(), piece.width(),
                piece.height());
    return exit_ok;
}

int run_export_pieces(const std::vector<std::string>& args) {
    const char* text = "export-pieces LEVEL (--moveable N | --static N) OUT.bmp";
    if (args.size() != 4 || (args[1] != "--moveable" && args[1] != "--static")) return usage(text);
    const auto n = parse_index(args[2]);
    if (!n) return usage(text);
    tr_level level;
    if (const int rc = load_level(level, args[0]); rc != exit_ok) return rc;
    const bool moveable = args[1] == "--moveable";
    const auto meshes = moveable ? moveable_face_textures(level, std::size_t(*n))
                                 : static_face_textures(level, std::size_t(*n));
    if (!meshes)
        return fail(texture_result::failure("the level has no readable " +
                                            std::string(moveable ? "moveable " : "static mesh ") +
                                            std::to_string(*n)),
                    exit_usage);
    const texture_table table = build_texture_table(level);
    QImage out;
    if (auto r = export_all(level, table, *meshes, out); !r) return fail(r, exit_bad_input);
    if (auto r = save_bitmap(out, args[3]); !r) return fail(r, exit_write_failed);
    std::printf("%s: %d x %d\n", args[3].c_str(), out.width(), out.height());
    return exit_ok;
}

cli_register reg_export_pages{{"export-pages", "LEVEL OUT.bmp", &run_export_pages}};
cli_register reg_import_pages{{"import-pages", "LEVEL IN.bmp OUT", &run_import_pages}};
cli_register reg_export_texture{{"export-texture", "LEVEL INDEX OUT.bmp", &run_export_texture}};
cli_register reg_export_pieces{
    {"export-pieces", "LEVEL (--moveable N | --static N) OUT.bmp", &run_export_pieces}};

} // namespace
