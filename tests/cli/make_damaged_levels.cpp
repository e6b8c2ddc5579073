// Writes damaged levels made by the test level builder into a folder, one per kind of damage the
// command-line tests run vellum-cli on (a zlib bomb, sizes that lie, swallowed samples, broken meshes).
#include "level_builder.h"
#include "seed_files.h"
#include "tr_level.h"

#include <cstdio>
#include <string>

namespace {

using namespace test_levels;

// A level whose mesh data ends in the middle of its only mesh: the reader takes it, the mesh list
// cannot be built.
bytes cut_mesh_level(std::int32_t game) {
    level_desc d = make_level(game);
    mesh_desc m;
    m.vertices = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    m.normals = m.vertices;
    bytes words = mesh_bytes(game, {m});
    words.resize(words.size() / 2 / 2 * 2);
    d.mesh_words.assign(words.size() / 2, 0);
    for (std::size_t i = 0; i < d.mesh_words.size(); ++i)
        d.mesh_words[i] = std::uint16_t(words[2 * i] | words[2 * i + 1] << 8);
    d.mesh_pointers = {0};
    return build_level(d).data;
}

} // namespace

int main(int argc, char** argv) {
    const auto folder = output_folder(argc, argv);
    if (!folder) return argc != 2 ? 2 : 1;
    const std::filesystem::path& dir = *folder;
    const level_desc tr4 = make_level(game_tr4);
    const built_level b = build_level(tr4);
    bool ok = true;

    // The 32-bit page block inflates to 2 GiB.
    ok = ok && write_file(dir, "page_bomb.tr4",
                          with_block(b, "32-bit pages", 262144, zlib_zeros(std::size_t(2) << 30)));

    // Every stored plain size claims 4 GiB; the data is sound.
    ok = ok && write_file(dir, "lying_plain_sizes.tr4", with_lying_plain_sizes(b));

    // The level data's packed size reaches the end of the file, over the samples.
    bytes swallowed = b.data;
    const std::size_t at = section_offset(b, "level data");
    const std::size_t packed = swallowed.size() - at - 8;
    for (int k = 0; k < 4; ++k)
        swallowed[at + 4 + std::size_t(k)] = std::uint8_t(packed >> (8 * k));
    ok = ok && write_file(dir, "swallowed_samples.tr4", swallowed);

    // A page block one page short of its counts.
    level_desc short_pages = make_level(game_trc);
    short_pages.room_pages = 2;
    ok = ok && write_file(dir, "short_pages.trc", build_level(short_pages).data);

    ok = ok && write_file(dir, "cut_mesh.tr2", cut_mesh_level(game_tr2));
    ok = ok && write_file(dir, "cut_mesh.tr4", cut_mesh_level(game_tr4));
    ok = ok && write_file(dir, "good.tr4", b.data);

    // A sound TR4 level that holds no texture page at all.
    level_desc no_pages = tr4;
    no_pages.room_pages = 0;
    no_pages.pages32.clear();
    no_pages.pages16.clear();
    ok = ok && write_file(dir, "no_pages.tr4", build_level(no_pages).data);
    if (!ok) {
        std::fprintf(stderr, "cannot write the damaged levels into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
