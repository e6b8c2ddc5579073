// DXF export and import of one mesh: the written dialect, the import's reading rules, its
// refusals, and the round trip of every mesh of the shared test levels.
#include "dxf_export.h"
#include "dxf_import.h"
#include "level_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

tmesh mesh_with(std::vector<mesh_vec3> vertices, std::vector<std::array<std::uint16_t, 5>> rects,
                std::vector<std::array<std::uint16_t, 4>> tris) {
    tmesh m;
    m.set_num_vertices(std::int16_t(vertices.size()));
    m.vertices = std::move(vertices);
    m.set_num_normals(m.num_vertices);
    m.set_num_tex_rects(std::int16_t(rects.size()));
    for (std::size_t i = 0; i < rects.size(); ++i)
        for (int k = 0; k < 5; ++k)
            set_face_word(m.tex_rects[i], k, rects[i][std::size_t(k)]);
    m.set_num_tex_tris(std::int16_t(tris.size()));
    for (std::size_t i = 0; i < tris.size(); ++i)
        for (int k = 0; k < 4; ++k)
            set_face_word(m.tex_tris[i], k, tris[i][std::size_t(k)]);
    return m;
}

std::vector<std::string> crlf_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start) + "<no CR LF>");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// A DXF text of one 3DFACE on `layer` with the given twelve coordinate values (X, Y, Z per corner).
std::string one_face(const std::string& layer, const std::array<std::string, 12>& v) {
    std::string s = "0\nSECTION\n2\nENTITIES\n0\n3DFACE\n8\n" + layer + "\n";
    for (int k = 0; k < 4; ++k)
        for (int axis = 0; axis < 3; ++axis)
            s += std::to_string(10 * (axis + 1) + k) + "\n" + v[std::size_t(3 * k + axis)] + "\n";
    return s + "0\nENDSEC\n0\nEOF\n";
}

TEST(DxfExport, WritesTheHeaderLayerTableFacesAndFooterOfTheDialect) {
    // Texture 12 is used first, 7 second: the table still lists 7 (colour 0) before 12 (colour 1).
    const tmesh m = mesh_with({{0, 0, 0}, {200, 0, 0}, {200, -100, 300}, {-53, 7, 0}}, {{0, 1, 2, 3, 0x800C}},
                              {{0, 1, 3, 7}});
    const std::vector<std::string> expected = {
        "  0", "SECTION", "  2", "HEADER", "  0", "ENDSEC", "  0", "SECTION", "  2", "TABLES", "  0", "TABLE",
        "  2", "LAYER", "  70", "    153",
        // layers
        "  0", "LAYER", "  2", "TEXTUR_0007", " 70", "  0", " 62", "     0", "  6", "CONTINUOUS", "  0",
        "LAYER", "  2", "TEXTUR_0012", " 70", "  0", " 62", "     1", "  6", "CONTINUOUS",
        // entities
        "  0", "ENDTAB", "  0", "ENDSEC", "  0", "SECTION", "  2", "ENTITIES",
        // the rectangle: X = x / 100, Y = -z / 100, Z = -y / 100
        "  0", "3DFACE", "  8", "TEXTUR_0012", " 10", "0.000000", " 20", "0.000000", " 30", "0.000000", " 11",
        "2.000000", " 21", "0.000000", " 31", "0.000000", " 12", "2.000000", " 22", "-3.000000", " 32",
        "1.000000", " 13", "-0.530000", " 23", "0.000000", " 33", "-0.070000",
        // the triangle repeats its third corner
        "  0", "3DFACE", "  8", "TEXTUR_0007", " 10", "0.000000", " 20", "0.000000", " 30", "0.000000", " 11",
        "2.000000", " 21", "0.000000", " 31", "0.000000", " 12", "-0.530000", " 22", "0.000000", " 32",
        "-0.070000", " 13", "-0.530000", " 23", "0.000000", " 33", "-0.070000",
        // footer
        " 0", "ENDSEC", " 0", "EOF"};
    EXPECT_EQ(crlf_lines(dxf_text(m)), expected);
}

