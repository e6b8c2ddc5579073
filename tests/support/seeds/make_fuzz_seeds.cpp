// Writes a seed corpus for the fuzzers: builder-made levels of every version and layout variant, each
// prefixed by the byte that makes the level fuzzers pick the matching file name, BMP files, and the
// DXF export of the levels' meshes.
#include "bmp_builder.h"
#include "dxf_export.h"
#include "level_builder.h"
#include "level_reader.h"
#include "mesh_list.h"
#include "seed_files.h"

#include <cstdio>
#include <string>

namespace {

using namespace test_levels;

// The first byte of a seed picks the file name: modulo 6 in the list .phd, .tub, .tr2, .trg.tr2, .tr4,
// .trc and modulo 5 in the list without .trg.tr2. These bytes name the right extension in both.
std::uint8_t name_selector(std::int32_t v) {
    static const std::uint8_t selector[] = {0, 0, 1, 2, 27, 2, 28, 29};
    return selector[v];
}

level_desc seed_level(std::int32_t v) {
    level_desc d = make_level(v);
    d.num_pages = 0; // keeps TR1-TR3 seeds small; pages are plain copies
    // TR4, TRC: one page of one colour, which compresses to a few hundred bytes.
    d.room_pages = 1;
    d.object_pages = d.bump_pages = 0;
    d.pages32.assign(262144, 0x32);
    d.pages16.assign(131072, 0x16);
    d.pages32_misc.clear();
    return d;
}

bool write_seed(const std::filesystem::path& dir, const std::string& name, std::int32_t v,
                const bytes& file) {
    return write_file(dir, name, file, std::string(1, char(name_selector(v))));
}

// Every mesh of a builder-made level exported as DXF; the first byte picks a moveable mesh.
int write_dxf_seeds(const std::filesystem::path& dir, const std::string& tag, const bytes& file, bool& ok) {
    tr_level level;
    std::string error;
    if (read_level_memory(level, file,
                          "seed." + std::string(tag == "trc"   ? "trc"
                                                : tag == "tr4" ? "tr4"
                                                               : "tr2"),
                          &error) != read_ok)
        return 0;
    mesh_list list;
    build_mesh_list(list, level);
    int written = 0;
    for (std::size_t i = 0; i < list.meshes.size(); ++i) {
        const std::string text = dxf_text(list.meshes[i]);
        ok = ok && write_file(dir, tag + "_mesh" + std::to_string(i) + ".dxf.seed",
                              bytes(text.begin(), text.end()), std::string(1, '\0'));
        ++written;
    }
    return written;
}

} // namespace

int main(int argc, char** argv) {
    const auto folder = output_folder(argc, argv);
    if (!folder) return argc != 2 ? 2 : 1;
    const std::filesystem::path& dir = *folder;
    static const char* tags[] = {"", "tr1", "tr1_gold", "tr2", "tr2_gold", "tr3", "tr4", "trc"};
    bool ok = true;
    int written = 0;
    for (std::int32_t v = 1; v <= 7; ++v) {
        const std::string tag = tags[v];
        const level_desc d = seed_level(v);
        const bytes plain = build_level(d).data;
        ok = ok && write_seed(dir, tag + ".seed", v, plain);
        ok = ok && write_seed(dir, tag + "_zlib.seed", v, zlib_wrapped(plain));
        level_desc extra = d;
        extra.after_last_section = {1, 2, 3};
        extra.level_data_tail = {0, 0, 0, 0, 0, 0};
        ok = ok && write_seed(dir, tag + "_extra.seed", v, build_level(extra).data);
        written += 3;
        if (v == 3 || v == 6 || v == 7) written += write_dxf_seeds(dir, tag, plain, ok);
    }
    level_desc gold_position = seed_level(1);
    gold_position.tr1_palette_at_gold_position = true;
    ok = ok && write_seed(dir, "tr1_gold_palette_position.seed", 1, build_level(gold_position).data);
    level_desc raw_sound = seed_level(6);
    raw_sound.raw_sound_section = unparsable_sound_section();
    ok = ok && write_seed(dir, "tr4_raw_sound.seed", 6, build_level(raw_sound).data);
    written += 2;
    // Bitmaps for the BMP import fuzzer: sound palette bitmaps and the malformed compressed ones.
    for (const auto& list : {test_bmps::sound_palette_bmps(), test_bmps::malformed_bmps()})
        for (const auto& [name, file] : list) {
            ok = ok && write_file(dir, "bmp_" + name + ".seed", file);
            ++written;
        }
    // A zlib bomb: a page block that inflates far past the one page its counts allow.
    const built_level tr4 = build_level(seed_level(6));
    ok = ok && write_seed(dir, "tr4_zlib_bomb.seed", 6,
                          with_block(tr4, "32-bit pages", 262144, zlib_zeros(16u << 20)));
    // Plain sizes that lie: every block claims 4 GiB.
    ok = ok && write_seed(dir, "tr4_lying_plain_size.seed", 6, with_lying_plain_sizes(tr4));
    written += 4;
    if (!ok) {
        std::fprintf(stderr, "cannot write the seeds into %s\n", argv[1]);
        return 1;
    }
    std::printf("%d seeds written to %s\n", written, argv[1]);
    return 0;
}
