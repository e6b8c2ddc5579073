// Scene drawing against the recording GL: faces, names, textures, greys, coloured faces,
// moveable placement, boxes, points.
#include "level_reader.h"
#include "real_levels.h"
#include "recording_gl.h"
#include "scene.h"
#include "view_fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

using namespace view_test;

struct scene_fixture {
    recording_gl rec;
    draw_batch batch{rec};
    tr_level level;
    mesh_list list;
    tr_scene scene;

    explicit scene_fixture(std::int32_t version, int textures = 8) : level(make_level(version, textures)) {
        scene.level = &level;
        scene.meshes = &list;
    }
    // As the viewport's frame does: a name stack holding one name, then the scene.
    void paint() {
        rec.init_names();
        rec.push_name(0);
        scene.Draw(batch);
    }
    std::vector<const recorded_primitive*> faces() const {
        std::vector<const recorded_primitive*> out;
        for (const auto& p : rec.primitives)
            if (!p.is_sphere && p.has_name && p.name != 0) out.push_back(&p);
        return out;
    }
};

// A mesh with two textured rectangles, one textured triangle, one coloured rectangle and one
// coloured triangle (the coloured ones only count for TR1 to TR3).
mesh_shape mixed_mesh() {
    mesh_shape s;
    s.vertices = {{0, 0, 0}, {200, 0, 0}, {200, -100, 300}, {0, -100, 300}, {100, -50, 0}};
    s.tex_rects = {rect(0, 1, 2, 3, 0x8003), rect(3, 2, 1, 0, 1)};
    s.tex_tris = {tri(0, 1, 4, 2)};
    s.col_rects = {rect(0, 1, 2, 3, 7)};
    s.col_tris = {tri(4, 1, 0, 7)};
    return s;
}

TEST(SceneDrawing, TexturedMeshGivesOneNamedGroupPerFaceWithItsTexture) {
    scene_fixture f(game_tr4);
    mesh_shape s = mixed_mesh();
    s.col_rects.clear(), s.col_tris.clear();
    f.scene.sel_kind = 1;
    f.scene.sel_mesh = add_mesh(f.list, s);
    f.list.render_mode = mode_textured;
    f.paint();
    const auto faces = f.faces();
    ASSERT_EQ(faces.size(), 3u);
    // Key order: names as text; rectangles (codes 0, 1) come before the triangle (1000).
    EXPECT_EQ(faces[0]->name, selection_name(0, 0));
    EXPECT_EQ(faces[1]->name, selection_name(0, 1));
    EXPECT_EQ(faces[2]->name, selection_name(0, code_tex_tri));
    EXPECT_EQ(faces[0]->texture, 4); // word 0x8003 → object texture 3 → name 4
    EXPECT_EQ(faces[1]->texture, 2);
    EXPECT_EQ(faces[2]->texture, 3);
    for (const auto* p : faces) {
        EXPECT_EQ(p->mode, gl::quads);
        EXPECT_EQ(p->vertices.size(), 4u);
        EXPECT_TRUE(p->texturing);
        EXPECT_EQ(p->polygon_mode, gl::fill);
    }
    // Centred by the bounds shift (-1, -0.5, 1.5): vertex (0, 0, 0) lands at (-1, -0.5, 1.5).
    EXPECT_FLOAT_EQ(faces[0]->vertices[0].position[0], -1.0f);
    EXPECT_FLOAT_EQ(faces[0]->vertices[0].position[1], -0.5f);
    EXPECT_FLOAT_EQ(faces[0]->vertices[0].position[2], 1.5f);
    // Corner k of the object texture gives vertex k its coordinates.
    EXPECT_EQ(faces[0]->vertices[1].tex, (std::array<float, 2>{1, 0}));
    EXPECT_EQ(faces[0]->vertices[3].tex, (std::array<float, 2>{0, 1}));
    // The triangle's fourth vertex repeats the third, position and coordinates.
    EXPECT_EQ(faces[2]->vertices[3].position, faces[2]->vertices[2].position);
    EXPECT_EQ(faces[2]->vertices[3].tex, faces[2]->vertices[2].tex);
    EXPECT_NE(faces[2]->vertices[2].position, faces[2]->vertices[1].position);
    // No red faces for TR4.
    for (const auto& p : f.rec.primitives)
        EXPECT_NE(p.vertices[0].colour, (std::array<float, 3>{1, 0, 0}));
}