TEST(DxfExport, ColouredFacesAreNotWritten) {
    tmesh m = mesh_with({{0, 0, 0}, {100, 0, 0}, {0, 100, 0}}, {}, {{0, 1, 2, 5}});
    m.set_num_col_tris(1);
    const std::string text = dxf_text(m);
    std::size_t faces = 0;
    for (std::size_t at = text.find("3DFACE"); at != std::string::npos; at = text.find("3DFACE", at + 1))
        ++faces;
    EXPECT_EQ(faces, 1u);
}

TEST(DxfImport, ReadsCoordinatesAsTruncatedProductsInLevelAxes) {
    struct case_t {
        std::string value;
        std::int16_t x;
    };
    // Truncation toward zero of the decimal as written, though 0.53 and 0.59 are held just below it.
    const case_t cases[] = {{"0.530000", 53},  {"-0.590000", -59}, {"-0.009", 0}, {"1.239999", 123},
                            {"2.000000", 200}, {"-3.5", -350},     {" 1.5 ", 150}};
    for (const case_t& c : cases) {
        const dxf_faces f = parse_dxf(
            one_face("TEXTUR_0001", {c.value, "0", "0", "0", "0", "0", "0", "0", "0", "1", "0", "0"}));
        ASSERT_TRUE(f.error.empty()) << c.value << ": " << f.error;
        ASSERT_EQ(f.rects.size(), 1u) << c.value;
        EXPECT_EQ(f.rects[0].corners[0][0], c.x) << c.value;
    }
    // DXF Y holds -z / 100 and DXF Z holds -y / 100.
    const dxf_faces f = parse_dxf(
        one_face("TEXTUR_0001", {"0", "1.5", "-2.25", "0", "0", "0", "0", "0", "0", "1", "0", "0"}));
    ASSERT_EQ(f.rects.size(), 1u);
    EXPECT_EQ(f.rects[0].corners[0], (mesh_vec3{0, 225, -150}));
}

TEST(DxfImport, LayerNamesGiveTheTextureOrZero) {
    const std::pair<std::string, std::uint16_t> cases[] = {
        {"TEXTUR_0003", 3}, {"TEXTUR_0012", 12}, {"XXXXXXX0042", 42}, {"LAYER1", 0},
        {"0", 0},           {"TEXTUR_12ab", 0},  {"TEXTUR_", 0},      {"TEXTUR_7", 7}};
    for (const auto& [layer, texture] : cases)
        EXPECT_EQ(dxf_layer_texture(layer), texture) << layer;
}

TEST(DxfImport, ATriangleComesBackAsATriangleAndARectangleAsARectangle) {
    const tmesh m = mesh_with({{0, 0, 0}, {200, 0, 0}, {200, -100, 300}, {0, -100, 300}}, {{0, 1, 2, 3, 4}},
                              {{0, 1, 2, 9}});
    const dxf_mesh back = mesh_from_dxf(parse_dxf(dxf_text(m)), m, false);
    ASSERT_TRUE(back.error.empty()) << back.error;
    EXPECT_EQ(back.mesh.num_tex_rects, 1);
    EXPECT_EQ(back.mesh.num_tex_tris, 1);
    EXPECT_EQ(tri_texture(back.mesh.tex_tris[0]), 9);
    EXPECT_EQ(back.mesh.num_vertices, 4);
}

