// libFuzzer target for the level reader: the first input byte picks the file name (and so the layout),
// the rest is the file. Besides sanitizer reports, broken invariants of the result abort, and so does a
// TR4/TRC read whose blocks were inflated side by side that differs from a sequential read.
#include "level_compare.h"
#include "level_reader.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char* const names[] = {"fuzz.phd", "fuzz.tub", "fuzz.tr2", "fuzz.trg.tr2", "fuzz.tr4", "fuzz.trc"};

[[noreturn]] void broken(const char* what) {
    std::fprintf(stderr, "reader invariant broken: %s\n", what);
    std::abort();
}

void check(bool ok, const char* what) {
    if (!ok) broken(what);
}

// Every count equals the length of what it counts.
void check_loaded(const tr_level& l) {
    check(l.signature == loaded_signature, "signature after success");
    check(l.rooms.size() == l.num_rooms, "rooms");
    check(l.floor_data.size() == l.num_floor_data, "floor data");
    check(l.mesh_words.size() == l.num_mesh_words, "mesh words");
    check(l.mesh_pointers.size() == l.num_mesh_pointers, "mesh pointers");
    check(l.moveables.size() == l.num_moveables && l.moveables20.size() == l.num_moveables, "moveables");
    check(l.static_meshes.size() == l.num_static_meshes, "static meshes");
    check(l.object_textures.size() == l.num_object_textures, "object textures");
    check(l.entities.size() == l.num_entities && l.entities22.size() == l.num_entities, "entities");
    check(l.sample_indices.size() == l.num_sample_indices, "sample indices");
    check(l.samples.size() == l.samples_size, "samples");
    for (const auto& r : l.rooms) {
        check(r.vertices8.size() == r.num_vertices && r.vertices12.size() == r.num_vertices, "room vertices");
        check(r.rectangles10.size() == r.num_rectangles, "room rectangles");
        check(r.triangles8.size() == r.num_triangles, "room triangles");
        if (l.game_version == game_trc) {
            check(r.layers.layers.size() == r.num_layers, "layers");
            // Faces built from layers always name room vertices that exist.
            for (const auto& f : r.rectangles10)
                for (int k = 0; k < 4; ++k)
                    check(get_u16(&f[2 * k]) < r.num_vertices, "TRC rectangle corner");
            for (const auto& f : r.triangles8)
                for (int k = 0; k < 3; ++k)
                    check(get_u16(&f[2 * k]) < r.num_vertices, "TRC triangle corner");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string name = names[data[0] % 6];
    tr_level level;
    bool progress_in_range = true;
    level.progress = [&](int p) { progress_in_range = progress_in_range && p >= 0 && p <= 100; };
    std::string error;
    const std::uint8_t code =
        read_level_memory(level, std::vector<std::uint8_t>(data + 1, data + size), name, &error);
    check(progress_in_range, "progress outside 0..100");
    switch (code) {
    case read_ok:
        check_loaded(level);
        break;
    case read_not_a_level:
    case read_corrupt:
        check(!error.empty(), "failure without a message");
        check(level.signature.empty(), "a failed read marked the level as loaded");
        break;
    default:
        broken("unexpected result code");
    }
    if (data[0] % 6 >= 4) {
        tr_level sequential;
        std::string sequential_error;
        const std::uint8_t sequential_code =
            read_level_memory(sequential, std::vector<std::uint8_t>(data + 1, data + size), name,
                              &sequential_error, read_options{false});
        check(sequential_code == code && sequential_error == error,
              "parallel and sequential outcomes differ");
        if (code == read_ok)
            check(compare_levels(level, sequential, level.game_version == game_trc).empty(),
                  "parallel and sequential levels differ");
    }
    return 0;
}