TEST(SceneDrawing, SolidModeBindsTheSolidTextureAndWireframeNone) {
    scene_fixture f(game_tr4);
    f.scene.sel_kind = 1;
    f.scene.sel_mesh = add_mesh(f.list, mixed_mesh());
    f.list.render_mode = mode_solid;
    f.paint();
    for (const auto* p : f.faces())
        EXPECT_EQ(p->texture, SOLID_TEXTURE_NAME);

    f.rec.reset();
    f.list.render_mode = mode_wireframe;
    f.scene.line_colour = {0, 0, 0};
    f.paint();
    EXPECT_EQ(f.rec.count(gl_op::bind_texture), 0);
    for (const auto* p : f.faces()) {
        EXPECT_EQ(p->polygon_mode, gl::line);
        EXPECT_FALSE(p->texturing);
        EXPECT_EQ(p->vertices[0].colour, (std::array<float, 3>{0, 0, 0}));
    }
}

TEST(SceneDrawing, ColouredFacesAreRedAndFilledInASecondFlushForTR1ToTR3Only) {
    for (std::int32_t version : {game_tr1, game_tr2, game_tr3, game_tr4, game_trc}) {
        scene_fixture f(version);
        f.scene.sel_kind = 1;
        mesh_shape s = mixed_mesh();
        if (version >= game_tr4) s.col_rects.clear(), s.col_tris.clear();
        f.scene.sel_mesh = add_mesh(f.list, s);
        f.list.render_mode = mode_wireframe;
        f.paint();
        const auto faces = f.faces();
        if (version >= game_tr4) {
            ASSERT_EQ(faces.size(), 3u) << version;
            EXPECT_EQ(f.rec.count(gl_op::polygon_mode), 1) << "no second flush state for " << version;
            continue;
        }
        ASSERT_EQ(faces.size(), 5u) << version;
        // All coloured faces after all textured ones, red, filled, untextured, rectangle first.
        EXPECT_EQ(faces[3]->name, selection_name(0, code_col_rect));
        EXPECT_EQ(faces[4]->name, selection_name(0, code_col_tri));
        for (int i = 3; i < 5; ++i) {
            EXPECT_EQ(faces[std::size_t(i)]->polygon_mode, gl::fill);
            EXPECT_FALSE(faces[std::size_t(i)]->texturing);
            for (const auto& v : faces[std::size_t(i)]->vertices)
                EXPECT_EQ(v.colour, (std::array<float, 3>{1, 0, 0}));
        }
        EXPECT_EQ(faces[4]->vertices[3].position, faces[4]->vertices[2].position);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(faces[std::size_t(i)]->polygon_mode, gl::line);
        // The wireframe state is back after the coloured faces.
        EXPECT_EQ(f.rec.polygon, gl::line);
    }
}

