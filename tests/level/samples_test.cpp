// Tests of the sample-level maker: every sample writes and reads back with its version and counts,
// and its meshes, mesh trees, frames, object textures, animated ranges and pages hold together.
#include <gtest/gtest.h>

#if __has_include("sample_levels.h")

#include "level_reader.h"
#include "level_writer.h"
#include "mesh_list.h"
#include "sample_levels.h"
#include "sample_mesh.h"
#include "sample_parts.h"
#include "sample_pictures.h"
#include "sample_pixels.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

namespace {

tr_level read_back(tr_level& level) {
    const std::string name = sample_file_name(level.game_version);
    std::vector<std::uint8_t> bytes = write_level_memory(level, name);
    tr_level back;
    std::string error;
    const auto result = read_level_memory(back, std::move(bytes), name, &error);
    EXPECT_EQ(result, read_ok) << name << ": " << error;
    return back;
}

// One mesh as found by walking the mesh words, independently of the project's mesh list.
struct walked_mesh {
    std::uint32_t offset = 0;
    int num_vertices = 0, num_normals = 0;
    std::vector<std::vector<int>> tex_faces; // vertex indices then the texture word, then effects (TR4/TRC)
    int col_faces = 0;
};

// Walks the mesh words mesh after mesh; fails the test when a mesh runs past the end or names a
// vertex it does not have.
std::vector<walked_mesh> walk_meshes(const tr_level& level) {
    std::vector<walked_mesh> meshes;
    const auto& w = level.mesh_words;
    const bool tr4 = level.game_version >= game_tr4;
    std::size_t at = 0;
    auto next = [&]() -> int {
        if (at >= w.size()) throw std::out_of_range("mesh runs past the end of the mesh words");
        return std::int16_t(w[at++]);
    };
    while (at < w.size()) {
        walked_mesh m;
        m.offset = std::uint32_t(at * 2);
        const std::size_t start = at;
        for (int i = 0; i < 5; ++i)
            next(); // centre, radius
        m.num_vertices = next();
        EXPECT_GT(m.num_vertices, 0);
        for (int i = 0; i < 3 * m.num_vertices; ++i)
            next();
        m.num_normals = next();
        const int normal_words = m.num_normals > 0 ? 3 * m.num_normals : -m.num_normals;
        if (m.num_normals != 0) {
            EXPECT_EQ(std::abs(m.num_normals), m.num_vertices);
        }
        for (int i = 0; i < normal_words; ++i)
            next();
        auto faces = [&](int corners, bool textured) {
            const int count = next();
            EXPECT_GE(count, 0);
            for (int f = 0; f < count; ++f) {
                std::vector<int> face;
                for (int k = 0; k < corners; ++k) {
                    const int v = std::uint16_t(next());
                    EXPECT_LT(v, m.num_vertices) << "mesh at " << m.offset;
                    face.push_back(v);
                }
                face.push_back(std::uint16_t(next()));
                if (textured && tr4) face.push_back(std::uint16_t(next()));
                if (textured)
                    m.tex_faces.push_back(face);
                else
                    ++m.col_faces;
            }
        };
        faces(4, true);
        faces(3, true);
        if (!tr4) {
            faces(4, false);
            faces(3, false);
        }
        if ((at - start) % 2) {
            EXPECT_EQ(w[at++], 0) << "filler of the mesh at " << m.offset;
        }
        meshes.push_back(std::move(m));
    }
    return meshes;
}

const walked_mesh* mesh_at(const std::vector<walked_mesh>& meshes, std::uint32_t offset) {
    for (const auto& m : meshes)
        if (m.offset == offset) return &m;
    return nullptr;
}

bool is_triangle(const tobject_texture& t) {
    const auto& c4 = t.corners[3];
    return (c4.x_pixel == 0 && c4.y_pixel == 0) || (c4.x_frac == 0 && c4.y_frac == 0);
}

class sample_level_test : public ::testing::TestWithParam<std::int32_t> {
  protected:
    void SetUp() override { level = make_sample_level(GetParam()); }
    tr_level level;
};

INSTANTIATE_TEST_SUITE_P(all_versions, sample_level_test, ::testing::Values(1, 2, 3, 4, 5, 6, 7),
                         [](const auto& info) { return "game" + std::to_string(info.param); });

TEST_P(sample_level_test, reads_back_with_its_version_and_counts) {
    tr_level back = read_back(level);
    EXPECT_EQ(back.game_version, GetParam());
    EXPECT_EQ(back.version_word, level.version_word);
    EXPECT_EQ(back.num_rooms, 3);
    EXPECT_EQ(back.num_pages, 4u);
    EXPECT_EQ(back.num_mesh_words, level.num_mesh_words);
    EXPECT_EQ(back.mesh_words, level.mesh_words);
    EXPECT_EQ(back.mesh_pointers, level.mesh_pointers);
    EXPECT_EQ(back.num_moveables, 4u);
    EXPECT_EQ(back.moveables, level.moveables);
    EXPECT_EQ(back.mesh_trees, level.mesh_trees);
    EXPECT_EQ(back.frames, level.frames);
    EXPECT_EQ(back.num_static_meshes, 5u);
    EXPECT_EQ(back.static_meshes, level.static_meshes);
    EXPECT_EQ(back.object_textures, level.object_textures);
    EXPECT_EQ(back.animated_textures, level.animated_textures);
    EXPECT_EQ(back.entities, level.entities);
    EXPECT_EQ(back.entities22, level.entities22);
    EXPECT_EQ(back.sound_map, level.sound_map);
    EXPECT_EQ(back.samples, level.samples);
    EXPECT_EQ(back.num_boxes, 3u);
    EXPECT_EQ(back.num_zones, 3u);
    if (GetParam() < game_tr4) {
        EXPECT_EQ(back.pages8, level.pages8);
        EXPECT_EQ(back.palette8, level.palette8);
        EXPECT_EQ(back.animations, level.animations);
    } else {
        EXPECT_EQ(back.pages32, level.pages32);
        EXPECT_EQ(back.pages32_misc, level.pages32_misc);
        EXPECT_EQ(back.animations40, level.animations40);
        EXPECT_EQ(std::string(back.tex_marker.begin(), back.tex_marker.begin() + 3), "TEX");
        EXPECT_EQ(std::string(back.spr_marker.begin(), back.spr_marker.begin() + 3), "SPR");
    }
    if (GetParam() >= game_tr2) {
        EXPECT_EQ(back.pages16, level.pages16);
    }
    if (GetParam() == game_trc) {
        EXPECT_EQ(back.moveables20, level.moveables20);
    }
    for (std::size_t r = 0; r < 3; ++r) {
        const troom& a = level.rooms[r];
        const troom& b = back.rooms[r];
        EXPECT_EQ(b.num_vertices, a.num_vertices) << "room " << r;
        EXPECT_EQ(b.num_rectangles, a.num_rectangles) << "room " << r;
        EXPECT_EQ(b.num_triangles, a.num_triangles) << "room " << r;
        EXPECT_EQ(b.rectangles10, a.rectangles10) << "room " << r;
        EXPECT_EQ(b.triangles8, a.triangles8) << "room " << r;
        EXPECT_EQ(b.sectors, a.sectors) << "room " << r;
        EXPECT_EQ(b.num_lights, 1) << "room " << r;
        for (std::size_t v = 0; v < a.num_vertices && v < b.num_vertices; ++v)
            EXPECT_TRUE(
                std::equal(a.vertices12[v].begin(), a.vertices12[v].begin() + 6, b.vertices12[v].begin()))
                << "room " << r << " vertex " << v;
    }
}

TEST_P(sample_level_test, mesh_words_walk_cleanly_to_the_end) {
    const auto meshes = walk_meshes(level);
    ASSERT_EQ(meshes.size(), 26u); // 33 pointers, some designating the same mesh
    std::set<std::uint32_t> designated;
    for (auto p : level.mesh_pointers) {
        EXPECT_EQ(p % 4, 0u);
        EXPECT_NE(mesh_at(meshes, p), nullptr) << "pointer " << p << " is not a mesh start";
        designated.insert(p);
    }
    EXPECT_EQ(designated.size(), meshes.size()) << "every mesh is designated";
    for (const auto& m : meshes)
        for (const auto& f : m.tex_faces)
            EXPECT_LT(f[f.size() - (GetParam() >= game_tr4 ? 2 : 1)] & 0x0FFF,
                      int(level.num_object_textures));
}

// The project's mesh list reads every sample mesh and writes the same words back.
TEST_P(sample_level_test, mesh_list_parses_and_rebuilds_the_same_words) {
    mesh_list list;
    ASSERT_NO_THROW(build_mesh_list(list, level));
    EXPECT_EQ(list.count(), 26u);
    ASSERT_EQ(list.mesh_index.size(), level.mesh_pointers.size());
    EXPECT_EQ(list.mesh_index[13], list.mesh_index[14]) << "both chain links designate one mesh";
    EXPECT_EQ(list.mesh_index[11], list.mesh_index[20]) << "the crate prop and the crate share a mesh";
    for (const auto& m : list.meshes)
        EXPECT_EQ(check_mesh(m, GetParam(), 0), "");
    const auto words = level.mesh_words;
    const auto pointers = level.mesh_pointers;
    rebuild_mesh_words(list, level);
    EXPECT_EQ(level.mesh_words, words);
    EXPECT_EQ(level.mesh_pointers, pointers);
}

// Shown as a whole, a moveable is framed by a box of ±5 view units (500 level units) around its
// root; every sample moveable fits in it.
TEST_P(sample_level_test, moveables_fit_the_view_that_frames_them) {
    const auto meshes = walk_meshes(level);
    for (std::size_t i = 0; i < level.num_moveables; ++i) {
        const auto& m = level.moveables[i];
        const int n = get_u16(&m[4]), first = get_u16(&m[6]);
        const std::uint32_t tree = get_u32(&m[8]);
        vec3 p{};
        std::vector<vec3> stack;
        for (int k = 0; k < n; ++k) {
            if (k > 0) {
                const std::int32_t* node = &level.mesh_trees[tree + 4 * (k - 1)];
                if ((node[0] & 1) && !stack.empty()) {
                    p = stack.back();
                    stack.pop_back();
                }
                if (node[0] & 2) stack.push_back(p);
                p = p + vec3{node[1], node[2], node[3]};
            }
            const walked_mesh* mesh = mesh_at(meshes, level.mesh_pointers[std::size_t(first + k)]);
            ASSERT_NE(mesh, nullptr);
            for (int v = 0; v < mesh->num_vertices; ++v) {
                const std::size_t at = mesh->offset / 2 + 6 + 3 * std::size_t(v);
                for (int axis = 0; axis < 3; ++axis) {
                    const int c =
                        std::int16_t(level.mesh_words[at + std::size_t(axis)]) + (axis == 0   ? p.x
                                                                                  : axis == 1 ? p.y
                                                                                              : p.z);
                    EXPECT_LE(std::abs(c), 500) << "moveable " << i << " mesh " << k << " axis " << axis;
                }
            }
        }
    }
}

TEST_P(sample_level_test, faces_carry_colours_or_effects_by_version) {
    const auto meshes = walk_meshes(level);
    int coloured = 0, shiny = 0;
    for (const auto& m : meshes) {
        coloured += m.col_faces;
        if (GetParam() >= game_tr4)
            for (const auto& f : m.tex_faces)
                shiny += f.back() != 0;
    }
    if (GetParam() < game_tr4) {
        EXPECT_GT(coloured, 0);
    } else {
        EXPECT_GT(shiny, 0);
    }
}

TEST_P(sample_level_test, moveables_have_trees_that_push_and_pop_and_a_frame) {
    int pushes = 0, pops = 0, deepest = 0;
    for (std::size_t i = 0; i < level.num_moveables; ++i) {
        const auto& m = level.moveables[i];
        const int meshes = get_u16(&m[4]), first = get_u16(&m[6]);
        const std::uint32_t tree = get_u32(&m[8]), frame = get_u32(&m[12]);
        ASSERT_GT(meshes, 0);
        ASSERT_LE(std::size_t(first + meshes), level.mesh_pointers.size());
        ASSERT_LE(tree + 4 * std::uint32_t(meshes - 1), level.num_mesh_trees);
        int depth = 0;
        for (int k = 1; k < meshes; ++k) {
            const std::int32_t flags = level.mesh_trees[tree + 4 * (k - 1)];
            if (flags & 1) {
                EXPECT_GT(depth, 0) << "moveable " << i << " pops an empty stack at mesh " << k;
                --depth, ++pops;
            }
            if (flags & 2) ++depth, ++pushes;
            deepest = std::max(deepest, depth);
        }
        // The frame: bounding box, offset, rotations; it must lie inside the frames.
        ASSERT_EQ(frame % 2, 0u);
        ASSERT_LE(frame / 2 + 9 + 2 * std::uint32_t(meshes), level.num_frames);
        const std::int16_t* f = &level.frames[frame / 2];
        EXPECT_LT(f[0], f[1]);
        EXPECT_LT(f[2], f[3]);
        EXPECT_LT(f[4], f[5]);
    }
    EXPECT_GE(pushes, 2);
    EXPECT_GE(pops, 2);
    EXPECT_GE(deepest, 2) << "one tree nests a push inside a push";
    // The figure's root sits above the floor and the head is on top: its box reaches upwards.
    const std::int16_t* figure = &level.frames[get_u32(&level.moveables[0][12]) / 2];
    EXPECT_EQ(figure[7], -450);
    EXPECT_LT(figure[2], -800);
}

TEST_P(sample_level_test, static_meshes_carry_vertex_lights_and_boxes) {
    const auto meshes = walk_meshes(level);
    for (std::size_t i = 0; i < level.num_static_meshes; ++i) {
        const auto& s = level.static_meshes[i];
        const std::uint16_t pointer = get_u16(&s[4]);
        ASSERT_LT(pointer, level.num_mesh_pointers);
        const walked_mesh* m = mesh_at(meshes, level.mesh_pointers[pointer]);
        ASSERT_NE(m, nullptr);
        EXPECT_LT(m->num_normals, 0) << "static " << i << " has vertex lights";
        for (int axis = 0; axis < 3; ++axis) {
            const int vis_min = get_i16(&s[6 + 4 * axis]), vis_max = get_i16(&s[8 + 4 * axis]);
            const int col_min = get_i16(&s[18 + 4 * axis]), col_max = get_i16(&s[20 + 4 * axis]);
            EXPECT_LT(vis_min, vis_max);
            EXPECT_LE(col_min, col_max);
            EXPECT_LE(vis_min, col_min);
            EXPECT_GE(vis_max, col_max);
        }
    }
}

TEST_P(sample_level_test, object_textures_mix_corners_and_mirrors) {
    int three = 0, four = 0, mirrored = 0;
    for (const auto& t : level.object_textures) {
        EXPECT_LT(t.page & 0x7FFF, level.num_pages);
        const bool tri = is_triangle(t);
        (tri ? three : four)++;
        for (int k = 0; k < (tri ? 3 : 4); ++k) {
            EXPECT_TRUE(t.corners[k].x_frac == 1 || t.corners[k].x_frac == 255);
            EXPECT_TRUE(t.corners[k].y_frac == 1 || t.corners[k].y_frac == 255);
        }
        if (tri) {
            EXPECT_EQ(bool(t.page & 0x8000), GetParam() >= game_tr4);
        }
        if (!tri && t.corners[0].x_frac == 255) ++mirrored;
        if (!tri && t.corners[0].y_frac == 255) ++mirrored;
    }
    EXPECT_GE(three, 3);
    EXPECT_GE(four, 40);
    EXPECT_GE(mirrored, 3);
}

TEST_P(sample_level_test, animated_ranges_name_existing_textures) {
    const auto& w = level.animated_textures;
    ASSERT_FALSE(w.empty());
    std::size_t at = 1;
    for (int r = 0; r < w[0]; ++r) {
        ASSERT_LT(at, w.size());
        const int count = w[at++] + 1;
        EXPECT_GE(count, 2);
        for (int k = 0; k < count; ++k) {
            ASSERT_LT(at, w.size());
            EXPECT_LT(w[at++], level.num_object_textures);
        }
    }
    EXPECT_EQ(at, w.size());
    EXPECT_GE(w[0], 2);
}

TEST_P(sample_level_test, rooms_name_existing_vertices_and_textures) {
    for (const auto& room : level.rooms) {
        EXPECT_EQ(room.sectors.size(), std::size_t(room.num_x_sectors) * room.num_z_sectors);
        for (const auto& r : room.rectangles10) {
            for (int k = 0; k < 4; ++k)
                EXPECT_LT(get_u16(&r[2 * k]), room.num_vertices);
            EXPECT_LT(get_u16(&r[8]), level.num_object_textures);
        }
        for (const auto& t : room.triangles8) {
            for (int k = 0; k < 3; ++k)
                EXPECT_LT(get_u16(&t[2 * k]), room.num_vertices);
            EXPECT_LT(get_u16(&t[6]), level.num_object_textures);
        }
        if (GetParam() == game_trc) {
            ASSERT_EQ(room.layer_headers.size(), 1u);
            EXPECT_EQ(get_u32(&room.layer_headers[0][0]), room.num_vertices);
            EXPECT_EQ(get_u16(&room.layer_headers[0][6]), room.num_rectangles);
            EXPECT_EQ(get_u16(&room.layer_headers[0][8]), room.num_triangles);
            EXPECT_EQ(room.vertices28.size(), room.num_vertices);
        }
    }
}

// Pictures, not noise: most neighbouring pixels are alike, and every level has transparent pixels.
TEST_P(sample_level_test, pages_are_pictures_with_transparent_pixels) {
    std::size_t alike = 0, pairs = 0, transparent = 0;
    if (GetParam() <= game_tr1_gold) {
        for (std::size_t i = 0; i < level.pages8.size(); ++i) {
            transparent += level.pages8[i] == 0;
            if (i % 256 == 255) continue;
            ++pairs;
            const auto* a = &level.palette8[level.pages8[i] * 3];
            const auto* b = &level.palette8[level.pages8[i + 1] * 3];
            alike += std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) <= 12;
        }
        for (auto v : level.palette8)
            EXPECT_LE(v, 63);
    } else {
        ASSERT_EQ(level.pages16.size(), level.num_pages * 131072u);
        for (std::size_t i = 0; i + 1 < level.pages16.size() / 2; ++i) {
            const std::uint16_t a = get_u16(&level.pages16[2 * i]), b = get_u16(&level.pages16[2 * i + 2]);
            transparent += a == 0;
            if (i % 256 == 255) continue;
            ++pairs;
            int d = 0;
            for (int shift : {0, 5, 10})
                d += std::abs(((a >> shift) & 31) - ((b >> shift) & 31));
            alike += d <= 3;
        }
    }
    EXPECT_GT(transparent, 10000u);
    EXPECT_GT(double(alike) / double(pairs), 0.6);
}