TEST(DxfImport, NewVerticesGetZeroLightsInAStaticMeshAndBlendedNormalsInAMoveableMesh) {
    // A square in the horizontal plane, then a triangle in the x-y plane sharing vertex 0, read
    // into an empty mesh so that every vertex is new.
    const tmesh m = mesh_with({{0, 0, 0}, {100, 0, 0}, {100, 0, 100}, {0, 0, 100}, {0, 100, 0}},
                              {{0, 1, 2, 3, 1}}, {{0, 1, 4, 2}});
    const std::string text = dxf_text(m);
    const tmesh empty = mesh_with({}, {}, {});

    const dxf_mesh as_static = mesh_from_dxf(parse_dxf(text), empty, true);
    ASSERT_TRUE(as_static.error.empty()) << as_static.error;
    EXPECT_EQ(as_static.mesh.num_normals, -5);
    EXPECT_EQ(as_static.mesh.lights, std::vector<std::int16_t>(5, 0));

    const dxf_mesh moving = mesh_from_dxf(parse_dxf(text), empty, false);
    ASSERT_TRUE(moving.error.empty()) << moving.error;
    ASSERT_EQ(moving.mesh.num_normals, 5);
    // Square: (0, 16300, 0) on its corners. Triangle: (0, 0, -16300); on vertices 0 and 1 a non-zero
    // component is halved with the new one, a zero one is replaced.
    EXPECT_EQ(moving.mesh.normals[0], (mesh_vec3{0, 8150, -16300}));
    EXPECT_EQ(moving.mesh.normals[1], (mesh_vec3{0, 8150, -16300}));
    EXPECT_EQ(moving.mesh.normals[2], (mesh_vec3{0, 16300, 0}));
    EXPECT_EQ(moving.mesh.normals[4], (mesh_vec3{0, 0, -16300}));
    // Bounds are measured on the new geometry.
    EXPECT_DOUBLE_EQ(moving.mesh.bounds_max[0], 1.0);
    EXPECT_DOUBLE_EQ(moving.mesh.bounds_min[2], -1.0);
}

TEST(DxfImport, RefusesFilesBeyondTheMeshCapacities) {
    struct case_t {
        const char* what;
        int rects, tris; // faces, each with its own three or four new positions
        const char* message;
    };
    const case_t cases[] = {{"502 rectangles", 502, 0, "502 textured rectangles"},
                            {"302 triangles", 0, 302, "302 textured triangles"},
                            {"502 vertices", 120, 8, "need 505 vertices"}};
    for (const case_t& c : cases) {
        std::string text = "0\nSECTION\n2\nENTITIES\n";
        int next = 0;
        auto face = [&](int corners) {
            text += "0\n3DFACE\n8\nTEXTUR_0001\n";
            for (int k = 0; k < 4; ++k) {
                const int n = k < corners ? next++ : next - 1;
                text += std::to_string(10 + k) + "\n" + std::to_string(n % 300) + ".0\n" +
                        std::to_string(20 + k) + "\n" + std::to_string(n / 300) + ".0\n" +
                        std::to_string(30 + k) + "\n0\n";
            }
        };
        for (int i = 0; i < c.rects; ++i)
            face(4);
        for (int i = 0; i < c.tris; ++i)
            face(3);
        text += "0\nENDSEC\n0\nEOF\n";
        const tmesh current = mesh_with({{1, 2, 3}}, {}, {});
        const dxf_mesh out = mesh_from_dxf(parse_dxf(text), current, false);
        EXPECT_NE(out.error.english.find(c.message), std::string::npos) << c.what << ": " << out.error;
        EXPECT_NE(out.error.english.find("unchanged"), std::string::npos) << c.what;
    }
}

TEST(DxfImport, MalformedLinesAreRefusedWithTheLineNumber) {
    const std::pair<std::string, std::string> cases[] = {
        {"0\nSECTION\nx2\nENTITIES\n", "Line 3 of the DXF file: \"x2\" is not a group code."},
        {"0\nSECTION\n2\nENTITIES\n0\n3DFACE\n10\n1,5\n", "Line 8 of the DXF file: \"1,5\" is not a number."},
        {"0\nSECTION\n2\nENTITIES\n0\n3DFACE\n10\nnan\n", "Line 8 of the DXF file: \"nan\" is not a number."},
        {"0\nSECTION\n2\nENTITIES\n0\n3DFACE\n8\nA\n1 0\n0\n",
         "Line 9 of the DXF file: \"1 0\" is not a group code."},
        {"0\nSECTION\n2\nENTITIES\n0\n3DFACE\n20\n400\n", "Line 8 of the DXF file: \"400\" lies outside"}};
    for (const auto& [text, message] : cases) {
        const dxf_faces f = parse_dxf(text);
        EXPECT_EQ(f.error.english.substr(0, message.size()), message);
        EXPECT_TRUE(f.rects.empty() && f.tris.empty());
    }
}