TEST(SceneDrawing, LitMeshShowsVertexGreysEvenInPointsMode) {
    scene_fixture f(game_tr2);
    mesh_shape s = square(0, 0, 100, 100, 0, 0);
    s.tex_tris = {tri(0, 1, 2, 0)};
    s.lights = {16384, 32767, 0, 128};
    f.scene.sel_kind = 1;
    f.scene.sel_mesh = add_mesh(f.list, s);
    f.list.lights_enabled = 1;
    f.list.render_mode = mode_points;
    f.paint();
    const auto faces = f.faces();
    ASSERT_EQ(faces.size(), 2u);
    EXPECT_EQ(f.rec.count(gl_op::sphere), 0);
    const auto grey = [](int c) { return std::array<float, 3>{c / 255.0f, c / 255.0f, c / 255.0f}; };
    EXPECT_EQ(faces[0]->vertices[0].colour, grey(127));
    EXPECT_EQ(faces[0]->vertices[1].colour, grey(255));
    EXPECT_EQ(faces[0]->vertices[3].colour, grey(0));
    EXPECT_EQ(faces[0]->shade, gl::smooth);
    // The triangle's repeated vertex takes the third vertex's grey.
    EXPECT_EQ(faces[1]->vertices[3].colour, faces[1]->vertices[2].colour);

    // With lighting off, points mode draws one named sphere per vertex instead.
    f.rec.reset();
    f.list.lights_enabled = 0;
    f.paint();
    EXPECT_EQ(f.rec.count(gl_op::sphere), 4);
    std::vector<std::uint32_t> names;
    for (const auto& p : f.rec.primitives)
        if (p.is_sphere) names.push_back(p.name);
    EXPECT_EQ(names, (std::vector<std::uint32_t>{selection_name(0, 0), selection_name(0, 1),
                                                 selection_name(0, 2), selection_name(0, 3)}));
    EXPECT_TRUE(f.faces().empty()); // no faces in points mode, only the spheres

    // The marked vertex stands out: twice the size, in the highlight colour; the others keep the
    // line colour.
    f.rec.reset();
    f.scene.marked_vertex = 2;
    f.paint();
    std::vector<double> radii;
    std::vector<std::array<float, 3>> colours;
    for (const auto& p : f.rec.primitives)
        if (p.is_sphere) radii.push_back(p.sphere_radius), colours.push_back(p.vertices.at(0).colour);
    ASSERT_EQ(radii.size(), 4u);
    EXPECT_EQ(radii[2], 2 * radii[0]);
    EXPECT_EQ(radii[3], radii[0]);
    const std::array<float, 3> marked{marked_vertex_colour[0] / 255.0f, marked_vertex_colour[1] / 255.0f,
                                      marked_vertex_colour[2] / 255.0f};
    EXPECT_EQ(colours[2], marked);
    EXPECT_NE(colours[3], marked);
}

TEST(SceneDrawing, PerspectiveCorrectionSwitchesEveryFaceToLinearFiltering) {
    scene_fixture f(game_tr4);
    f.scene.sel_kind = 1;
    f.scene.sel_mesh = add_mesh(f.list, mixed_mesh());
    f.paint();
    for (const auto* p : f.faces())
        EXPECT_EQ(p->min_filter, int(gl::nearest));
    f.rec.reset();
    f.scene.smooth_textures = 1;
    f.paint();
    for (const auto* p : f.faces()) {
        EXPECT_EQ(p->min_filter, int(gl::linear));
        EXPECT_EQ(p->mag_filter, int(gl::linear));
    }
}

TEST(SceneDrawing, BadFacesAndEmptyMeshesDrawSafely) {
    scene_fixture f(game_tr1, 2);
    mesh_shape s = square(0, 0, 100, 100, 0, 1);
    s.tex_rects.push_back(rect(0, 1, 2, 9, 1)); // vertex 9 does not exist
    s.tex_tris = {tri(0, 1, 2, 0x0FFF)};        // object texture beyond the level's two
    s.col_tris = {tri(0, 7, 2, 0)};             // vertex 7 does not exist
    f.scene.sel_kind = 1;
    f.scene.sel_mesh = add_mesh(f.list, s);
    f.paint();
    const auto faces = f.faces();
    ASSERT_EQ(faces.size(), 2u);
    EXPECT_EQ(faces[0]->name, selection_name(0, 0));
    EXPECT_EQ(faces[1]->name, selection_name(0, code_tex_tri));
    EXPECT_EQ(faces[1]->texture, SOLID_TEXTURE_NAME);

    // A mesh without faces draws nothing; so do mesh numbers outside the list.
    f.rec.reset();
    f.scene.sel_mesh = add_mesh(f.list, mesh_shape{});
    f.paint();
    EXPECT_TRUE(f.faces().empty());
    f.scene.sel_mesh = 99;
    f.paint();
    draw_mesh(f.batch, f.list, f.level, -1, 0, 0, 0, 0, 1, true, false);
    EXPECT_TRUE(f.faces().empty());
    // No level: nothing at all.
    f.scene.level = nullptr;
    f.rec.reset();
    f.paint();
    EXPECT_EQ(f.rec.count(gl_op::begin), 0);
}