// The 16-bit and 32-bit pages of TR4 and TRC show the same pictures; the 8-bit pages of TR2 and
// TR3 show them through the palette, close to their 16-bit colours.
class sample_pages_test : public sample_level_test {};
INSTANTIATE_TEST_SUITE_P(tr2_on, sample_pages_test, ::testing::Values(3, 4, 5, 6, 7),
                         [](const auto& info) { return "game" + std::to_string(info.param); });

TEST_P(sample_pages_test, page_formats_agree) {
    std::size_t close = 0;
    const std::size_t pixels = level.num_pages * 65536u;
    for (std::size_t i = 0; i < pixels; ++i) {
        const std::uint16_t v = get_u16(&level.pages16[2 * i]);
        const int r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
        if (GetParam() >= game_tr4) {
            const std::uint8_t* p = &level.pages32[4 * i];
            ASSERT_EQ(v == 0, p[3] == 0) << "pixel " << i;
            if (v) {
                ASSERT_EQ((p[2] >> 3) * 1024 + (p[1] >> 3) * 32 + (p[0] >> 3), v & 0x7FFF) << "pixel " << i;
            }
        } else {
            const std::uint8_t index = level.pages8[i];
            ASSERT_EQ(v == 0, index == 0) << "pixel " << i;
            if (!v) continue;
            const auto* c = &level.palette8[index * 3];
            close += std::abs(c[0] / 2 - r) + std::abs(c[1] / 2 - g) + std::abs(c[2] / 2 - b) <= 6;
        }
    }
    if (GetParam() < game_tr4) {
        EXPECT_GT(double(close) / double(pixels), 0.8);
    }
}