TEST(DxfImport, AFileWithoutFacesIsRefused) {
    const tmesh current = mesh_with({{1, 2, 3}}, {}, {});
    for (const std::string text :
         {"0\nSECTION\n2\nHEADER\n0\nENDSEC\n0\nEOF\n", "0\nSECTION\n2\nENTITIES\n0\nEOF\n"}) {
        const dxf_mesh out = mesh_from_dxf(parse_dxf(text), current, false);
        EXPECT_EQ(out.error, "The DXF file holds no 3DFACE entities. The mesh is unchanged.");
    }
}

TEST(DxfImport, LayerEntriesAreSkippedUpToTheirLinetype) {
    // A layer named ENTITIES does not start the entities; a layer without a linetype ends at the next entry.
    const std::string text =
        "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLAYER\n0\nLAYER\n2\nENTITIES\n70\n0\n6\nCONTINUOUS\n"
        "0\nLAYER\n2\nX\n70\n0\n0\nENDTAB\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n"
        "0\n3DFACE\n8\nTEXTUR_0002\n10\n1\n11\n2\n12\n3\n13\n4\n0\nENDSEC\n0\nEOF\n";
    const dxf_faces f = parse_dxf(text);
    ASSERT_TRUE(f.error.empty()) << f.error;
    ASSERT_EQ(f.rects.size(), 1u);
    EXPECT_EQ(f.rects[0].texture, 2);
}

