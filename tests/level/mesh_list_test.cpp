// Mesh list: parsing mesh_words into tmesh records, sizes and fillers, mesh pointers, bounds,
// limits and truncated data.
#include "level_builder.h"
#include "level_reader.h"
#include "level_snapshot.h"
#include "mesh_list.h"
#include "real_levels.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace tl = test_levels;

namespace {

std::vector<std::uint16_t> to_words(const tl::bytes& b) {
    std::vector<std::uint16_t> w(b.size() / 2);
    for (std::size_t i = 0; i < w.size(); ++i)
        w[i] = get_u16(&b[2 * i]);
    return w;
}

tr_level level_with_meshes(std::int32_t game, const std::vector<tl::mesh_desc>& meshes,
                           std::vector<std::uint32_t>* offsets = nullptr) {
    tr_level lv;
    lv.game_version = game;
    lv.signature = loaded_signature;
    const auto words = to_words(tl::mesh_bytes(game, meshes, offsets));
    lv.set_num_mesh_words(std::uint32_t(words.size()));
    lv.mesh_words = words;
    return lv;
}

void set_pointers(tr_level& lv, const std::vector<std::uint32_t>& pointers) {
    lv.set_num_mesh_pointers(std::uint32_t(pointers.size()));
    lv.mesh_pointers = pointers;
}

// TR1 mesh with n vertices, 3 normals and one textured rectangle (68 bytes, no filler).
tl::mesh_desc example_mesh(int vertices) {
    tl::mesh_desc m;
    m.centre = {1, 2, 3};
    m.radius = 0x12345;
    for (int i = 0; i < vertices; ++i)
        m.vertices.push_back({std::int16_t(10 * i), std::int16_t(-i), 7});
    m.normals = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    m.tex_rects = {tl::room_face({0, 1, 2, 2}, 0x0005)};
    return m;
}

rec<12> rect(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d, std::uint16_t tex) {
    rec<12> r{};
    set_face_word(r, 0, a);
    set_face_word(r, 1, b);
    set_face_word(r, 2, c);
    set_face_word(r, 3, d);
    set_face_word(r, 4, tex);
    return r;
}

std::string shared_level(const char* name) {
    return real_levels::path(name);
}

} // namespace

TEST(MeshList, Tr1MeshOf68BytesHasNoFiller) {
    std::vector<std::uint32_t> offsets;
    tr_level lv = level_with_meshes(game_tr1, {example_mesh(3), example_mesh(3)}, &offsets);
    ASSERT_EQ(lv.num_mesh_words, 68u); // two meshes of 68 bytes
    ASSERT_EQ(offsets, (std::vector<std::uint32_t>{0, 68}));
    set_pointers(lv, offsets);

    mesh_list list;
    build_mesh_list(list, lv);
    ASSERT_EQ(list.count(), 2u);
    EXPECT_EQ(mesh_byte_size(list.meshes[0], game_tr1), 68u);
    EXPECT_EQ(list.meshes[1].offset, 68u);
    const tmesh& m = list.meshes[0];
    EXPECT_EQ(m.centre, (mesh_vec3{1, 2, 3}));
    EXPECT_EQ(m.radius, 0x12345);
    EXPECT_EQ(m.num_vertices, 3);
    EXPECT_EQ(m.num_normals, 3);
    EXPECT_EQ(m.num_tex_rects, 1);
    EXPECT_EQ(rect_texture(m.tex_rects[0]), 5);
    EXPECT_EQ(face_word(m.tex_rects[0], 5), 0) << "TR1 reads 10 bytes into the 12-byte slot";
    EXPECT_EQ(m.num_tex_tris, 0);
    EXPECT_EQ(m.num_col_rects, 0);
    EXPECT_EQ(m.num_col_tris, 0);
    EXPECT_EQ(list.mesh_index, (std::vector<std::int32_t>{0, 1}));

    const auto before = lv.mesh_words;
    rebuild_mesh_words(list, lv);
    EXPECT_EQ(lv.mesh_words, before);
    EXPECT_EQ(lv.mesh_pointers, offsets);
}