// ---- building blocks ----------------------------------------------------------------------------

// The normal of the side a face shows in the editor's view, where x, y, z become x, -y, -z and
// clockwise faces are front faces.
std::array<double, 3> shown_normal(vec3 a, vec3 b, vec3 c) {
    const double ax = a.x, ay = -a.y, az = -a.z;
    const double u[3] = {b.x - ax, -b.y - ay, -b.z - az}, v[3] = {c.x - ax, -c.y - ay, -c.z - az};
    return {v[1] * u[2] - v[2] * u[1], v[2] * u[0] - v[0] * u[2], v[0] * u[1] - v[1] * u[0]};
}

// Dot product of the shown normal with the view-space direction from `from` to `to`.
double facing(const std::array<double, 3>& n, vec3 from, vec3 to) {
    return n[0] * (to.x - from.x) - n[1] * (to.y - from.y) - n[2] * (to.z - from.z);
}

vec3 centre_of(const std::vector<vec3>& points) {
    vec3 sum{};
    for (auto p : points)
        sum = sum + p;
    const int n = int(points.size());
    return {sum.x / n, sum.y / n, sum.z / n};
}

TEST(sample_mesh, box_faces_show_their_outside) {
    sample_mesh m;
    const surface s{};
    m.box({-100, -300, -50}, {100, 0, 50}, {s, s, s, s, s, s});
    ASSERT_EQ(m.tex_rects.size(), 6u);
    EXPECT_EQ(m.vertices.size(), 8u);
    const vec3 middle{0, -150, 0};
    for (const auto& f : m.tex_rects) {
        const vec3 a = m.vertices[f.v[0]], b = m.vertices[f.v[1]], c = m.vertices[f.v[2]];
        const vec3 face_centre = centre_of({a, b, c, m.vertices[f.v[3]]});
        EXPECT_GT(facing(shown_normal(a, b, c), middle, face_centre), 0) << "a box face is shown from inside";
    }
    // The first face is the front: it faces the default view, which looks from -z.
    const auto n = shown_normal(m.vertices[m.tex_rects[0].v[0]], m.vertices[m.tex_rects[0].v[1]],
                                m.vertices[m.tex_rects[0].v[2]]);
    EXPECT_GT(n[2], 0);
}

