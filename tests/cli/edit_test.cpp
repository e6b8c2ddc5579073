// `vellum-cli edit` run as a user would on the shared levels: the file changes in exactly the mesh
// words the commands name, and a command that cannot apply writes nothing.
#include "level_builder.h"
#include "level_compare.h"
#include "level_reader.h"
#include "mesh_list.h"
#include "real_levels.h"
#include "level_stream.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;
const std::string shared = VELLUM_SHARED_LEVELS;

// Runs vellum-cli with `args` (already quoted where needed); returns its exit status.
int cli(const std::string& args) {
    const std::string command = std::string("'") + VELLUM_CLI + "' " + args + " >/dev/null 2>&1";
    const int rc = std::system(command.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

std::string sh_arg(const fs::path& p) {
    return "'" + p.string() + "'";
}

struct temp_dir {
    fs::path path = fs::temp_directory_path() / ("vellum_edit_" + std::to_string(::getpid()));
    temp_dir() { fs::create_directories(path); }
    ~temp_dir() { fs::remove_all(path); }
};

// Where the words of a mesh sit in mesh_words (word indices), following the mesh layout.
struct mesh_words_at {
    const tmesh& m;
    std::int32_t game;
    std::size_t lights() const { return (m.offset + 10 + 2 + 6 * std::size_t(m.num_vertices) + 2) / 2; }
    std::size_t rects() const {
        const std::size_t extra = m.num_normals > 0 ? 6 * std::size_t(m.num_normals) : 2 * m.lights.size();
        return lights() + extra / 2 + 1;
    }
    std::size_t rect(int i, int w) const { return rects() + std::size_t(i * mesh_rect_size(game) / 2 + w); }
    std::size_t tri(int i, int w) const {
        return rects() +
               std::size_t(m.num_tex_rects * mesh_rect_size(game) / 2 + 1 + i * mesh_tri_size(game) / 2 + w);
    }
};

struct opened_level {
    tr_level level;
    mesh_list meshes;
};
void open_level(opened_level& o, const std::string& path) {
    std::string error;
    ASSERT_EQ(read_level(o.level, path, &error), read_ok) << error;
    build_mesh_list(o.meshes, o.level);
}

// The first meshes with at least two textured rectangles and one textured triangle.
std::vector<int> meshes_with_faces(const mesh_list& list, std::size_t how_many) {
    std::vector<int> found;
    for (std::size_t i = 0; i < list.meshes.size() && found.size() < how_many; ++i)
        if (list.meshes[i].num_tex_rects >= 2 && list.meshes[i].num_tex_tris >= 1) found.push_back(int(i));
    return found;
}

std::uint64_t mark_of(const std::vector<section_mark>& marks, const std::string& name) {
    for (const auto& m : marks)
        if (m.name == name) return m.offset;
    ADD_FAILURE() << "no section " << name;
    return 0;
}

// The TR4 file in its parts: 10 header bytes, three page blocks and the level data inflated, samples.
struct tr4_parts {
    std::vector<std::uint8_t> header, blocks[4], samples;
};
tr4_parts split_tr4(const std::vector<std::uint8_t>& file) {
    tr4_parts p;
    p.header.assign(file.begin(), file.begin() + 10);
    std::size_t pos = 10;
    for (auto& block : p.blocks) {
        const std::uint32_t packed = get_u32(&file.at(pos + 4));
        block = inflate_block(&file.at(pos + 8), packed);
        pos += 8 + packed;
    }
    p.samples.assign(file.begin() + std::ptrdiff_t(pos), file.end());
    return p;
}

class EditSharedLevel : public ::testing::TestWithParam<const char*> {};

TEST_P(EditSharedLevel, ChangesExactlyTheWordsOfItsCommands) {
    const std::string name = GetParam();
    SKIP_WITHOUT_REAL_LEVELS(name);
    const std::string in = shared + "/" + name;
    opened_level o;
    open_level(o, in);
    const auto& level = o.level;
    const std::int32_t game = level.game_version;
    const auto picked = meshes_with_faces(o.meshes, 2);
    ASSERT_EQ(picked.size(), 2u);
    const int a = picked[0], b = picked[1];
    const tmesh& ma = o.meshes.meshes[std::size_t(a)];
    const tmesh& mb = o.meshes.meshes[std::size_t(b)];
    const mesh_words_at at_a{ma, game}, at_b{mb, game};
    const auto textures = std::uint16_t(level.object_textures.size());

    // The commands and the mesh words they must leave behind.
    std::vector<std::uint16_t> words = level.mesh_words;
    const std::uint16_t apply = std::uint16_t((tri_texture(ma.tex_tris[0]) + 1) % textures);
    const std::uint16_t retex = 3;
    std::string commands = "face " + std::to_string(a) + " 0 rotate , face " + std::to_string(a) +
                           " 1000 apply " + std::to_string(apply) + ", face " + std::to_string(a) +
                           " 1 cut , retexture " + std::to_string(b) + " " + std::to_string(retex);
    const auto r0 = ma.tex_rects[0];
    words[at_a.rect(0, 0)] = face_word(r0, 3);
    words[at_a.rect(0, 1)] = face_word(r0, 0);
    words[at_a.rect(0, 2)] = face_word(r0, 1);
    words[at_a.rect(0, 3)] = face_word(r0, 2);
    words[at_a.tri(0, 3)] = apply;
    for (int w = 0; w < 4; ++w)
        words[at_a.rect(1, w)] = 0;
    for (int i = 0; i < mb.num_tex_rects; ++i)
        words[at_b.rect(i, 4)] = retex;
    for (int i = 0; i < mb.num_tex_tris; ++i)
        words[at_b.tri(i, 3)] = retex;
    if (game >= game_tr4) {
        commands += ", shiny " + std::to_string(b) + " 16 transparent";
        for (int i = 0; i < mb.num_tex_rects; ++i)
            words[at_b.rect(i, 5)] = 67;
        for (int i = 0; i < mb.num_tex_tris; ++i)
            words[at_b.tri(i, 4)] = 67;
    }
    if (!level.static_meshes.empty()) {
        const int m = o.meshes.mesh_index.at(get_u16(&level.static_meshes[0][4]));
        const tmesh& ms = o.meshes.meshes[std::size_t(m)];
        if (ms.num_normals < 0 && m != a && m != b) {
            commands += ", lights 0 1234";
            const mesh_words_at at_s{ms, game};
            for (std::size_t k = 0; k < ms.lights.size(); ++k)
                words[at_s.lights() + k] = 1234;
        }
    }
    ASSERT_NE(words, level.mesh_words);

    // Edit a copy in place (OUT = IN).
    temp_dir tmp;
    const fs::path out = tmp.path / name;
    fs::copy_file(in, out);
    ASSERT_EQ(cli("edit " + sh_arg(out) + " " + sh_arg(out) + " " + commands), 0) << commands;
    const auto edited = read_whole_file(out.string());

    // The original as the writer lays it out, with the mesh data replaced by the expected words.
    tr_level expected_level = level;
    expected_level.mesh_words = words;
    std::vector<section_mark> marks;
    write_options options;
    options.sections = &marks;
    const auto rewritten = write_level_memory(expected_level, name, options);
    const std::uint64_t mesh_data = mark_of(marks, "mesh data") + 4;
    const auto original = read_whole_file(in);
    if (game < game_tr4) {
        // Byte for byte: the original file with those words changed.
        std::vector<std::uint8_t> expected = original;
        ASSERT_EQ(get_u16(&expected.at(mesh_data)), level.mesh_words[0]);
        for (std::size_t w = 0; w < words.size(); ++w)
            put_u16(&expected[mesh_data + 2 * w], words[w]);
        EXPECT_TRUE(edited == expected) << "the file differs outside the edited words";
    } else if (game == game_tr4) {
        // Every inflated block as in the original, the level data with those words changed.
        const tr4_parts before = split_tr4(original), after = split_tr4(edited);
        EXPECT_EQ(after.header, before.header);
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(after.blocks[i] == before.blocks[i]) << "page block " << i;
        EXPECT_TRUE(after.samples == before.samples);
        std::vector<std::uint8_t> expected = before.blocks[3];
        ASSERT_EQ(get_u16(&expected.at(mesh_data)), level.mesh_words[0]);
        for (std::size_t w = 0; w < words.size(); ++w)
            put_u16(&expected[mesh_data + 2 * w], words[w]);
        EXPECT_TRUE(after.blocks[3] == expected) << "the level data differs outside the edited words";
    } else {
        // TRC re-saves its rooms in its own layout: compare with a plain re-save of the original.
        EXPECT_TRUE(edited == rewritten) << "the file differs from a re-save outside the edited words";
    }
}

INSTANTIATE_TEST_SUITE_P(SharedLevels, EditSharedLevel,
                         ::testing::Values("test1.phd", "test1.tr2", "test1_tr3.tr2", "test1.tr4",
                                           "test1.trc"));

// A TR2 level of two meshes: mesh 0 with 3 textured rectangles, 2 coloured rectangles and one
// coloured triangle; mesh 1 with 500 textured and 2 coloured rectangles (converting it would pass 501).
fs::path coloured_level(const fs::path& dir) {
    namespace tl = test_levels;
    tl::level_desc desc = tl::make_level(game_tr2);
    tl::mesh_desc small, full;
    for (auto* m : {&small, &full}) {
        m->vertices = {{0, 0, 0}, {100, 0, 0}, {100, 100, 0}, {0, 100, 0}};
        m->normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
        m->col_rects = {tl::room_face({3, 2, 1, 0}, 0x0010), tl::room_face({0, 2, 3, 1}, 0x0011)};
    }
    small.tex_rects.assign(3, tl::room_face({0, 1, 2, 3}, 1));
    small.col_tris = {tl::room_face({0, 1, 2}, 0x0012)};
    full.tex_rects.assign(500, tl::room_face({0, 1, 2, 3}, 1));
    std::vector<std::uint32_t> offsets;
    const tl::bytes mesh = tl::mesh_bytes(game_tr2, {small, full}, &offsets);
    desc.mesh_words.clear();
    for (std::size_t i = 0; i + 1 < mesh.size(); i += 2)
        desc.mesh_words.push_back(get_u16(&mesh[i]));
    desc.mesh_pointers = offsets;
    const tl::bytes file = tl::build_level(desc).data;
    const fs::path path = dir / "coloured.tr2";
    write_file_atomic(path.string(), file.data(), file.size());
    return path;
}

TEST(EditCommandLine, ConvertColouredTurnsEveryColouredFaceOfTheMesh) {
    temp_dir tmp;
    const fs::path in = coloured_level(tmp.path);
    opened_level o;
    open_level(o, in.string());
    ASSERT_EQ(o.meshes.meshes.size(), 2u);
    const fs::path out = tmp.path / "converted.tr2";
    ASSERT_EQ(cli("edit " + sh_arg(in) + " " + sh_arg(out) + " convert-coloured 0 2"), 0);

    opened_level e;
    open_level(e, out.string());
    ASSERT_EQ(e.meshes.meshes.size(), 2u);
    tmesh expected = o.meshes.meshes[0];
    expected.tex_rects.insert(expected.tex_rects.end(), expected.col_rects.begin(), expected.col_rects.end());
    expected.tex_tris.insert(expected.tex_tris.end(), expected.col_tris.begin(), expected.col_tris.end());
    for (std::size_t k = 3; k < expected.tex_rects.size(); ++k)
        set_face_word(expected.tex_rects[k], 4, 2);
    set_face_word(expected.tex_tris[0], 3, 2);
    expected.num_tex_rects = 5;
    expected.num_tex_tris = 1;
    expected.set_num_col_rects(0);
    expected.set_num_col_tris(0);
    EXPECT_EQ(e.meshes.meshes[0], expected);
    tmesh second = o.meshes.meshes[1];
    second.offset = e.meshes.meshes[1].offset; // it moves: mesh 0 grew
    EXPECT_EQ(e.meshes.meshes[1], second);
    // Everything but the mesh data and the mesh pointers stays.
    e.level.mesh_words = o.level.mesh_words;
    e.level.num_mesh_words = o.level.num_mesh_words;
    e.level.mesh_pointers = o.level.mesh_pointers;
    EXPECT_EQ(compare_levels(o.level, e.level), "");

    // Over capacity: refused, nothing written.
    const fs::path refused = tmp.path / "refused.tr2";
    EXPECT_EQ(cli("edit " + sh_arg(in) + " " + sh_arg(refused) + " convert-coloured 1 2"), 5);
    EXPECT_FALSE(fs::exists(refused));
}

TEST(EditCommandLine, ACommandThatCannotApplyWritesNothing) {
    SKIP_WITHOUT_REAL_LEVELS("test1.tr2");
    temp_dir tmp;
    const fs::path copy = tmp.path / "test1.tr2";
    fs::copy_file(shared + "/test1.tr2", copy);
    const auto before = read_whole_file(copy.string());
    const fs::path out = tmp.path / "out.tr2";
    struct row {
        std::string commands;
        int status;
    };
    const row rows[] = {
        {"retexture 0 5, shiny 0 16", 5},       // shine on TR2
        {"retexture 100000 5", 5},              // no such mesh
        {"retexture 0 1200", 5},                // texture past the level's 1200
        {"lights 0 100", 5},                    // no static meshes in this level
        {"face 0 999 rotate", 5},               // no such face
        {"retexture 0", 64},                    // missing argument
        {"retexture 0 5 , , face 0 0 cut", 64}, // empty command
        {"paint 0 5", 64},                      // unknown command
    };
    for (const row& r : rows) {
        EXPECT_EQ(cli("edit " + sh_arg(copy) + " " + sh_arg(out) + " " + r.commands), r.status) << r.commands;
        EXPECT_EQ(cli("edit " + sh_arg(copy) + " " + sh_arg(copy) + " " + r.commands), r.status)
            << r.commands;
        EXPECT_FALSE(fs::exists(out)) << r.commands;
        EXPECT_TRUE(read_whole_file(copy.string()) == before) << r.commands;
    }
    EXPECT_EQ(cli("edit " + sh_arg(tmp.path / "none.tr2") + " " + sh_arg(out) + " retexture 0 5"), 1);
}

} // namespace