// A moveable of `n` one-face meshes (mesh i a small square at the origin, textured i).
struct moveable_fixture : scene_fixture {
    explicit moveable_fixture(int n) : scene_fixture(game_tr4) {
        for (int i = 0; i < n; ++i)
            add_mesh(list, square(0, 0, 10, 10, 0, std::uint16_t(i)));
        scene.sel_kind = 0;
        scene.sel_moveable = 0;
    }
    // Placed position of the first vertex of the face of mesh i.
    std::array<double, 3> placed(std::size_t mesh) const {
        for (const auto* p : faces())
            if (p->name == selection_name(int(mesh), 0)) return p->vertices[0].placed;
        ADD_FAILURE() << "mesh " << mesh << " not drawn";
        return {};
    }
};

void expect_near(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_NEAR(a[i], b[i], 1e-5) << "axis " << i;
}

TEST(MoveableDrawing, MeshTreeOffsetsPushAndTheDoublePop) {
    moveable_fixture f(5);
    // Nodes for meshes 2..5: mesh 2 pushes, mesh 3 pops, mesh 4 pops again, mesh 5 plain.
    f.level.set_num_mesh_trees(16);
    const std::int32_t tree[16] = {2, 100, 0, 0, 1, 0, 200, 0, 1, 0, 0, 300, 0, 50, 0, 0};
    std::copy(std::begin(tree), std::end(tree), f.level.mesh_trees.begin());
    add_moveable(f.level, 5, 0, 0, 0);
    f.paint();
    ASSERT_EQ(f.faces().size(), 5u);
    expect_near(f.placed(0), {0, 0, 0});
    expect_near(f.placed(1), {1, 0, 0});    // root + (100, 0, 0)
    expect_near(f.placed(2), {0, -2, 0});   // popped to the root, + (0, 200, 0)
    expect_near(f.placed(3), {0, 0, -3});   // slot 1 again: the root, + (0, 0, 300)
    expect_near(f.placed(4), {0.5, 0, -3}); // from mesh 4's position
    // The stack is balanced: no matrix left pushed.
    EXPECT_EQ(f.rec.count(gl_op::push_matrix), f.rec.count(gl_op::pop_matrix));
}

TEST(MoveableDrawing, ThePushedPositionIsTheParentsNotTheChilds) {
    moveable_fixture f(4);
    f.level.set_num_mesh_trees(12);
    // Mesh 2 at +1 x and pushes the position before its offset (the root); mesh 3 goes +1 y from
    // mesh 2; mesh 4 pops and goes +1 z: from the root.
    const std::int32_t tree[12] = {2, 100, 0, 0, 0, 0, -100, 0, 1, 0, 0, -100};
    std::copy(std::begin(tree), std::end(tree), f.level.mesh_trees.begin());
    add_moveable(f.level, 4, 0, 0, 0);
    f.paint();
    expect_near(f.placed(1), {1, 0, 0});
    expect_near(f.placed(2), {1, 1, 0});
    expect_near(f.placed(3), {0, 0, 1});
}

TEST(MoveableDrawing, PopBeforePushReturnsToTheRoot) {
    moveable_fixture f(3);
    f.level.set_num_mesh_trees(8);
    const std::int32_t tree[8] = {1, 100, 0, 0, 1, 0, 100, 0};
    std::copy(std::begin(tree), std::end(tree), f.level.mesh_trees.begin());
    add_moveable(f.level, 3, 0, 0, 0);
    f.paint();
    ASSERT_EQ(f.faces().size(), 3u);
    expect_near(f.placed(1), {1, 0, 0});
    expect_near(f.placed(2), {0, -1, 0});
}

TEST(MoveableDrawing, FrameOffsetPlacesTheRootUnlessItIsAtTheOrigin) {
    moveable_fixture f(1);
    f.level.set_num_frames(20);
    f.level.frames[5 + 6] = 100, f.level.frames[5 + 7] = 200, f.level.frames[5 + 8] = 300;
    add_moveable(f.level, 1, 0, 0, 10); // byte offset 10 = word 5
    const auto parts = moveable_layout(f.list, f.level, 0, 1.0f, false);
    ASSERT_EQ(parts.size(), 1u);
    expect_near(parts[0].position, {1, -2, -3});
    expect_near(moveable_layout(f.list, f.level, 0, 1.0f, true)[0].position, {0, 0, 0});
}