TEST(sample_mesh, normals_point_outwards_with_length_16384) {
    sample_mesh m;
    m.box({-100, -100, -100}, {100, 100, 100}, {surface{}, {}, {}, {}, {}, {}});
    m.make_normals();
    ASSERT_EQ(m.normals.size(), m.vertices.size());
    for (std::size_t i = 0; i < m.vertices.size(); ++i) {
        const vec3 p = m.vertices[i], n = m.normals[i];
        EXPECT_GT(p.x * n.x + p.y * n.y + p.z * n.z, 0) << "vertex " << i;
        EXPECT_NEAR(std::hypot(n.x, n.y, n.z), 16384.0, 2.0);
    }
}

TEST(sample_mesh, coloured_faces_go_to_their_own_lists_only_before_tr4) {
    sample_mesh old_style, tr4_style;
    tr4_style.coloured_faces = false;
    const surface red{7, 0, 0x1234};
    for (auto* m : {&old_style, &tr4_style}) {
        m->quad({0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, red);
        m->tri({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, red);
    }
    ASSERT_EQ(old_style.col_rects.size(), 1u);
    ASSERT_EQ(old_style.col_tris.size(), 1u);
    EXPECT_EQ(old_style.col_rects[0].texture, 0x1234);
    EXPECT_TRUE(old_style.tex_rects.empty());
    ASSERT_EQ(tr4_style.tex_rects.size(), 1u);
    EXPECT_EQ(tr4_style.tex_rects[0].texture, 7);
    EXPECT_TRUE(tr4_style.col_tris.empty());
    old_style.make_normals();
    std::vector<std::uint16_t> words;
    EXPECT_THROW(encode_mesh(old_style, game_tr4, words), std::logic_error);
}

// Sizes follow the mesh layout: a TR1 mesh of 3 vertices, 3 normals and one textured rectangle
// takes 68 bytes; with a second rectangle it takes 78 and a 2-byte filler.
TEST(sample_mesh, encoded_sizes_and_fillers_follow_the_layout) {
    sample_mesh m;
    m.vertices = {{0, 0, 0}, {100, 0, 0}, {0, 100, 0}};
    m.normals = {{0, -16384, 0}, {0, -16384, 0}, {0, -16384, 0}};
    m.tex_rects.push_back({{0, 1, 2, 0}, 5, 0});
    std::vector<std::uint16_t> words;
    EXPECT_EQ(encode_mesh(m, game_tr1, words), 0u);
    EXPECT_EQ(words.size() * 2, 68u);
    m.tex_rects.push_back({{2, 1, 0, 0}, 6, 0});
    EXPECT_EQ(encode_mesh(m, game_tr1, words), 68u);
    EXPECT_EQ(words.size() * 2, 68u + 80u);
    EXPECT_EQ(words.back(), 0);
    m.tex_rects.pop_back();
    m.vertices.push_back({100, 100, 0});
    m.normals.push_back({0, -16384, 0});
    m.tex_rects[0].effects = 66;
    words.clear();
    encode_mesh(m, game_tr4, words);
    EXPECT_EQ(words.size() * 2, 80u);
    EXPECT_EQ(words[5 + 1 + 12 + 1 + 12 + 1 + 5], 66);
    // Vertex lights replace the normals with a negative count.
    m.normals.clear();
    m.lights = {100, 200, 300, 400};
    words.clear();
    encode_mesh(m, game_tr2, words);
    EXPECT_EQ(std::int16_t(words[5 + 1 + 12]), -4);
    EXPECT_EQ(words[5 + 1 + 12 + 1 + 3], 400);
    // Centre and radius: the middle of the bounds, and the farthest vertex from it, rounded up.
    EXPECT_EQ(words[0], 50);
    EXPECT_EQ(words[1], 50);
    EXPECT_EQ(words[3], 71); // ceil(sqrt(50² + 50²))
}

TEST(sample_pixels, sixteen_and_thirty_two_bit_pixels) {
    EXPECT_EQ(to_argb1555({255, 0, 0, 255}), 0x8000 | (31 << 10));
    EXPECT_EQ(to_argb1555({0, 255, 8, 255}), 0x8000 | (31 << 5) | 1);
    EXPECT_EQ(to_argb1555({255, 255, 255, 0}), 0);
    picture p(256, 256, {10, 20, 30, 255});
    p.at(1, 0) = {200, 100, 50, 0};
    const auto b = pages32_of({p});
    ASSERT_EQ(b.size(), 262144u);
    EXPECT_EQ((std::array<int, 4>{b[0], b[1], b[2], b[3]}), (std::array<int, 4>{30, 20, 10, 255}));
    EXPECT_EQ((std::array<int, 4>{b[4], b[5], b[6], b[7]}), (std::array<int, 4>{0, 0, 0, 0}));
    const auto w = pages16_of({p});
    ASSERT_EQ(w.size(), 131072u);
    EXPECT_EQ(get_u16(&w[0]), 0x8000 | (1 << 10) | (2 << 5) | 3);
    EXPECT_EQ(get_u16(&w[2]), 0);
}

TEST(sample_pixels, palette_keeps_few_colours_exactly_and_index_zero_for_transparency) {
    // A red ramp on the left, one blue on the right, transparent at the bottom.
    picture p(256, 256);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 256; ++x)
            p.at(x, y) = x < 128 ? rgba{std::uint8_t(2 * x), 0, 0, 255} : rgba{0, 128, 252, 255};
    const indexed_pages ip = index_pages({p});
    ASSERT_EQ(ip.pixels.size(), 65536u);
    const std::uint8_t red = ip.pixels[127], blue = ip.pixels[200];
    EXPECT_NE(red, 0);
    EXPECT_NE(blue, 0);
    EXPECT_NE(red, blue);
    EXPECT_EQ(ip.pixels[255 * 256], 0);
    EXPECT_LT(ip.palette[ip.pixels[0] * 3], ip.palette[red * 3]) << "the ramp keeps its shades";
    // 6-bit entries at the drawn colours.
    EXPECT_EQ((std::array<int, 3>{ip.palette[blue * 3], ip.palette[blue * 3 + 1], ip.palette[blue * 3 + 2]}),
              (std::array<int, 3>{0, 32, 63}));
    EXPECT_EQ(ip.palette[red * 3 + 1], 0);
    EXPECT_GE(ip.palette[red * 3], 61);
    EXPECT_EQ(nearest_index(ip.palette, 0, 130, 250), blue);
    // The light map darkens: level 0 keeps a colour, the darkest level moves red to a darker entry.
    const auto map = light_map_of(ip.palette);
    EXPECT_EQ(map[red], red);
    EXPECT_EQ(map[0], 0);
    const std::uint8_t dark = map[31 * 256 + red];
    EXPECT_LT(ip.palette[dark * 3] + ip.palette[dark * 3 + 1] + ip.palette[dark * 3 + 2], 63);
}

TEST(sample_pictures, text_is_drawn_with_the_five_by_seven_font) {
    picture p(64, 16, {0, 0, 0, 0});
    const rgba ink{255, 255, 255, 255};
    draw_text(p, 0, 0, "I1", 1, ink);
    EXPECT_EQ(text_width("I1", 1), 11);
    EXPECT_EQ(text_width("ABC", 2), 34);
    // 'I': top bar from column 1 to 3 and a stem in column 2; '1' starts six columns later.
    EXPECT_EQ(p.at(2, 3), ink);
    EXPECT_EQ(p.at(1, 0), ink);
    EXPECT_EQ(p.at(0, 3).a, 0);
    EXPECT_EQ(p.at(8, 3), ink); // the stem of '1'
    EXPECT_EQ(p.at(5, 3).a, 0); // the gap between the glyphs
    int inked = 0;
    for (const auto& c : p.px)
        inked += c.a != 0;
    EXPECT_EQ(inked, 11 + 10);
    // '-' is a bar of three in the middle row; a space draws nothing.
    picture q(16, 8, {0, 0, 0, 0});
    draw_text(q, 0, 0, "- ", 1, ink);
    EXPECT_EQ(q.at(1, 3), ink);
    EXPECT_EQ(q.at(3, 3), ink);
    EXPECT_EQ(q.at(0, 3).a, 0);
    EXPECT_EQ(q.at(2, 2).a, 0);
}

// The new user's first look: the figure faces the default view with its face texture, and rooms
// show their faces from inside.
TEST(sample_levels, figure_faces_the_viewer_and_rooms_are_seen_from_inside) {
    tr_level level = make_sample_level(game_tr4);
    tr_level scratch;
    scratch.game_version = game_tr4;
    const sample_textures t = make_textures(scratch);
    ASSERT_EQ(scratch.object_textures, level.object_textures);
    const auto meshes = walk_meshes(level);
    const walked_mesh* head = mesh_at(meshes, level.mesh_pointers[10]);
    ASSERT_NE(head, nullptr);
    // Vertices of the head, read from its words.
    std::vector<vec3> v;
    for (int i = 0; i < head->num_vertices; ++i) {
        const std::size_t at = head->offset / 2 + 6 + 3 * i;
        v.push_back({std::int16_t(level.mesh_words[at]), std::int16_t(level.mesh_words[at + 1]),
                     std::int16_t(level.mesh_words[at + 2])});
    }
    int faces_found = 0;
    for (const auto& f : head->tex_faces)
        if (f.size() == 6 && f[4] == t.face) {
            ++faces_found;
            EXPECT_GT(shown_normal(v[f[0]], v[f[1]], v[f[2]])[2], 0) << "the face looks away from the viewer";
            // Corner 1 of the texture (its top left) sits on the face's top-left vertex.
            EXPECT_LT(v[f[0]].x, v[f[1]].x);
            EXPECT_LT(v[f[0]].y, v[f[3]].y);
        }
    EXPECT_EQ(faces_found, 1);

    for (std::size_t r = 0; r < level.rooms.size(); ++r) {
        const troom& room = level.rooms[r];
        auto vertex = [&](std::uint16_t i) {
            const auto& q = room.vertices12[i];
            return vec3{get_i16(&q[0]), get_i16(&q[2]), get_i16(&q[4])};
        };
        const vec3 inside{room.num_x_sectors * 512, (room.y_top + room.y_bottom) / 2,
                          room.num_z_sectors * 512};
        for (const auto& q : room.rectangles10) {
            const vec3 a = vertex(get_u16(&q[0])), b = vertex(get_u16(&q[2])), c = vertex(get_u16(&q[4]));
            const vec3 mid = centre_of({a, b, c, vertex(get_u16(&q[6]))});
            EXPECT_GT(facing(shown_normal(a, b, c), mid, inside), 0)
                << "room " << r << " shows a face outwards";
        }
    }
}

TEST(sample_levels, writes_the_seven_files_that_read_as_their_versions) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("vellum_samples_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto paths = write_sample_levels(dir.string());
    ASSERT_EQ(paths.size(), 7u);
    std::int32_t game = 1;
    for (const auto& path : paths) {
        EXPECT_EQ(std::filesystem::path(path).filename().string(), sample_file_name(game));
        tr_level level;
        EXPECT_EQ(read_level(level, path), read_ok) << path;
        EXPECT_EQ(level.game_version, game) << path;
        ++game;
    }
    EXPECT_NE(sample_file_name(game_tr2_gold).find(".trg"), std::string::npos);
    EXPECT_NE(sample_file_name(game_tr1_gold).find(".tub"), std::string::npos);
    std::filesystem::remove_all(dir);
}

#ifdef VELLUM_SAMPLES_DIR
// The build runs the maker into the samples directory; what it left there must read back.
TEST(sample_levels, build_output_reads_back) {
    for (std::int32_t game : sample_game_versions()) {
        const std::string path = std::string(VELLUM_SAMPLES_DIR) + "/" + sample_file_name(game);
        ASSERT_TRUE(std::filesystem::exists(path)) << path << " (build the `samples` target)";
        tr_level level;
        EXPECT_EQ(read_level(level, path), read_ok) << path;
        EXPECT_EQ(level.game_version, game) << path;
        EXPECT_EQ(level.num_moveables, 4u) << path;
    }
}
#endif

} // namespace

#endif