TEST(DxfImport, UnreadableEmptyBinaryOrOversizedFilesAreRefused) {
    const fs::path dir = fs::temp_directory_path() / ("vellum_dxf_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const tmesh current = mesh_with({{1, 2, 3}}, {}, {});
    auto write = [&](const char* name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return (dir / name).string();
    };
    const std::string big = (dir / "big.dxf").string();
    write("big.dxf", "");
    fs::resize_file(big, dxf_file_size_limit + 1);
    const std::pair<std::string, std::string> cases[] = {
        {(dir / "missing.dxf").string(), "Cannot read the file"},
        {dir.string(), "Cannot read the file"},
        {write("empty.dxf", ""), "is empty"},
        {write("binary.dxf", std::string("AutoCAD Binary DXF\r\n\x1a\0\0", 23)), "is a binary file"},
        {big, "is too large"}};
    for (const auto& [path, message] : cases) {
        const dxf_mesh out = read_dxf_file(path, current, false);
        EXPECT_NE(out.error.english.find(message), std::string::npos) << path << ": " << out.error;
    }
    fs::remove_all(dir);
}

// Every mesh of the shared levels that fits a mesh entry comes back with the same faces in the same
// order, the same textures (low 12 bits) and the same corner positions.
TEST(DxfRoundTrip, EveryMeshOfTheSharedLevelsKeepsFacesTexturesAndPositions) {
    const std::string dir = VELLUM_SHARED_LEVELS;
    if (!fs::is_directory(dir)) GTEST_SKIP() << "no shared levels at " << dir;
    int meshes_checked = 0, refused = 0;
    for (const char* file : {"test1.phd", "test1.tr2", "test1_tr3.tr2", "test1.tr4", "test1.trc"}) {
        tr_level level;
        std::string error;
        ASSERT_EQ(read_level(level, dir + "/" + file, &error), read_ok) << file << ": " << error;
        mesh_list list;
        build_mesh_list(list, level);
        for (std::size_t i = 0; i < list.meshes.size(); ++i) {
            const tmesh& m = list.meshes[i];
            SCOPED_TRACE(std::string(file) + " mesh " + std::to_string(i));
            const dxf_mesh back = mesh_from_dxf(parse_dxf(dxf_text(m)), m, m.num_normals < 0);
            if (m.num_tex_rects + m.num_tex_tris == 0 || m.num_tex_rects > 501 || m.num_tex_tris > 301) {
                EXPECT_FALSE(back.error.empty());
                ++refused;
                continue;
            }
            ASSERT_TRUE(back.error.empty()) << back.error;
            const tmesh& n = back.mesh;
            auto near = [](const mesh_vec3& a, const mesh_vec3& b) {
                for (int k = 0; k < 3; ++k)
                    if (a[std::size_t(k)] != b[std::size_t(k)]) return false;
                return true;
            };
            auto corner = [](const tmesh& mesh, const auto& face, int k) {
                return mesh.vertices.at(face_word(face, k));
            };
            std::size_t r = 0, t = 0;
            for (int f = 0; f < m.num_tex_rects; ++f) {
                const auto& face = m.tex_rects[std::size_t(f)];
                bool as_rect =
                    r < n.tex_rects.size() && rect_texture(n.tex_rects[r]) == (rect_texture(face) & 0xFFF);
                for (int k = 0; as_rect && k < 4; ++k)
                    as_rect = near(corner(n, n.tex_rects[r], k), corner(m, face, k));
                if (as_rect) {
                    ++r;
                    continue;
                }
                // A rectangle whose last two corners meet comes back as a triangle.
                ASSERT_LT(t, n.tex_tris.size()) << "rectangle " << f;
                EXPECT_TRUE(near(corner(m, face, 2), corner(m, face, 3))) << "rectangle " << f;
                EXPECT_EQ(tri_texture(n.tex_tris[t]), rect_texture(face) & 0xFFF) << "rectangle " << f;
                for (int k = 0; k < 3; ++k)
                    EXPECT_TRUE(near(corner(n, n.tex_tris[t], k), corner(m, face, k))) << "rectangle " << f;
                ++t;
            }
            EXPECT_EQ(r, n.tex_rects.size());
            for (int f = 0; f < m.num_tex_tris; ++f) {
                const auto& face = m.tex_tris[std::size_t(f)];
                ASSERT_LT(t, n.tex_tris.size()) << "triangle " << f;
                EXPECT_EQ(tri_texture(n.tex_tris[t]), tri_texture(face) & 0xFFF) << "triangle " << f;
                for (int k = 0; k < 3; ++k)
                    EXPECT_TRUE(near(corner(n, n.tex_tris[t], k), corner(m, face, k))) << "triangle " << f;
                ++t;
            }
            EXPECT_EQ(t, n.tex_tris.size());
            EXPECT_EQ(n.num_col_rects + n.num_col_tris, 0);
            EXPECT_EQ(std::abs(n.num_normals), n.num_vertices);
            // Without coloured faces (which DXF does not carry) and rectangles whose last corners
            // meet (which read back as triangles) the mesh comes back word for word.
            if (m.num_col_rects + m.num_col_tris == 0 && n.num_tex_rects == m.num_tex_rects) {
                EXPECT_EQ(n.vertices, m.vertices);
                EXPECT_EQ(n.normals, m.normals);
                EXPECT_EQ(n.lights, m.lights);
                EXPECT_EQ(n.tex_rects, m.tex_rects);
                EXPECT_EQ(n.tex_tris, m.tex_tris);
            }
            ++meshes_checked;
        }
    }
    EXPECT_GT(meshes_checked, 100);
    std::printf("%d meshes round-tripped, %d refused (no textured faces or over capacity)\n", meshes_checked,
                refused);
}

} // namespace