TEST(MoveableDrawing, RecordsRunningPastTheirArraysDrawWhatIsThere) {
    moveable_fixture f(2);
    f.level.set_num_mesh_trees(4);
    const std::int32_t tree[4] = {0, 100, 0, 0};
    std::copy(std::begin(tree), std::end(tree), f.level.mesh_trees.begin());
    // Four meshes from mesh pointer 0: pointers 2 and 3 do not exist; tree nodes for meshes 3
    // and 4 are past the array; the frame offset is far past the frames.
    add_moveable(f.level, 4, 0, 0, 1000000);
    const auto parts = moveable_layout(f.list, f.level, 0, 1.0f, false);
    ASSERT_EQ(parts.size(), 4u);
    EXPECT_EQ(parts[0].mesh, 0);
    EXPECT_EQ(parts[1].mesh, 1);
    EXPECT_EQ(parts[2].mesh, -1);
    EXPECT_EQ(parts[3].mesh, -1);
    expect_near(parts[1].position, {1, 0, 0});
    f.paint();
    EXPECT_EQ(f.faces().size(), 2u);

    // Tree index far past the array, first mesh past mesh_index: nothing, and no crash.
    add_moveable(f.level, 3, 60000, 0xFFFFFFF0u, 0xFFFFFFFFu);
    f.scene.sel_moveable = 1;
    f.rec.reset();
    f.paint();
    EXPECT_TRUE(f.faces().empty());
    // A moveable number past the records, or a level that is not loaded: nothing.
    f.scene.sel_moveable = 2;
    f.paint();
    f.scene.sel_moveable = 0;
    f.level.signature.clear();
    f.paint();
    EXPECT_TRUE(f.faces().empty());
}

// Edges of the outlines of a set of quadrilaterals, as unordered point pairs.
std::set<std::pair<std::array<float, 3>, std::array<float, 3>>> outline_edges(const recorded_primitive& p) {
    std::set<std::pair<std::array<float, 3>, std::array<float, 3>>> edges;
    for (std::size_t q = 0; q + 3 < p.vertices.size(); q += 4)
        for (std::size_t k = 0; k < 4; ++k) {
            auto a = p.vertices[q + k].position, b = p.vertices[q + (k + 1) % 4].position;
            edges.insert(std::minmax(a, b));
        }
    return edges;
}

TEST(BoxDrawing, TheBoxOutlinesAreTheTwelveEdgesOfTheChosenBox) {
    scene_fixture f(game_tr4);
    f.scene.sel_kind = 1;
    f.scene.sel_mesh = add_mesh(f.list, square(0, 0, 200, 200, 0, 0)); // shift (-1, 1, 0)
    add_static(f.level, 0, {-100, 100, -200, 0, -300, 300}, {0, 400, -500, 500, 100, 200});
    f.scene.box_static = 0;
    f.scene.box_kind = 0;
    f.paint();
    const recorded_primitive& box = f.rec.primitives.back();
    EXPECT_EQ(box.vertices.size(), 16u);
    EXPECT_EQ(box.polygon_mode, gl::line);
    EXPECT_FALSE(box.culling);
    EXPECT_FALSE(box.texturing);
    EXPECT_EQ(box.name, 0u); // carries no element
    const auto edges = outline_edges(box);
    EXPECT_EQ(edges.size(), 12u);
    // Every edge runs along one axis between two corners of the box, shifted with the mesh.
    const std::set<float> xs{-2.0f, 0.0f}, ys{1.0f, 3.0f}, zs{-3.0f, 3.0f};
    for (const auto& [a, b] : edges) {
        int differing = 0;
        for (std::size_t i = 0; i < 3; ++i)
            differing += a[i] != b[i];
        EXPECT_EQ(differing, 1);
        for (const auto& c : {a, b}) {
            EXPECT_TRUE(xs.count(c[0])) << c[0];
            EXPECT_TRUE(ys.count(c[1])) << c[1];
            EXPECT_TRUE(zs.count(c[2])) << c[2];
        }
    }
    EXPECT_TRUE(f.rec.culling); // culling on again

    // The collision box is the other six values.
    f.rec.reset();
    f.scene.box_kind = 1;
    f.paint();
    float max_x = -1e9f;
    for (const auto& v : f.rec.primitives.back().vertices)
        max_x = std::max(max_x, v.position[0]);
    EXPECT_FLOAT_EQ(max_x, 3.0f); // 400 / 100 + shift -1
}