TEST(MeshList, Tr1MeshOf74BytesIsFollowedByAFiller) {
    std::vector<std::uint32_t> offsets;
    tr_level lv = level_with_meshes(game_tr1, {example_mesh(4), example_mesh(3)}, &offsets);
    ASSERT_EQ(offsets, (std::vector<std::uint32_t>{0, 76}));
    set_pointers(lv, offsets);
    mesh_list list;
    build_mesh_list(list, lv);
    ASSERT_EQ(list.count(), 2u);
    EXPECT_EQ(list.meshes[1].offset, 76u);
    EXPECT_EQ(mesh_byte_size(list.meshes[0], game_tr1), 76u);

    // Rebuilding writes the filler the list read (zero here), not what the words hold now.
    lv.mesh_words[74 / 2] = 0xBEEF;
    rebuild_mesh_words(list, lv);
    EXPECT_EQ(lv.num_mesh_words, (76u + 68u) / 2);
    EXPECT_EQ(lv.mesh_words[74 / 2], 0);
    EXPECT_EQ(lv.mesh_pointers, (std::vector<std::uint32_t>{0, 76}));
}

// Some files hold non-zero bytes in the filler after a mesh: kept while the mesh keeps its size.
TEST(MeshList, FillersAreKeptWhileTheMeshKeepsItsSize) {
    struct edit_case {
        const char* what;
        void (*edit)(tmesh&);
        std::uint16_t first_filler; // expected after the rebuild
    };
    const edit_case cases[] = {
        {"no edit", [](tmesh&) {}, 0xC19C},
        {"texture changed", [](tmesh& m) { set_face_word(m.tex_rects[0], 4, 9); }, 0xC19C},
        {"two vertices added", [](tmesh& m) { m.set_num_vertices(std::int16_t(m.num_vertices + 2)); }, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::uint32_t> offsets;
        // Two 74-byte meshes: each followed by a filler, the second at the very end of the data.
        tr_level lv = level_with_meshes(game_tr2, {example_mesh(4), example_mesh(4)}, &offsets);
        set_pointers(lv, offsets);
        lv.mesh_words[74 / 2] = 0xC19C;
        lv.mesh_words[(76 + 74) / 2] = 0x1234;
        mesh_list list;
        build_mesh_list(list, lv);
        const auto read = lv.mesh_words;
        c.edit(list.meshes[0]);
        rebuild_mesh_words(list, lv);
        const std::size_t first_filler = mesh_byte_size(list.meshes[0], game_tr2) / 2 - 1;
        EXPECT_EQ(lv.mesh_words[first_filler], c.first_filler);
        EXPECT_EQ(lv.mesh_words.back(), 0x1234);
        if (std::string(c.what) == "no edit") {
            EXPECT_EQ(lv.mesh_words, read);
        }
    }
}

TEST(MeshList, DataEndingWithoutTheLastFillerIsWrittenBackWithoutIt) {
    tr_level lv = level_with_meshes(game_tr1, {example_mesh(3), example_mesh(4)});
    lv.mesh_words.pop_back(); // the second mesh's filler
    lv.set_num_mesh_words(std::uint32_t(lv.mesh_words.size()));
    const auto read = lv.mesh_words;
    mesh_list list;
    build_mesh_list(list, lv);
    ASSERT_EQ(list.count(), 2u);
    rebuild_mesh_words(list, lv);
    EXPECT_EQ(lv.mesh_words, read);
    list.meshes[1].set_num_vertices(5); // 80 bytes: no filler needed
    rebuild_mesh_words(list, lv);
    EXPECT_EQ(lv.num_mesh_words, (68u + 80u) / 2);
}

TEST(MeshList, Tr4FacesAre12And10BytesWithNoColouredLists) {
    tl::mesh_desc m;
    m.vertices = {{0, 0, 0}, {100, 0, 0}, {0, 100, 0}, {0, 0, 100}};
    m.lights = {1, 2, 3, 4};
    m.tex_rects = {tl::room_face({0, 1, 2, 3}, 7, true, 0x22)};
    m.tex_tris = {tl::room_face({0, 1, 2}, 8, true, 0x33), tl::room_face({1, 2, 3}, 9, true, 0x44)};
    std::vector<std::uint32_t> offsets;
    tr_level lv = level_with_meshes(game_tr4, {m, m}, &offsets);
    set_pointers(lv, {offsets[1], offsets[0]});
    mesh_list list;
    build_mesh_list(list, lv);
    ASSERT_EQ(list.count(), 2u);
    const tmesh& t = list.meshes[0];
    EXPECT_EQ(t.num_normals, -4);
    EXPECT_TRUE(t.normals.empty());
    EXPECT_EQ(t.lights, (std::vector<std::int16_t>{1, 2, 3, 4}));
    EXPECT_EQ(face_word(t.tex_rects[0], 5), 0x22);
    EXPECT_EQ(face_word(t.tex_tris[1], 4), 0x44);
    // 10 + 2 + 24 + 2 + 8 + 2 + 12 + 2 + 20 = 82, not a multiple of 4: 84.
    EXPECT_EQ(mesh_byte_size(t, game_tr4), 84u);
    EXPECT_EQ(list.meshes[1].offset, 84u);
    EXPECT_EQ(list.mesh_index, (std::vector<std::int32_t>{1, 0}));
    const auto before = lv.mesh_words;
    rebuild_mesh_words(list, lv);
    EXPECT_EQ(lv.mesh_words, before);
}

TEST(MeshList, VertexLightsWithMinusTwentyNormals) {
    tl::mesh_desc m;
    for (int i = 0; i < 20; ++i) {
        m.vertices.push_back({std::int16_t(i), 0, 0});
        m.lights.push_back(std::int16_t(100 * i));
    }
    tr_level lv = level_with_meshes(game_tr2, {m});
    mesh_list list;
    build_mesh_list(list, lv);
    ASSERT_EQ(list.count(), 1u);
    EXPECT_EQ(list.meshes[0].num_normals, -20);
    EXPECT_EQ(list.meshes[0].lights.size(), 20u);
    EXPECT_EQ(list.meshes[0].lights[19], 1900);
}

TEST(MeshList, SharedPointersKeepTheirMeshAfterASizeChange) {
    std::vector<std::uint32_t> offsets;
    tr_level lv = level_with_meshes(game_tr2, {example_mesh(3), example_mesh(3), example_mesh(4)}, &offsets);
    set_pointers(lv, {offsets[1], offsets[2], offsets[1], offsets[0]});
    mesh_list list;
    build_mesh_list(list, lv);
    ASSERT_EQ(list.mesh_index, (std::vector<std::int32_t>{1, 2, 1, 0}));

    // Mesh 0 grows by one vertex: 74 bytes plus a filler.
    tmesh& m0 = list.meshes[0];
    m0.set_num_vertices(4);
    m0.vertices[3] = {5, 5, 5};
    rebuild_mesh_words(list, lv);
    EXPECT_EQ(list.meshes[1].offset, 76u);
    EXPECT_EQ(list.meshes[2].offset, 76u + 68u);
    EXPECT_EQ(lv.mesh_pointers, (std::vector<std::uint32_t>{76, 144, 76, 0}));
    EXPECT_EQ(lv.num_mesh_pointers, 4u);

    // The rebuilt data parses back to the same meshes.
    mesh_list again;
    build_mesh_list(again, lv);
    ASSERT_EQ(again.count(), 3u);
    EXPECT_EQ(again.meshes[0].vertices, list.meshes[0].vertices);
    EXPECT_EQ(again.mesh_index, list.mesh_index);
}

TEST(MeshList, EmptyMeshDataGivesAnEmptyList) {
    tr_level lv;
    lv.game_version = game_tr3;
    set_pointers(lv, {0, 16, 32});
    mesh_list list;
    list.meshes.resize(3); // an old list is replaced
    build_mesh_list(list, lv);
    EXPECT_EQ(list.count(), 0u);
    EXPECT_EQ(list.mesh_index, (std::vector<std::int32_t>{0, 0, 0}));
    EXPECT_EQ(find_mesh_by_offset(list, 0), 0);
    rebuild_mesh_words(list, lv);
    EXPECT_EQ(lv.num_mesh_words, 0u);
    EXPECT_EQ(lv.num_mesh_pointers, 3u);
    EXPECT_EQ(lv.mesh_pointers, (std::vector<std::uint32_t>{0, 0, 0}));
}

TEST(MeshList, PointerToNoMeshStartMapsToMeshZero) {
    std::vector<std::uint32_t> offsets;
    tr_level lv = level_with_meshes(game_tr1, {example_mesh(3), example_mesh(3)}, &offsets);
    set_pointers(lv, {68, 4, 1000});
    mesh_list list;
    build_mesh_list(list, lv);
    EXPECT_EQ(list.mesh_index, (std::vector<std::int32_t>{1, 0, 0}));
    EXPECT_EQ(find_mesh_by_offset(list, 68), 1);
    EXPECT_EQ(find_mesh_by_offset(list, 4), 0);
}

TEST(MeshList, TruncatedMeshIsRefusedWithoutReadingPastTheData) {
    std::vector<std::uint32_t> offsets;
    tr_level lv = level_with_meshes(game_tr1, {example_mesh(3), example_mesh(3)}, &offsets);
    // Cut the second mesh inside its vertices; keep the words beyond the count unreadable.
    lv.set_num_mesh_words(34 + 8);
    auto words = to_words(tl::mesh_bytes(game_tr1, {example_mesh(3), example_mesh(3)}));
    std::copy_n(words.begin(), 42, lv.mesh_words.begin());
    mesh_list list;
    list.meshes.resize(1);
    list.meshes[0].radius = 99;
    try {
        build_mesh_list(list, lv);
        FAIL() << "a truncated mesh was accepted";
    } catch (const level_error& e) {
        const std::string msg = e.what();
        EXPECT_NE(msg.find("Mesh 1"), std::string::npos) << msg;
        EXPECT_NE(msg.find("truncated"), std::string::npos) << msg;
    }
    ASSERT_EQ(list.count(), 1u) << "the list is left as it was";
    EXPECT_EQ(list.meshes[0].radius, 99);

    // Every possible cut of a mesh is refused or parsed, never read past.
    for (std::uint32_t n = 1; n < 34; ++n) {
        tr_level cut = lv;
        cut.set_num_mesh_words(n);
        std::copy_n(words.begin(), n, cut.mesh_words.begin());
        mesh_list l;
        EXPECT_THROW(build_mesh_list(l, cut), level_error) << n;
    }
}

TEST(MeshList, MeshCountBeyondWordCountIsIgnored) {
    // num_mesh_words decides the end even when the array holds more.
    tr_level lv = level_with_meshes(game_tr1, {example_mesh(3), example_mesh(3)});
    lv.num_mesh_words = 34;
    mesh_list list;
    build_mesh_list(list, lv);
    EXPECT_EQ(list.count(), 1u);
}

TEST(MeshList, FaceListAboveTheSelectionBandIsRefusedNamingTheMesh) {
    tl::mesh_desc big;
    big.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    for (int i = 0; i < mesh_face_list_limit + 1; ++i)
        big.tex_tris.push_back(tl::room_face({0, 1, 2}, 1));
    tr_level lv = level_with_meshes(game_tr3, {example_mesh(3), big});
    mesh_list list;
    try {
        build_mesh_list(list, lv);
        FAIL() << "a list of 1001 triangles was accepted";
    } catch (const level_error& e) {
        const std::string msg = e.what();
        EXPECT_NE(msg.find("Mesh 1"), std::string::npos) << msg;
        EXPECT_NE(msg.find("1001 textured triangles"), std::string::npos) << msg;
    }

    // Exactly 1000 is held, though above the model's capacity of 301.
    big.tex_tris.pop_back();
    lv = level_with_meshes(game_tr3, {example_mesh(3), big});
    build_mesh_list(list, lv);
    EXPECT_EQ(list.meshes[1].num_tex_tris, 1000);
}

TEST(MeshList, NegativeFaceCountIsRefused) {
    tr_level lv = level_with_meshes(game_tr1, {example_mesh(3)});
    // textured rectangle count sits after centre (3), radius (2), vertices (1 + 9), normals (1 + 9)
    lv.mesh_words[3 + 2 + 10 + 10] = 0xFFFF;
    mesh_list list;
    EXPECT_THROW(build_mesh_list(list, lv), level_error);
}

TEST(MeshList, RebuildRefusesAMeshItCannotWriteAndLeavesTheLevelAsItWas) {
    std::vector<std::uint32_t> offsets;
    tr_level lv = level_with_meshes(game_tr1, {example_mesh(3), example_mesh(4)}, &offsets);
    set_pointers(lv, offsets);
    mesh_list list;
    build_mesh_list(list, lv);
    const auto snapshot = tl::level_snapshot(lv);

    list.meshes[1].num_tex_rects = 5; // the array holds one
    EXPECT_THROW(rebuild_mesh_words(list, lv), level_error);
    EXPECT_EQ(tl::level_snapshot(lv), snapshot);
    EXPECT_EQ(list.meshes[1].offset, 68u);

    list.meshes[1].set_num_tex_rects(std::int16_t(mesh_face_list_limit + 1));
    try {
        rebuild_mesh_words(list, lv);
        FAIL();
    } catch (const level_error& e) {
        EXPECT_NE(std::string(e.what()).find("Mesh 1"), std::string::npos) << e.what();
    }
    EXPECT_EQ(tl::level_snapshot(lv), snapshot);
}

TEST(MeshList, BoundsCoverOnlyTheVerticesFacesUseAndAreScaledToViewUnits) {
    mesh_list list;
    list.meshes.resize(1);
    tmesh& m = list.meshes[0];
    m.set_num_vertices(5);
    m.vertices = {{0, 0, 0}, {200, 0, 0}, {200, -100, 300}, {0, -100, 300}, {30000, 30000, 30000}};
    m.set_num_tex_rects(1);
    m.tex_rects[0] = rect(0, 1, 2, 3, 0);
    measure_bounds(list, 0);
    EXPECT_EQ(m.bounds_min, (std::array<double, 3>{0, 0, -3}));
    EXPECT_EQ(m.bounds_max, (std::array<double, 3>{2, 1, 0}));
    EXPECT_EQ(m.bounds_shift, (std::array<double, 3>{-1, -0.5, 1.5}));
}

TEST(MeshList, BoundsUseSinglePrecisionDivision) {
    mesh_list list;
    list.meshes.resize(1);
    tmesh& m = list.meshes[0];
    m.set_num_vertices(3);
    m.vertices = {{1, 3, 7}, {1, 3, 7}, {1, 3, 7}};
    m.set_num_col_tris(1);
    set_face_word(m.col_tris[0], 0, 0);
    set_face_word(m.col_tris[0], 1, 1);
    set_face_word(m.col_tris[0], 2, 2);
    measure_bounds(list, 0);
    EXPECT_EQ(m.bounds_min[0], double(1.0f / 100.0f));
    EXPECT_EQ(m.bounds_min[1], double(-(3.0f / 100.0f)));
    EXPECT_EQ(m.bounds_max[2], double(-(7.0f / 100.0f)));
    EXPECT_NE(m.bounds_min[0], 0.01);
}

TEST(MeshList, MeshWithoutFacesKeepsItsStartBounds) {
    mesh_list list;
    list.meshes.resize(1);
    list.meshes[0].set_num_vertices(2);
    list.meshes[0].vertices = {{5, 5, 5}, {9, 9, 9}};
    measure_bounds(list, 0);
    const tmesh& m = list.meshes[0];
    for (int a = 0; a < 3; ++a) {
        EXPECT_EQ(m.bounds_min[a], 2144883647.0);
        EXPECT_EQ(m.bounds_max[a], -2144883648.0);
        EXPECT_EQ(m.bounds_shift[a], 0.5);
    }
}

TEST(MeshList, MeasureIgnoresBadMeshNumbersAndCornersOutsideTheMesh) {
    mesh_list list;
    measure_bounds(list, -1);
    measure_bounds(list, 0);
    list.meshes.resize(1);
    tmesh& m = list.meshes[0];
    m.set_num_vertices(1);
    m.vertices[0] = {100, 100, 100};
    m.set_num_tex_rects(1);
    m.tex_rects[0] = rect(0, 0, 7, 65535, 0);
    measure_bounds(list, -3);
    EXPECT_EQ(m.bounds_min[0], 2144883647.0);
    measure_bounds(list, 0);
    EXPECT_EQ(m.bounds_min, (std::array<double, 3>{1, -1, -1}));
    EXPECT_EQ(m.bounds_max, (std::array<double, 3>{1, -1, -1}));
}

TEST(MeshList, BuildMeasuresEveryMesh) {
    tl::mesh_desc m;
    m.vertices = {{0, 0, 0}, {200, 0, 0}, {200, -100, 300}, {0, -100, 300}};
    m.col_rects = {tl::room_face({0, 1, 2, 3}, 0)};
    tr_level lv = level_with_meshes(game_tr1, {m});
    mesh_list list;
    build_mesh_list(list, lv);
    ASSERT_EQ(list.count(), 1u);
    EXPECT_EQ(list.meshes[0].bounds_shift, (std::array<double, 3>{-1, -0.5, 1.5}));
}

TEST(MeshList, ViewSettingsStartAsTheViewExpects) {
    mesh_list list;
    EXPECT_EQ(list.render_mode, 2);
    EXPECT_EQ(list.solid_texture, 3999);
    EXPECT_EQ(list.lights_enabled, 0);
}

TEST(MeshList, FindByOffsetAgreesWithALinearSearchOnTheSharedLevels) {
    SKIP_WITHOUT_REAL_LEVELS("test1.phd", "test1.tr2", "test1_tr3.tr2", "test1.tr4", "test1.trc");
    for (const char* name : {"test1.phd", "test1.tr2", "test1_tr3.tr2", "test1.tr4", "test1.trc"}) {
        tr_level lv;
        std::string error;
        ASSERT_EQ(read_level(lv, shared_level(name), &error), read_ok) << name << ": " << error;
        mesh_list list;
        build_mesh_list(list, lv);
        ASSERT_GT(list.count(), 0u) << name;
        auto linear = [&](std::uint32_t offset) {
            for (std::size_t i = 0; i < list.meshes.size(); ++i)
                if (list.meshes[i].offset == offset) return std::int32_t(i);
            return std::int32_t(0);
        };
        for (std::size_t j = 0; j < lv.num_mesh_pointers; ++j)
            ASSERT_EQ(list.mesh_index[j], linear(lv.mesh_pointers[j])) << name << " pointer " << j;
        std::mt19937 rng(7);
        for (int k = 0; k < 2000; ++k) {
            const std::uint32_t o = rng() % (lv.num_mesh_words * 2 + 8);
            ASSERT_EQ(find_mesh_by_offset(list, o), linear(o)) << name << " offset " << o;
        }
    }
}

TEST(MeshList, RebuildOfTheSharedLevelsGivesTheSameMeshData) {
    SKIP_WITHOUT_REAL_LEVELS("test1.phd", "test1.tr2", "test1_tr3.tr2", "test1.tr4", "test1.trc");
    for (const char* name : {"test1.phd", "test1.tr2", "test1_tr3.tr2", "test1.tr4", "test1.trc"}) {
        tr_level lv;
        ASSERT_EQ(read_level(lv, shared_level(name)), read_ok) << name;
        const auto words = lv.mesh_words;
        const auto pointers = lv.mesh_pointers;
        mesh_list list;
        build_mesh_list(list, lv);
        rebuild_mesh_words(list, lv);
        EXPECT_EQ(lv.mesh_words, words) << name;
        EXPECT_EQ(lv.mesh_pointers, pointers) << name;
    }
}