TEST(BoxDrawing, NoBoxForMoveablesWhenHiddenOrForARecordPastTheEnd) {
    scene_fixture f(game_tr4);
    const int mesh = add_mesh(f.list, square(0, 0, 200, 200, 0, 0));
    add_static(f.level, 0, {-100, 100, -200, 0, -300, 300}, {0, 400, -500, 500, 100, 200});
    add_moveable(f.level, 1, 0, 0, 0);
    const auto boxes = [&] {
        f.rec.reset();
        f.paint();
        return std::count_if(f.rec.primitives.begin(), f.rec.primitives.end(),
                             [](const recorded_primitive& p) { return p.vertices.size() == 16; });
    };
    f.scene.box_static = 0;
    f.scene.sel_kind = 0;
    f.scene.sel_moveable = 0;
    EXPECT_EQ(boxes(), 0);
    f.scene.sel_kind = 1;
    f.scene.sel_mesh = mesh;
    EXPECT_EQ(boxes(), 1);
    f.scene.show_box = 0;
    EXPECT_EQ(boxes(), 0);
    f.scene.show_box = 1;
    f.scene.box_static = int(f.level.num_static_meshes);
    EXPECT_EQ(boxes(), 0);
    f.scene.box_static = -1;
    EXPECT_EQ(boxes(), 0);
}

} // namespace

namespace {

// Every moveable and every mesh of the public test levels, in every mode with lighting shown:
// each drawn face is one named quadrilateral of a mesh that exists, and every matrix pushed is
// popped again.
TEST(SceneDrawing, EveryMoveableAndMeshOfTheTestLevelsDrawsWellFormedFaces) {
    SKIP_WITHOUT_REAL_LEVELS("test1.phd", "test1.tr2", "test1_tr3.tr2", "test1.tr4", "test1.trc");
    for (const char* file : {"test1.phd", "test1.tr2", "test1_tr3.tr2", "test1.tr4", "test1.trc"}) {
        tr_level level;
        std::string error;
        ASSERT_EQ(read_level(level, real_levels::path(file), &error), read_ok) << error;
        mesh_list list;
        build_mesh_list(list, level);
        recording_gl rec;
        draw_batch batch(rec);
        tr_scene scene;
        scene.level = &level;
        scene.meshes = &list;
        list.lights_enabled = 1;
        for (std::uint8_t mode : {mode_wireframe, mode_solid, mode_textured, mode_points}) {
            list.render_mode = mode;
            rec.reset();
            rec.init_names();
            rec.push_name(0);
            scene.sel_kind = 0;
            for (std::size_t m = 0; m < level.moveables.size(); ++m) {
                scene.sel_moveable = int(m);
                scene.Draw(batch);
            }
            scene.sel_kind = 1;
            for (std::size_t m = 0; m < list.meshes.size(); ++m) {
                scene.sel_mesh = int(m);
                scene.Draw(batch);
            }
            EXPECT_EQ(rec.count(gl_op::push_matrix), rec.count(gl_op::pop_matrix)) << file;
            std::size_t faces = 0;
            for (const auto& p : rec.primitives) {
                if (p.is_sphere) continue;
                ++faces;
                EXPECT_EQ(p.vertices.size(), 4u);
                const auto d = decode_name(p.name);
                EXPECT_GE(d.mesh, 0);
                EXPECT_LT(std::size_t(d.mesh), list.meshes.size());
            }
            EXPECT_GT(faces, 0u) << file << " mode " << int(mode);
        }
    }
}

} // namespace
